#include "CDrawMenuTempHandler.h"

#include "CDrawMenuHook.h"

const char* const TEMP_HANDLER_PROPERTY = "CDrawMenuTempHandler";

CDrawMenuTempHandler::CDrawMenuTempHandler(HWND dialog) : m_hWnd(dialog)
{
    ::SetPropA(dialog, TEMP_HANDLER_PROPERTY, this);
    m_pOldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDrawMenuTempHandler::WindowProc)));
}

CDrawMenuTempHandler::~CDrawMenuTempHandler()
{
    // Only while the dialog's procedure is still ours: a later subclass keeps its place.
    if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CDrawMenuTempHandler::WindowProc))
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pOldWndProc));
    ::RemovePropA(m_hWnd, TEMP_HANDLER_PROPERTY);
    m_menu.DestroyMenu();
}

CDrawMenuTempHandler* CDrawMenuTempHandler::FromWindow(HWND dialog)
{
    return static_cast<CDrawMenuTempHandler*>(::GetPropA(dialog, TEMP_HANDLER_PROPERTY));
}

LRESULT CALLBACK CDrawMenuTempHandler::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDrawMenuTempHandler* handler = FromWindow(window);
    if (!handler)
        return ::DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC old = handler->m_pOldWndProc;
    switch (message) {
    case WM_DESTROY: {
        const LRESULT result = ::CallWindowProcA(old, window, message, wParam, lParam);
        delete handler;
        return result;
    }
    case WM_DRAWITEM: {
        auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (draw && draw->CtlType == ODT_MENU) {
            if (CDrawMenu* menu = CDrawMenu::FromHandleDraw(reinterpret_cast<HMENU>(draw->hwndItem))) {
                menu->DrawItem(draw);
                return TRUE;
            }
        }
        break;
    }
    case WM_MEASUREITEM:
        if (RouteMeasureItem(window, message, wParam, lParam))
            return TRUE;
        break;
    case WM_INITDIALOG:
        if (g_dwDrawMenuOptions & MENU_OPTION_ADOPT_SYSMENU) {
            const LRESULT result = ::CallWindowProcA(old, window, message, wParam, lParam);
            HMENU system = ::GetSystemMenu(window, FALSE);
            if (system && !CDrawMenu::FromHandleDraw(system) && !handler->m_menu.GetSafeHmenu())
                handler->m_menu.Attach(system);
            return result;
        }
        break;
    case WM_INITMENUPOPUP: {
        const LRESULT result = ::CallWindowProcA(old, window, message, wParam, lParam);
        if (CMenu* popup = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(wParam)))
            BeginMenuPopup(popup, window);
        return result;
    }
    case WM_MENUCHAR: {
        HMENU menu = reinterpret_cast<HMENU>(lParam);
        if (CDrawMenu* drawMenu = CDrawMenu::FromHandleDraw(menu))
            return FindMnemonicItem(static_cast<char>(LOWORD(wParam)), drawMenu);
        break;
    }
    default:
        break;
    }
    return ::CallWindowProcA(old, window, message, wParam, lParam);
}
