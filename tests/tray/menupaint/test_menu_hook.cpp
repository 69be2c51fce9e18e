// The menu hook on real popup menus of this thread. Wine never sends the menu-size message
// (MN_SIZEWINDOW) and answers MN_GETHMENU with 0 while the window is being created, so the tests
// send MN_SIZEWINDOW to the live menu window themselves, from a timer while the menu tracks.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CDrawMenuTempHandler.h"
#include "CMenuThemeXP.h"
#include "DrawMenuColors.h"
#include "MenuCanvas.h"
#include "MenuTestSupport.h"
#include "Paths.h"
#include "PngFile.h"
#include "WindowDriver.h"

namespace {

constexpr UINT_PTR ID_OPEN = 100;

CDrawMenu* g_hostMenu = nullptr;

// The menu's owner: hands the items' measure and draw requests to the menu, as a dialog of the
// program would.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM && g_hostMenu) {
        g_hostMenu->MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        return TRUE;
    }
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (CDrawMenu* menu = CDrawMenu::FromHandleDraw(reinterpret_cast<HMENU>(draw->hwndItem))) {
            menu->DrawItem(draw);
            return TRUE;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// Light and under the menus it tracks, as a window under a menu would be: a theme's own shade
// darkens what lies under the menu.
HWND MakeHost()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "MenuHookTestHost";
    ::RegisterClassA(&wc);
    HWND host = ::CreateWindowExA(0, "MenuHookTestHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, 480, 320, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(host);
    return host;
}

BOOL CALLBACK TakeVisibleMenuWindow(HWND window, LPARAM param)
{
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (std::string(name) == "#32768" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// The visible popup-menu window of this thread.
HWND FindMenuWindow()
{
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &TakeVisibleMenuWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::function<void(HWND)> g_whileUp;
HWND g_menuWindow = nullptr;

void CALLBACK WhileMenuIsUp(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    g_menuWindow = FindMenuWindow();
    if (g_menuWindow && g_whileUp)
        g_whileUp(g_menuWindow);
    ::EndMenu();
}

// Tracks `menu` from the host and runs `whileUp` on its window once it shows; the menu window.
HWND TrackWhile(HWND host, HMENU menu, std::function<void(HWND)> whileUp)
{
    g_whileUp = std::move(whileUp);
    g_menuWindow = nullptr;
    ::SetTimer(nullptr, 0, 150, &WhileMenuIsUp);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, 200, 150, 0, host, nullptr);
    g_whileUp = nullptr;
    return g_menuWindow;
}

// The distances of the client area from the window's edges: left, top, right, bottom.
RECT ClientInsets(HWND window)
{
    RECT frame = {}, client = {};
    ::GetWindowRect(window, &frame);
    ::GetClientRect(window, &client);
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    return {origin.x - frame.left, origin.y - frame.top, frame.right - (origin.x + client.right),
            frame.bottom - (origin.y + client.bottom)};
}

class MenuHook : public testing::Test {
protected:
    void SetUp() override
    {
        host = MakeHost();
        ASSERT_TRUE(menu.CreatePopupMenu());
        ASSERT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Open the disk", MF_BYPOSITION | MF_STRING, ID_OPEN));
        ASSERT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), nullptr, MF_BYPOSITION, 0));
        ASSERT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Close", MF_BYPOSITION | MF_STRING, ID_OPEN + 1));
        g_hostMenu = &menu;
        g_hPendingMenu = nullptr;
    }
    void TearDown() override
    {
        g_hostMenu = nullptr;
        ::DestroyWindow(host);
    }

    // After the menu closed: no record, no property, our procedure gone.
    static void ExpectReleased(HWND window)
    {
        EXPECT_TRUE(g_MenuHookDataMap.empty());
        EXPECT_EQ(::GlobalFindAtomA(OLD_MENU_PROC_PROPERTY), 0);
        if (::IsWindow(window)) {
            EXPECT_EQ(::GetPropA(window, OLD_MENU_PROC_PROPERTY), nullptr);
            EXPECT_NE(::GetWindowLongPtrA(window, GWLP_WNDPROC),
                      reinterpret_cast<LONG_PTR>(&CDrawMenuHook::MenuWndProc));
        }
    }

    SavedMenuSettings saved;
    HWND host = nullptr;
    CDrawMenu menu;
};

TEST_F(MenuHook, EachFramedThemeTakesTheMenuWindowAndFramesItUntilTheMenuCloses)
{
    for (int type : {0, 2, 4, 6, 8, 10}) {
        SCOPED_TRACE(testing::Message() << "theme type " << type);
        CDrawMenu::SelectTheme(type);
        CMenuTheme* theme = g_pCurrentMenuTheme;
        ASSERT_EQ(theme->m_nType, type);
        bool subclassed = false;
        const HWND window = TrackWhile(host, menu, [&](HWND w) {
            ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
            // Once only, however often the message comes.
            ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
            CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(w);
            ASSERT_NE(data, nullptr);
            subclassed = true;
            EXPECT_EQ(g_MenuHookDataMap.size(), 1u);
            EXPECT_NE(::GetPropA(w, OLD_MENU_PROC_PROPERTY), nullptr);
            EXPECT_EQ(::GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CDrawMenuHook::MenuWndProc));
            EXPECT_TRUE(data->m_dwState & CDrawMenuHook::HOOKSTATE_BY_SIZEWINDOW);
            EXPECT_TRUE(data->m_dwState & CDrawMenuHook::HOOKSTATE_STYLES_CHANGED);
            EXPECT_EQ(data->m_hMenu, menu.m_hMenu);
            EXPECT_EQ(g_hPendingMenu, nullptr);

            // The window printed: the theme's frame round it, once the system has sized the window
            // after this message (the theme grows it for its frame) and computed its frame again.
            RECT frame;
            ::GetWindowRect(w, &frame);
            ::SetWindowPos(w, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            ::GetWindowRect(w, &frame);
            MenuCanvas picture(frame.right - frame.left, frame.bottom - frame.top, RGB(1, 2, 3));
            ASSERT_TRUE(::PrintWindow(w, picture.dc(), 0));
            const int width = picture.width(), height = picture.height();

            // Every item whole inside the client area, and round the items, inside the frame, only
            // the theme's own background: no second edge of the system's.
            const RECT insets = ClientInsets(w);
            const RECT client = {insets.left, insets.top, width - insets.right, height - insets.bottom};
            RECT items = {};
            for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
                RECT item = {};
                ASSERT_TRUE(::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item));
                ::UnionRect(&items, &items, &item);
            }
            ::OffsetRect(&items, -frame.left, -frame.top);
            EXPECT_LE(items.bottom, client.bottom) << "the last item is cut";
            EXPECT_LE(items.right, client.right);
            EXPECT_GE(items.left, client.left);
            EXPECT_GE(items.top, client.top);
            MenuCanvas erased(client.right - client.left, client.bottom - client.top, RGB(1, 2, 3));
            theme->EraseBackground(w, erased.dc());
            const COLORREF background = erased.At(0, 0);
            auto foreignPixels = [&](const std::function<COLORREF(int, int)>& at) {
                int foreign = 0;
                for (int y = client.top; y < client.bottom; ++y)
                    for (int x = client.left; x < client.right - 1; ++x) {
                        const POINT p = {x, y};
                        if (!::PtInRect(&items, p) && at(x, y) != background)
                            ++foreign;
                    }
                return foreign;
            };
            EXPECT_EQ(foreignPixels([&](int x, int y) { return picture.At(x, y); }), 0)
                << "printed: pixels round the items that are not the theme's background";
            // The same on the screen, painted anew.
            ::RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            std::vector<DWORD> screen;
            int sw = 0, sh = 0;
            ASSERT_TRUE(harness::CaptureWindow(w, screen, sw, sh));
            ASSERT_EQ(sw, width);
            auto onScreen = [&](int x, int y) { return ColorOfPixel(screen[static_cast<size_t>(y) * sw + x]); };
            EXPECT_EQ(foreignPixels(onScreen), 0)
                << "on screen: pixels round the items that are not the theme's background";
            const bool xp = dynamic_cast<CMenuThemeXP*>(theme) != nullptr;
            const COLORREF outline =
                xp ? ScaleColorDown(GetMenuBackColor(menu), 128) : ::GetSysColor(COLOR_HIGHLIGHT);
            const int edge = theme->m_nFrameRight == 2 ? 1 : 5;
            EXPECT_EQ(picture.At(0, 0), outline);
            EXPECT_EQ(picture.At(width - edge, height / 2), outline);
            EXPECT_EQ(picture.At(width / 2, height - edge), outline);
            EXPECT_EQ(picture.At(0, height / 2), outline);
            EXPECT_EQ(::GetPropA(w, OLD_MENU_PROC_PROPERTY) != nullptr, true);
            SavePngFile(harness::JoinPath(harness::BuildDir(), "menu_frame_" + std::to_string(type) + ".png"),
                        picture.Pixels(), width, height);
        });
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(subclassed);
        ExpectReleased(window);
    }
}

TEST_F(MenuHook, AFramedThemeMakesRoomForItsFrameAnUnframedOneKeepsTheSystemsClientArea)
{
    auto insetsUnder = [&](int type) {
        CDrawMenu::SelectTheme(type);
        RECT insets = {};
        TrackWhile(host, menu, [&](HWND w) {
            ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
            // The frame is computed again, as when the system sizes a menu window.
            ::SetWindowPos(w, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            insets = ClientInsets(w);
        });
        return insets;
    };
    RECT own = {};
    TrackWhile(host, menu, [&](HWND w) {
        ::SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        own = ClientInsets(w);
    });
    const RECT unframed = insetsUnder(9);
    EXPECT_TRUE(EqualRect(&unframed, &own));
    const RECT framed = insetsUnder(8);
    // The frame of our own in place of the system's border, and room for the shade without a
    // system drop shadow.
    const bool systemShadow = ThemeOfType(8)->m_nFrameRight == 2;
    const RECT expected = {2, 2, systemShadow ? 1 : 5, systemShadow ? 2 : 6};
    EXPECT_TRUE(EqualRect(&framed, &expected)) << framed.left << " " << framed.top << " " << framed.right << " "
                                                << framed.bottom << " (system's own: " << own.left << " " << own.top
                                                << " " << own.right << " " << own.bottom << ")";
}

TEST_F(MenuHook, TheFramePaintsOnScreenAndAMoveWithAResizeLetsTheWindowGo)
{
    CDrawMenu::SelectTheme(8);
    bool checked = false;
    const HWND window = TrackWhile(host, menu, [&](HWND w) {
        ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
        ::SetWindowPos(w, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(w);
        ASSERT_NE(data, nullptr);
        // The first erase asks for the frame, which the window's DC then shows.
        ::RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        EXPECT_TRUE(data->m_bFramePainted);
        EXPECT_NE(data->m_bmpShade.GetSafeHandle(), nullptr);
        RECT frame;
        ::GetWindowRect(w, &frame);
        HDC dc = ::GetWindowDC(w);
        const COLORREF outline = ScaleColorDown(GetMenuBackColor(menu), 128);
        EXPECT_EQ(::GetPixel(dc, 0, 0), outline);
        EXPECT_EQ(::GetPixel(dc, frame.right - frame.left - 5, 10), outline);
        ::ReleaseDC(w, dc);

        // Moved without a new size: the window stays taken at its new place.
        ::SetWindowPos(w, nullptr, frame.left + 10, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(CDrawMenuHook::FindHookData(w), data);
        EXPECT_EQ(data->m_nLastX, frame.left + 10);
        // Moved and resized at once: let go, the system's styles back.
        ::SetWindowPos(w, nullptr, frame.left + 20, frame.top, frame.right - frame.left + 6, frame.bottom - frame.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        EXPECT_EQ(CDrawMenuHook::FindHookData(w), nullptr);
        EXPECT_EQ(::GetPropA(w, OLD_MENU_PROC_PROPERTY), nullptr);
        checked = true;
    });
    EXPECT_TRUE(checked);
    ExpectReleased(window);
}

TEST_F(MenuHook, APlainMenuIsNeverTakenAndDoesNotStopTheNextDrawMenu)
{
    CDrawMenu::SelectTheme(8);
    HMENU plain = ::CreatePopupMenu();
    ::AppendMenuA(plain, MF_STRING, 1, "Plain item");
    bool plainSeen = false;
    TrackWhile(host, plain, [&](HWND w) {
        plainSeen = true;
        ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
        EXPECT_EQ(CDrawMenuHook::FindHookData(w), nullptr);
        EXPECT_EQ(::GetPropA(w, OLD_MENU_PROC_PROPERTY), nullptr);
        EXPECT_NE(::GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&CDrawMenuHook::MenuWndProc));
    });
    ::DestroyMenu(plain);
    EXPECT_TRUE(plainSeen);
    // The refused menu's handle is not left waiting for the next menu window.
    EXPECT_EQ(g_hPendingMenu, nullptr);

    bool themed = false;
    TrackWhile(host, menu, [&](HWND w) {
        ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
        themed = CDrawMenuHook::FindHookData(w) != nullptr;
    });
    EXPECT_TRUE(themed);
    EXPECT_TRUE(g_MenuHookDataMap.empty());
}

TEST_F(MenuHook, WithoutAFrameOnlyTheBackgroundIsTheThemesAndKeysAndTimerAreHeard)
{
    CDrawMenu::SelectTheme(9);
    bool checked = false;
    const HWND window = TrackWhile(host, menu, [&](HWND w) {
        RECT frame;
        ::GetWindowRect(w, &frame);
        MenuCanvas before(frame.right - frame.left, frame.bottom - frame.top);
        ::PrintWindow(w, before.dc(), 0);
        ::SendMessageA(w, MN_SIZEWINDOW_MESSAGE, 0, 0);
        CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(w);
        ASSERT_NE(data, nullptr);
        // Type 9 leaves the styles alone and paints no frame: the system's own picture.
        EXPECT_FALSE(data->m_dwState & CDrawMenuHook::HOOKSTATE_STYLES_CHANGED);
        MenuCanvas after(frame.right - frame.left, frame.bottom - frame.top);
        ::PrintWindow(w, after.dc(), 0);
        EXPECT_EQ(after.Pixels(), before.Pixels());

        ::SendMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(data->m_dwState & CDrawMenuHook::HOOKSTATE_ESCAPE);
        g_nOsVersionCode = OSCODE_XP;
        ::SendMessageA(w, WM_TIMER, MENU_LAYER_TIMER, 0);
        EXPECT_TRUE(::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_LAYERED);
        EXPECT_FALSE(data->m_dwState & CDrawMenuHook::HOOKSTATE_ESCAPE);
        checked = true;
    });
    EXPECT_TRUE(checked);
    ExpectReleased(window);
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A dialog made from a template in memory, of the system's dialog class.
HWND MakeDialog()
{
    struct {
        DLGTEMPLATE tmpl;
        WORD menu, windowClass, title;
    } dialog = {};
    dialog.tmpl.style = WS_POPUP | DS_MODALFRAME;
    dialog.tmpl.cx = 100;
    dialog.tmpl.cy = 60;
    return ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr), &dialog.tmpl, nullptr, &QuietDialogProc, 0);
}

TEST_F(MenuHook, DialogsGetATemporaryHandlerOnlyWhenTheOptionIsSet)
{
    g_dwDrawMenuOptions = 0;
    HWND plain = MakeDialog();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(::GetPropA(plain, TEMP_HANDLER_PROPERTY), nullptr);
    ::DestroyWindow(plain);

    g_dwDrawMenuOptions = MENU_OPTION_TEMP_HANDLER;
    HWND dialog = MakeDialog();
    ASSERT_NE(dialog, nullptr);
    CDrawMenuTempHandler* handler = CDrawMenuTempHandler::FromWindow(dialog);
    ASSERT_NE(handler, nullptr);
    EXPECT_EQ(handler->m_hWnd, dialog);

    // A draw request of a CDrawMenu's item reaches that menu's painter.
    CDrawMenu::SelectTheme(9);
    MenuCanvas canvas(160, 22, RGB(1, 2, 3));
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = ID_OPEN;
    draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
    draw.hDC = canvas.dc();
    draw.rcItem = {0, 0, 160, 22};
    draw.itemData = reinterpret_cast<ULONG_PTR>(menu.GetItemDataAt(0));
    EXPECT_EQ(::SendMessageA(dialog, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)), TRUE);
    EXPECT_EQ(canvas.Count({0, 0, 160, 22}, RGB(1, 2, 3)), 0);

    // A popup about to open is announced to the hook; a typed letter finds its item.
    ASSERT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "&Mount", MF_BYPOSITION | MF_STRING, ID_OPEN + 2));
    g_hPendingMenu = nullptr;
    ::SendMessageA(dialog, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu.m_hMenu), 0);
    EXPECT_EQ(g_hPendingMenu, menu.m_hMenu);
    g_hPendingMenu = nullptr;
    EXPECT_EQ(::SendMessageA(dialog, WM_MENUCHAR, MAKEWPARAM('m', MF_POPUP), reinterpret_cast<LPARAM>(menu.m_hMenu)),
              0x20003);

    ::DestroyWindow(dialog);
    EXPECT_EQ(::GetPropA(dialog, TEMP_HANDLER_PROPERTY), nullptr);
    g_dwDrawMenuOptions = 0;
}

}  // namespace
