#pragma once
// The about box's label: its text drawn straight onto the dialog's background, in a colour the
// box sets. Lumetta's own, smaller than the control library's label of the same name (no greying,
// no sizing, no link mode), so it lives in Lumetta's namespace and a program or test that links
// both finds each under its own name.
#include "CStatic.h"

namespace lumetta {

class CTransparentStatic : public CStatic {
public:
    // Read by the paint; the about box sets the title's colour directly.
    BOOL m_bTransparent = TRUE;
    COLORREF m_crText = 0x00000000;

protected:
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()
};

}  // namespace lumetta
