#include "CSubclassWnd.h"

#include <exception>

#include "CSubclassWndMap.h"
#include "CWnd.h"

CSubclassWnd::~CSubclassWnd()
{
    if (m_hWnd) {
        if (CSubclassWndMap* map = CSubclassWndMap::GetHookMap())
            map->Remove(this);
        m_pOldWndProc = nullptr;
        m_hWnd = nullptr;
    }
}

BOOL CSubclassWnd::Hook(HWND window)
{
    CSubclassWndMap* map = CSubclassWndMap::GetHookMap();
    if (!map)
        return TRUE;
    // Hooked twice, the object would become its own next hook and loop for ever.
    if (m_hWnd) {
        map->Remove(this);
        m_pOldWndProc = nullptr;
        m_hWnd = nullptr;
        m_pNext = nullptr;
    }
    if (!window)
        return TRUE;
    CSubclassWnd* head = map->Lookup(window);
    m_pNext = head;
    map->SetAt(window, this);
    if (head)
        m_pOldWndProc = head->m_pOldWndProc;
    else
        m_pOldWndProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookWndProc)));
    m_hWnd = window;
    return TRUE;
}

LRESULT CSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pNext)
        return m_pNext->WindowProc(message, wParam, lParam);
    return ::CallWindowProcA(m_pOldWndProc, m_hWnd, message, wParam, lParam);
}

LRESULT CALLBACK HookWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The framework's default processing inside a hook must see this message.
    MSG* current = AfxGetCurrentMessage();
    const MSG saved = *current;
    current->hwnd = window;
    current->message = message;
    current->wParam = wParam;
    current->lParam = lParam;

    LRESULT result = 0;
    CSubclassWndMap* map = CSubclassWndMap::GetHookMap();
    CSubclassWnd* head = map ? map->Lookup(window) : nullptr;
    if (!head) {
        result = ::DefWindowProcA(window, message, wParam, lParam);
    } else if (message == WM_NCDESTROY) {
        // Every hook leaves before the old procedure sees the end of the window, so the hook
        // objects can be destroyed later without touching it.
        WNDPROC old = head->m_pOldWndProc;
        while (CSubclassWnd* hook = map->Lookup(window))
            hook->Hook(nullptr);
        result = ::CallWindowProcA(old, window, message, wParam, lParam);
    } else {
        try {
            result = head->WindowProc(message, wParam, lParam);
        } catch (const std::exception& failure) {
            ::OutputDebugStringA("Sequora: a window hook failed: ");
            ::OutputDebugStringA(failure.what());
            ::OutputDebugStringA("\n");
            result = 0;
        } catch (...) {
            ::OutputDebugStringA("Sequora: a window hook failed\n");
            result = 0;
        }
    }
    *current = saved;
    return result;
}
