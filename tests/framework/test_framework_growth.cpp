// What the tray manager's libraries stand on: one object per window and hooks that coexist,
// objects bound at creation, owner-drawn menu items routed to their menu, registered messages,
// menus tracked per thread, modal dialogs that hold their whole top-level owner, and failures
// that end one message cleanly.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "AfxException.h"
#include "Framework.h"
#include "WindowDriver.h"
#include "test_framework.h"

namespace {

HWND MakeCheckBox()
{
    return ::CreateWindowExA(0, "BUTTON", "check", WS_POPUP | BS_AUTOCHECKBOX, 10, 10, 80, 20, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

TEST(CWnd, SecondObjectOnAWindowIsRefusedAndTheClassProcedureStays)
{
    HWND box = MakeCheckBox();
    ASSERT_TRUE(box);
    CWnd first, second;
    ASSERT_TRUE(first.SubclassWindow(box));
    EXPECT_FALSE(second.SubclassWindow(box));
    EXPECT_EQ(CWnd::FromHandlePermanent(box), &first);
    ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    first.UnsubclassWindow();
    EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::DestroyWindow(box);
}

namespace {

WNDPROC g_behindLaterHook = nullptr;
int g_laterHookCalls = 0;

LRESULT CALLBACK LaterHookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++g_laterHookCalls;
    return ::CallWindowProcA(g_behindLaterHook, hwnd, message, wParam, lParam);
}

}  // namespace

TEST(CWnd, UnsubclassingAndDestructionLeaveAHookPutInFrontLater)
{
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "WM_NCDESTROY" : "UnsubclassWindow");
        HWND box = MakeCheckBox();
        ASSERT_TRUE(box);
        WNDPROC classProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(box, GWLP_WNDPROC));
        CWnd wnd;
        ASSERT_TRUE(wnd.SubclassWindow(box));
        g_behindLaterHook = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterHookProc)));
        g_laterHookCalls = 0;
        if (destroy) {
            // Destruction: the later hook sees WM_NCDESTROY and no one put another procedure
            // under it while it still runs.
            ::DestroyWindow(box);
            EXPECT_GT(g_laterHookCalls, 0);
            EXPECT_EQ(wnd.m_hWnd, nullptr);
            continue;
        }
        wnd.UnsubclassWindow();
        EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(box, GWLP_WNDPROC)), &LaterHookProc);
        ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_GT(g_laterHookCalls, 0);
        ::SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProc));
        ::DestroyWindow(box);
    }
}

namespace {

class CreatingWindow : public CWnd {
public:
    std::vector<UINT> seen;
    int createResult = 0;
    LRESULT OnNcCreate(WPARAM, LPARAM)
    {
        seen.push_back(WM_NCCREATE);
        return Default();
    }
    int OnCreate(LPCREATESTRUCTA)
    {
        seen.push_back(WM_CREATE);
        return createResult;
    }
    LRESULT OnSetFont(WPARAM, LPARAM)
    {
        seen.push_back(WM_SETFONT);
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CreatingWindow, CWnd)
    ON_MESSAGE(WM_NCCREATE, CreatingWindow::OnNcCreate)
    ON_WM_CREATE()
    ON_MESSAGE(WM_SETFONT, CreatingWindow::OnSetFont)
END_MESSAGE_MAP()

}  // namespace

TEST(CWnd, ObjectThatCreatesItsWindowHearsItsFirstMessages)
{
    CreatingWindow edit;
    ASSERT_TRUE(edit.CreateEx(0, "EDIT", "", WS_POPUP, CRect(0, 0, 80, 20), nullptr, 0));
    ASSERT_GE(edit.seen.size(), 2u);
    EXPECT_EQ(edit.seen[0], WM_NCCREATE);
    EXPECT_EQ(edit.seen[1], WM_CREATE);
    // The edit's own creation still ran behind us: it takes text.
    edit.SetWindowText("typed");
    EXPECT_EQ(edit.GetWindowText(), "typed");
    edit.SetFont(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
    EXPECT_EQ(edit.seen.back(), static_cast<UINT>(WM_SETFONT));

    // A window whose WM_CREATE refuses is not made, and the object stays free.
    CreatingWindow refused;
    refused.createResult = -1;
    EXPECT_FALSE(refused.CreateEx(0, "EDIT", "", WS_POPUP, CRect(0, 0, 80, 20), nullptr, 0));
    EXPECT_EQ(refused.m_hWnd, nullptr);
}

namespace {

// A menu whose items it measures and draws itself; records which requests reached it.
class RecordingMenu : public CMenu {
public:
    int measured = 0, drawn = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT measure) override
    {
        ++measured;
        measure->itemWidth = 80;
        measure->itemHeight = 20;
    }
    void DrawItem(LPDRAWITEMSTRUCT draw) override
    {
        ++drawn;
        ::FillRect(draw->hDC, &draw->rcItem, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    }
};

// A child with id 0, as wizard pages are: a menu's measure request must not reach it.
class ChildZero : public CWnd {
public:
    int notified = 0;
    BOOL OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT*) override
    {
        if (message == WM_MEASUREITEM || message == WM_DRAWITEM)
            ++notified;
        return FALSE;
    }
};

UINT g_taskbarLike = ::RegisterWindowMessageA("SequoraFrameworkTestMessage");

class MenuOwner : public CWnd {
public:
    int registered = 0;
    LRESULT OnRegistered(WPARAM wParam, LPARAM)
    {
        ++registered;
        return static_cast<LRESULT>(wParam + 1);
    }
    LRESULT OnThrow(WPARAM wParam, LPARAM)
    {
        if (wParam)
            AfxThrowInvalidArgException();
        AfxThrowMemoryException();
    }
    DECLARE_MESSAGE_MAP()
};

constexpr UINT kAppThrow = WM_APP + 40;

BEGIN_MESSAGE_MAP(MenuOwner, CWnd)
    ON_REGISTERED_MESSAGE(g_taskbarLike, MenuOwner::OnRegistered)
    ON_MESSAGE(kAppThrow, MenuOwner::OnThrow)
END_MESSAGE_MAP()

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

}  // namespace

TEST(CMenu, OwnerDrawnItemsOfATrackedMenuReachTheMenuNotAChildWithIdZero)
{
    MenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 200), nullptr, 0));
    ChildZero child;
    ASSERT_TRUE(child.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), &owner, 0));
    RecordingMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendMenu(MF_OWNERDRAW, 501, reinterpret_cast<const char*>(0x1234)));
    ASSERT_TRUE(menu.InsertMenu(0, MF_BYPOSITION | MF_OWNERDRAW, 500, reinterpret_cast<const char*>(0x1233)));
    EXPECT_EQ(menu.GetMenuItemID(0), 500u);
    ::SetForegroundWindow(owner);
    ::SetTimer(nullptr, 0, 400, &EndMenuSoon);
    menu.TrackPopupMenu(TPM_LEFTALIGN, 120, 120, &owner);
    HWND trackedFor = nullptr;
    EXPECT_EQ(CMenu::GetLastTrackedMenu(&trackedFor), menu.m_hMenu);
    EXPECT_EQ(trackedFor, owner.m_hWnd);
    EXPECT_GE(menu.measured, 2);
    EXPECT_GE(menu.drawn, 1);
    EXPECT_EQ(child.notified, 0);

    // Straight requests as the system makes them: found through the tracked menu, and a draw
    // request's menu handle is never taken for a window.
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 501, 0, 0, 0x1234};
    const int before = menu.measured;
    owner.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_EQ(menu.measured, before + 1);
    EXPECT_EQ(measure.itemHeight, 20u);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = 501;
    draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    HDC screen = ::GetDC(nullptr);
    draw.hDC = screen;
    const int drawnBefore = menu.drawn;
    owner.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(menu.drawn, drawnBefore + 1);
    EXPECT_EQ(child.notified, 0);
}

TEST(CMenu, TemporaryObjectsSubmenusAndMenuCalls)
{
    CMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuA(popup, MF_STRING, 11, "&Open");
    ::AppendMenuA(popup, MF_STRING, 12, "&Close");
    bar.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(popup), "&File");
    CMenu* sub = bar.GetSubMenu(0);
    ASSERT_TRUE(sub);
    EXPECT_EQ(sub->m_hMenu, popup);
    EXPECT_EQ(CMenu::FromHandlePermanent(popup), nullptr);    // borrowed, not bound
    EXPECT_EQ(CMenu::FromHandle(popup), sub);
    EXPECT_EQ(bar.GetSubMenu(1), nullptr);
    sub->EnableMenuItem(12, MF_BYCOMMAND | MF_GRAYED);
    sub->CheckMenuItem(11, MF_BYCOMMAND | MF_CHECKED);
    EXPECT_TRUE(sub->SetDefaultItem(1, TRUE));
    EXPECT_EQ(sub->GetDefaultItem(GMDI_USEDISABLED), 12u);   // a greyed default counts only so
    EXPECT_TRUE(sub->GetMenuState(12, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(sub->GetMenuState(11, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(sub->ModifyMenu(0, MF_BYPOSITION | MF_STRING, 13, "&New"));
    char text[32] = {};
    EXPECT_EQ(sub->GetMenuString(0, text, sizeof text, MF_BYPOSITION), 4);
    EXPECT_STREQ(text, "&New");
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID;
    EXPECT_TRUE(sub->GetMenuItemInfo(0, &info, TRUE));
    EXPECT_EQ(info.wID, 13u);
    // Borrowed wrappers go when the thread is idle; the menu itself stays.
    CWnd::DeleteTempMap();
    EXPECT_TRUE(::IsMenu(popup));
    // The bar's destruction takes its submenu with it, through the virtual DestroyMenu.
    EXPECT_TRUE(bar.DestroyMenu());
    EXPECT_FALSE(::IsMenu(popup));
}

TEST(CWnd, RegisteredMessagesAndFailuresEndingOneMessage)
{
    MenuOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "owner", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    EXPECT_EQ(owner.SendMessage(g_taskbarLike, 41, 0), 42);
    EXPECT_EQ(owner.registered, 1);
    // Out of memory and an invalid argument end that message with 0; the window lives on.
    EXPECT_EQ(owner.SendMessage(kAppThrow, 0, 0), 0);
    EXPECT_EQ(owner.SendMessage(kAppThrow, 1, 0), 0);
    EXPECT_TRUE(owner.IsWindow());
    EXPECT_EQ(owner.SendMessage(g_taskbarLike, 1, 0), 2);
}

TEST(CWnd, TopLevelParentMainWindowAndFonts)
{
    CWnd top, child, grandChild;
    ASSERT_TRUE(top.CreateEx(0, "STATIC", "top", WS_POPUP, CRect(0, 0, 90, 90), nullptr, 0));
    ASSERT_TRUE(child.CreateEx(0, "STATIC", "", WS_CHILD, CRect(0, 0, 50, 50), &top, 1));
    ASSERT_TRUE(grandChild.CreateEx(0, "STATIC", "", WS_CHILD, CRect(0, 0, 20, 20), &child, 2));
    EXPECT_EQ(grandChild.GetTopLevelParent(), &top);
    EXPECT_EQ(top.GetTopLevelParent(), &top);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Microsoft Sans Serif"));
    LOGFONTA logFont = {};
    ASSERT_TRUE(font.GetLogFont(&logFont));
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(logFont.lfHeight, -::MulDiv(10, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, screen);
    EXPECT_STREQ(logFont.lfFaceName, "Microsoft Sans Serif");

    CPen pen(PS_SOLID, 0, RGB(1, 2, 3));
    LOGPEN logPen = {};
    ASSERT_TRUE(pen.GetObject(sizeof logPen, &logPen));
    EXPECT_EQ(logPen.lopnColor, RGB(1, 2, 3));
    CBitmap mono;
    ASSERT_TRUE(mono.CreateBitmap(8, 8, 1, 1, nullptr));
    BITMAP info = {};
    mono.GetBitmap(&info);
    EXPECT_EQ(info.bmBitsPixel, 1);
}

namespace {

class OwnerCheckDialog : public CDialog {
public:
    explicit OwnerCheckDialog(CWnd* parent, HWND top) : CDialog(IDD_TEST_DIALOG, parent), m_top(top) {}
    BOOL topEnabledWhileUp = TRUE;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        SetTimer(1, 50);
        return TRUE;
    }
    void OnTimer(UINT_PTR id)
    {
        KillTimer(id);
        topEnabledWhileUp = ::IsWindowEnabled(m_top);
        EndDialog(IDOK);
    }
    HWND m_top;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnerCheckDialog, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

}  // namespace

TEST(CDialog, ModalDialogOverAChildHoldsTheWholeTopLevelWindow)
{
    CWnd top, page;
    ASSERT_TRUE(top.CreateEx(0, "STATIC", "top", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
    ASSERT_TRUE(page.CreateEx(WS_EX_CONTROLPARENT, "STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &top, 0));
    OwnerCheckDialog dialog(&page, top.m_hWnd);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_FALSE(dialog.topEnabledWhileUp);
    EXPECT_TRUE(top.IsWindowEnabled());
    EXPECT_EQ(::GetActiveWindow(), top.m_hWnd);
}

TEST(CWinApp, MessageBoxesCarryTheApplicationsTitle)
{
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, "STATIC", "main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 80, 80), nullptr, 0));
    app.m_pMainWnd = &main;
    EXPECT_EQ(AfxGetMainWnd(), &main);
    EXPECT_EQ(AfxGetThread(), &app);
    CWinApp* fromWorker = &app;
    std::thread([&fromWorker] { fromWorker = AfxGetThread(); }).join();
    EXPECT_EQ(fromWorker, nullptr);                 // a worker has no thread object

    for (const char* title : {"Lumetta 1.0", ""}) {
        app.m_strAppTitle = title;
        std::string caption, text;
        std::thread answer([&] {
            HWND box = harness::WaitForMessageBox(::GetCurrentProcessId());
            caption = harness::WindowText(box);
            text = harness::MessageBoxText(box);
            harness::AnswerMessageBox(::GetCurrentProcessId(), IDOK);
        });
        EXPECT_EQ(AfxMessageBox("Something to say"), IDOK);
        answer.join();
        EXPECT_EQ(caption, *title ? title : "test_framework");      // else the program's name
        EXPECT_EQ(text, "Something to say");
    }
}

namespace {

// A handler of each of the menu, cursor and icon messages, recording what it was given.
class MenuMessageWindow : public CWnd {
public:
    std::vector<std::string> heard;
    HICON icon = ::LoadIconA(nullptr, IDI_APPLICATION);
    HCURSOR OnQueryDragIcon()
    {
        heard.push_back("drag icon");
        return icon;
    }
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message)
    {
        heard.push_back("cursor " + std::to_string(wnd == this) + " " + std::to_string(hitTest) + " " +
                        std::to_string(message));
        return TRUE;
    }
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu)
    {
        heard.push_back("popup " + std::to_string(popup != nullptr) + " " + std::to_string(index) + " " +
                        std::to_string(sysMenu));
    }
    LRESULT OnMenuChar(UINT character, UINT flags, CMenu* menu)
    {
        heard.push_back(std::string("char ") + static_cast<char>(character) + " " + std::to_string(flags) + " " +
                        std::to_string(menu != nullptr));
        return MAKELRESULT(3, MNC_EXECUTE);
    }
    void OnDrawItem(int id, LPDRAWITEMSTRUCT draw)
    {
        heard.push_back("draw " + std::to_string(id) + " " + std::to_string(draw->itemID));
    }
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure)
    {
        heard.push_back("measure " + std::to_string(id) + " " + std::to_string(measure->itemID));
        measure->itemHeight = 17;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MenuMessageWindow, CWnd)
    ON_WM_QUERYDRAGICON()
    ON_WM_SETCURSOR()
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUCHAR()
    ON_WM_DRAWITEM()
    ON_WM_MEASUREITEM()
END_MESSAGE_MAP()

}  // namespace

TEST(CWnd, MenuCursorAndIconMessagesReachTheirMapEntriesUnpacked)
{
    MenuMessageWindow window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 40, 40), nullptr, 0));
    HMENU popup = ::CreatePopupMenu();
    EXPECT_EQ(window.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(window.icon));
    EXPECT_EQ(window.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    window.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(2, TRUE));
    EXPECT_EQ(window.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(popup)),
              MAKELRESULT(3, MNC_EXECUTE));
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, 71, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(popup), nullptr, {}, 0};
    EXPECT_EQ(window.SendMessage(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 72, 0, 0, 0};
    EXPECT_EQ(window.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)), TRUE);
    EXPECT_EQ(measure.itemHeight, 17u);
    const std::vector<std::string> expected = {
        "drag icon", "cursor 1 1 512", "popup 1 2 1", "char x 16 1", "draw 0 71", "measure 0 72",
    };
    EXPECT_EQ(window.heard, expected);
    ::DestroyMenu(popup);
}
