#include "CEditEx.h"

BEGIN_MESSAGE_MAP(CEditEx, CEdit)
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_CREATE, CEditEx::OnCreate)
END_MESSAGE_MAP()

CEditEx::CEditEx()
{
    m_brush.CreateSolidBrush(kBackground);
}

BOOL CEditEx::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // The DC's colours stay as the edit set them; only the brush is ours.
        *result = reinterpret_cast<LRESULT>(static_cast<HBRUSH>(m_brush));
        return TRUE;
    }
    return CEdit::OnChildNotify(message, wParam, lParam, result);
}

BOOL CEditEx::OnEraseBkgnd(CDC*)
{
    Default();
    return TRUE;
}

LRESULT CEditEx::OnCreate(WPARAM, LPARAM)
{
    return Default() == -1 ? -1 : 0;
}
