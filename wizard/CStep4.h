#pragma once
// Page 4: act on the opened image. Added by page 3 after a password match; its actions come with
// the page's own work.
#include "CPropertyPage.h"

class CStep4 : public CPropertyPage {
public:
    CStep4();
    BOOL OnSetActive() override;

    // Read by the progress dialog's mount job: the kind page 3 opened (kImageKind*, set by page 3)
    // and the read-only check box 1002 (through data exchange). The job also reads the letter list
    // IDC_CMB_STEP4_LETTERS.
    int m_nImageKind = 0;
    BOOL m_bReadOnly = FALSE;

protected:
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()
};
