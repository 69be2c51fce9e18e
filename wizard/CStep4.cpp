#include "CStep4.h"

#include "ShellLaunch.h"

#include <cstring>
#include <string>
#include <vector>

#include "CDlgFontScaler.h"
#include "CWinApp.h"
#include "CPortableDisk.h"
#include "CWizardDlg.h"
#include "CWizardSheet.h"
#include "DriveLists.h"
#include "OpenedImage.h"
#include "Quilmar.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr double kTemplateDpi = 96.0;
// The page's one-shot start-up step runs on this timer, 100 ms after each activation.
constexpr UINT_PTR kStartupTimer = 0;
constexpr UINT kStartupTimerMs = 100;
constexpr int kSubtitleIds[CStepTitles::kSubtitleCopies] = {IDC_LBL_STEP4_SUBTITLE, IDC_LBL_STEP4_SUBTITLE_2,
                                                           IDC_LBL_STEP4_SUBTITLE_3, IDC_LBL_STEP4_SUBTITLE_4,
                                                           IDC_LBL_STEP4_SUBTITLE_TOP};
constexpr SIZE kLabelSize = {80, 20};

CString Lang4(const char* key)
{
    return LangText("Step4", key);
}

}  // namespace

BEGIN_MESSAGE_MAP(CStep4, CWizardPage)
    ON_BN_CLICKED(IDC_RADIO_STEP4_MOUNT, CStep4::OnRadioMount)
    ON_BN_CLICKED(IDC_RADIO_STEP4_PORTABLE, CStep4::OnRadioPortable)
    ON_BN_CLICKED(IDC_RADIO_STEP4_UNPROTECT, CStep4::OnRadioUnprotected)
    ON_BN_CLICKED(IDC_RADIO_STEP4_REPAIR, CStep4::OnRadioRepair)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CStep4::CStep4() : CWizardPage(IDD_STEP4)
{
}

void CStep4::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CMB_STEP4_USB, m_cmbUsb);
    DDX_Control(dx, IDC_CMB_STEP4_LETTERS, m_cmbLetters);
    DDX_Control(dx, IDC_CHK_STEP4_READ_ONLY, m_chkReadOnly);
    DDX_Check(dx, IDC_CHK_STEP4_READ_ONLY, m_bReadOnly);
    DDX_Control(dx, IDC_RADIO_STEP4_MOUNT, m_rdMount);
    DDX_Control(dx, IDC_RADIO_STEP4_PORTABLE, m_rdPortable);
    DDX_Control(dx, IDC_RADIO_STEP4_UNPROTECT, m_rdUnprotect);
    DDX_Control(dx, IDC_RADIO_STEP4_REPAIR, m_rdRepair);
    DDX_Control(dx, IDC_LBL_STEP4_LETTER, m_lblLetter);
    DDX_Control(dx, IDC_LBL_STEP4_USB, m_lblUsb);
    m_titles.Exchange(dx, IDC_LBL_STEP4_TITLE, kSubtitleIds);
}

BOOL CStep4::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    {
        // Ended before the page sets its own fonts: ending it gives every control of the template
        // the old font back, the titles' too.
        CDlgFontScaler scaler;
        scaler.Apply(AfxGetInstanceHandle(), m_hWnd, IDD_STEP4, kTemplateDpi);
    }

    SkinCheckBox(m_chkReadOnly, Lang4("chkReadOnly"));

    for (CBitComboBox* list : {&m_cmbUsb, &m_cmbLetters})
        list->SetBitmaps(IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, 0, IDB_COMBO_ARROW_PRESSED,
                         IDB_COMBO_ARROW_DISABLED);

    SkinRadio(m_rdMount, Lang4("rdMount"));
    SkinRadio(m_rdPortable, Lang4("rdPortable"));
    SkinRadio(m_rdUnprotect, Lang4("rdUnprotected"));
    SkinRadio(m_rdRepair, Lang4("rdRepair"));

    const struct {
        CTransparentStatic& label;
        const char* key;
    } labels[] = {{m_lblLetter, "lblLetter"}, {m_lblUsb, "lblUSBDriver"}};
    for (const auto& l : labels) {
        l.label.SetWindowPos(nullptr, 0, 0, kLabelSize.cx, kLabelSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        l.label.SetWindowText(Lang4(l.key));
        l.label.SetTextColor(kControlText);
    }

    m_titles.Layout("Step4");
    return TRUE;
}

BOOL CStep4::OnSetActive()
{
    Activate(kWizardBack | kWizardFinishDisabled, IDB_BACKGROUND_OPERATIONS);
    SetTimer(kStartupTimer, kStartupTimerMs);
    return CPropertyPage::OnSetActive();
}

BOOL CStep4::OnKillActive()
{
    // Left within the first tick (Back pressed at once): the step would set this page's buttons on
    // the page shown instead.
    KillTimer(kStartupTimer);
    return CPropertyPage::OnKillActive();
}

void CStep4::OnTimer(UINT_PTR)
{
    // One step, 100 ms after the page shows: the options for the kind, mount chosen, both lists.
    KillTimer(kStartupTimer);
    EnableOptionsForKind(m_image.kind);
    m_rdMount.SetCheck(BST_CHECKED, TRUE);
    OnRadioMount();
    FillUsbDrives();
    FillFreeLetters();
    Sheet()->EnableWizardButtons(kWizardBack | kWizardFinish);
}

void CStep4::EnableOptionsForKind(int kind)
{
    switch (kind) {
    case kImageKindHidden:
        m_rdUnprotect.EnableWindow(TRUE);
        m_rdRepair.EnableWindow(FALSE);
        break;
    case kImageKindNormal:
        m_rdUnprotect.EnableWindow(FALSE);
        m_rdRepair.EnableWindow(FALSE);
        break;
    case kImageKindPortable:
        m_rdRepair.EnableWindow(TRUE);
        m_rdUnprotect.EnableWindow(FALSE);
        break;
    default:
        break;
    }
}

void CStep4::FillUsbDrives()
{
    // Every USB drive but the one that holds the image itself.
    const char own = DriveLetterOf(m_image.path.str());
    std::vector<std::string> others;
    for (const std::string& root : GetUsbDriveRoots()) {
        if (DriveLetterOf(root) != own)
            others.push_back(root);
    }
    const int count = FillDriveList(m_cmbUsb.m_hWnd, others, DriveListSelection::First);
    m_rdPortable.EnableWindow(count > 0);
}

void CStep4::FillFreeLetters()
{
    // The highest free letter: a disk opened here stays clear of drives plugged in later.
    FillDriveList(m_cmbLetters.m_hWnd, GetFreeDriveRoots(), DriveListSelection::Last);
}

void CStep4::SetOption(int option)
{
    m_nOption = option;
    const struct {
        CSkinButton& radio;
        int option;
    } radios[] = {
        {m_rdMount, kOptionMount},
        {m_rdPortable, kOptionPortable},
        {m_rdUnprotect, kOptionUnprotect},
        {m_rdRepair, kOptionRepair},
    };
    for (const auto& r : radios)
        r.radio.SetCheck(r.option == option ? BST_CHECKED : BST_UNCHECKED, TRUE);
    const BOOL mount = option == kOptionMount;
    const BOOL portable = option == kOptionPortable;
    m_cmbLetters.EnableWindow(mount);
    m_chkReadOnly.EnableWindow(mount);
    m_lblLetter.Enable(mount);
    m_cmbUsb.EnableWindow(portable);
    m_lblUsb.Enable(portable);
}

void CStep4::OnRadioMount()
{
    SetOption(kOptionMount);
}

void CStep4::OnRadioPortable()
{
    SetOption(kOptionPortable);
}

void CStep4::OnRadioUnprotected()
{
    SetOption(kOptionUnprotect);
}

void CStep4::OnRadioRepair()
{
    SetOption(kOptionRepair);
}

void CStep4::HoldImage(const CString& path, int kind)
{
    m_image.path = path;
    m_image.kind = kind;
    m_bHeld = !path.IsEmpty();
}

void CStep4::ReturnHeldImage()
{
    if (!HoldsImage())
        return;
    ReturnImageToRest(m_image.kind, m_image.path);
    m_bHeld = false;
}

void CStep4::Message(const char* key, UINT type)
{
    WizardMessageBox(m_hWnd, Lang4(key), type);
}

const char* CStep4::InstallSpaceRefusal(BOOL fatVolume, ULONGLONG imageSize, BOOL freeKnown, ULONGLONG freeBytes)
{
    if (fatVolume && imageSize >= kFatFileLimit)
        return "strFailed3";
    // Equal is too small: the drive's own files need room too.
    if (freeKnown && freeBytes <= imageSize)
        return "strFailed4";
    return nullptr;
}

const char* CStep4::InstallSpaceRefusal(const CPortableDisk& maker)
{
    ULONGLONG size = 0;
    if (!maker.GetImageFileSize(size))
        size = 0;
    ULONGLONG freeBytes = 0;
    const BOOL freeKnown = maker.GetFreeSpace(freeBytes);
    return InstallSpaceRefusal(maker.IsFatVolume() == 1, size, freeKnown, freeBytes);
}

LRESULT CStep4::OnWizardBack()
{
    UpdateData(TRUE);
    ReturnHeldImage();
    return CPropertyPage::OnWizardBack();
}

void CStep4::OnCancel()
{
    ReturnHeldImage();
    CPropertyPage::OnCancel();
}

BOOL CStep4::OnWizardFinish()
{
    UpdateData(TRUE);
    switch (m_nOption) {
    case kOptionMount:
        return FinishMount();
    case kOptionPortable:
        return FinishPortable();
    case kOptionUnprotect:
        return FinishUnprotect();
    case kOptionRepair:
        return FinishRepair();
    default:
        return FALSE;
    }
}

BOOL CStep4::FinishMount()
{
    // Without a free letter nothing is mounted: never on letter 0.
    if (m_cmbLetters.GetCurSel() < 0) {
        Message("strNoFreeLetter", MB_ICONERROR);
        return FALSE;
    }
    CWizardDlg job(this);
    job.m_bPortable = FALSE;
    job.m_bMount = TRUE;
    job.DoModal();
    if (job.m_bNoFreeLetter) {
        Message("strNoFreeLetter", MB_ICONERROR);
        return FALSE;
    }
    // Not mounted: the image stays open for another try; Back or Cancel put it back to rest.
    if (job.m_nMountResult == 0 || job.m_nMountResult == CWizardDlg::kNotRun) {
        Message("strMountFailed", MB_ICONERROR);
        return FALSE;
    }
    // Mounted: it stays released while in use; page 1's dismount protects it again.
    m_bHeld = false;
    return CPropertyPage::OnWizardFinish();
}

BOOL CStep4::FinishPortable()
{
    const std::string root = GetSelectedDriveRoot(m_cmbUsb.m_hWnd);
    const char letter = DriveLetterOf(root);
    CPortableDisk maker;
    maker.SetTarget(letter, m_image.path);
    if (!letter || !maker.IsDriveWritable()) {
        Message("strFailed1", MB_ICONINFORMATION);
        return FALSE;
    }
    if (!maker.IsDriveReady()) {
        Message("strFailed2", MB_ICONINFORMATION);
        return FALSE;
    }
    // What an interrupted try left there goes without a word; a finished image only after the
    // questions (it may be a disk Agent has open).
    maker.ClearLeftovers();
    if (maker.IsPortableOnDrive() || maker.HoldsImage()) {
        if (WizardMessageBox(m_hWnd, Lang4("strReinstall"), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return FALSE;
        if (WizardMessageBox(m_hWnd, Lang4("strDeleteBeforReinstall"), MB_YESNO | MB_ICONQUESTION) == IDNO)
            return FALSE;
        // Nothing is built over a portable disk that is still there.
        if (!maker.DeletePortable()) {
            Message("strInstallFailed", MB_ICONERROR);
            return FALSE;
        }
    }
    if (const char* refusal = InstallSpaceRefusal(maker)) {
        Message(refusal, MB_ICONINFORMATION);
        return FALSE;
    }

    CWizardDlg job(this);
    job.m_bPortable = TRUE;
    job.m_cUsbLetter = letter;
    job.m_bMount = FALSE;
    job.DoModal();
    // Done means the whole layout is there with the image at rest; anything less is a failure,
    // and the source image is still open for another try.
    if (job.m_nPortableResult != 1) {
        Message("strInstallFailed", MB_ICONERROR);
        return FALSE;
    }
    // The source goes back to rest: the copy on the drive is what the user takes along.
    ReturnHeldImage();
    Message("strSuccess", MB_ICONINFORMATION);
    LateShellExecute(nullptr, nullptr, "explorer.exe", root.c_str(), nullptr, SW_SHOWNORMAL);
    return CPropertyPage::OnWizardFinish();
}

BOOL CStep4::FinishUnprotect()
{
    if (m_image.path.IsEmpty())
        return CPropertyPage::OnWizardFinish();
    const CString& path = m_image.path;
    BOOL done = FALSE;
    // A hidden image is the lock library's wherever it lies, a USB drive included (one made in
    // hard-disk mode there); only a portable disk's image is out of hiding at its work place.
    if (m_image.kind == kImageKindPortable) {
        CPortableDisk maker;
        maker.SetTarget(path[0], "");
        maker.UnhideImage();
        // Out of hiding means at the work place, whoever moved it there.
        const DWORD attributes = ::GetFileAttributesA(maker.GetImagePathOnDrive().c_str());
        done = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    } else {
        done = Quilmar_SetProtection(path, 0, 0, kQuilmarRelease) != 0;
    }
    if (!done) {
        Message("strUnprotectFailed", MB_ICONERROR);
        return FALSE;
    }
    m_bHeld = false;
    Message("strUnprotected", MB_ICONINFORMATION);
    return CPropertyPage::OnWizardFinish();
}

BOOL CStep4::FinishRepair()
{
    CPortableDisk maker;
    maker.SetTarget(m_image.path.IsEmpty() ? '\0' : m_image.path[0], "");
    if (m_image.path.IsEmpty() || maker.FinishPortableInPlace() != 1) {
        Message("strFixFailed", MB_ICONERROR);
        return FALSE;
    }
    m_bHeld = false;
    Message("strFixed", MB_ICONINFORMATION);
    return CPropertyPage::OnWizardFinish();
}
