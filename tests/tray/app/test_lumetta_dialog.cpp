// Lumetta's hidden dialog in process: its tray icon and tip, the five menu items from the language
// file with the check mark of the log-on start, the enabling rules over a running Brixom and the
// disks mounted through Tavrin, and the commands no built item carries.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "AutoStart.h"
#include "CDlgAbout.h"
#include "CLumettaDlg.h"
#include "ChildProcess.h"
#include "LanguageFixture.h"
#include "LumettaGlobals.h"
#include "Paths.h"
#include "Recorder.h"
#include "Registry.h"
#include "TavrinFixture.h"
#include "UsbCount.h"
#include "WindowDriver.h"
#include "resource.h"

using namespace harness;

namespace {

constexpr const char* kScratch = "Software\\Sequora tests\\lumetta user";

struct Notified {
    DWORD operation;
    UINT flags;
    std::string tip;
};
std::vector<Notified> g_notified;

BOOL WINAPI RecordNotify(DWORD operation, PNOTIFYICONDATAA data)
{
    g_notified.push_back({operation, data->uFlags, data->szTip});
    return TRUE;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The dialog made modeless over a language file, a Run key and a brixom.exe of the test's own.
class LumettaDialog : public tavrintest::TavrinTest {
protected:
    void SetUp() override
    {
        tavrintest::TavrinTest::SetUp();
        m_language = m_folder / "Sequora.ini";
        ASSERT_TRUE(WriteLanguageFile(m_language, {
                                                      {"Product", "Product short Name", "Sequora"},
                                                      {"frmAbout", "VersionNumber", "2.0"},
                                                      {"Lumetta", "MenuItem1", "Make"},
                                                      {"Lumetta", "MenuItem3", "Open"},
                                                      {"Lumetta", "MenuItem6", "Close disks"},
                                                      {"Lumetta", "MenuItem7", "At log-on"},
                                                      {"Lumetta", "MenuItem9", "Exit"},
                                                      {"Lumetta", "strNoUSB", "No USB drive"},
                                                  }));
        DeleteRegistryTree(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratch, &m_scratch), ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, m_scratch), ERROR_SUCCESS);
        HKEY run = nullptr;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kRunKey, &run), ERROR_SUCCESS);
        RegCloseKey(run);
        m_brixom = JoinPath(TestBinDir(), "brixom.exe");
        ASSERT_TRUE(InstallRecorder(m_brixom));
        g_notified.clear();
        m_savedNotify = CTrayIcon::NotifyIcon;
        CTrayIcon::NotifyIcon = &RecordNotify;
    }
    void TearDown() override
    {
        CTrayIcon::NotifyIcon = m_savedNotify;
        DeleteFileA(m_brixom.c_str());
        DeleteFileA((m_brixom + ".log").c_str());
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_scratch);
        DeleteRegistryTree(HKEY_CURRENT_USER, kScratch);
        g_LanguageFile = "";
        tavrintest::TavrinTest::TearDown();
    }

    void Open(CLumettaDlg& dialog)
    {
        g_LanguageFile = m_language;        // in place of the one beside the test program
        ASSERT_TRUE(dialog.Create(IDD_LUMETTA_DIALOG, nullptr));
        Pump();
    }

    UINT State(CLumettaDlg& dialog, UINT id) { return GetMenuState(dialog.Menu(), id, MF_BYCOMMAND); }
    bool Grayed(CLumettaDlg& dialog, UINT id) { return (State(dialog, id) & (MF_GRAYED | MF_DISABLED)) != 0; }

    std::string m_language;
    std::string m_brixom;
    HKEY m_scratch = nullptr;
    BOOL(WINAPI* m_savedNotify)(DWORD, PNOTIFYICONDATAA) = nullptr;
};

}  // namespace

TEST_F(LumettaDialog, ShowsItsIconWithTheTitleAndBuildsTheMenuFromTheLanguageFile)
{
    ASSERT_EQ(SetAutoStart(TRUE), 1);
    {
        CLumettaDlg dialog;
        Open(dialog);
        EXPECT_FALSE(dialog.IsWindowVisible()) << "never seen";
        EXPECT_EQ(dialog.GetExStyle() & WS_EX_NOACTIVATE, 0u) << "made from its template as it stands";
        EXPECT_EQ(g_TrayTitle, "Sequora 2.0");
        ASSERT_FALSE(g_notified.empty());
        EXPECT_EQ(g_notified.front().operation, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_notified.front().tip, "Sequora 2.0");

        CDrawMenu& menu = dialog.Menu();
        const struct {
            UINT id;
            const char* text;
        } items[] = {{ID_TRAY_MAKE_ON_HDD, "Make"},
                     {ID_TRAY_MOUNT_HDD, "Open"},
                     {ID_TRAY_UNMOUNT, "Close disks"},
                     {ID_TRAY_AUTO_STARTUP, "At log-on"},
                     {ID_TRAY_EXIT, "Exit"}};
        ASSERT_EQ(GetMenuItemCount(menu), 5);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(GetMenuItemID(menu, i), items[i].id) << i;
            char text[64] = {};
            GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, items[i].text) << i;
            EXPECT_EQ(GetMenuState(menu, i, MF_BYPOSITION) & MF_OWNERDRAW, 0u) << "plain items";
        }
        EXPECT_TRUE(State(dialog, ID_TRAY_AUTO_STARTUP) & MF_CHECKED);
        EXPECT_TRUE(dialog.IsAutoStartShown());

        // Switched from the menu: off, and the value is gone.
        dialog.SendMessage(WM_COMMAND, ID_TRAY_AUTO_STARTUP);
        EXPECT_FALSE(State(dialog, ID_TRAY_AUTO_STARTUP) & MF_CHECKED);
        EXPECT_EQ(IsAutoStartEnabled(), 0);
        dialog.DestroyWindow();
    }
    EXPECT_EQ(g_notified.back().operation, static_cast<DWORD>(NIM_DELETE)) << "the icon goes with the dialog";
}

TEST_F(LumettaDialog, GreysTheDiskCommandsWhileBrixomRunsAndDismountWhileNoDiskIsMounted)
{
    CLumettaDlg dialog;
    Open(dialog);
    const UINT absentIds[] = {ID_TRAY_MAKE_ON_USB, ID_TRAY_MOUNT_USB, ID_TRAY_MOUNT_HIDDEN_HDD};
    for (bool mounted : {false, true}) {
        char letter = 0;
        if (mounted) {
            letter = FreeLetter();
            ASSERT_TRUE(Mount(NewImage("lumetta.img"), letter));
        }
        for (BOOL absent : {TRUE, FALSE}) {
            dialog.UpdateMenuState(absent);
            const std::string what = std::string(absent ? "no Brixom" : "Brixom running") +
                                     (mounted ? ", a disk mounted" : ", no disk");
            EXPECT_EQ(Grayed(dialog, ID_TRAY_MAKE_ON_HDD), !absent) << what;
            EXPECT_EQ(Grayed(dialog, ID_TRAY_MOUNT_HDD), !absent) << what;
            EXPECT_EQ(Grayed(dialog, ID_TRAY_UNMOUNT), !absent || !mounted) << what;
            EXPECT_FALSE(Grayed(dialog, ID_TRAY_AUTO_STARTUP)) << what;
            EXPECT_FALSE(Grayed(dialog, ID_TRAY_EXIT)) << what;
            for (UINT id : absentIds) {
                EXPECT_EQ(State(dialog, id), 0xFFFFFFFFu) << "not on the menu: " << id;
            }
        }
        if (mounted) {
            ASSERT_TRUE(Unmount(letter));
        }
    }

    // The right button's press on the icon looks for a running Brixom itself.
    TempFolder elsewhere("running brixom");
    const std::string running = elsewhere / "brixom.exe";
    ASSERT_TRUE(CopyFileA(PeerWindowPath().c_str(), running.c_str(), FALSE));
    ChildProcess brixom;
    ASSERT_TRUE(brixom.Start(running));
    ASSERT_NE(WaitForWindow(brixom.Pid()), nullptr);
    dialog.SendMessage(WM_TRAY_NOTIFY, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(Grayed(dialog, ID_TRAY_MAKE_ON_HDD));
    brixom.Kill();
    brixom.Wait(5000);
    dialog.SendMessage(WM_TRAY_NOTIFY, 0, WM_RBUTTONDOWN);
    EXPECT_FALSE(Grayed(dialog, ID_TRAY_MAKE_ON_HDD));
    dialog.DestroyWindow();
}

// The tray menu as a user sees it, written as looks\lumetta-menu-*.png for a person to look at: as
// it opens with nothing to grey but the dismount, with the log-on start ticked, with the disk
// commands greyed while Brixom runs, and with the highlight on a greyed item.
TEST_F(LumettaDialog, TheTrayMenuAsAUserSeesIt)
{
    CLumettaDlg dialog;
    Open(dialog);
    const std::string looks = JoinPath(BuildDir(), "looks");
    CreateDirectoryA(looks.c_str(), nullptr);
    struct Look {
        const char* name;
        BOOL brixomAbsent;
        bool autoStart;
        int downs;       // presses of the down key after it opened
    };
    const Look shown[] = {
        {"lumetta-menu-idle", TRUE, false, 0},
        {"lumetta-menu-checked", TRUE, true, 0},
        {"lumetta-menu-greyed", FALSE, false, 0},
        {"lumetta-menu-greyed-highlight", FALSE, false, 2},
    };
    for (const Look& look : shown) {
        SCOPED_TRACE(look.name);
        dialog.UpdateMenuState(look.brixomAbsent);
        dialog.Menu().CheckMenuItem(ID_TRAY_AUTO_STARTUP, MF_BYCOMMAND | (look.autoStart ? MF_CHECKED : MF_UNCHECKED));
        bool saved = false;
        std::thread watcher([&] {
            HWND popup = nullptr;
            WaitUntil([&] {
                popup = FindWindowA("#32768", nullptr);
                return popup && IsWindowVisible(popup);
            }, 10000);
            if (!popup)
                return;
            for (int i = 0; i < look.downs; ++i)
                PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
            Sleep(500);
            std::vector<DWORD> pixels;
            int width = 0, height = 0;
            saved = CaptureWindow(popup, pixels, width, height) &&
                    SavePngFile(JoinPath(looks, std::string(look.name) + ".png"), pixels, width, height);
            PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        // As the tray icon pops it up, with the hidden dialog as its owner.
        SetMenuDefaultItem(dialog.Menu().m_hMenu, 0, TRUE);
        dialog.Menu().TrackPopupMenu(TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, 500, 500, &dialog);
        watcher.join();
        Pump();
        EXPECT_TRUE(saved);
    }
    dialog.DestroyWindow();
}

TEST_F(LumettaDialog, CommandsNoItemCarriesStillWork)
{
    CLumettaDlg dialog;
    Open(dialog);
    Sleep(500);     // the count its start made is in
    // The USB commands without a USB drive: the notice, captioned with the title, and no start.
    InterlockedExchange(&g_nUsbDiskCount, 0);
    for (UINT id : {ID_TRAY_MAKE_ON_USB, ID_TRAY_MOUNT_USB}) {
        std::string shown, caption;
        std::thread answer([&] {
            HWND box = WaitForMessageBox(GetCurrentProcessId());
            caption = box ? WindowText(box) : "";
            shown = AnswerMessageBox(GetCurrentProcessId(), IDOK);
        });
        dialog.SendMessage(WM_COMMAND, id);
        answer.join();
        EXPECT_EQ(shown, "No USB drive");
        EXPECT_EQ(caption, "Sequora 2.0");
    }
    EXPECT_TRUE(RecordedCalls(m_brixom).empty());

    InterlockedExchange(&g_nUsbDiskCount, 1);
    size_t started = 0;
    for (UINT id : {ID_TRAY_MAKE_ON_USB, ID_TRAY_MOUNT_USB, ID_TRAY_MOUNT_HIDDEN_HDD}) {
        dialog.SendMessage(WM_COMMAND, id);
        ASSERT_TRUE(WaitForRecordedCalls(m_brixom, ++started)) << id;
    }
    EXPECT_EQ(RecordedCalls(m_brixom), (std::vector<std::string>{"create_usb", "mount_usb", "mount_hiddenhdd"}));
    InterlockedExchange(&g_nUsbDiskCount, 0);

    // The about box, closed by its OK button; it stays until the next one or the dialog's end.
    for (int round = 0; round < 2; ++round) {
        std::thread presser([] {
            HWND shown = nullptr;
            WaitUntil([&] { return (shown = WaitForWindow(GetCurrentProcessId(), nullptr, nullptr, 100)) != nullptr &&
                                   GetDlgItem(shown, IDC_ABOUT_OK) != nullptr; },
                      5000);
            if (shown)
                ClickButton(shown, IDC_ABOUT_OK);
        });
        dialog.SendMessage(WM_COMMAND, ID_TRAY_ABOUT);
        presser.join();
        EXPECT_NE(dialog.AboutBox(), nullptr);
    }
    dialog.DestroyWindow();
}

TEST_F(LumettaDialog, ItsUnusedPathsHideItAndTheCarriedMenuHoldsEveryCommand)
{
    CLumettaDlg dialog;
    CREATESTRUCTA cs = {};
    cs.style = WS_POPUP | WS_VISIBLE;
    EXPECT_TRUE(dialog.PreCreateWindow(cs));
    EXPECT_EQ(cs.style & WS_VISIBLE, 0);
    EXPECT_NE(cs.style & WS_MINIMIZE, 0);
    EXPECT_NE(cs.dwExStyle & WS_EX_NOACTIVATE, 0u);

    Open(dialog);
    dialog.SendMessage(WM_TIMER, 1);
    EXPECT_NE(dialog.GetStyle() & WS_DISABLED, 0u);
    EXPECT_FALSE(dialog.IsWindowVisible());
    EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)),
              LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)));
    dialog.DestroyWindow();

    HMENU carried = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(carried, nullptr);
    HMENU popup = GetSubMenu(carried, 0);
    ASSERT_NE(popup, nullptr);
    for (UINT id : {ID_TRAY_MAKE_ON_HDD, ID_TRAY_MAKE_ON_USB, ID_TRAY_MOUNT_HDD, ID_TRAY_MOUNT_USB,
                    ID_TRAY_MOUNT_HIDDEN_HDD, ID_TRAY_UNMOUNT, ID_TRAY_AUTO_STARTUP, ID_TRAY_ABOUT, ID_TRAY_EXIT})
        EXPECT_NE(GetMenuState(popup, id, MF_BYCOMMAND), 0xFFFFFFFFu) << id;
    DestroyMenu(carried);
}
