#include "CStep1.h"

#include "CSelectGuard.h"
#include "CWizardSheet.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "WizardPage.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT kStartupTimerMs = 400;
constexpr int kPageLeft = 2, kPageTop = 30, kPageWidth = 600, kPageHeight = 336;

}  // namespace

BEGIN_MESSAGE_MAP(CStep1, CPropertyPage)
    ON_BN_CLICKED(IDC_RADIO_UNMOUNT, CStep1::OnRadioUnmount)
    ON_BN_CLICKED(IDC_RADIO_MOUNT, CStep1::OnRadioMount)
    ON_BN_CLICKED(IDC_RADIO_CREATE, CStep1::OnRadioCreate)
    ON_BN_CLICKED(IDC_CHK_UNMOUNT_ALL, CStep1::OnChkUnmountAll)
    ON_BN_CLICKED(IDC_CHK_PROTECT, CStep1::OnChkProtect)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CStep1::CStep1() : CPropertyPage(IDD_STEP1)
{
}

BOOL CStep1::PreCreateWindow(CREATESTRUCTA& cs)
{
    // The page lies on the sheet's background: no frame of its own.
    cs.style &= ~static_cast<LONG>(WS_BORDER);
    return CPropertyPage::PreCreateWindow(cs);
}

CWizardSheet* CStep1::Sheet() const
{
    return static_cast<CWizardSheet*>(GetSheet());
}

BOOL CStep1::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    Sheet()->UpdateTitle();
    m_hBackground = Sheet()->GetBackground();

    GetDlgItem(IDC_CMB_DISKS)->EnableWindow(FALSE);
    GetDlgItem(IDC_CHK_UNMOUNT_ALL)->EnableWindow(FALSE);
    CheckDlgButton(IDC_CHK_UNMOUNT_ALL, BST_UNCHECKED);
    m_bUnmountAll = FALSE;
    GetDlgItem(IDC_CHK_PROTECT)->EnableWindow(FALSE);
    GetDlgItem(IDC_LBL_DISK_TIP)->EnableWindow(FALSE);
    CheckDlgButton(IDC_CHK_PROTECT, BST_CHECKED);
    m_bProtect = TRUE;

    static const struct {
        int id;
        const char* key;
    } kTexts[] = {
        {IDC_LBL_DISK_TIP, "lblDiskTip"}, {IDC_CHK_UNMOUNT_ALL, "chkUnmountAll"}, {IDC_CHK_PROTECT, "chkProtect"},
        {IDC_RADIO_CREATE, "rdCreate"},   {IDC_RADIO_MOUNT, "rdMount"},           {IDC_RADIO_UNMOUNT, "rdUnmount"},
        {IDC_LBL_STEP1_TITLE, "lblStep1"},
    };
    for (const auto& text : kTexts)
        SetDlgItemText(text.id, LangText("Step1", text.key));

    FillMountedDisks();
    ClickRadio(IDC_RADIO_CREATE);
    if (m_bStartupCheck)
        SetTimer(kStartupTimer, kStartupTimerMs);
    return TRUE;
}

BOOL CStep1::OnSetActive()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    SetWindowPos(nullptr, kPageLeft, kPageTop, kPageWidth, kPageHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    Sheet()->SetBackground(IDB_BACKGROUND_OPERATIONS);
    m_hBackground = Sheet()->GetBackground();
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

BOOL CStep1::OnWizardFinish()
{
    // Dismounting stays on this page.
    return FALSE;
}

void CStep1::ClickRadio(int id)
{
    if (id == IDC_RADIO_UNMOUNT && SendDlgItemMessageA(m_hWnd, IDC_CMB_DISKS, CB_GETCOUNT, 0, 0) <= 0)
        return;
    HWND radio = GetDlgItemHwnd(id);
    if (!radio)
        return;
    ::SendMessageA(radio, WM_LBUTTONDOWN, 0, 0);
    ::SendMessageA(radio, WM_LBUTTONUP, 0, 0);
}

BOOL CStep1::FillMountedDisks()
{
    HWND list = GetDlgItemHwnd(IDC_CMB_DISKS);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    ::SendMessageA(list, WM_CLEAR, 0, 0);
    uint32_t mask = Tavrin_GetMountedMask();
    if (mask == 0) {
        for (int id : {IDC_CMB_DISKS, IDC_RADIO_UNMOUNT, IDC_CHK_UNMOUNT_ALL, IDC_CHK_PROTECT, IDC_LBL_DISK_TIP})
            GetDlgItem(id)->EnableWindow(FALSE);
    }
    for (int slot = 0; mask != 0 && slot < kTavrinSlotCount; ++slot, mask >>= 1) {
        if (!(mask & 1))
            continue;
        const char letter = static_cast<char>(Tavrin_GetSlotLetter(slot) & 0xFFFF);
        const char root[4] = {letter, ':', '\\', '\0'};
        ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(root));
    }
    if (::SendMessageA(list, CB_GETCOUNT, 0, 0) > 0)
        ::SendMessageA(list, CB_SETCURSEL, 0, 0);
    return TRUE;
}

void CStep1::OnRadioUnmount()
{
    Sheet()->EnableWizardButtons(kWizardFinish);
    GetDlgItem(IDC_CMB_DISKS)->EnableWindow(TRUE);
    GetDlgItem(IDC_CHK_UNMOUNT_ALL)->EnableWindow(TRUE);
    CheckDlgButton(IDC_CHK_UNMOUNT_ALL, BST_UNCHECKED);
    m_bUnmountAll = FALSE;
    GetDlgItem(IDC_CHK_PROTECT)->EnableWindow(TRUE);
    CheckDlgButton(IDC_CHK_PROTECT, BST_CHECKED);
    m_bProtect = TRUE;
    GetDlgItem(IDC_LBL_DISK_TIP)->EnableWindow(TRUE);
    CheckDlgButton(IDC_RADIO_MOUNT, BST_UNCHECKED);
    CheckDlgButton(IDC_RADIO_CREATE, BST_UNCHECKED);
}

void CStep1::OnRadioMount()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    for (int id : {IDC_CMB_DISKS, IDC_CHK_UNMOUNT_ALL, IDC_CHK_PROTECT, IDC_LBL_DISK_TIP})
        GetDlgItem(id)->EnableWindow(FALSE);
    m_nOperation = kOperationMount;
    CheckDlgButton(IDC_RADIO_MOUNT, BST_CHECKED);
    CheckDlgButton(IDC_RADIO_CREATE, BST_UNCHECKED);
    CheckDlgButton(IDC_RADIO_UNMOUNT, BST_UNCHECKED);
}

void CStep1::OnRadioCreate()
{
    Sheet()->EnableWizardButtons(kWizardNext);
    for (int id : {IDC_CMB_DISKS, IDC_CHK_UNMOUNT_ALL, IDC_CHK_PROTECT})
        GetDlgItem(id)->EnableWindow(FALSE);
    m_nOperation = kOperationCreate;
    CheckDlgButton(IDC_RADIO_MOUNT, BST_UNCHECKED);
    CheckDlgButton(IDC_RADIO_UNMOUNT, BST_UNCHECKED);
}

void CStep1::OnChkUnmountAll()
{
    m_bUnmountAll = !m_bUnmountAll;
    GetDlgItem(IDC_CMB_DISKS)->EnableWindow(!m_bUnmountAll);
}

void CStep1::OnChkProtect()
{
    m_bProtect = !m_bProtect;
}

void CStep1::OnTimer(UINT_PTR id)
{
    if (id == kStartupTimer && m_bStartupCheck) {
        m_bStartupCheck = FALSE;
        KillTimer(kStartupTimer);
        CheckForNewVersion();
    }
}

void CStep1::CheckForNewVersion()
{
    // The new-version dialog is a page of its own work; nothing to ask yet.
}

void CStep1::OnPaint()
{
    CPaintDC dc(this);
    const CWizardSheet* sheet = Sheet();
    HDC memory = ::CreateCompatibleDC(dc);
    {
        CSelectGuard select(memory, m_hBackground);
        ::BitBlt(dc, 0, 0, sheet->m_nBackgroundWidth, sheet->m_nBackgroundHeight, memory, 3, 30, SRCCOPY);
    }
    ::DeleteDC(memory);
}

HBRUSH CStep1::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return WizardPageCtlColor(*dc, ctlColor, CPropertyPage::OnCtlColor(dc, wnd, ctlColor));
}
