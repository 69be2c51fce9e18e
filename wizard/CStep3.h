#pragma once
// Page 3: choose an image and check its password. The part the sheet's verbs rely on: the three
// image kinds and ClickRadio; the lists and the password check come with the page's own work.
#include "CPropertyPage.h"

class CStep3 : public CPropertyPage {
public:
    CStep3();
    BOOL OnSetActive() override;
    // Clicks a kind radio as the user would, when the page has it.
    void ClickRadio(int id);

protected:
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()
};
