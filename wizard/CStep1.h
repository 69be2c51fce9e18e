#pragma once
// Page 1: choose create, mount or dismount. This is the part of the page the sheet's start-up and
// command line rely on; the disk list's dismount work and the skinned radios come with the page's
// own work.
#include "CPropertyPage.h"

class CStep1 : public CPropertyPage {
public:
    static constexpr int kOperationCreate = 0;
    static constexpr int kOperationMount = 1;

    CStep1();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

    // Clicks a radio as the user would; the dismount radio is refused while no disk is listed.
    void ClickRadio(int id);
    BOOL FillMountedDisks();

    int m_nOperation = kOperationCreate;
    BOOL m_bUnmountAll = FALSE;
    BOOL m_bProtect = TRUE;
    BOOL m_bStartupCheck = TRUE;      // cleared by the sheet when a command line was given

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnRadioUnmount();
    void OnRadioMount();
    void OnRadioCreate();
    void OnChkUnmountAll();
    void OnChkProtect();
    void OnTimer(UINT_PTR id);
    void OnPaint();
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    class CWizardSheet* Sheet() const;
    void CheckForNewVersion();
    HBITMAP m_hBackground = nullptr;
};
