#pragma once
// Page 2: create a disk on the hard disk or a portable one on a USB drive. The part the sheet's
// verbs rely on: its mode and ClickMode; the form itself comes with the page's own work.
#include "CPropertyPage.h"
#include "CString.h"

class CStep2 : public CPropertyPage {
public:
    static constexpr int kModeUsb = 0;
    static constexpr int kModeHardDisk = 1;

    CStep2();
    BOOL OnSetActive() override;
    // Chooses a mode as the user would, by clicking its radio.
    void ClickMode(int id);

    // What the progress dialog's worker reads for a new image: its size in MB and its description.
    int GetSize() const { return m_nSize; }
    const CString& GetDescription() const { return m_strDescription; }

    int m_nMode = kModeUsb;

protected:
    void OnRadioUsb();
    void OnRadioHardDisk();
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

    int m_nSize = 0;
    CString m_strDescription;
};
