// Hook chains on a real window, the framework's default processing inside a hook, and the tray
// icon's conversation with the shell (through a recorder in place of the shell's call, and once
// for real).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "CSubclassWnd.h"
#include "CSubclassWndMap.h"
#include "CTrayIcon.h"
#include "Framework.h"

namespace {

// A window of a class of its own whose procedure records each message it gets.
std::vector<std::string> g_log;

LRESULT CALLBACK OriginalProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message >= WM_APP && message < WM_APP + 100)
        g_log.push_back("original " + std::to_string(message - WM_APP) + ":" + std::to_string(wParam));
    if (message == WM_TRAY_NOTIFY)
        g_log.push_back("window tray " + std::to_string(lParam));
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND MakeRecordingWindow()
{
    static const ATOM atom = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &OriginalProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SequoraRecordingWindow";
        return ::RegisterClassA(&wc);
    }();
    EXPECT_TRUE(atom);
    return ::CreateWindowExA(0, "SequoraRecordingWindow", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

WNDPROC ProcOf(HWND hwnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }

class NamedHook : public CSubclassWnd {
public:
    explicit NamedHook(const char* name) : m_name(name) {}
    std::string m_name;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_APP && message < WM_APP + 100)
            g_log.push_back(m_name);
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(CSubclassWnd, ChainsReplaceTheProcedureOnceAndUnhookInAnyOrder)
{
    HWND window = MakeRecordingWindow();
    ASSERT_TRUE(window);
    const WNDPROC original = ProcOf(window);
    NamedHook older("older"), newer("newer");
    older.Hook(window);
    newer.Hook(window);
    EXPECT_EQ(ProcOf(window), &HookWndProc);
    EXPECT_EQ(older.m_pOldWndProc, original);
    EXPECT_EQ(newer.m_pOldWndProc, original);
    EXPECT_EQ(CSubclassWndMap::GetHookMap()->Lookup(window), &newer);

    g_log.clear();
    ::SendMessageA(window, WM_APP + 1, 7, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"newer", "older", "original 1:7"}));

    // The older one leaves first: the newer one still works, the window keeps the hook procedure.
    older.Hook(nullptr);
    g_log.clear();
    ::SendMessageA(window, WM_APP + 2, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"newer", "original 2:0"}));
    EXPECT_EQ(ProcOf(window), &HookWndProc);
    newer.Hook(nullptr);
    EXPECT_EQ(ProcOf(window), original);
    EXPECT_EQ(CSubclassWndMap::GetHookMap()->Lookup(window), nullptr);

    // Hooked twice over, an object is still one link of the chain (no loop).
    newer.Hook(window);
    newer.Hook(window);
    g_log.clear();
    ::SendMessageA(window, WM_APP + 3, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"newer", "original 3:0"}));
    newer.Hook(nullptr);
    EXPECT_EQ(ProcOf(window), original);
    ::DestroyWindow(window);
}

TEST(CSubclassWnd, DestroyedWindowLeavesEveryHookUnhooked)
{
    HWND window = MakeRecordingWindow();
    ASSERT_TRUE(window);
    auto* first = new NamedHook("first");
    auto* second = new NamedHook("second");
    first->Hook(window);
    second->Hook(window);
    ::DestroyWindow(window);
    EXPECT_FALSE(first->IsHooked());
    EXPECT_FALSE(second->IsHooked());
    EXPECT_EQ(first->m_pOldWndProc, nullptr);
    EXPECT_EQ(CSubclassWndMap::GetHookMap()->Lookup(window), nullptr);
    delete second;      // touch nothing of the window that is gone
    delete first;
}

namespace {

constexpr UINT kHookedMessage = WM_APP + 5;
constexpr UINT kOuterMessage = WM_APP + 6;

// A framework window over the recording class; the hook in front of it answers one message
// with the window object's own default processing.
class FrameworkWindow : public CWnd {
public:
    LRESULT OnOuter(WPARAM, LPARAM)
    {
        // A hooked message comes and goes in the middle of this one's handling.
        SendMessage(kHookedMessage, 55, 0);
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FrameworkWindow, CWnd)
    ON_MESSAGE(kOuterMessage, FrameworkWindow::OnOuter)
END_MESSAGE_MAP()

class DefaultingHook : public CSubclassWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == kHookedMessage)
            return CWnd::FromHandlePermanent(m_hWnd)->Default();
        return CSubclassWnd::WindowProc(message, wParam, lParam);
    }
};

}  // namespace

TEST(CSubclassWnd, DefaultInsideAHookSeesTheHookedMessageAndTheOuterOneAfter)
{
    FrameworkWindow window;
    ASSERT_TRUE(window.CreateEx(0, "SequoraRecordingWindow", "", WS_POPUP, CRect(0, 0, 40, 40), nullptr, 0));
    DefaultingHook hook;
    hook.Hook(window.m_hWnd);
    g_log.clear();
    window.SendMessage(kHookedMessage, 44, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"original 5:44"}));
    g_log.clear();
    window.SendMessage(kOuterMessage, 66, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"original 5:55", "original 6:66"}));
    hook.Hook(nullptr);
    window.DestroyWindow();
}

namespace {

struct NotifyCall {
    DWORD operation;
    UINT flags;
    std::string tip;
    HWND window;
    UINT callback;
};
std::vector<NotifyCall> g_calls;
BOOL g_notifyResult = TRUE;

BOOL WINAPI RecordNotify(DWORD operation, PNOTIFYICONDATAA data)
{
    g_calls.push_back({operation, data->uFlags, std::string(data->szTip), data->hWnd, data->uCallbackMessage});
    return g_notifyResult;
}

// The recorder stands in for the shell for the length of a test.
class RecordedShell : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_saved = CTrayIcon::NotifyIcon;
        CTrayIcon::NotifyIcon = &RecordNotify;
        g_calls.clear();
        g_notifyResult = TRUE;
    }
    void TearDown() override { CTrayIcon::NotifyIcon = m_saved; }
    BOOL(WINAPI* m_saved)(DWORD, PNOTIFYICONDATAA) = nullptr;
};

HICON Icon() { return ::LoadIconA(nullptr, IDI_APPLICATION); }

}  // namespace

TEST_F(RecordedShell, ShowIconAddsModifiesDeletesAndRetriesAfterAFailure)
{
#ifndef _WIN64
    // The whole record of the systems from Vista on, as the shell reads it.
    EXPECT_EQ(sizeof(NOTIFYICONDATAA), 508u);
#endif
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    {
        CTrayIcon tray(nullptr);
        EXPECT_EQ(tray.m_nid.cbSize, sizeof(NOTIFYICONDATAA));
        EXPECT_EQ(tray.ShowIcon(nullptr, "nothing"), 1);           // none shown, none asked
        EXPECT_TRUE(g_calls.empty());
        tray.AttachToWindow(&window);
        EXPECT_EQ(tray.m_nid.uCallbackMessage, WM_TRAY_NOTIFY);
        EXPECT_TRUE(tray.ShowIcon(Icon(), "Lumetta 1.0"));
        EXPECT_TRUE(tray.ShowIcon(Icon(), nullptr));               // the tip stays
        g_notifyResult = FALSE;
        EXPECT_FALSE(tray.ShowIcon(Icon(), "refused"));            // counts as not shown
        g_notifyResult = TRUE;
        EXPECT_TRUE(tray.ShowIcon(Icon(), ""));
        ASSERT_EQ(g_calls.size(), 4u);
        const UINT all = NIF_ICON | NIF_TIP | NIF_MESSAGE;
        EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_calls[0].flags, all);
        EXPECT_EQ(g_calls[0].tip, "Lumetta 1.0");
        EXPECT_EQ(g_calls[0].window, window.m_hWnd);
        EXPECT_EQ(g_calls[1].operation, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(g_calls[1].tip, "Lumetta 1.0");
        EXPECT_EQ(g_calls[2].operation, static_cast<DWORD>(NIM_MODIFY));
        EXPECT_EQ(g_calls[3].operation, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_calls[3].flags, static_cast<UINT>(NIF_ICON | NIF_MESSAGE));    // an empty tip: no NIF_TIP

        // A tip of the field's size or more ends terminated inside the field.
        const std::string longTip(200, 'x');
        tray.ShowIcon(Icon(), longTip.c_str());
        EXPECT_EQ(g_calls.back().tip, std::string(127, 'x'));
        EXPECT_EQ(tray.m_nid.szTip[127], '\0');
        g_calls.clear();
    }
    // The destructor removes the shown icon, once.
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(g_calls[0].flags, static_cast<UINT>(NIF_TIP | NIF_MESSAGE));
    window.DestroyWindow();
}

TEST(CTrayIcon, TipsAreCutBeforeADoubleByteCharacterThatWouldNotFit)
{
    // Shift-JIS: 0x82 0xA0 is one character.
    const std::string kana = "\x82\xA0";
    struct Case {
        std::string text;
        size_t kept;
    };
    const Case cases[] = {
        {std::string(126, 'a') + kana, 126},            // the character would end on the terminator
        {std::string(125, 'a') + kana + "b", 127},      // it fits, the 'b' does not
        {std::string(127, 'a'), 127},
        {"short" + kana, 7},
    };
    for (const Case& c : cases) {
        char field[128];
        std::memset(field, 'x', sizeof field);
        CopyTrayTip(field, sizeof field, c.text.c_str(), 932);
        EXPECT_EQ(std::string(field), c.text.substr(0, c.kept)) << c.text.size();
    }
}

TEST_F(RecordedShell, TaskbarCreatedAddsAShownIconAgain)
{
    HWND window = MakeRecordingWindow();
    ASSERT_TRUE(window);
    CWnd* wnd = CWnd::FromHandle(window);
    CTrayIcon tray(nullptr);
    tray.AttachToWindow(wnd);
    ::SendMessageA(window, g_TaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(g_calls.empty());                                  // not shown: nothing
    tray.ShowIcon(Icon(), "tip");
    g_calls.clear();
    ::SendMessageA(window, g_TaskbarCreatedMsg, 0, 0);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(g_calls[0].flags, static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE));
    EXPECT_EQ(g_calls[0].tip, "tip");
    // The shell refuses: the icon counts as gone, and a further rebuild adds nothing.
    g_notifyResult = FALSE;
    ::SendMessageA(window, g_TaskbarCreatedMsg, 0, 0);
    EXPECT_EQ(tray.m_nid.hIcon, nullptr);
    g_calls.clear();
    ::SendMessageA(window, g_TaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(g_calls.empty());
    ::DestroyWindow(window);
    CWnd::DeleteTempMap();
}

TEST_F(RecordedShell, AChildWindowsIconHearsTheRebuildThroughItsTopLevelParent)
{
    CWnd top, child;
    ASSERT_TRUE(top.CreateEx(0, "SequoraRecordingWindow", "", WS_POPUP, CRect(0, 0, 60, 60), nullptr, 0));
    ASSERT_TRUE(child.CreateEx(0, "SequoraRecordingWindow", "", WS_CHILD, CRect(0, 0, 20, 20), &top, 1));
    {
        CTrayIcon tray(nullptr);
        tray.AttachToWindow(&child);
        EXPECT_EQ(tray.m_hookNotify.m_hWnd, child.m_hWnd);
        EXPECT_EQ(tray.m_hookParent.m_hWnd, top.m_hWnd);
        tray.ShowIcon(Icon(), "tip");
        g_calls.clear();
        // The shell tells top-level windows only.
        top.SendMessage(g_TaskbarCreatedMsg);
        ASSERT_EQ(g_calls.size(), 1u);
        EXPECT_EQ(g_calls[0].operation, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(g_calls[0].window, child.m_hWnd);
        // The callback is the child's only: sent to the parent it is no tray message.
        g_log.clear();
        top.SendMessage(WM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
        EXPECT_EQ(g_log, (std::vector<std::string>{"window tray " + std::to_string(WM_RBUTTONUP)}));
    }
    // Both hooks are gone with the icon: the framework's procedure is the windows' own again.
    EXPECT_EQ(CSubclassWndMap::GetHookMap()->Lookup(top.m_hWnd), nullptr);
    EXPECT_EQ(CSubclassWndMap::GetHookMap()->Lookup(child.m_hWnd), nullptr);
    EXPECT_NE(ProcOf(top.m_hWnd), &HookWndProc);
    top.SendMessage(WM_APP + 9, 1, 0);
    child.DestroyWindow();
    top.DestroyWindow();
}

namespace {

bool g_menuWasUp = false;

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    HWND menuWindow = ::FindWindowA("#32768", nullptr);
    g_menuWasUp = menuWindow && ::IsWindowVisible(menuWindow);
    ::EndMenu();
}

}  // namespace

TEST_F(RecordedShell, RightButtonReleaseShowsTheMenuWithItsFirstItemDefault)
{
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, "SequoraRecordingWindow", "", WS_POPUP | WS_VISIBLE, CRect(0, 0, 60, 60), nullptr, 0));
    app.m_pMainWnd = &main;
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, 40, "First");
    menu.AppendMenu(MF_STRING, 41, "Second");
    CTrayIcon tray(&menu);
    tray.AttachToWindow(&main);
    tray.ShowIcon(Icon(), "tip");

    struct Case {
        WPARAM id;
        LPARAM mouse;
        bool tracks;
    };
    const Case cases[] = {
        {1, WM_RBUTTONUP, false},           // another icon's id
        {0, WM_RBUTTONDOWN, false},         // a press alone shows nothing
        {0, WM_LBUTTONDBLCLK, false},       // the window's own handler starts the wizard
        {0, WM_RBUTTONUP, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "id " << c.id << " mouse 0x" << std::hex << c.mouse);
        g_menuWasUp = false;
        g_log.clear();
        ::SetTimer(nullptr, 0, 300, &CloseMenu);
        ::SendMessageA(main.m_hWnd, WM_TRAY_NOTIFY, c.id, c.mouse);
        if (!c.tracks) {
            MSG msg;
            while (!g_menuWasUp && ::GetMessageA(&msg, nullptr, 0, 0)) {
                ::DispatchMessageA(&msg);
                if (msg.message == WM_TIMER)
                    break;
            }
        }
        EXPECT_EQ(g_menuWasUp, c.tracks);
        // The window's own handler hears the callback after the icon.
        EXPECT_EQ(g_log, (std::vector<std::string>{"window tray " + std::to_string(c.mouse)}));
        if (c.tracks) {
            EXPECT_EQ(::GetMenuDefaultItem(menu.m_hMenu, FALSE, 0), 40u);
            HWND trackedFor = nullptr;
            EXPECT_EQ(CMenu::GetLastTrackedMenu(&trackedFor), menu.m_hMenu);
            EXPECT_EQ(trackedFor, main.m_hWnd);
        }
    }
    EXPECT_EQ(tray.HandleTrayMessage(0, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(tray.HandleTrayMessage(0, WM_RBUTTONDOWN), 0);
}

TEST(CTrayIcon, TheShellAddsChangesAndRemovesTheIcon)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    CTrayIcon tray(nullptr);
    tray.AttachToWindow(&window);
    EXPECT_TRUE(tray.ShowIcon(Icon(), "Sequora test icon"));
    EXPECT_TRUE(tray.ShowIcon(Icon(), "Sequora test icon, changed"));
    EXPECT_TRUE(tray.ShowIcon(nullptr, nullptr));
    EXPECT_EQ(tray.m_nid.hIcon, nullptr);
    window.DestroyWindow();
}
