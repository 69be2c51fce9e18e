#include "CStep3.h"

#include <commdlg.h>
#include <dbt.h>

#include <cstring>
#include <vector>

#include "CDlgFontScaler.h"
#include "CWinApp.h"
#include "CPortableDisk.h"
#include "CWizardSheet.h"
#include "CWaitDlg.h"
#include "DialogHelpers.h"
#include "DriveLists.h"
#include "DriverPath.h"
#include "ImageHeader.h"
#include "OpenedImage.h"
#include "ProtectedImages.h"
#include "Quilmar.h"
#include "SystemFunction.h"
#include "Tavrin.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

// This page's picture is taken from (2, 30) of the background; the others start at (3, 30).
constexpr int kPictureLeft = 2;
constexpr double kTemplateDpi = 96.0;
constexpr COLORREF kBrowseText = RGB(0, 0, 0);
constexpr int kSubtitleIds[CStepTitles::kSubtitleCopies] = {IDC_LBL_STEP3_SUBTITLE, IDC_LBL_STEP3_SUBTITLE_2,
                                                           IDC_LBL_STEP3_SUBTITLE_3, IDC_LBL_STEP3_SUBTITLE_4,
                                                           IDC_LBL_STEP3_SUBTITLE_TOP};

// Places in the page, in pixels.
constexpr RECT kListPlace = {255, 164, 255 + 286, 164 + 74};
constexpr int kListColumnWidth = 286;
constexpr POINT kUsbListPlace = {350, 58};
constexpr RECT kImageEditPlace = {274, 114, 274 + 171, 114 + 15};
constexpr RECT kPasswordEditPlace = {334, 284, 334 + 126, 284 + 15};
constexpr int kBrowseGap = 10;
constexpr SIZE kLabelSize = {80, 20};

// The page's pixel places above were laid out against the template at the standard dialog base
// width (6 pixels a character, 1.5 pixels a dialog unit). Where the system substitutes a wider
// font for the template's, the controls left at their template place would drift right of them
// (a radio right of its own edit, a label under its list); they keep the standard horizontal
// place instead, with the height the scaler gave them. Template x and width in dialog units.
struct TemplateColumn {
    int id;
    int x;
    int width;
};
constexpr TemplateColumn kTemplateColumns[] = {
    {IDC_RADIO_KIND_HIDDEN, 166, 200}, {IDC_RADIO_KIND_NORMAL, 166, 178}, {IDC_RADIO_KIND_USB, 166, 213},
    {IDC_LBL_STEP3_PASSWORD, 168, 46}, {IDC_CHK_STEP3_SHOW_PASSWORD, 316, 79}, {IDC_LBL_STEP3_USB, 176, 46},
};
constexpr int kStandardPixelsPerFourUnits = 6;
constexpr int kHeaderTextChars = 256;
constexpr size_t kListTextChars = CStep3::kImagePathMaxChars + 1;

// The list header's item click (HDN_ITEMCLICKA) comes from control id 0.
constexpr UINT kListHeaderId = 0;

CString Lang3(const char* key)
{
    return LangText("Step3", key);
}

}  // namespace

BEGIN_MESSAGE_MAP(CStep3, CWizardPage)
    ON_BN_CLICKED(IDC_BTN_STEP3_BROWSE, CStep3::OnBrowseImage)
    ON_BN_CLICKED(IDC_CHK_STEP3_SHOW_PASSWORD, CStep3::OnShowPassword)
    ON_BN_CLICKED(IDC_RADIO_KIND_USB, CStep3::OnUsbKind)
    ON_BN_CLICKED(IDC_RADIO_KIND_NORMAL, CStep3::OnNormalKind)
    ON_BN_CLICKED(IDC_RADIO_KIND_HIDDEN, CStep3::OnHiddenKind)
    ON_NOTIFY(HDN_ITEMCLICKA, kListHeaderId, CStep3::OnHeaderItemClick)
END_MESSAGE_MAP()

CStep3::CStep3() : CWizardPage(IDD_STEP3, kPictureLeft)
{
}

void CStep3::DoDataExchange(CDataExchange* dx)
{
    CPropertyPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CMB_STEP3_USB, m_cmbUsb);
    DDX_Text(dx, IDC_EDIT_STEP3_IMAGE, m_strImagePath);
    DDX_Control(dx, IDC_EDIT_STEP3_IMAGE, m_editImage);
    DDX_Control(dx, IDC_EDIT_STEP3_PASSWORD, m_editPassword);
    DDX_Text(dx, IDC_EDIT_STEP3_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, kPasswordMaxChars);
    DDX_Check(dx, IDC_CHK_STEP3_SHOW_PASSWORD, m_bShowPassword);
    DDX_Control(dx, IDC_LIST_STEP3_PROTECTED, m_listProtected);
    DDX_Radio(dx, IDC_RADIO_KIND_HIDDEN, m_nKind);
    DDX_Control(dx, IDC_BTN_STEP3_BROWSE, m_btnBrowse);
    DDX_Control(dx, IDC_CHK_STEP3_SHOW_PASSWORD, m_chkShowPassword);
    DDX_Control(dx, IDC_LBL_STEP3_USB, m_lblUsb);
    DDX_Control(dx, IDC_LBL_STEP3_PASSWORD, m_lblPassword);
    DDX_Control(dx, IDC_RADIO_KIND_USB, m_rdUsb);
    DDX_Control(dx, IDC_RADIO_KIND_NORMAL, m_rdNormal);
    DDX_Control(dx, IDC_RADIO_KIND_HIDDEN, m_rdHidden);
    m_titles.Exchange(dx, IDC_LBL_STEP3_TITLE, kSubtitleIds);
}

BOOL CStep3::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    CDlgFontScaler scaler;
    scaler.Apply(AfxGetInstanceHandle(), m_hWnd, IDD_STEP3, kTemplateDpi);
    FillListColumns();
    return TRUE;
}

BOOL CStep3::OnSetActive()
{
    KeepTypedText();
    Activate(kWizardBack | kWizardNext, IDB_BACKGROUND_OPEN);
    ::SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LayoutControls();

    m_nKind = Quilmar_GetProtectedCount() == 0 ? kImageKindNormal : kImageKindHidden;
    UpdateData(FALSE);
    ScanUsbDrives();
    m_cmbUsb.EnableWindow(m_cmbUsb.GetCount() > 0);
    if (m_nKind == kImageKindHidden)
        OnHiddenKind();
    else
        OnNormalKind();

    KeepTypedText();
    m_strPassword.Empty();
    UpdateData(FALSE);
    Invalidate(TRUE);
    return CPropertyPage::OnSetActive();
}

void CStep3::ClickRadio(int id)
{
    ClickDialogItem(id);
}

CString CStep3::ListedPath(const char* path)
{
    if (!path || !*path)
        return CString();
    std::string text(path);
    if (text.size() > 1)
        ::CharLowerBuffA(&text[1], static_cast<DWORD>(text.size() - 1));
    return CString(text);
}

void CStep3::FillProtectedList()
{
    m_listProtected.SendMessage(LVM_DELETEALLITEMS);
    for (const ProtectedImage& image : ReadProtectedImages()) {
        // The list sorts itself: the entries show in alphabetical order whatever the service's.
        if (image.IsListed())
            m_listProtected.InsertItem(0, ListedPath(image.path.c_str()));
    }
    m_listProtected.SendMessage(LVM_SETSELECTIONMARK, 0, 0);
}

CString CStep3::GetHeaderText(int column)
{
    HWND header = m_listProtected.GetHeaderCtrl();
    if (!header)
        return CString();
    char text[kHeaderTextChars] = "";
    HDITEMA item = {};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = kHeaderTextChars;
    if (!::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item)))
        return CString();
    text[kHeaderTextChars - 1] = '\0';
    return CString(text);
}

void CStep3::FillListColumns()
{
    m_listProtected.SetWindowPos(nullptr, kListPlace.left, kListPlace.top, kListPlace.right - kListPlace.left,
                                 kListPlace.bottom - kListPlace.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (GetHeaderText(0).IsEmpty()) {
        m_listProtected.InsertColumn(0, Lang3("lvColume0"), LVCFMT_LEFT, kListColumnWidth);
        m_bColumnAdded = TRUE;
    }
}

void CStep3::SetKindRadios(int checkedId)
{
    m_rdUsb.SetCheck(checkedId == IDC_RADIO_KIND_USB ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_rdNormal.SetCheck(checkedId == IDC_RADIO_KIND_NORMAL ? BST_CHECKED : BST_UNCHECKED, TRUE);
    m_rdHidden.SetCheck(checkedId == IDC_RADIO_KIND_HIDDEN ? BST_CHECKED : BST_UNCHECKED, TRUE);
}

void CStep3::KeepTypedText()
{
    if (m_editImage.m_hWnd)
        m_strImagePath = m_editImage.GetWindowText();
    if (m_editPassword.m_hWnd)
        m_strPassword = m_editPassword.GetWindowText();
}

void CStep3::OnHiddenKind()
{
    m_editImage.EnableWindow(FALSE);
    m_btnBrowse.EnableWindow(FALSE);
    m_cmbUsb.EnableWindow(FALSE);
    m_lblUsb.Enable(FALSE);
    m_listProtected.EnableWindow(TRUE);
    SetKindRadios(IDC_RADIO_KIND_HIDDEN);
    m_nKind = kImageKindHidden;
    FillProtectedList();
    KeepTypedText();
    UpdateData(FALSE);
    m_listProtected.EnableWindow(m_listProtected.GetItemCount() > 0);
}

void CStep3::OnNormalKind()
{
    SetKindRadios(IDC_RADIO_KIND_NORMAL);
    m_nKind = kImageKindNormal;
    m_editImage.EnableWindow(TRUE);
    m_btnBrowse.EnableWindow(TRUE);
    m_cmbUsb.EnableWindow(FALSE);
    m_listProtected.EnableWindow(FALSE);
    m_lblUsb.Enable(FALSE);
}

void CStep3::OnUsbKind()
{
    SetKindRadios(IDC_RADIO_KIND_USB);
    m_editImage.EnableWindow(FALSE);
    m_btnBrowse.EnableWindow(FALSE);
    m_listProtected.EnableWindow(FALSE);
    m_nKind = kImageKindPortable;
    ScanUsbDrives();
    // A drive came or went during the scan: the list may not be what is plugged in, so the page
    // falls back to the normal kind, as for an event after it.
    if (m_bDeviceEventInScan) {
        OnNormalKind();
        UpdateData(FALSE);
        return;
    }
    const BOOL any = m_cmbUsb.GetCount() > 0;
    m_cmbUsb.EnableWindow(any);
    m_lblUsb.Enable(any);
    KeepTypedText();
    UpdateData(FALSE);
}

void CStep3::UsbScanThread(void* context)
{
    // On the scan thread: the list is reached by window messages only, which the page's thread
    // serves inside the wait box's modal run.
    HWND list = static_cast<CStep3*>(context)->m_cmbUsb.m_hWnd;
    std::vector<std::string> portable;
    for (const std::string& root : GetUsbDriveRoots()) {
        CPortableDisk maker;
        maker.SetTarget(root[0], "");
        if (maker.IsPortableOnDrive())
            portable.push_back(root);
    }
    const int count = FillDriveList(list, portable, DriveListSelection::First);
    ::EnableWindow(list, count > 0);
}

void CStep3::ScanUsbDrives()
{
    m_bScanning = true;
    m_bDeviceEventInScan = false;
    CWaitDlg wait(this);
    wait.RunScan(&CStep3::UsbScanThread, this);
    m_bScanning = false;
}

LRESULT CStep3::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A drive plugged in or pulled while the USB kind is chosen: the page falls back to the
    // normal kind rather than scan again.
    // One inside the scan's box waits for the scan's end, which then decides (the kind must not
    // change under the scan's hand-over).
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE)) {
        if (m_bScanning)
            m_bDeviceEventInScan = true;
        else if (m_nKind == kImageKindPortable)
            OnNormalKind();
    }
    return CPropertyPage::WindowProc(message, wParam, lParam);
}

void CStep3::OnShowPassword()
{
    UpdateData(TRUE);
    const DWORD remove = m_bShowPassword ? ES_PASSWORD : 0;
    const DWORD add = m_bShowPassword ? 0 : ES_PASSWORD;
    RecreateControl(&m_editPassword, "Edit", remove, add, 0, 0);
    m_editPassword.SetLimitText(kPasswordMaxChars);
}

void CStep3::OnBrowseImage()
{
    const std::vector<char> filter =
        FileDialogFilter(LangText("Step2", "strImageFilter") + LangText("Step2", "strFilterAll"));
    char path[MAX_PATH] = "";
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = m_hWnd;
    open.lpstrFilter = filter.data();
    open.lpstrFile = path;
    open.nMaxFile = MAX_PATH;
    open.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    static const auto getOpenFileName =
        SystemFunction<decltype(&::GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&open))
        return;
    KeepTypedText();
    m_strImagePath = path;
    UpdateData(FALSE);
}

void CStep3::OnHeaderItemClick(NMHDR*, LRESULT* result)
{
    *result = 0;
}

bool CStep3::PasswordMatches(const char* headerField, const char* typed)
{
    const size_t stored = strnlen(headerField, ImageHeader::kPasswordSize);
    const size_t length = std::strlen(typed);
    return stored == length && std::memcmp(headerField, typed, length) == 0;
}

LRESULT CStep3::OnWizardNext()
{
    CString opened;
    CPortableDisk maker;
    if (!UpdateData(TRUE))
        return -1;
    CStep4& page4 = Sheet()->m_step4;
    const int kind = m_nKind;

    switch (kind) {
    case kImageKindNormal:
        opened = m_strImagePath;
        break;
    case kImageKindPortable: {
        // No drive to choose is no image chosen, rather than a drive that cannot be written.
        const std::string root = GetSelectedDriveRoot(m_cmbUsb.m_hWnd);
        if (root.empty())
            break;
        maker.SetTarget(root[0], "");
        if (!maker.IsDriveWritable()) {
            WizardMessageBox(m_hWnd, Lang3("strProtected"), MB_ICONINFORMATION);
            return -1;
        }
        opened = maker.GetImagePathOnDrive();
        break;
    }
    case kImageKindHidden: {
        const int item = static_cast<int>(m_listProtected.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                                      MAKELPARAM(LVNI_SELECTED, 0)));
        if (item >= 0) {
            char text[kListTextChars] = "";
            LVITEMA cell = {};
            cell.iSubItem = 0;
            cell.pszText = text;
            cell.cchTextMax = static_cast<int>(kListTextChars);
            m_listProtected.SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
            text[kListTextChars - 1] = '\0';
            opened = text;
        }
        break;
    }
    default:
        break;
    }

    if (opened.IsEmpty()) {
        WizardMessageBox(m_hWnd, Lang3("strSelectImage"), MB_ICONINFORMATION);
        return -1;
    }
    if (m_strPassword.IsEmpty()) {
        WizardMessageBox(m_hWnd, Lang3("strNoPassword"), MB_ICONERROR);
        return -1;
    }

    if (kind == kImageKindHidden) {
        if (!Quilmar_SetProtection(opened, 0, 0, kQuilmarRelease))
            return -1;
    } else if (kind == kImageKindPortable) {
        // Already at the work place (left there by an interrupted Agent) is fine too.
        maker.UnhideImage();
    }

    ImageHeader header = {};
    if (!Tavrin_GetInfo(ToDriverPath(opened.str()).c_str(), &header)) {
        // Nothing was opened, and no page 4 exists yet to put the image back later.
        ReturnImageToRest(kind, opened);
        WizardMessageBox(m_hWnd, Lang3("strOpenFailed"), MB_ICONERROR);
        return -1;
    }

    if (!PasswordMatches(header.password, m_strPassword)) {
        if (kind == kImageKindHidden) {
            if (!Quilmar_SetProtection(opened, 0, 0, kQuilmarProtect))
                return -1;
        } else {
            ReturnImageToRest(kind, opened);
        }
        WizardMessageBox(m_hWnd, Lang3("strErrorPassword"), MB_ICONERROR);
        return -1;
    }

    CPropertySheet* sheet = GetSheet();
    if (sheet->GetPageCount() == 3)
        sheet->RemovePage(2);
    page4.HoldImage(opened, kind);
    sheet->AddPage(&page4);
    return CPropertyPage::OnWizardNext();
}

void CStep3::LayoutControls()
{
    for (const TemplateColumn& column : kTemplateColumns) {
        HWND control = GetDlgItemHwnd(column.id);
        if (!control)
            continue;
        RECT place = {};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&place), 2);
        ::SetWindowPos(control, nullptr, column.x * kStandardPixelsPerFourUnits / 4, place.top,
                       column.width * kStandardPixelsPerFourUnits / 4, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }

    SkinRadio(m_rdUsb, Lang3("rdUSB"));
    SkinRadio(m_rdNormal, Lang3("rdHDD"));
    SkinRadio(m_rdHidden, Lang3("rdHidden"));
    SkinCheckBox(m_chkShowPassword, Lang3("ChkDisplay"));

    m_cmbUsb.SetWindowPos(nullptr, kUsbListPlace.x, kUsbListPlace.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_cmbUsb.SetBitmaps(IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, 0, IDB_COMBO_ARROW_PRESSED,
                        IDB_COMBO_ARROW_DISABLED);

    m_titles.Layout("Step3");

    m_editImage.SetWindowPos(nullptr, kImageEditPlace.left, kImageEditPlace.top,
                             kImageEditPlace.right - kImageEditPlace.left, kImageEditPlace.bottom - kImageEditPlace.top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
    m_editImage.SetLimitText(kImagePathMaxChars);

    static const UINT kBrowseIds[4] = {IDB_BROWSE_NORMAL, IDB_BROWSE_PRESSED, IDB_BROWSE_HOVER, IDB_BROWSE_DISABLED};
    for (int i = 0; i < 4; ++i) {
        if (!m_browseFaces[i].GetSafeHandle())
            m_browseFaces[i].LoadBitmap(kBrowseIds[i]);
    }
    BITMAP face = {};
    m_browseFaces[0].GetBitmap(&face);
    const int browseLeft = kImageEditPlace.right + kBrowseGap;
    const int browseTop = kImageEditPlace.top + (kImageEditPlace.bottom - kImageEditPlace.top - face.bmHeight) / 2;
    m_btnBrowse.SetWindowText(" ...");
    m_btnBrowse.SetTextColor(kBrowseText);
    m_btnBrowse.SetBitmaps(m_browseFaces[0], m_browseFaces[1], m_browseFaces[2], m_browseFaces[3]);
    m_btnBrowse.SetRect(browseLeft, browseTop, browseLeft + face.bmWidth, browseTop + face.bmHeight);

    m_editPassword.SetWindowPos(nullptr, kPasswordEditPlace.left, kPasswordEditPlace.top,
                                kPasswordEditPlace.right - kPasswordEditPlace.left,
                                kPasswordEditPlace.bottom - kPasswordEditPlace.top, SWP_NOZORDER | SWP_NOACTIVATE);

    const struct {
        CTransparentStatic& label;
        const char* key;
    } labels[] = {{m_lblUsb, "lblUsbDriver"}, {m_lblPassword, "lblPassword"}};
    for (const auto& l : labels) {
        l.label.SetWindowText(Lang3(l.key));
        l.label.SetTextColor(kControlText);
        l.label.SetWindowPos(nullptr, 0, 0, kLabelSize.cx, kLabelSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
