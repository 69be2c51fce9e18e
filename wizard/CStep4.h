#pragma once
// Page 4: act on the opened image. Added by page 3 after a password match; its actions come with
// the page's own work.
#include "CPropertyPage.h"

class CStep4 : public CPropertyPage {
public:
    CStep4();
    BOOL OnSetActive() override;

protected:
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()
};
