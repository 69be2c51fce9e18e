// The harness proved end to end: a real window painted on the X display, a fake USB drive mapped,
// written and pulled, a device event received by another process, a recording fake started
// through the shell, an echo language file, and a program carried inside another.
#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "DeviceEvents.h"
#include "FakeUsbDrive.h"
#include "GdiObject.h"
#include "LanguageFixture.h"
#include "LayoutCheck.h"
#include "Paths.h"
#include "Recorder.h"
#include "TempFolder.h"
#include "WindowDriver.h"

#include <windows.h>
#include <shellapi.h>

using namespace harness;

namespace {

LRESULT CALLBACK RedWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        const GdiBrush red(CreateSolidBrush(RGB(255, 0, 0)));
        FillRect(dc, &ps.rcPaint, red.Get());
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

WNDCLASSA WindowClass(WNDPROC procedure, const char* name)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = name;
    return wc;
}

// A dark window whose background may carry a light rule across it at y 50; its static texts are
// drawn straight onto that background.
bool g_rule = false;
LRESULT CALLBACK LayoutWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wp);
        RECT all;
        GetClientRect(hwnd, &all);
        const GdiBrush dark(CreateSolidBrush(RGB(20, 40, 70)));
        FillRect(dc, &all, dark.Get());
        if (g_rule) {
            RECT rule = {0, 50, all.right, 51};
            const GdiBrush light(CreateSolidBrush(RGB(90, 110, 140)));
            FillRect(dc, &rule, light.Get());
        }
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

}  // namespace

TEST(Harness, LayoutCheckSeesARuleThroughAControlACutTextAndControlsOverEachOther)
{
    const WNDCLASSA wc = WindowClass(LayoutWindowProc, "HarnessLayoutWindow");
    ASSERT_TRUE(RegisterClassA(&wc));
    struct Case {
        const char* what;
        bool rule;
        const char* text;       // in a static of 60 x 16 at (20, 100)
        RECT edit;              // an edit beside the one at (150, 40, 250, 60)
        const char* flaw;       // what the report says, or null for none
    };
    const Case cases[] = {
        {"a finished window", false, "Fits", {150, 140, 250, 160}, nullptr},
        {"a rule through the edits", true, "Fits", {150, 140, 250, 160}, "runs through Edit"},
        {"a text longer than its box", false, "A text far too long for its small box", {150, 140, 250, 160},
         "runs on beyond its box"},
        {"an edit over another", false, "Fits", {200, 50, 280, 70}, "are drawn over each other"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_rule = c.rule;
        HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "layout", WS_POPUP | WS_VISIBLE, 100, 100,
                                      320, 200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(window, nullptr);
        CreateWindowExA(0, "STATIC", c.text, WS_CHILD | WS_VISIBLE | SS_LEFT, 20, 100, 60, 16, window, nullptr,
                        wc.hInstance, nullptr);
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 150, 40, 100, 20, window, nullptr,
                        wc.hInstance, nullptr);
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, c.edit.left, c.edit.top,
                        c.edit.right - c.edit.left, c.edit.bottom - c.edit.top, window, nullptr, wc.hInstance, nullptr);
        UpdateWindow(window);
        const std::vector<std::string> flaws = LayoutFlaws(SceneOfWindow(window));
        std::string report;
        for (const std::string& flaw : flaws)
            report += flaw + "\n";
        if (!c.flaw) {
            EXPECT_TRUE(flaws.empty()) << report;
        } else {
            EXPECT_EQ(flaws.size(), 1u) << report;
            EXPECT_NE(report.find(c.flaw), std::string::npos) << report;
        }
        DestroyWindow(window);
    }
}

TEST(Harness, RealWindowIsShownAndPaintedOnTheDisplay)
{
    const WNDCLASSA wc = WindowClass(RedWindowProc, "HarnessRedWindow");
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND hwnd = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "red", WS_POPUP | WS_VISIBLE, 100, 100, 120, 80,
                                nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(hwnd, nullptr);
    UpdateWindow(hwnd);

    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(WaitUntil([&] {
        return CaptureWindow(hwnd, pixels, width, height) && pixels[(height / 2) * width + width / 2] == 0xFF0000;
    }, 5000));
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);
    DestroyWindow(hwnd);
}

TEST(Harness, FakeUsbDriveIsRemovableHoldsFilesAndCanBePulled)
{
    TempFolder stick("usb");
    std::string stored;
    char letter = 0;
    {
        FakeUsbDrive drive(stick.Path());
        letter = drive.Letter();
        ASSERT_NE(letter, 0) << "the mount manager refused the drive";
        EXPECT_EQ(GetDriveTypeA(drive.Root().c_str()), static_cast<UINT>(DRIVE_REMOVABLE));

        char drives[256] = {};
        GetLogicalDriveStringsA(sizeof drives, drives);
        bool listed = false;
        for (const char* p = drives; *p; p += strlen(p) + 1)
            listed = listed || drive.Root() == p;
        EXPECT_TRUE(listed);

        ASSERT_TRUE(WriteFileBytes(drive.Root() + "hello.txt", "on the stick"));
        EXPECT_EQ(ReadFileBytes(stick / "hello.txt"), "on the stick");

        ASSERT_TRUE(drive.Remove());
        EXPECT_EQ(GetDriveTypeA(drive.Root().c_str()), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
        EXPECT_FALSE(FileExists(drive.Root() + "hello.txt"));
        ASSERT_TRUE(drive.Insert());
        EXPECT_EQ(ReadFileBytes(drive.Root() + "hello.txt"), "on the stick");
    }
    // The destructor pulled it; the files stay in the folder.
    EXPECT_EQ(GetDriveTypeA((std::string(1, letter) + ":\\").c_str()), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_TRUE(FileExists(stick / "hello.txt"));
}

TEST(Harness, DeviceEventReachesAWindowOfAnotherProcess)
{
    TempFolder folder("peer");
    std::string peer = folder / "peerwindow.exe";
    ASSERT_TRUE(CopyFileA(PeerWindowPath().c_str(), peer.c_str(), FALSE));
    ChildProcess child;
    ASSERT_TRUE(child.Start(peer, "Harness peer"));
    HWND window = WaitForWindow(child.Pid(), "SequoraPeerWindow", "Harness peer");
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(SendVolumeArrival(window, 'K'));
    ASSERT_TRUE(SendVolumeRemoval(window, 'k'));
    ASSERT_TRUE(WaitForRecordedCalls(peer, 3));
    std::vector<std::string> log = RecordedCalls(peer);
    EXPECT_EQ(log[0], "ready");
    EXPECT_EQ(log[1], "event=0x8000 mask=0x00000400");
    EXPECT_EQ(log[2], "event=0x8004 mask=0x00000400");

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(child.Wait(5000));
}

TEST(Harness, RecordingFakeRecordsWhatTheShellStartedItWith)
{
    TempFolder folder("rec");
    std::string fake = folder / "Obentil64.exe";
    ASSERT_TRUE(InstallRecorder(fake));
    std::string params = "|\"" + folder.Path() + "\\Lumetta.exe\"";
    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", fake.c_str(), params.c_str(), nullptr, SW_HIDE)),
              32);
    ASSERT_TRUE(WaitForRecordedCalls(fake, 1));
    EXPECT_EQ(RecordedCalls(fake), std::vector<std::string>{params});
}

TEST(Harness, EchoLanguageFileNamesEveryKeyAndKeepsConversions)
{
    TempFolder folder("lang");
    ASSERT_TRUE(WriteLanguageFile(folder / "real.ini", {{"Product", "Product short Name", "Sequora"},
                                                         {"Step1", "strRetry", "Cannot dismount %c:, 100%% done"},
                                                         {"Step1", "Title", "Choose"}}));
    ASSERT_TRUE(WriteEchoLanguageFile(folder / "real.ini", folder / "echo.ini"));
    char text[260] = {};
    std::string echo = folder / "echo.ini";
    GetPrivateProfileStringA("Product", "Product short Name", "", text, sizeof text, echo.c_str());
    EXPECT_STREQ(text, "Product.Product short Name");
    GetPrivateProfileStringA("Step1", "strRetry", "", text, sizeof text, echo.c_str());
    EXPECT_STREQ(text, "Step1.strRetry %c");
    GetPrivateProfileStringA("Step1", "Title", "", text, sizeof text, echo.c_str());
    EXPECT_EQ(text, EchoText("Step1", "Title"));
}

TEST(Harness, BuiltProgramCarriesAnotherBuiltProgramByteForByte)
{
    HRSRC found = FindResourceA(nullptr, "RECORDER", MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    ASSERT_NE(found, nullptr);
    HGLOBAL loaded = LoadResource(nullptr, found);
    std::string carried(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
    EXPECT_EQ(carried, ReadFileBytes(RecorderPath()));
}

TEST(Harness, FolderTreesWithDeviceNamedFoldersAreRemoved)
{
    std::string root;
    {
        TempFolder folder("aux");
        root = folder.Path();
        std::string aux = folder / "aux\\";
        ASSERT_TRUE(CreateDirectoryA(aux.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes(aux + "image", "bytes"));
        SetFileAttributesA(aux.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
    EXPECT_FALSE(FolderExists(root));
}
