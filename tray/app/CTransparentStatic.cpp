#include "CTransparentStatic.h"

#include "CDC.h"
#include "CSelectGuard.h"

namespace lumetta {

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CTransparentStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const CString text = GetWindowText();
    CSelectGuard font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    if (m_bTransparent)
        dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_crText);
    dc.DrawText(text, &client, DT_WORDBREAK);
}

HBRUSH CTransparentStatic::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return CStatic::OnCtlColor(dc, wnd, ctlColor);
}

BOOL CTransparentStatic::OnEraseBkgnd(CDC* dc)
{
    return CStatic::OnEraseBkgnd(dc);
}

}  // namespace lumetta
