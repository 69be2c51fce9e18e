// How Agent looks to a user, screen by screen, in the real Agent.exe started from a USB drive: the
// main form idle, with the read-only option ticked and a password typed, the menu under its Open
// button, the wait panel while the disk opens, the tray menu once it is open (plain and with an
// item selected), and the change-password dialog empty and with a password typed. Each is written
// as a PNG under the build folder (looks\) for a person to open; only their writing is checked.
#include "AgentFixture.h"

#include "Paths.h"
#include "WindowDriver.h"


using namespace agenttest;

namespace {

constexpr UINT kTrayCallback = 0x800;
constexpr UINT kFirstTrayIcon = 1;

std::string LooksFolder()
{
    const std::string folder = harness::JoinPath(harness::BuildDir(), "looks");
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

HWND MenuWindowOf(DWORD pid)
{
    for (HWND w : harness::TopLevelWindows(pid))
        if (IsWindowVisible(w) && harness::ClassNameOf(w) == "#32768")
            return w;
    return nullptr;
}

// The screen inside `area` once two looks a moment apart agree (a window just shown may still be
// painting), written as looks\<name>.png.
bool SaveLook(const std::string& name, const RECT& area)
{
    std::vector<DWORD> pixels, before;
    int width = 0, height = 0;
    harness::WaitUntil([&] {
        before.swap(pixels);
        Sleep(150);
        return harness::CaptureScreenArea(area, pixels, width, height) && pixels == before;
    }, 3000);
    return !pixels.empty() &&
           harness::SavePngFile(harness::JoinPath(LooksFolder(), name + ".png"), pixels, width, height);
}

// A window with a margin of the desktop round it, so that its edges show.
RECT Around(HWND window, int margin = 6)
{
    RECT r = harness::WindowRectOf(window);
    InflateRect(&r, margin, margin);
    return r;
}

// The form and a menu it shows, together.
RECT Together(HWND form, HWND menu)
{
    RECT a = Around(form), b = Around(menu), both = {};
    UnionRect(&both, &a, &b);
    return both;
}

}  // namespace

class AgentLooks : public AgentTest {
protected:
    // A menu of Agent's shown now, or null.
    HWND WaitForMenu()
    {
        HWND menu = nullptr;
        harness::WaitUntil([&] { return (menu = MenuWindowOf(m_agent.Pid())) != nullptr; }, 10000);
        return menu;
    }
    void CloseMenu(HWND menu)
    {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        harness::WaitUntil([&] { return MenuWindowOf(m_agent.Pid()) == nullptr; }, 10000);
    }
};

TEST_F(AgentLooks, EveryScreenOfAgentIsWrittenAsAPicture)
{
    StartAgent();
    HWND form = Form();
    ASSERT_NE(nullptr, form);
    EXPECT_TRUE(SaveLook("agent-main-idle", Around(form)));

    ToggleReadOnly();
    TypePassword(kPassword);
    EXPECT_TRUE(SaveLook("agent-main-read-only", Around(form)));

    // The menu of disk actions under the Open button.
    PressButton("&Open");
    HWND menu = WaitForMenu();
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(SaveLook("agent-popup-menu", Together(form, menu)));
    // Its first item chosen: the wait panel while the disk opens (the opener waits 3 s).
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(harness::WaitUntil([&] { return MenuWindowOf(m_agent.Pid()) == nullptr; }, 10000));
    harness::WaitUntil([] { return false; }, 600);
    EXPECT_TRUE(SaveLook("agent-main-opening", Around(form)));

    // Opened: Agent waits in the tray; its menu names the drive.
    ASSERT_TRUE(WaitForTray());
    HWND handler = TrayHandler();
    ASSERT_NE(nullptr, handler);
    PostMessageA(handler, kTrayCallback, kFirstTrayIcon, WM_RBUTTONDOWN);
    menu = WaitForMenu();
    ASSERT_NE(nullptr, menu);
    EXPECT_TRUE(SaveLook("agent-tray-menu", Around(menu)));
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(SaveLook("agent-tray-menu-selected", Around(menu)));
    CloseMenu(menu);

    // Exit dismounts and puts the image back; then the change-password dialog of a new start.
    PostMessageA(handler, kTrayCallback, kFirstTrayIcon, WM_RBUTTONDOWN);
    menu = WaitForMenu();
    ASSERT_NE(nullptr, menu);
    for (int i = 0; i < 3; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(m_agent.Wait(15000));

    StartAgent();
    HWND dialog = OpenPasswordDialog(kPassword);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(SaveLook("agent-password-dialog", Around(dialog)));
    TypeNewPassword("Secret-42", "Secret-42");
    EXPECT_TRUE(SaveLook("agent-password-dialog-typed", Around(dialog)));
    PressButton("&Cancel", dialog);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
}
