// The tray road, across the real programs of a copy of the program folder: Brixom started with no
// task starts Lumetta through the launcher; Lumetta's menu starts Brixom on page 2 to make a disk
// on the hard disk, and greys its disk commands while Brixom runs; the disk Brixom makes and
// mounts enables Lumetta's dismount item, which starts Brixom on page 1 with dismount chosen.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "HandleOwner.h"
#include "MountedLetters.h"
#include "Paths.h"
#include "Registry.h"
#include "ShellWindows.h"
#include "Tavrin.h"
#include "TempFolder.h"
#include "UnmanagedWindows.h"
#include "WindowDriver.h"
#include "resource.h"

using namespace harness;

namespace {

constexpr UINT kTrayNotify = 0x044C;
// Brixom's sheet and pages.
constexpr int kFinish = 173, kCloseButton = 178;
constexpr int kImageEdit = 1000, kLetters = 1003, kPassword = 1006, kSizeEdit = 1009, kConfirm = 1022,
              kRadioHdd = 1044, kUnmountRadio = 1025;
constexpr const char* kProtectedList = "Software\\Quilmar\\Protected";
constexpr const char* kPasswordText = "Abc123!x";

DWORD WaitForProcessOf(const std::string& path, const std::set<DWORD>& besides = {}, DWORD timeoutMs = 20000)
{
    DWORD pid = 0;
    WaitUntil([&] {
        for (DWORD each : ProcessesRunning(path)) {
            if (!besides.count(each))
                pid = each;
        }
        return pid != 0;
    }, timeoutMs);
    return pid;
}

HWND HiddenDialogOf(DWORD pid)
{
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassNameOf(window) == "#32770" && !IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

HWND SheetOf(DWORD pid)
{
    HWND sheet = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(pid)) {
            if (IsWindowVisible(window) && GetDlgItem(window, kFinish))
                sheet = window;
        }
        return sheet != nullptr;
    }, 20000);
    return sheet;
}

HWND PageHolding(HWND sheet, int id)
{
    for (HWND child : ChildWindows(sheet)) {
        if (ClassNameOf(child) == "#32770" && IsWindowVisible(child) && GetDlgItem(child, id))
            return child;
    }
    return nullptr;
}

void EndProcess(DWORD pid)
{
    if (const KernelHandle process{OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)}) {
        for (HWND window : TopLevelWindows(pid))
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0)
            TerminateProcess(process.Get(), 1);
    }
}

// Lumetta's menu as the user sees it after a right-click on the icon: for each of its five items,
// whether its text is drawn greyed (no dark pixel in its row). The menu is closed again.
std::vector<bool> GreyedItemsOfTheTrayMenu(DWORD lumetta, HWND dialog)
{
    std::vector<bool> greyed;
    // The menu opens with its lower left corner at the cursor: none of its items lies under it,
    // so none is drawn hot. Nothing else may cover it: Wine shows the notification area as a
    // window of its own at the top left when there is no taskbar.
    ClipCursor(nullptr);
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) - 40);
    HWND tray = FindWindowA(nullptr, "Wine System Tray");
    RECT trayAt = {};
    if (tray) {
        GetWindowRect(tray, &trayAt);
        SetWindowPos(tray, nullptr, -4000, -4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PostMessageA(dialog, kTrayNotify, 0, WM_RBUTTONDOWN);
    PostMessageA(dialog, kTrayNotify, 0, WM_RBUTTONUP);
    HWND menu = nullptr;
    WaitUntil([&] {
        for (HWND window : TopLevelWindows(lumetta)) {
            if (ClassNameOf(window) == "#32768" && IsWindowVisible(window))
                menu = window;
        }
        return menu != nullptr;
    }, 10000);
    Sleep(300);
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (menu && CaptureWindow(menu, pixels, width, height, true) && height > 10) {
        static int shot = 0;
        SaveBitmapFile(JoinPath(BuildDir(), "lumetta-tray-menu-" + std::to_string(++shot) + ".bmp"), pixels, width,
                       height);
        const int rows = 5, top = 2, itemHeight = (height - 2 * top) / rows;
        for (int item = 0; item < rows; ++item) {
            int darkest = 255 * 3;
            for (int y = top + item * itemHeight; y < top + (item + 1) * itemHeight; ++y) {
                for (int x = 2; x < width - 2; ++x) {
                    const DWORD p = pixels[static_cast<size_t>(y) * width + x];
                    darkest = std::min<int>(darkest, ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF));
                }
            }
            greyed.push_back(darkest > 3 * 0x50);
        }
    }
    for (int i = 0; i < 2 && IsWindow(menu); ++i) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 1);
        Sleep(200);
    }
    if (tray)
        SetWindowPos(tray, nullptr, trayAt.left, trayAt.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return greyed;
}

// Disks the road made and mounted, dismounted at the end; the image leaves the protected list.
struct RoadCleanup {
    std::string image;
    std::vector<DWORD> processes;
    ~RoadCleanup()
    {
        for (DWORD pid : processes)
            EndProcess(pid);
        CloseShellWindows();
        for (char letter : MountedLetters())
            Tavrin_Unmount(static_cast<uint32_t>(letter), 0);
        if (!image.empty()) {
            DeleteRegistryValue(HKEY_CURRENT_USER, kProtectedList, image);
            SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }
};

}  // namespace

TEST(TrayRoad, BrixomStartsLumettaWhoseMenuStartsBrixomOnEachTask)
{
    TempFolder folder("tray road");
    ASSERT_TRUE(CopyFolder(ProgramDir(), folder.Path()));
    const std::string brixomPath = folder / "brixom.exe";
    const std::string lumettaPath = folder / "Lumetta.exe";
    UnmanagedWindows brixomWindows("brixom.exe");
    UnmanagedWindows lumettaWindows("Lumetta.exe");
    RoadCleanup cleanup;
    ASSERT_TRUE(MountedLetters().empty()) << "no disk mounted before the road";

    // Brixom with no task: page 1, and Lumetta comes up hidden through the launcher.
    ChildProcess first;
    ASSERT_TRUE(first.Start(brixomPath, "", folder.Path()));
    HWND sheet = SheetOf(first.Pid());
    ASSERT_NE(sheet, nullptr);
    const DWORD lumetta = WaitForProcessOf(lumettaPath);
    ASSERT_NE(lumetta, 0u) << "Lumetta started through Obentil";
    cleanup.processes.push_back(lumetta);
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = HiddenDialogOf(lumetta)) != nullptr; }, 10000));
    ClickButton(sheet, kCloseButton);
    ASSERT_TRUE(first.Wait(15000));

    // No Brixom runs and no disk is mounted: all but the dismount item enabled.
    EXPECT_EQ(Tavrin_GetMountedMask(), 0u);
    EXPECT_EQ(GreyedItemsOfTheTrayMenu(lumetta, dialog), (std::vector<bool>{false, false, true, false, false}));

    // Make a disk: Brixom on page 2 in hard-disk mode; meanwhile the disk commands are greyed.
    const std::set<DWORD> none;
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MAKE_ON_HDD, 0);
    const DWORD maker = WaitForProcessOf(brixomPath);
    ASSERT_NE(maker, 0u);
    cleanup.processes.push_back(maker);
    sheet = SheetOf(maker);
    ASSERT_NE(sheet, nullptr);
    HWND page2 = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (page2 = PageHolding(sheet, kRadioHdd)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page2, kRadioHdd)); }, 10000));
    EXPECT_EQ(GreyedItemsOfTheTrayMenu(lumetta, dialog), (std::vector<bool>{true, true, true, false, false}));

    // The disk made on the hard disk and mounted; Brixom ends.
    cleanup.image = folder / "road.sqv";
    SendMessageA(GetDlgItem(page2, kImageEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(cleanup.image.c_str()));
    SendMessageA(GetDlgItem(page2, kSizeEdit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("50"));
    SendMessageA(GetDlgItem(page2, kPassword), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPasswordText));
    SendMessageA(GetDlgItem(page2, kConfirm), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kPasswordText));
    ASSERT_NE(GetDlgItem(page2, kLetters), nullptr);
    ASSERT_TRUE(ClickButton(sheet, kFinish));
    const KernelHandle makerProcess(OpenProcess(SYNCHRONIZE, FALSE, maker));
    ASSERT_TRUE(makerProcess);
    EXPECT_EQ(WaitForSingleObject(makerProcess.Get(), 60000), WAIT_OBJECT_0) << "Brixom ends once the disk is mounted";
    ASSERT_EQ(MountedLetters().size(), 1u);
    CloseShellWindows();

    // Brixom has ended and a disk is mounted: every item enabled.
    EXPECT_EQ(GreyedItemsOfTheTrayMenu(lumetta, dialog), (std::vector<bool>{false, false, false, false, false}));

    // Dismount from the tray: Brixom on page 1 with dismount chosen, and it dismounts the disk.
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_UNMOUNT, 0);
    const DWORD closer = WaitForProcessOf(brixomPath);
    ASSERT_NE(closer, 0u);
    cleanup.processes.push_back(closer);
    sheet = SheetOf(closer);
    ASSERT_NE(sheet, nullptr);
    HWND page1 = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (page1 = PageHolding(sheet, kUnmountRadio)) != nullptr; }, 10000));
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page1, kUnmountRadio)); }, 10000));
    ClickButton(sheet, kFinish);
    HWND done = WaitForMessageBox(closer, 20000);
    ASSERT_NE(done, nullptr);
    ClickButton(done, IDOK);
    EXPECT_TRUE(WaitUntil([] { return MountedLetters().empty(); }, 20000));
    ClickButton(sheet, kCloseButton);

    PostMessageA(dialog, WM_COMMAND, ID_TRAY_EXIT, 0);
    const KernelHandle lumettaProcess(OpenProcess(SYNCHRONIZE, FALSE, lumetta));
    ASSERT_TRUE(lumettaProcess);
    EXPECT_EQ(WaitForSingleObject(lumettaProcess.Get(), 10000), WAIT_OBJECT_0);
}
