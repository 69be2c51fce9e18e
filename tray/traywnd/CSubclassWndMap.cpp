#include "CSubclassWndMap.h"

#include "CSubclassWnd.h"

namespace {

bool g_mapGone = false;

}  // namespace

CSubclassWndMap* CSubclassWndMap::GetHookMap()
{
    static CSubclassWndMap map;
    return g_mapGone ? nullptr : &map;
}

CSubclassWndMap::~CSubclassWndMap()
{
    g_mapGone = true;
}

CSubclassWnd* CSubclassWndMap::Lookup(HWND window) const
{
    auto it = m_heads.find(window);
    return it == m_heads.end() ? nullptr : it->second;
}

void CSubclassWndMap::Remove(CSubclassWnd* hook)
{
    CSubclassWnd* head = Lookup(hook->m_hWnd);
    if (!head)
        return;
    if (head == hook) {
        if (hook->m_pNext) {
            m_heads[hook->m_hWnd] = hook->m_pNext;      // the window keeps HookWndProc
        } else {
            m_heads.erase(hook->m_hWnd);
            ::SetWindowLongPtrA(hook->m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->m_pOldWndProc));
        }
        return;
    }
    for (CSubclassWnd* before = head; before->m_pNext; before = before->m_pNext) {
        if (before->m_pNext == hook) {
            before->m_pNext = hook->m_pNext;
            return;
        }
    }
}
