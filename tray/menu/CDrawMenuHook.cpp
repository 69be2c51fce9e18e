#include "CDrawMenuHook.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "AfxException.h"
#include "CDrawMenu.h"
#include "CDrawMenuTempHandler.h"
#include "CMenuTheme.h"
#include "CMenuTheme2003.h"
#include "CMenuThemeXP.h"
#include "CRect.h"
#include "CRgn.h"
#include "CSelectGuard.h"
#include "DrawMenuSettings.h"

const char* const OLD_MENU_PROC_PROPERTY = "OldMenuProc";
std::vector<CMenuTheme*>* g_pMenuThemes = nullptr;
CMenuTheme* g_pCurrentMenuTheme = nullptr;
HHOOK CDrawMenuHook::s_hHook = nullptr;
DWORD g_dwDrawMenuOptions = 0;

// The library's objects are built in this order before the program's main entry: the version
// code (its own file, priority 200), then the hook object, which reads it, then the map of menu
// windows. Within one file C++ keeps the order of definition; across files only the priority does.
static CDrawMenuHook g_DrawMenuHook __attribute__((init_priority(201)));
CMenuHookDataMap g_MenuHookDataMap __attribute__((init_priority(202)));

namespace {

constexpr char MENU_WINDOW_CLASS[] = "#32768";
constexpr char DIALOG_CLASS[] = "#32770";

bool HasClass(HWND window, const char* name)
{
    char className[21] = {};
    ::GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, name) == 0;
}

WNDPROC OldMenuProc(HWND window)
{
    return reinterpret_cast<WNDPROC>(::GetPropA(window, OLD_MENU_PROC_PROPERTY));
}

CMenuTheme* CurrentTheme()
{
    return g_pCurrentMenuTheme;
}

// Wine draws a menu's own edge inside the menu window's client area, round its items, where the
// system's border would be non-client: inside a frame of the theme's it would show as a second
// edge. The part of the client area round the items, in client coordinates, into `edge`; false
// when the menu holds no item.
bool SystemEdgeRegion(HWND window, HMENU menu, CRgn& edge)
{
    CRect items;
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        RECT item = {};
        if (::GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &item))
            ::UnionRect(&items, &items, &item);
    }
    if (::IsRectEmpty(&items))
        return false;
    ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&items), 2);
    CRect client;
    ::GetClientRect(window, &client);
    CRgn inside;
    if (!edge.CreateRectRgn(client.left, client.top, client.right, client.bottom) ||
        !inside.CreateRectRgn(items.left, items.top, items.right, items.bottom))
        return false;
    return ::CombineRgn(edge, edge, inside, RGN_DIFF) != ERROR;
}

bool KeepsSystemEdgeOut(CDrawMenuHook::CMenuHookData* data, CMenuTheme* theme)
{
    return g_bWine && data->m_bActive && theme->HasFrame();
}

// Before Wine paints a framed menu: the theme's background where Wine's edge would go, and that
// part taken out of what Wine paints.
void PaintOverSystemEdge(HWND window, CDrawMenuHook::CMenuHookData* data, CMenuTheme* theme)
{
    CRgn edge;
    if (!SystemEdgeRegion(window, data->m_hMenu, edge))
        return;
    if (HDC dc = ::GetDC(window)) {
        ::SelectClipRgn(dc, edge);
        theme->EraseBackground(window, dc);
        ::ReleaseDC(window, dc);
    }
    ::ValidateRgn(window, edge);
}

// The themes in the order the list holds them: even types frame their menu windows.
void BuildThemes()
{
    struct Row {
        int type;
        int kind;                                // 0 plain, 1 XP, 2 2003
        MeasurePainter measure;
        DrawPainter draw;
    };
    const Row rows[] = {
        {6, 0, &CDrawMenu::MeasureItemWide, &CDrawMenu::DrawItemShaded},
        {7, 0, &CDrawMenu::MeasureItemWide, &CDrawMenu::DrawItemShaded},
        {0, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemClassic},
        {1, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemClassic},
        {2, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP},
        {3, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP},
        {8, 2, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {9, 2, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {10, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {11, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {4, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemFlatBar},
        {5, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemFlatBar},
    };
    for (const Row& row : rows) {
        const int frame = row.type % 2 == 0 ? 1 : 0;
        CMenuTheme* theme;
        if (row.kind == 2)
            theme = new CMenuTheme2003(row.type, frame, row.measure, row.draw, &CDrawMenu::DrawTitleItem);
        else if (row.kind == 1)
            theme = new CMenuThemeXP(row.type, frame, row.measure, row.draw, &CDrawMenu::DrawTitleItem);
        else
            theme = new CMenuTheme(row.type, frame, row.measure, row.draw, &CDrawMenu::DrawTitleItem);
        if (!CDrawMenuHook::AddTheme(theme))
            delete theme;
    }
    g_pCurrentMenuTheme = nullptr;
    for (CMenuTheme* theme : *g_pMenuThemes) {
        if (theme->m_nType == 2) {
            g_pCurrentMenuTheme = theme;
            break;
        }
    }
}

}  // namespace

CDrawMenuHook::CMenuHookData::CMenuHookData(HWND window, DWORD state)
    : m_dwStyle(static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE))),
      m_dwExStyle(static_cast<DWORD>(::GetWindowLongA(window, GWL_EXSTYLE))),
      m_dwState(state),
      m_hMenu(g_hPendingMenu)
{
    g_hPendingMenu = nullptr;
}

CDrawMenuHook::CMenuHookData::~CMenuHookData()
{
    if (m_hUpdateRgn != NO_SAVED_REGION && m_hUpdateRgn)
        ::DeleteObject(m_hUpdateRgn);
}

CDrawMenuHook::CDrawMenuHook()
{
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    g_bWine = kernel && ::GetProcAddress(kernel, "wine_get_unix_file_name") ? 1 : 0;
    HIGHCONTRASTA contrast = {};
    contrast.cbSize = sizeof contrast;
    g_bHighContrast =
        ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) && (contrast.dwFlags & HCF_HIGHCONTRASTON)
            ? 1
            : 0;
    g_bRemoteSession = ::GetSystemMetrics(SM_REMOTESESSION) ? 1 : 0;

    m_hUxTheme = ::LoadLibraryA("uxtheme.dll");
    if (m_hUxTheme) {
        g_pfnIsThemeActive = reinterpret_cast<IsThemeActiveProc>(
            reinterpret_cast<void*>(::GetProcAddress(m_hUxTheme, "IsThemeActive")));
        g_pfnSetWindowTheme = reinterpret_cast<SetWindowThemeProc>(
            reinterpret_cast<void*>(::GetProcAddress(m_hUxTheme, "SetWindowTheme")));
    }
    // 98's GradientFill is left alone: the strips draw the same gradient there. (The code is asked
    // again rather than read, so this does not hang on the order of the two objects' building.)
    if (GetWindowsVersionCode() != OSCODE_WIN98) {
        m_hMsImg32 = ::LoadLibraryA("Msimg32.dll");
        if (m_hMsImg32)
            g_pfnGradientFill = reinterpret_cast<GradientFillProc>(
                reinterpret_cast<void*>(::GetProcAddress(m_hMsImg32, "GradientFill")));
    }

    BuildThemes();

    if (!s_hHook) {
        s_hHook = ::SetWindowsHookExA(WH_CALLWNDPROC, &CDrawMenuHook::MenuHookProc, nullptr, ::GetCurrentThreadId());
        if (!s_hHook)
            AfxThrowMemoryException();
    }
}

CDrawMenuHook::~CDrawMenuHook()
{
    if (s_hHook) {
        ::UnhookWindowsHookEx(s_hHook);
        s_hHook = nullptr;
    }
    if (g_pMenuThemes) {
        while (!g_pMenuThemes->empty()) {
            delete g_pMenuThemes->back();
            g_pMenuThemes->pop_back();
        }
        delete g_pMenuThemes;
        g_pMenuThemes = nullptr;
    }
    g_pCurrentMenuTheme = nullptr;
    g_pfnIsThemeActive = nullptr;
    g_pfnSetWindowTheme = nullptr;
    if (m_hUxTheme)
        ::FreeLibrary(m_hUxTheme);
    g_pfnGradientFill = nullptr;
    if (m_hMsImg32)
        ::FreeLibrary(m_hMsImg32);
    DeleteImageListHolders();
}

BOOL CDrawMenuHook::AddTheme(CMenuTheme* theme)
{
    if (!g_pMenuThemes)
        g_pMenuThemes = new std::vector<CMenuTheme*>();
    if (std::find(g_pMenuThemes->begin(), g_pMenuThemes->end(), theme) != g_pMenuThemes->end())
        return FALSE;
    g_pMenuThemes->push_back(theme);
    return TRUE;
}

CDrawMenuHook::CMenuHookData* CDrawMenuHook::FindHookData(HWND window)
{
    auto it = g_MenuHookDataMap.find(window);
    return it == g_MenuHookDataMap.end() ? nullptr : it->second;
}

LRESULT CALLBACK CDrawMenuHook::MenuHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (call->message == WM_CREATE || call->message == MN_SIZEWINDOW_MESSAGE) {
            if (!SubclassMenuWindow(call->hwnd, call->message == MN_SIZEWINDOW_MESSAGE) &&
                (g_dwDrawMenuOptions & MENU_OPTION_TEMP_HANDLER) && call->message == WM_CREATE &&
                HasClass(call->hwnd, DIALOG_CLASS))
                new CDrawMenuTempHandler(call->hwnd);
        }
    }
    return ::CallNextHookEx(s_hHook, code, wParam, lParam);
}

BOOL CDrawMenuHook::SubclassMenuWindow(HWND window, BOOL bySizeWindow)
{
    if (!HasClass(window, MENU_WINDOW_CLASS))
        return FALSE;
    BOOL subclassed = FALSE;
    if (!FindHookData(window)) {
        HMENU menu = g_hPendingMenu;
        const bool asked = menu == nullptr;
        if (asked) {
            menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU_MESSAGE, 0, 0));
            g_hPendingMenu = menu;
        }
        if (!CDrawMenu::FromHandleDraw(menu)) {
            // A foreign menu's handle must not wait for the next menu window: that one would be
            // judged by it and refused too. A handle announced before the popup opened stays.
            if (asked)
                g_hPendingMenu = nullptr;
            return FALSE;
        }
        const LONG_PTR procedure = ::GetWindowLongPtrA(window, GWLP_WNDPROC);
        if (procedure && !::GetPropA(window, OLD_MENU_PROC_PROPERTY)) {
            ::SetPropA(window, OLD_MENU_PROC_PROPERTY, reinterpret_cast<HANDLE>(procedure));
            if (::GetPropA(window, OLD_MENU_PROC_PROPERTY) == reinterpret_cast<HANDLE>(procedure)) {
                ::GlobalAddAtomA(OLD_MENU_PROC_PROPERTY);
                if (!FindHookData(window)) {
                    auto* data = new CMenuHookData(window, bySizeWindow ? DWORD(HOOKSTATE_BY_SIZEWINDOW) : DWORD(0));
                    g_MenuHookDataMap[window] = data;
                    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDrawMenuHook::MenuWndProc));
                    if (CMenuTheme* theme = CurrentTheme())
                        theme->OnInitWnd(window);
                    subclassed = TRUE;
                }
            }
        }
    }
    if (g_hPendingMenu) {
        if (CMenuHookData* data = FindHookData(window)) {
            data->m_hMenu = g_hPendingMenu;
            data->m_bActive = TRUE;
            g_hPendingMenu = nullptr;
            if (CMenuTheme* theme = CurrentTheme())
                theme->OnInitWnd(window);
        }
    }
    return subclassed;
}

void CDrawMenuHook::UnsubclassMenuWindow(HWND window)
{
    if (WNDPROC old = OldMenuProc(window)) {
        // Only while the procedure is still ours; a later subclass keeps the chain through us.
        if (::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CDrawMenuHook::MenuWndProc)) {
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            ::RemovePropA(window, OLD_MENU_PROC_PROPERTY);
            if (ATOM atom = ::GlobalFindAtomA(OLD_MENU_PROC_PROPERTY))
                ::GlobalDeleteAtom(atom);
        }
    }
    auto it = g_MenuHookDataMap.find(window);
    if (it == g_MenuHookDataMap.end())
        return;
    if (CMenuTheme* theme = CurrentTheme())
        theme->OnUnInitWnd(window);
    CMenuHookData* data = it->second;
    g_MenuHookDataMap.erase(window);
    delete data;
}

LRESULT CDrawMenuHook::PaintFrame(HWND window, CMenuHookData* data, WNDPROC oldProc, WPARAM wParam, LPARAM lParam)
{
    CMenuTheme* theme = CurrentTheme();
    if (!data->m_bActive || !theme)
        return ::CallWindowProcA(oldProc, window, WM_NCPAINT, wParam, lParam);
    HRGN update = reinterpret_cast<HRGN>(wParam);
    if (!data->m_bFramePainted && update != data->m_hUpdateRgn) {
        if (data->m_hUpdateRgn != CMenuHookData::NO_SAVED_REGION && data->m_hUpdateRgn)
            ::DeleteObject(data->m_hUpdateRgn);
        data->m_hUpdateRgn = CMenuHookData::NO_SAVED_REGION;
        if (update != CMenuHookData::NO_SAVED_REGION) {
            HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
            if (copy && ::CombineRgn(copy, update, nullptr, RGN_COPY) != ERROR)
                data->m_hUpdateRgn = copy;
            else if (copy)
                ::DeleteObject(copy);
        }
    }
    bool draw = !(data->m_dwState & HOOKSTATE_PRINTING);
    LRESULT result = 0;
    if (data->m_bFramePainted && theme->HasFrame()) {
        HDC dc = ::GetWindowDC(window);
        RECT inner;
        if (dc && theme->PaintFrame(window, dc, FALSE) && theme->GetFrameRect(window, &inner)) {
            CRgn region;
            region.CreateRectRgn(inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1);
            result = ::CallWindowProcA(oldProc, window, WM_NCPAINT, reinterpret_cast<WPARAM>(region.GetSafeHandle()),
                                       lParam);
            theme->PaintFrame(window, dc, TRUE);
            draw = false;
        }
        if (dc)
            ::ReleaseDC(window, dc);
    }
    if (!theme->HasFrame())
        return draw ? ::CallWindowProcA(oldProc, window, WM_NCPAINT, wParam, lParam) : result;
    if (draw) {
        CMenuTheme::CaptureShade(window);
        result = ::CallWindowProcA(oldProc, window, WM_NCPAINT, wParam, lParam);
    }
    return result;
}

LRESULT CDrawMenuHook::PrintFrame(HWND window, CMenuHookData* data, WNDPROC oldProc, HDC target, LPARAM flags)
{
    CMenuTheme* theme = CurrentTheme();
    data->m_dwState |= HOOKSTATE_PRINTING;
    CRect frame;
    ::GetWindowRect(window, &frame);
    const int w = frame.Width(), h = frame.Height();
    HDC memory = ::CreateCompatibleDC(target);
    CBitmap picture;
    if (memory && picture.CreateCompatibleBitmap(target, w, h)) {
        CSelectGuard select(memory, picture.GetSafeHandle());
        theme->PaintFrame(window, memory, FALSE);
        RECT inner;
        if (theme->GetFrameRect(window, &inner)) {
            ::OffsetRect(&inner, -frame.left, -frame.top);
            const int saved = ::SaveDC(memory);
            ::IntersectClipRect(memory, inner.left + 1, inner.top + 1, inner.right - 1, inner.bottom - 1);
            ::CallWindowProcA(oldProc, window, WM_PRINT, reinterpret_cast<WPARAM>(memory), flags & ~PRF_CLIENT);
            ::RestoreDC(memory, saved);
            ::BitBlt(target, 0, 0, w, h, memory, 0, 0, SRCCOPY);

            // The client area in the window's coordinates; it paints in its own.
            RECT client = {};
            ::GetClientRect(window, &client);
            POINT origin = {0, 0};
            ::ClientToScreen(window, &origin);
            const int cx = origin.x - frame.left, cy = origin.y - frame.top;
            const int clientSaved = ::SaveDC(memory);
            ::IntersectClipRect(memory, cx, cy, cx + client.right, cy + client.bottom);
            ::SetViewportOrgEx(memory, cx, cy, nullptr);
            ::SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
            CRgn edge;
            if (KeepsSystemEdgeOut(data, theme) && SystemEdgeRegion(window, data->m_hMenu, edge)) {
                // The clip region is in device coordinates: the client starts at (cx, cy).
                ::OffsetRgn(edge, cx, cy);
                ::ExtSelectClipRgn(memory, edge, RGN_DIFF);
            }
            ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
            ::RestoreDC(memory, clientSaved);
            ::BitBlt(target, cx, cy, client.right - 1, client.bottom, memory, cx, cy, SRCCOPY);
        }
    }
    if (memory)
        ::DeleteDC(memory);
    data->m_dwState &= ~HOOKSTATE_PRINTING;
    return 0;
}

LRESULT CALLBACK CDrawMenuHook::MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const WNDPROC old = OldMenuProc(window);
    if (!old)
        return ::DefWindowProcA(window, message, wParam, lParam);
    CMenuHookData* data = FindHookData(window);
    CMenuTheme* theme = CurrentTheme();
    if (!data || !theme)
        return ::CallWindowProcA(old, window, message, wParam, lParam);

    switch (message) {
    case WM_ERASEBKGND:
        if (data->m_bActive) {
            if (theme->HasFrame() && !(data->m_dwState & HOOKSTATE_PRINTING) && !data->m_bFramePainted) {
                data->m_bFramePainted = TRUE;
                ::SendMessageA(window, WM_NCPAINT, 1, 0);
            }
            if (theme->EraseBackground(window, reinterpret_cast<HDC>(wParam)))
                return 1;
        }
        break;
    case WM_SHOWWINDOW:
        if (!wParam)
            UnsubclassMenuWindow(window);
        break;
    case WM_WINDOWPOSCHANGING:
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
        if (message == WM_WINDOWPOSCHANGING)
            theme->OnWindowPosChanging(window, pos);
        if (!(pos->flags & SWP_NOMOVE)) {
            if (data->m_nLastX == 0 && data->m_nLastY == 0) {
                data->m_nLastX = pos->x;
                data->m_nLastY = pos->y;
            } else if (pos->x != data->m_nLastX || pos->y != data->m_nLastY) {
                if (pos->flags & SWP_NOSIZE) {
                    // Moved only: the shade must be taken again at the new place.
                    data->m_nLastX = pos->x;
                    data->m_nLastY = pos->y;
                    data->m_bmpShade.DeleteObject();
                } else {
                    UnsubclassMenuWindow(window);
                }
            }
        }
        break;
    }
    case WM_NCDESTROY:
        UnsubclassMenuWindow(window);
        break;
    case WM_NCCALCSIZE:
        if (data->m_bActive && theme->OnNcCalcSize(window, reinterpret_cast<RECT*>(lParam)))
            return 0;
        break;
    case WM_NCPAINT:
        return PaintFrame(window, data, old, wParam, lParam);
    case WM_PAINT:
        if (KeepsSystemEdgeOut(data, theme))
            PaintOverSystemEdge(window, data, theme);
        break;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE)
            data->m_dwState |= HOOKSTATE_ESCAPE;
        break;
    case WM_TIMER:
        if (wParam == MENU_LAYER_TIMER && g_nOsVersionCode > OSCODE_NT4) {
            const LONG exStyle = ::GetWindowLongA(window, GWL_EXSTYLE);
            if (!(exStyle & WS_EX_LAYERED)) {
                ::SetWindowLongA(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
                ::SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
            }
            data->m_dwState &= ~HOOKSTATE_ESCAPE;
            ::KillTimer(window, MENU_LAYER_TIMER);
            return 0;
        }
        break;
    case WM_PRINT:
        if (data->m_bActive && theme->HasFrame())
            return PrintFrame(window, data, old, reinterpret_cast<HDC>(wParam), lParam);
        break;
    default:
        break;
    }
    return ::CallWindowProcA(old, window, message, wParam, lParam);
}
