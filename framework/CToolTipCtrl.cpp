#include "CToolTipCtrl.h"

BOOL CToolTipCtrl::Create(CWnd* owner, DWORD style)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    const CRect none;
    if (!CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, none, owner, 0))
        return FALSE;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

BOOL CToolTipCtrl::AddTool(TOOLINFOA* tool)
{
    tool->cbSize = kToolInfoSize;
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(tool)));
}

void CToolTipCtrl::DelTool(HWND window, UINT_PTR id)
{
    TOOLINFOA tool = {};
    tool.cbSize = kToolInfoSize;
    tool.hwnd = window;
    tool.uId = id;
    SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

BOOL CToolTipCtrl::GetToolAt(int index, TOOLINFOA* tool) const
{
    tool->cbSize = kToolInfoSize;
    tool->lpszText = nullptr;
    return static_cast<BOOL>(SendMessage(TTM_ENUMTOOLSA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(tool)));
}
