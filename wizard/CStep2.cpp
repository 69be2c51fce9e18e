#include "CStep2.h"

#include <commdlg.h>
#include <dbt.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "CDlgFontScaler.h"
#include "CPortableDisk.h"
#include "CSelectGuard.h"
#include "CWaitDlg.h"
#include "CWinApp.h"
#include "CWizardDlg.h"
#include "CWizardSheet.h"
#include "DriveLists.h"
#include "HandleOwner.h"
#include "MountedDisks.h"
#include "ProtectedImages.h"
#include "SafeFormat.h"
#include "Step2Rules.h"
#include "SystemFunction.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr UINT_PTR kScanTimer = 0;
constexpr UINT kScanTimerMs = 1;
constexpr double kLayoutDpi = 96.0;
constexpr COLORREF kBrowseText = 0x00000000;
constexpr int kSubtitleIds[CStepTitles::kSubtitleCopies] = {IDC_LBL_STEP2_SUBTITLE, IDC_LBL_STEP2_SUBTITLE_2,
                                                           IDC_LBL_STEP2_SUBTITLE_3, IDC_LBL_STEP2_SUBTITLE_4,
                                                           IDC_LBL_STEP2_SUBTITLE_TOP};

constexpr int kStrengthPercent[] = {10, 25, 50, 75, 100};
const char* const kStrengthKeys[] = {"strPW_Short", "strPW_Weak", "strPW_Normal", "strPW_Good", "strPW_Strong"};
const char* const kFileSystems[] = {"FAT", "FAT32", "NTFS"};
constexpr int kFileSystemShown = 1;
constexpr int kLabelLimit = 11;
constexpr int kDescriptionLimit = 256;
const char* const kDefaultVolumeLabel = "Brixom";

CString Text(const char* key)
{
    return LangText("Step2", key);
}

std::string FileSystemOf(const std::string& root)
{
    return root.empty() ? std::string() : CPortableDisk::FileSystemOf(root[0]);
}

bool FileExists(const CString& path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The full, long form of a path, without the trailing dots and blanks Windows drops from a name.
std::string NormalPath(const std::string& path)
{
    char full[MAX_PATH * 2] = "";
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    std::string normal = length > 0 && length < sizeof full ? full : path;
    char longer[MAX_PATH * 2] = "";
    const DWORD longLength = ::GetLongPathNameA(normal.c_str(), longer, sizeof longer);
    if (longLength > 0 && longLength < sizeof longer)
        normal = longer;
    while (!normal.empty() && (normal.back() == '.' || normal.back() == ' '))
        normal.pop_back();
    return normal;
}

struct FileIdentity {
    DWORD volume = 0, high = 0, low = 0;
};

bool IdentityOf(const std::string& path, FileIdentity& identity)
{
    // No access asked: a disk's image in use can still be told apart.
    const KernelHandle file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file)
        return false;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(file.Get(), &info))
        return false;
    identity = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

// Whether two paths name one file, however written: another case, a short name, a "." or ".."
// step, a trailing dot or blank. By the file itself when both can be opened, else by the paths'
// full long forms.
bool SameFile(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    FileIdentity x, y;
    if (IdentityOf(a, x) && IdentityOf(b, y))
        return x.volume == y.volume && x.high == y.high && x.low == y.low;
    return lstrcmpiA(NormalPath(a).c_str(), NormalPath(b).c_str()) == 0;
}

// Whether the image is a mounted disk's or in the lock library's list: replacing it would take
// the disk away from under its user.
bool IsImageInUse(const CString& path)
{
    for (const char letter : MountedDriveLetters()) {
        if (SameFile(MountedImageOf(letter), path.str()))
            return true;
    }
    for (const ProtectedImage& image : ReadProtectedImages()) {
        if (SameFile(image.path, path.str()))
            return true;
    }
    return false;
}

// Set while Finish or Browse runs; device events wait for the user meanwhile.
class BusyScope {
public:
    explicit BusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
    ~BusyScope() { m_busy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_busy;
};

}  // namespace

unsigned GetFreeSpaceMB(const char* path)
{
    if (!path || !*path)
        return 0;
    const std::string root = std::string(1, path[0]) + ":\\";
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr))
        return 0;
    return Step2Rules::FreeSpaceMBFor(available.QuadPart, FileSystemOf(root).c_str());
}

BEGIN_MESSAGE_MAP(CStep2, CWizardPage)
    ON_BN_CLICKED(IDC_BTN_STEP2_BROWSE, CStep2::OnBrowseImage)
    ON_EN_CHANGE(IDC_EDIT_STEP2_IMAGE, CStep2::OnImagePathChange)
    ON_EN_CHANGE(IDC_EDIT_STEP2_PASSWORD, CStep2::OnPasswordChange)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_RADIO_MODE_HDD, CStep2::OnHddMode)
    ON_BN_CLICKED(IDC_RADIO_MODE_USB, CStep2::OnUsbMode)
    ON_CBN_SELCHANGE(IDC_CMB_STEP2_USB, CStep2::OnUsbDriveChange)
    ON_BN_CLICKED(IDC_BTN_STEP2_SIZE_UP, CStep2::OnSizeUp)
    ON_BN_CLICKED(IDC_BTN_STEP2_SIZE_DOWN, CStep2::OnSizeDown)
    ON_CONTROL(EN_KILLFOCUS, IDC_EDIT_STEP2_SIZE, CStep2::OnSizeKillFocus)
END_MESSAGE_MAP()

CStep2::CStep2() : CWizardPage(IDD_STEP2), m_strLabel(kDefaultVolumeLabel)
{
}

// Set-up -----------------------------------------------------------------------------------------

void CStep2::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CMB_STEP2_FILE_SYSTEM, m_cmbFileSystem);
    DDX_Control(dx, IDC_CMB_STEP2_LETTERS, m_cmbLetters);
    DDX_Text(dx, IDC_EDIT_STEP2_IMAGE, m_strImagePath);
    DDX_Text(dx, IDC_EDIT_STEP2_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, Step2Rules::kPasswordLimit);
    DDX_Text(dx, IDC_EDIT_STEP2_CONFIRM, m_strConfirm);
    DDV_MaxChars(dx, m_strConfirm, Step2Rules::kPasswordLimit);
    DDX_Text(dx, IDC_EDIT_STEP2_LABEL, m_strLabel);
    DDV_MaxChars(dx, m_strLabel, kLabelLimit);
    DDX_Text(dx, IDC_EDIT_STEP2_DESCRIPTION, m_strDescription);
    DDV_MaxChars(dx, m_strDescription, kDescriptionLimit);
    DDX_Text(dx, IDC_LBL_STEP2_MAX_SIZE, m_strMaxText);
    DDX_Text(dx, IDC_LBL_STEP2_STRENGTH, m_strStrength);
    DDX_Control(dx, IDC_CMB_STEP2_USB, m_cmbUsb);
    DDX_Control(dx, IDC_EDIT_STEP2_IMAGE, m_editImage);
    DDX_Control(dx, IDC_EDIT_STEP2_SIZE, m_editSize);
    DDX_Control(dx, IDC_BTN_STEP2_BROWSE, m_btnBrowse);
    DDX_Control(dx, IDC_BTN_STEP2_SIZE_UP, m_btnSizeUp);
    DDX_Control(dx, IDC_BTN_STEP2_SIZE_DOWN, m_btnSizeDown);
    DDX_Control(dx, IDC_RADIO_MODE_USB, m_rdUsb);
    DDX_Control(dx, IDC_RADIO_MODE_HDD, m_rdHdd);
    DDX_Control(dx, IDC_LBL_STEP2_USB, m_lblUsb);
    DDX_Control(dx, IDC_LBL_STEP2_IMAGE, m_lblImage);
    DDX_Control(dx, IDC_LBL_STEP2_LETTER, m_lblLetter);
    DDX_Control(dx, IDC_LBL_STEP2_SIZE, m_lblSize);
    DDX_Control(dx, IDC_LBL_STEP2_SIZE_MB, m_lblSizeMB);
    DDX_Control(dx, IDC_LBL_STEP2_PASSWORD, m_lblPassword);
    DDX_Control(dx, IDC_LBL_STEP2_STRENGTH_TITLE, m_lblStrengthTitle);
    DDX_Control(dx, IDC_LBL_STEP2_CONFIRM, m_lblConfirm);
    DDX_Control(dx, IDC_LBL_STEP2_MAX_SIZE, m_lblMaxSize);
    DDX_Control(dx, IDC_LBL_STEP2_STRENGTH, m_lblStrength);
    DDX_Control(dx, IDC_LBL_STEP2_PASSWORD_TIP, m_lblPasswordTip);
    m_titles.Exchange(dx, IDC_LBL_STEP2_TITLE, kSubtitleIds);
}

BOOL CStep2::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CDlgFontScaler scaler;
    scaler.Apply(AfxGetResourceHandle(), m_hWnd, IDD_STEP2, kLayoutDpi);
    m_hBackground = Sheet()->GetBackground();
    for (const char* name : kFileSystems)
        m_cmbFileSystem.AddString(name);
    LayoutControls();
    OnPasswordChange();
    return TRUE;
}

void CStep2::LayoutControls()
{
    const UINT place = SWP_NOZORDER | SWP_NOACTIVATE;
    auto moveTo = [&](CWnd& control, int x, int y, int width, int height) {
        control.SetWindowPos(nullptr, x, y, width, height, place);
    };
    auto rectOf = [&](CWnd& control) {
        CRect rect;
        control.GetWindowRect(&rect);
        ScreenToClient(&rect);
        return rect;
    };
    auto label = [&](CTransparentStatic& control, const char* key) {
        control.SetWindowText(Text(key));
        control.SetTextColor(kControlText);
    };

    for (CBitComboBox* list : {&m_cmbUsb, &m_cmbLetters})
        list->SetBitmaps(IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, 0, IDB_COMBO_ARROW_PRESSED,
                         IDB_COMBO_ARROW_DISABLED);
    moveTo(m_cmbUsb, 336, 58, 106, 15);

    const int usbLabelWidth = rectOf(m_lblUsb).Width();
    moveTo(m_lblUsb, 331 - usbLabelWidth, 60, 80, 20);
    label(m_lblUsb, "lblUsbDriver");
    const CRect usbLabel = rectOf(m_lblUsb);
    // The labels' column is measured in the wizard window, where the page lies at x 2.
    const int column = usbLabel.left + kPageLeft;

    const struct {
        CSkinButton& radio;
        const char* key;
        int top;
    } radios[] = {{m_rdUsb, "rdUSB", usbLabel.top - 30}, {m_rdHdd, "rdHDD", usbLabel.bottom + 5}};
    for (const auto& r : radios) {
        r.radio.SetWindowPos(nullptr, column - 14, r.top, 0, 0, place | SWP_NOSIZE);
        SkinRadio(r.radio, Text(r.key));
    }

    moveTo(m_editImage, 336, 120, 193, 15);
    static const UINT kBrowseIds[4] = {IDB_BROWSE_NORMAL, IDB_BROWSE_PRESSED, IDB_BROWSE_HOVER, IDB_BROWSE_DISABLED};
    static const UINT kUpIds[4] = {IDB_SIZE_UP_NORMAL, IDB_SIZE_UP_PRESSED, IDB_SIZE_UP_HOVER, IDB_SIZE_UP_DISABLED};
    static const UINT kDownIds[4] = {IDB_SIZE_DOWN_NORMAL, IDB_SIZE_DOWN_PRESSED, IDB_SIZE_DOWN_HOVER,
                                     IDB_SIZE_DOWN_DISABLED};
    for (int i = 0; i < 4; ++i) {
        m_browseFaces[i].LoadBitmap(kBrowseIds[i]);
        m_sizeUpFaces[i].LoadBitmap(kUpIds[i]);
        m_sizeDownFaces[i].LoadBitmap(kDownIds[i]);
    }
    auto bitmapSize = [](const CBitmap& bitmap) {
        BITMAP info = {};
        bitmap.GetBitmap(&info);
        return CSize(info.bmWidth, info.bmHeight);
    };
    const CRect image = rectOf(m_editImage);
    const CSize browse = bitmapSize(m_browseFaces[0]);
    const int browseTop = image.top + (image.Height() - browse.cy) / 2;
    m_btnBrowse.SetWindowText(" ...");
    m_btnBrowse.SetTextColor(kBrowseText);
    m_btnBrowse.SetBitmaps(m_browseFaces[0], m_browseFaces[1], m_browseFaces[2], m_browseFaces[3]);
    m_btnBrowse.SetRect(image.right + 10, browseTop, image.right + 10 + browse.cx, browseTop + browse.cy);
    moveTo(m_lblImage, column, 120, 100, 20);
    label(m_lblImage, "lblImageFile");

    moveTo(m_cmbLetters, 336, 145, 106, 15);
    moveTo(m_lblLetter, column, 148, 80, 20);
    label(m_lblLetter, "lblLetter");
    moveTo(m_lblMaxSize, 450, 148, 160, 20);
    m_lblMaxSize.SetTextColor(kControlText);

    moveTo(m_editSize, 337, 174, 82, 15);
    const CSize up = bitmapSize(m_sizeUpFaces[0]), down = bitmapSize(m_sizeDownFaces[0]);
    m_btnSizeUp.SetWindowText("");
    m_btnSizeUp.SetBitmaps(m_sizeUpFaces[0], m_sizeUpFaces[1], m_sizeUpFaces[2], m_sizeUpFaces[3]);
    m_btnSizeUp.SetRect(438 - up.cx, 172, 438, 172 + up.cy);
    m_btnSizeDown.SetWindowText("");
    m_btnSizeDown.SetBitmaps(m_sizeDownFaces[0], m_sizeDownFaces[1], m_sizeDownFaces[2], m_sizeDownFaces[3]);
    m_btnSizeDown.SetRect(438 - down.cx, 172 + up.cy + 1, 438, 172 + up.cy + 1 + down.cy);
    for (CHotBtn* button : {&m_btnSizeUp, &m_btnSizeDown})
        button->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    moveTo(m_lblSize, column, 174, 80, 20);
    label(m_lblSize, "lblSize");
    moveTo(m_lblSizeMB, 450, 174, 80, 20);
    label(m_lblSizeMB, "lblSizeMB");

    if (CWnd* password = GetDlgItem(IDC_EDIT_STEP2_PASSWORD))
        moveTo(*password, 337, 200, 104, 15);
    moveTo(m_lblPassword, column, 200, 80, 20);
    label(m_lblPassword, "lblPassword");
    if (CWnd* bar = GetDlgItem(IDC_STEP2_STRENGTH_BAR))
        bar->SetWindowPos(nullptr, 336, 231, 0, 0, place | SWP_NOSIZE);
    moveTo(m_lblStrengthTitle, column, 225, 80, 20);
    label(m_lblStrengthTitle, "lblStength");
    moveTo(m_lblStrength, 450, 225, 80, 20);
    m_lblStrength.SetTextColor(kControlText);
    if (CWnd* confirm = GetDlgItem(IDC_EDIT_STEP2_CONFIRM))
        moveTo(*confirm, 337, 254, 104, 15);
    moveTo(m_lblConfirm, column, 254, 80, 20);
    label(m_lblConfirm, "lblPasswordConfirm");
    // Kept inside the page's 600 pixels, so the tip wraps instead of being cut.
    moveTo(m_lblPasswordTip, 336, 280, kPageWidth - 336 - 8, 60);
    label(m_lblPasswordTip, "lblPasswordDes");

    m_titles.Layout("Step2");
}

BOOL CStep2::OnSetActive()
{
    Activate(kWizardBack | kWizardFinish, IDB_BACKGROUND_START);
    m_hBackground = Sheet()->GetBackground();
    if (m_nMode == kModeUsb) {
        // The scan starts once the page shows.
        SetTimer(kScanTimer, kScanTimerMs);
    } else {
        m_cmbUsb.EnableWindow(FALSE);
        m_lblUsb.Enable(FALSE);
        m_editImage.EnableWindow(TRUE);
        m_btnBrowse.EnableWindow(TRUE);
        OnImagePathChange();
    }
    FillFreeLetters();
    m_cmbFileSystem.SetCurSel(kFileSystemShown);
    if (m_bActivatedBefore)
        UpdateData(FALSE);
    m_bActivatedBefore = true;
    return TRUE;
}

BOOL CStep2::OnKillActive()
{
    // Not left under a running scan or Finish: their ends set this page's controls and buttons.
    if (m_bBusy || m_pWaitDlg)
        return FALSE;
    // Left before the scan's timer came (Back pressed at once): no scan for a page no longer shown.
    KillTimer(kScanTimer);
    return CPropertyPage::OnKillActive();
}

BOOL CStep2::OnQueryCancel()
{
    // Not while Finish or a scan is under way: the wizard would end under a running job.
    return !m_bBusy && !m_pWaitDlg;
}

void CStep2::ClickMode(int id)
{
    if (id == IDC_RADIO_MODE_HDD) {
        StartUsbScan();
    } else if (id == IDC_RADIO_MODE_USB) {
        m_cmbUsb.EnableWindow(FALSE);
        m_lblUsb.Enable(FALSE);
        m_editImage.EnableWindow(TRUE);
        m_btnBrowse.EnableWindow(TRUE);
        OnImagePathChange();
    }
    ClickDialogItem(id);
}

// Sizes ------------------------------------------------------------------------------------------

void CStep2::SetSizeText(int size)
{
    CString text;
    text.Format("%d", size);
    m_editSize.SetWindowText(text);
}

int CStep2::GetSizeFromEdit() const
{
    return Step2Rules::ParseSize(m_editSize.GetWindowText());
}

void CStep2::EnableSizeControls(BOOL enable)
{
    m_editSize.EnableWindow(enable);
    m_btnSizeUp.EnableWindow(enable);
    m_btnSizeDown.EnableWindow(enable);
}

void CStep2::InvalidateUnder(CWnd& control)
{
    CRect rect;
    control.GetWindowRect(&rect);
    ScreenToClient(&rect);
    InvalidateRect(&rect, TRUE);
}

void CStep2::ShowMaximum(unsigned maximum)
{
    m_nMaximum = maximum;
    m_strMaxText = SafeFormat(Text("strMaxSize").str(), {maximum});
    UpdateData(FALSE);
    m_lblMaxSize.ShowWindow(SW_SHOW);
    InvalidateUnder(m_lblMaxSize);
}

void CStep2::HideMaximum()
{
    m_nMaximum = 0;
    m_lblMaxSize.ShowWindow(SW_HIDE);
    InvalidateUnder(m_lblMaxSize);
}

void CStep2::OnImagePathChange()
{
    UpdateData(TRUE);
    if (m_strImagePath.GetLength() > 3 && m_strImagePath[2] == '\\') {
        const unsigned maximum = Step2Rules::MaximumSizeFor(GetFreeSpaceMB(m_strImagePath));
        UpdateData(FALSE);
        m_nSize = Step2Rules::ProposedSizeFor(maximum, true);
        SetSizeText(m_nSize);
        EnableSizeControls(TRUE);
        ShowMaximum(maximum);
        Sheet()->EnableWizardButtons(kWizardBack | kWizardFinish);
    } else {
        m_nSize = 0;
        SetSizeText(0);
        HideMaximum();
        UpdateData(FALSE);
        EnableSizeControls(FALSE);
        Sheet()->EnableWizardButtons(kWizardBack | kWizardFinishDisabled);
        UpdateData(FALSE);
    }
}

// Every handler that writes the fields back to the controls reads them first: the confirmation box
// has no change handler, so a stale field would wipe what the user typed there.
void CStep2::OnUsbDriveChange()
{
    UpdateData(TRUE);
    const char letter = DriveLetterOf(GetSelectedDriveRoot(m_cmbUsb));
    if (!letter)
        return;
    CPortableDisk disk;
    disk.SetTarget(letter, "");
    ULONGLONG freeBytes = 0;
    if (!disk.GetFreeSpace(freeBytes))
        return;
    const unsigned maximum = Step2Rules::MaximumSizeFor(static_cast<unsigned>(freeBytes >> 20));
    m_nSize = Step2Rules::ProposedSizeFor(maximum, false);
    SetSizeText(m_nSize);
    EnableSizeControls(TRUE);
    ShowMaximum(maximum);
}

void CStep2::OnSizeUp()
{
    UpdateData(TRUE);
    const long long next = static_cast<long long>(GetSizeFromEdit()) + 1;
    m_nSize = Step2Rules::ClampSize(next > INT_MAX ? INT_MAX : static_cast<int>(next), m_nMaximum);
    SetSizeText(m_nSize);
    UpdateData(FALSE);
}

void CStep2::OnSizeDown()
{
    UpdateData(TRUE);
    const long long next = static_cast<long long>(GetSizeFromEdit()) - 1;
    m_nSize = Step2Rules::ClampSize(next < INT_MIN ? INT_MIN : static_cast<int>(next), m_nMaximum);
    SetSizeText(m_nSize);
    UpdateData(FALSE);
}

void CStep2::OnSizeKillFocus()
{
    m_nSize = Step2Rules::ClampSize(GetSizeFromEdit(), m_nMaximum);
    SetSizeText(m_nSize);
}

// Password strength ------------------------------------------------------------------------------

void CStep2::SetStrengthBar(int percent)
{
    CWnd* bar = GetDlgItem(IDC_STEP2_STRENGTH_BAR);
    BITMAP info = {};
    CBitmap strength;
    if (!bar || !strength.LoadBitmap(IDB_STRENGTH_BAR) || !strength.GetBitmap(&info))
        return;
    bar->SetWindowPos(nullptr, 0, 0, percent * info.bmWidth / 100, info.bmHeight,
                      SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CStep2::UpdateStrength(const CString& password)
{
    if (password.IsEmpty()) {
        m_strStrength = "";
        SetStrengthBar(0);
    } else {
        const int strength = Step2Rules::GetPasswordStrength(password);
        m_strStrength = Text(kStrengthKeys[strength]);
        SetStrengthBar(kStrengthPercent[strength]);
    }
    InvalidateUnder(m_lblStrength);
}

void CStep2::OnPasswordChange()
{
    UpdateData(TRUE);
    UpdateStrength(m_strPassword);
    UpdateData(FALSE);
}

// Browse -----------------------------------------------------------------------------------------

void CStep2::OnBrowseImage()
{
    BusyScope busy(m_bBusy);
    UpdateData(TRUE);
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const CString defaultName = Text("strImageDefaultName") + Step2Rules::DefaultNameTail(now);
    std::vector<char> file(MAX_PATH, '\0');
    lstrcpynA(file.data(), defaultName, MAX_PATH);
    const std::vector<char> filter = FileDialogFilter(Text("strImageFilter"));

    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_hWnd;
    dialog.lpstrFilter = filter.data();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    static const auto getSaveFileName =
        SystemFunction<decltype(&::GetSaveFileNameA)>("comdlg32.dll", "GetSaveFileNameA");
    if (getSaveFileName && getSaveFileName(&dialog)) {
        UpdateData(TRUE);
        m_strImagePath = Step2Rules::WithImageExtension(file.data());
        UpdateData(FALSE);
    }

    if (m_strImagePath.IsEmpty()) {
        m_editSize.EnableWindow(FALSE);
        Sheet()->EnableWizardButtons(kWizardBack | kWizardFinishDisabled);
        OnImagePathChange();
        return;
    }
    if (FileExists(m_strImagePath)) {
        // Asked now, done at Finish: Back, Cancel or a failed check keep the old file.
        const std::string question = SafeFormat(Text("strRecreate").str(), {m_strImagePath.str()});
        if (WizardMessageBox(m_hWnd, question.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDYES) {
            m_strImagePath = "";
            m_strReplacePath = "";
            UpdateData(FALSE);
            OnImagePathChange();
            return;
        }
        m_strReplacePath = m_strImagePath;
    }
    const unsigned freeMB = GetFreeSpaceMB(m_strImagePath);
    SetSizeText(static_cast<int>(freeMB / 2 > Step2Rules::kHardDiskSizeCap ? Step2Rules::kHardDiskSizeCap : freeMB / 2));
    Sheet()->EnableWizardButtons(kWizardBack | kWizardFinish);
    OnImagePathChange();
    UpdateData(TRUE);
}

// Modes ------------------------------------------------------------------------------------------

void CStep2::OnHddMode()
{
    m_cmbUsb.EnableWindow(FALSE);
    m_lblUsb.Enable(FALSE);
    m_lblImage.Enable(TRUE);
    m_editImage.EnableWindow(TRUE);
    m_btnBrowse.EnableWindow(TRUE);
    m_rdUsb.SetCheck(BST_UNCHECKED, TRUE);
    m_rdHdd.SetCheck(BST_CHECKED, TRUE);
    m_nMode = kModeHardDisk;
    OnImagePathChange();
}

void CStep2::OnUsbMode()
{
    UpdateData(TRUE);
    m_editImage.EnableWindow(FALSE);
    m_btnBrowse.EnableWindow(FALSE);
    m_lblImage.Enable(FALSE);
    m_nMode = kModeUsb;
    m_rdUsb.SetCheck(BST_CHECKED, TRUE);
    m_rdHdd.SetCheck(BST_UNCHECKED, TRUE);
    if (m_cmbUsb.GetCount() <= 0) {
        Sheet()->EnableWizardButtons(kWizardBack | kWizardFinishDisabled);
        EnableSizeControls(FALSE);
        m_lblUsb.Enable(FALSE);
        m_nSize = 0;
        SetSizeText(0);
        HideMaximum();
    } else {
        m_cmbUsb.EnableWindow(TRUE);
        m_lblUsb.Enable(TRUE);
        OnUsbDriveChange();
        Sheet()->EnableWizardButtons(kWizardBack | kWizardFinish);
    }
    UpdateData(FALSE);
}

// USB drives and free letters --------------------------------------------------------------------

void CStep2::OnTimer(UINT_PTR id)
{
    if (id == kScanTimer) {
        KillTimer(kScanTimer);
        StartUsbScan();
    }
    Default();
}

LRESULT CStep2::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) &&
        m_nMode == kModeUsb && !m_bBusy)
        StartUsbScan();
    return CPropertyPage::WindowProc(message, wParam, lParam);
}

void CStep2::StartUsbScan()
{
    // A device event inside the running scan's box: one more scan after it, never one inside it.
    if (m_pWaitDlg) {
        m_bRescanPending = true;
        return;
    }
    do {
        m_bRescanPending = false;
        std::unique_ptr<CWaitDlg> wait(new CWaitDlg(this));
        m_pWaitDlg = wait.get();
        wait->RunScan(&CStep2::UsbScanThread, this);
        m_pWaitDlg = nullptr;
        wait.reset();
        if (!m_hWnd)
            return;
        HandOverScan();
    } while (m_bRescanPending);
}

void CStep2::UsbScanThread(void* page)
{
    HWND list = ::GetDlgItem(static_cast<CStep2*>(page)->m_hWnd, IDC_CMB_STEP2_USB);
    FillDriveList(list, GetUsbDriveRoots(), DriveListSelection::First);
}

void CStep2::HandOverScan()
{
    UpdateData(TRUE);
    if (m_cmbUsb.GetCount() > 0) {
        m_nMode = kModeUsb;
        OnUsbMode();
        UpdateData(TRUE);
    } else {
        m_nMode = kModeHardDisk;
        UpdateData(FALSE);
        OnHddMode();
        UpdateData(FALSE);
    }
}

void CStep2::FillFreeLetters()
{
    FillDriveList(m_cmbLetters, GetFreeDriveRoots(), DriveListSelection::First);
}

// Finish -----------------------------------------------------------------------------------------

BOOL CStep2::OnWizardFinish()
{
    if (m_bBusy)
        return FALSE;
    BusyScope busy(m_bBusy);
    UpdateData(TRUE);
    m_nSize = GetSizeFromEdit();
    return m_nMode == kModeHardDisk ? FinishHardDisk() : FinishUsb();
}

bool CStep2::DeleteReplacedFile()
{
    if (m_strReplacePath.IsEmpty() || m_strReplacePath != m_strImagePath || !FileExists(m_strImagePath))
        return true;
    bool deleted = false;
    if (!IsImageInUse(m_strImagePath)) {
        const DWORD attributes = ::GetFileAttributesA(m_strImagePath);
        ::SetFileAttributesA(m_strImagePath, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
        deleted = ::DeleteFileA(m_strImagePath) != FALSE;
        if (!deleted)
            ::SetFileAttributesA(m_strImagePath, attributes);
    }
    if (!deleted) {
        WizardMessageBox(m_hWnd, Text("strDeleteFileFailed"), MB_ICONERROR);
        return false;
    }
    m_strReplacePath = "";
    return true;
}

BOOL CStep2::Refuse(const char* key, UINT icon)
{
    WizardMessageBox(m_hWnd, Text(key), icon);
    return FALSE;
}

BOOL CStep2::FinishHardDisk()
{
    if (m_nSize == 0 || m_strImagePath.IsEmpty())
        return Refuse("strErrorImagePath", MB_ICONINFORMATION);
    if (m_strConfirm != m_strPassword || m_strPassword.IsEmpty())
        return Refuse("strNeedPassword", MB_ICONERROR);
    if (const char* refusal = Step2Rules::SizeRefusal(kModeHardDisk, m_nSize, FileSystemOf(m_strImagePath.str())))
        return Refuse(refusal, MB_ICONERROR);
    // Typed past the maximum without leaving the edit; the 50 MB floor stays allowed on a nearly
    // full drive, as the plus button offers it.
    if (static_cast<unsigned>(m_nSize) > m_nMaximum && m_nSize > Step2Rules::kSmallestSize)
        return Refuse("strSpaceSmallToInstall", MB_ICONINFORMATION);
    if (!DriveLetterOf(GetSelectedDriveRoot(m_cmbLetters)))
        return Refuse("strNoFreeLetter", MB_ICONERROR);
    if (!DeleteReplacedFile())
        return FALSE;

    g_ImagePath = m_strImagePath;
    g_ImagePassword = m_strPassword;
    CWizardDlg progress(this);
    progress.m_bPortable = FALSE;
    progress.m_bMount = TRUE;
    progress.DoModal();
    if (progress.m_nCreateResult != kTavrinCreated)
        return Refuse("strCreateFailed", MB_ICONERROR);
    // The image exists and can be opened from page 3 later: the wizard ends after the message.
    if (progress.m_bNoFreeLetter)
        WizardMessageBox(m_hWnd, Text("strNoFreeLetter"), MB_ICONERROR);
    else if (progress.m_nMountResult == 0)
        WizardMessageBox(m_hWnd, Text("strMountFailed"), MB_ICONERROR);
    return CPropertyPage::OnWizardFinish();
}

BOOL CStep2::FinishUsb()
{
    auto ask = [&](const char* key) { return WizardMessageBox(m_hWnd, Text(key), MB_YESNO | MB_ICONQUESTION) == IDYES; };
    if (m_strConfirm != m_strPassword || m_strPassword.IsEmpty())
        return Refuse("strNeedPassword", MB_ICONERROR);
    const char letter = DriveLetterOf(GetSelectedDriveRoot(m_cmbUsb));
    if (!letter)
        return FALSE;
    CPortableDisk disk;
    disk.SetTarget(letter, "");
    if (const char* refusal = Step2Rules::SizeRefusal(kModeUsb, m_nSize, CPortableDisk::FileSystemOf(letter)))
        return Refuse(refusal, MB_ICONERROR);
    // What an interrupted try left on this drive goes without a word: it is no one's disk. A
    // finished image (it may be a disk Agent has open) is only ever replaced after the questions.
    disk.ClearLeftovers();
    if (disk.IsPortableOnDrive() || disk.HoldsImage()) {
        if (!ask("strReinstallTip") || !ask("strDeleteTip"))
            return FALSE;
        // Nothing is built over a portable disk that is still there.
        if (!disk.DeletePortable())
            return Refuse("strDeleteFileFailed", MB_ICONERROR);
    }
    ULONGLONG freeBytes = 0;
    if (disk.GetFreeSpace(freeBytes) && (freeBytes >> 20) <= static_cast<ULONGLONG>(m_nSize))
        return Refuse("strSpaceSmallToInstall", MB_ICONINFORMATION);

    const std::string image = disk.GetImagePathOnDrive();
    const std::string workFolder = image.substr(0, image.rfind('\\'));
    const bool hadWorkFolder = ::GetFileAttributesA(workFolder.c_str()) != INVALID_FILE_ATTRIBUTES;
    // Made under the unfinished name, the image takes its place only once it is whole.
    g_ImagePath = disk.GetUnfinishedImagePath();
    g_ImagePassword = m_strPassword;
    CWizardDlg create(this);
    create.m_bPortable = FALSE;
    create.m_bMount = FALSE;
    create.DoModal();
    const bool created = create.m_nCreateResult == kTavrinCreated;
    const bool complete = created && disk.CompleteImage() == 1;
    int portable = CWizardDlg::kNotRun;
    if (complete) {
        g_ImagePath = image;
        CWizardDlg build(this);
        build.m_bPortable = TRUE;
        build.m_cUsbLetter = letter;
        build.m_bMount = FALSE;
        build.DoModal();
        portable = build.m_nPortableResult;
    }

    CPortableDisk check;
    check.SetTarget(letter, "");
    if (complete && portable == 1 && check.IsPortableOnDrive() && check.IsImageAtRest()) {
        WizardMessageBox(m_hWnd, Text("strMakeUSBSuccess"), MB_ICONINFORMATION);
        return CPropertyPage::OnWizardFinish();
    }
    // Only what this run made goes: the new, still empty image (under either name), and the work
    // folder when the run made it and nothing else lies in it.
    disk.ClearUnfinished();
    if (complete) {
        ::SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(image.c_str());
    }
    if (!hadWorkFolder)
        ::RemoveDirectoryA(workFolder.c_str());
    return Refuse("strMakeUSBFailed", MB_ICONINFORMATION);
}
