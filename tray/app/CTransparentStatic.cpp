#include "CTransparentStatic.h"

#include "DialogHelpers.h"

namespace lumetta {

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CTransparentStatic::OnPaint()
{
    PaintStaticText(this, m_crText, DT_WORDBREAK, m_bTransparent);
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
