#pragma once
// Page 1: choose create, mount or dismount. Create and mount go on to the next page; dismount
// lists the mounted disks, dismounts the chosen one or all of them and hides their image files
// again when the user asks for it. Shortly after start-up it looks for a newer version.
#include <optional>
#include <string>

#include "CBitComboBox.h"
#include "CSkinButton.h"
#include "CStepTitles.h"
#include "CTransparentStatic.h"
#include "CUpdateCheck.h"
#include "CWizardPage.h"

class CStep1 : public CWizardPage {
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
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadioUnmount();
    void OnRadioMount();
    void OnRadioCreate();
    void OnChkUnmountAll();
    void OnChkProtect();
    void OnTimer(UINT_PTR id);
    LRESULT OnNewVersionAnswer(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    enum class DismountResult { Dismounted, ChangesDropped, PassedOver, Cancelled };
    // Dismounts the disk on `letter` and releases (and maybe protects) its image; asks Retry or
    // Cancel while that fails. A disk no longer mounted counts as dismounted; one whose mount
    // record names no image is passed over. A read-only disk that had been changed all the same
    // is dismounted without its changes.
    DismountResult DismountDisk(char letter);
    // Shows the new-version notice that is waiting, unless a box of the wizard is up: then it
    // waits for that box to close.
    void ShowWaitingNotice();

    CBitComboBox m_cmbDisks;
    CTransparentStatic m_lblDiskTip;
    CStepTitles m_titles;
    CSkinButton m_chkUnmountAll;
    CSkinButton m_chkProtect;
    CSkinButton m_rdCreate;
    CSkinButton m_rdMount;
    CSkinButton m_rdUnmount;
    CUpdateCheck m_updateCheck;
    std::optional<UpdateInfo> m_waitingNotice;   // an answer that came while a box was up
};
