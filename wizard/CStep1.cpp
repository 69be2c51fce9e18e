#include "CStep1.h"

#include <algorithm>
#include <vector>

#include "CDlgGetNewVersion.h"
#include "CWizardSheet.h"
#include "Fennick.h"
#include "HiddenMounts.h"
#include "MountedDisks.h"
#include "Quilmar.h"
#include "SafeFormat.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT kStartupTimerMs = 400;
constexpr UINT_PTR kUpdateDeadlineTimer = 2;
// A notice that came while a box of the wizard was up looks this often whether the box has gone.
constexpr UINT_PTR kNoticeWaitTimer = 3;
constexpr UINT kNoticeWaitMs = 250;
constexpr int kSubtitleIds[CStepTitles::kSubtitleCopies] = {IDC_LBL_STEP1_SUBTITLE, IDC_LBL_STEP1_SUBTITLE_2,
                                                           IDC_LBL_STEP1_SUBTITLE_3, IDC_LBL_STEP1_SUBTITLE_4,
                                                           IDC_LBL_STEP1_SUBTITLE_TOP};

}  // namespace

BEGIN_MESSAGE_MAP(CStep1, CWizardPage)
    ON_BN_CLICKED(IDC_RADIO_UNMOUNT, CStep1::OnRadioUnmount)
    ON_BN_CLICKED(IDC_RADIO_MOUNT, CStep1::OnRadioMount)
    ON_BN_CLICKED(IDC_RADIO_CREATE, CStep1::OnRadioCreate)
    ON_BN_CLICKED(IDC_CHK_UNMOUNT_ALL, CStep1::OnChkUnmountAll)
    ON_BN_CLICKED(IDC_CHK_PROTECT, CStep1::OnChkProtect)
    ON_WM_TIMER()
    ON_MESSAGE(WM_NEWVERSION_ANSWER, CStep1::OnNewVersionAnswer)
    ON_WM_CANCELMODE()
END_MESSAGE_MAP()

CStep1::CStep1() : CWizardPage(IDD_STEP1)
{
}

void CStep1::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CMB_DISKS, m_cmbDisks);
    DDX_Control(dx, IDC_LBL_DISK_TIP, m_lblDiskTip);
    m_titles.Exchange(dx, IDC_LBL_STEP1_TITLE, kSubtitleIds);
    DDX_Control(dx, IDC_CHK_UNMOUNT_ALL, m_chkUnmountAll);
    DDX_Control(dx, IDC_CHK_PROTECT, m_chkProtect);
    DDX_Control(dx, IDC_RADIO_CREATE, m_rdCreate);
    DDX_Control(dx, IDC_RADIO_MOUNT, m_rdMount);
    DDX_Control(dx, IDC_RADIO_UNMOUNT, m_rdUnmount);
}

BOOL CStep1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Sheet()->UpdateTitle();

    m_cmbDisks.EnableWindow(FALSE);
    m_chkUnmountAll.EnableWindow(FALSE);
    m_chkUnmountAll.SetCheck(BST_UNCHECKED, TRUE);
    m_bUnmountAll = FALSE;
    m_chkProtect.EnableWindow(FALSE);
    m_lblDiskTip.Enable(FALSE);
    m_chkProtect.SetCheck(BST_CHECKED, TRUE);
    m_bProtect = TRUE;

    m_lblDiskTip.SetWindowText(LangText("Step1", "lblDiskTip"));
    m_lblDiskTip.SetTextColor(kControlText);
    SkinCheckBox(m_chkUnmountAll, LangText("Step1", "chkUnmountAll"));
    SkinCheckBox(m_chkProtect, LangText("Step1", "chkProtect"));
    SkinRadio(m_rdCreate, LangText("Step1", "rdCreate"));
    SkinRadio(m_rdMount, LangText("Step1", "rdMount"));
    SkinRadio(m_rdUnmount, LangText("Step1", "rdUnmount"));
    m_cmbDisks.SetBitmaps(IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, 0, IDB_COMBO_ARROW_PRESSED,
                          IDB_COMBO_ARROW_DISABLED);
    m_cmbDisks.SetExtraBitmaps(IDB_COMBO_EXTRA_A, IDB_COMBO_EXTRA_A, IDB_COMBO_EXTRA_B, IDB_COMBO_EXTRA_B);

    m_titles.Layout("Step1");

    FillMountedDisks();
    ClickRadio(IDC_RADIO_CREATE);
    if (m_bStartupCheck)
        SetTimer(kStartupTimer, kStartupTimerMs);
    return TRUE;
}

BOOL CStep1::OnSetActive()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    PlaceInSheet();
    Sheet()->SetBackground(IDB_BACKGROUND_OPERATIONS);
    Sheet()->Invalidate(TRUE);
    return CPropertyPage::OnSetActive();
}

LRESULT CStep1::OnWizardNext()
{
    CPropertySheet* sheet = GetSheet();
    if (sheet->GetPageCount() == 2) {
        sheet->RemovePage(1);
    } else if (sheet->GetPageCount() == 3) {
        sheet->RemovePage(2);
        sheet->RemovePage(1);
    }
    if (m_nOperation == kOperationCreate)
        sheet->AddPage(&Sheet()->m_step2);
    else if (m_nOperation == kOperationMount)
        sheet->AddPage(&Sheet()->m_step3);
    return CPropertyPage::OnWizardNext();
}

CStep1::DismountResult CStep1::DismountDisk(char letter)
{
    const char letterText[2] = {letter, '\0'};
    wchar_t wideLetter = 0;
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, letterText, 1, &wideLetter, 1);
    for (;;) {
        const std::string imagePath = MountedImageOf(letter);
        if (!imagePath.empty())
            ::OutputDebugStringA(imagePath.c_str());
        if (imagePath.empty()) {
            // Closed elsewhere since the list was filled (or while Retry was asked): it is gone,
            // as the user asked.
            const std::vector<char> mounted = MountedDriveLetters();
            if (std::find(mounted.begin(), mounted.end(), letter) == mounted.end())
                return DismountResult::Dismounted;
            // A disk whose image cannot be named is not dismounted blind (its image could not be
            // hidden again): it is passed over, and told at the end of the run.
            return DismountResult::PassedOver;
        }
        const int dismounted = Tavrin_Unmount(wideLetter, 0);
        if (dismounted != 0) {
            // An image that was hidden when it was mounted is hidden again wherever it lies; any
            // other image on a USB drive stays a plain file there.
            const bool wasHidden = TakeHiddenMountMark(imagePath);
            Quilmar_SetProtection(imagePath.c_str(), 0, 0, kQuilmarRelease);
            if (m_bProtect && (wasHidden || Fennick_IsUsbDisk(imagePath[0]) == 0))
                Quilmar_SetProtection(imagePath.c_str(), 0, 0, kQuilmarProtect);
            return dismounted == kTavrinDismountedChangesDropped ? DismountResult::ChangesDropped
                                                                 : DismountResult::Dismounted;
        }
        const std::string text = SafeFormat(LangText("Step1", "strRetry").str(), {letterText});
        if (WizardMessageBox(m_hWnd, text.c_str(), MB_RETRYCANCEL | MB_ICONINFORMATION) != IDRETRY)
            return DismountResult::Cancelled;
    }
}

BOOL CStep1::OnWizardFinish()
{
    const CString selected = m_cmbDisks.GetWindowText();
    FillMountedDisks();
    std::vector<std::string> entries;
    for (int i = 0; i < m_cmbDisks.GetCount(); ++i) {
        char text[MAX_PATH] = "";
        if (m_cmbDisks.SendMessage(CB_GETLBTEXTLEN, i) < static_cast<LRESULT>(sizeof text))
            m_cmbDisks.SendMessage(CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        // One disk: the one chosen, when it is still mounted.
        if (m_bUnmountAll || selected == text)
            entries.push_back(text);
    }
    std::string passedOver, dropped;
    for (const std::string& entry : entries) {
        if (entry.empty())
            continue;
        const DismountResult result = DismountDisk(entry[0]);
        if (result == DismountResult::Cancelled)
            return FALSE;
        if (result == DismountResult::PassedOver)
            passedOver += (passedOver.empty() ? "" : " ") + entry;
        if (result == DismountResult::ChangesDropped)
            dropped += (dropped.empty() ? "" : " ") + entry;
    }
    FillMountedDisks();
    // Say what happened: success only when nothing was left undone. Nothing to do is success when
    // every disk is gone already (closed elsewhere meanwhile), and its own notice otherwise.
    const char* key = "strCloseSuccess";
    UINT icon = MB_ICONINFORMATION;
    if (!passedOver.empty()) {
        key = "strNoMountInfo";
        icon = MB_ICONERROR;
    } else if (!dropped.empty()) {
        key = "strReadOnlyChangesLost";
        icon = MB_ICONWARNING;
    } else if (entries.empty() && m_cmbDisks.GetCount() > 0) {
        key = "strNothingToDismount";
    }
    const std::string text = SafeFormat(LangText("Step1", key).str(), {passedOver.empty() ? dropped : passedOver});
    WizardMessageBox(m_hWnd, text.c_str(), icon);
    if (m_cmbDisks.GetCount() <= 0)
        OnRadioMount();
    return FALSE;
}

void CStep1::ClickRadio(int id)
{
    if (id == IDC_RADIO_UNMOUNT && m_cmbDisks.GetCount() <= 0)
        return;
    HWND radio = GetDlgItemHwnd(id);
    if (!radio)
        return;
    ::SendMessageA(radio, WM_LBUTTONDOWN, 0, 0);
    ::SendMessageA(radio, WM_LBUTTONUP, 0, 0);
}

BOOL CStep1::FillMountedDisks()
{
    m_cmbDisks.ResetContent();
    m_cmbDisks.SendMessage(WM_CLEAR);
    const std::vector<char> letters = MountedDriveLetters();
    if (letters.empty()) {
        m_cmbDisks.EnableWindow(FALSE);
        m_rdUnmount.EnableWindow(FALSE);
        m_chkUnmountAll.EnableWindow(FALSE);
        m_chkProtect.EnableWindow(FALSE);
        m_lblDiskTip.Enable(FALSE);
    }
    for (const char letter : letters) {
        const char root[4] = {letter, ':', '\\', '\0'};
        m_cmbDisks.AddString(root);
    }
    if (m_cmbDisks.GetCount() > 0)
        m_cmbDisks.SetCurSel(0);
    return TRUE;
}

void CStep1::OnRadioUnmount()
{
    Sheet()->EnableWizardButtons(kWizardFinish);
    m_cmbDisks.EnableWindow(TRUE);
    m_chkUnmountAll.EnableWindow(TRUE);
    m_chkUnmountAll.SetCheck(BST_UNCHECKED, TRUE);
    m_bUnmountAll = FALSE;
    m_chkProtect.EnableWindow(TRUE);
    m_chkProtect.SetCheck(BST_CHECKED, TRUE);
    m_bProtect = TRUE;
    m_lblDiskTip.Enable(TRUE);
    m_rdMount.SetCheck(BST_UNCHECKED, TRUE);
    m_rdCreate.SetCheck(BST_UNCHECKED, TRUE);
}

void CStep1::OnRadioMount()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    m_cmbDisks.EnableWindow(FALSE);
    m_chkUnmountAll.EnableWindow(FALSE);
    m_chkProtect.EnableWindow(FALSE);
    m_lblDiskTip.Enable(FALSE);
    m_nOperation = kOperationMount;
    m_rdMount.SetCheck(BST_CHECKED, TRUE);
    m_rdCreate.SetCheck(BST_UNCHECKED, TRUE);
    m_rdUnmount.SetCheck(BST_UNCHECKED, TRUE);
}

void CStep1::OnRadioCreate()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    m_cmbDisks.EnableWindow(FALSE);
    m_chkUnmountAll.EnableWindow(FALSE);
    m_chkProtect.EnableWindow(FALSE);
    // The list's label goes with the list, as it does for mount.
    m_lblDiskTip.Enable(FALSE);
    m_nOperation = kOperationCreate;
    m_rdMount.SetCheck(BST_UNCHECKED, TRUE);
    m_rdUnmount.SetCheck(BST_UNCHECKED, TRUE);
}

void CStep1::OnChkUnmountAll()
{
    m_bUnmountAll = !m_bUnmountAll;
    m_cmbDisks.EnableWindow(!m_bUnmountAll);
}

void CStep1::OnChkProtect()
{
    m_bProtect = !m_bProtect;
}

void CStep1::OnTimer(UINT_PTR id)
{
    // Ticks after the sheet cleared the flag (a command line was given) do nothing.
    if (id == kStartupTimer && m_bStartupCheck) {
        m_bStartupCheck = FALSE;
        KillTimer(kStartupTimer);
        // The query runs on a worker; the page goes on answering its user meanwhile.
        if (StartNewVersionCheck(m_updateCheck, m_hWnd))
            SetTimer(kUpdateDeadlineTimer, CUpdateCheck::kDeadlineMs);
    } else if (id == kUpdateDeadlineTimer) {
        // No answer in time: nothing is shown, and a late one is dropped.
        KillTimer(kUpdateDeadlineTimer);
        m_updateCheck.Abandon();
    } else if (id == kNoticeWaitTimer) {
        ShowWaitingNotice();
    }
}

LRESULT CStep1::OnNewVersionAnswer(WPARAM, LPARAM)
{
    KillTimer(kUpdateDeadlineTimer);
    UpdateInfo newest;
    if (!m_updateCheck.TakeAnswer(newest))
        return 0;
    m_waitingNotice = newest;
    ShowWaitingNotice();
    return 0;
}

void CStep1::ShowWaitingNotice()
{
    CWizardSheet* sheet = Sheet();
    if (!m_waitingNotice || !sheet || !sheet->m_hWnd)
        return;
    // Not over another box of the wizard's (a question, a progress dialog): the notice follows
    // once that box has closed.
    if (!::IsWindowEnabled(sheet->m_hWnd)) {
        SetTimer(kNoticeWaitTimer, kNoticeWaitMs);
        return;
    }
    KillTimer(kNoticeWaitTimer);
    const UpdateInfo newest = *m_waitingNotice;
    m_waitingNotice.reset();
    CheckForNewVersion(sheet, newest);
}
