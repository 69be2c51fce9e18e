#include "CDlgGetNewVersion.h"

#include "ShellLaunch.h"

#include "DialogHelpers.h"
#include "LangString.h"
#include "SafeFormat.h"
#include "CUpdateCheck.h"
#include "UpdateQuery.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr COLORREF kTitleColor = 0x00FFFFFF;
constexpr int kTitleFontHeight = 16;
constexpr int kTitleFontWeight = 700;
constexpr int kTitleWidth = 300, kTitleHeight = 16;
constexpr int kHeadlineTop = 60, kHeadlineHeight = 16;
constexpr int kTipLeft = 30, kTipTop = 105, kTipHeight = 60;
constexpr RECT kCloseRect = {375, 7, 395, 27};
constexpr int kButtonTop = 210, kButtonBottom = 236, kButtonWidth = 120;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgGetNewVersion, CDialog)
    ON_BN_CLICKED(IDC_BTN_NV_CANCEL, CDlgGetNewVersion::OnBtnCancel)
    ON_BN_CLICKED(IDC_BTN_NV_CLOSE, CDlgGetNewVersion::OnBtnCancel)
    ON_BN_CLICKED(IDC_BTN_NV_UPDATE, CDlgGetNewVersion::OnBtnUpdate)
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, CDlgGetNewVersion::OnPrintClient)
END_MESSAGE_MAP()

CDlgGetNewVersion::CDlgGetNewVersion(CWnd* owner) : CDialog(IDD_GETNEWVERSION, owner)
{
    m_background.LoadBitmap(IDB_NEWVERSION_BACKGROUND);
    BITMAP info = {};
    if (m_background.GetBitmap(&info)) {
        m_nWidth = info.bmWidth;
        m_nHeight = info.bmHeight;
    }
}

void CDlgGetNewVersion::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_LBL_NV_TITLE, m_lblTitle);
    DDX_Control(dx, IDC_LBL_NV_HEADLINE, m_lblHeadline);
    DDX_Control(dx, IDC_LBL_NV_TIP, m_lblTip);
    DDX_Control(dx, IDC_BTN_NV_CLOSE, m_btnClose);
    DDX_Control(dx, IDC_BTN_NV_CANCEL, m_btnCancel);
    DDX_Control(dx, IDC_BTN_NV_UPDATE, m_btnUpdate);
}

BOOL CDlgGetNewVersion::OnInitDialog()
{
    CDialog::OnInitDialog();
    const int w = m_nWidth, h = m_nHeight;

    SetWindowRgn(CreateDialogRegion(w, h), TRUE);
    SetWindowPos(nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_FRAMECHANGED);

    m_fontTitle.CreateFont(kTitleFontHeight, 0, 0, 0, kTitleFontWeight, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    m_lblTitle.SetFont(&m_fontTitle, FALSE);
    m_lblTitle.SetTextColor(kTitleColor);
    m_lblTitle.SetWindowPos(nullptr, 0, 0, kTitleWidth, kTitleHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_lblTitle.SetWindowText(LangText("frmGetNewVersion", "Title"));

    // The version fills the text's one conversion; the text itself is never a format.
    const std::string headline =
        SafeFormat(LangText("frmGetNewVersion", "HasNewVerson").str(), {m_strNewestVersion.str()});
    m_lblHeadline.SetWindowText(headline.c_str());
    m_lblHeadline.SetWindowPos(nullptr, 0, kHeadlineTop, w, kHeadlineHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    m_lblTip.SetWindowText(LangText("frmGetNewVersion", "VersionTip"));
    m_lblTip.SetWindowPos(nullptr, kTipLeft, kTipTop, w - 2 * kTipLeft, kTipHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    static const UINT kCloseIds[4] = {IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, IDB_CLOSE_DISABLED};
    static const UINT kButtonIds[4] = {IDB_NEWVERSION_BUTTON_NORMAL, IDB_NEWVERSION_BUTTON_PRESSED,
                                       IDB_NEWVERSION_BUTTON_HOVER, IDB_NEWVERSION_BUTTON_HOVER};
    for (int i = 0; i < 4; ++i) {
        m_closeFaces[i].LoadBitmap(kCloseIds[i]);
        m_buttonFaces[i].LoadBitmap(kButtonIds[i]);
    }

    m_btnClose.ShowWindow(SW_SHOW);
    m_btnClose.SetBitmaps(m_closeFaces[0], m_closeFaces[1], m_closeFaces[2], m_closeFaces[3]);
    m_btnClose.SetRect(kCloseRect.left, kCloseRect.top, kCloseRect.right, kCloseRect.bottom);
    m_btnClose.SetWindowText("");

    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    struct Bottom {
        CHotBtn& button;
        int left;
        const char* key;
    };
    const Bottom bottoms[] = {
        {m_btnCancel, (w - 240) / 3, "btnCancel"},
        {m_btnUpdate, (2 * w - 480) / 3 + kButtonWidth, "btnUpdate"},
    };
    for (const Bottom& b : bottoms) {
        b.button.ShowWindow(SW_SHOW);
        b.button.SetBitmaps(m_buttonFaces[0], m_buttonFaces[1], m_buttonFaces[2], m_buttonFaces[3]);
        b.button.SetRect(b.left, kButtonTop, b.left + kButtonWidth, kButtonBottom);
        b.button.SetFont(dialogFont, TRUE);
        b.button.SetWindowText(LangText("frmGetNewVersion", b.key));
    }

    CenterWindow(m_pParentWnd);
    return TRUE;
}

void CDlgGetNewVersion::OnBtnCancel()
{
    EndDialog(0);
}

void CDlgGetNewVersion::OnBtnUpdate()
{
    // Only web pages are opened: an address from the network must not start a local program.
    std::string address = m_strDownloadAddress.str();
    if (!IsWebAddress(address))
        address = LangText("Product", "ProductHomePage").str();
    if (IsWebAddress(address))
        LateShellExecute(m_hWnd, "open", address.c_str(), nullptr, nullptr, SW_SHOW);
    EndDialog(0);
}

void CDlgGetNewVersion::OnLButtonDown(UINT, CPoint point)
{
    if (point.y <= kDragBandBottom)
        PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    Default();
}

void CDlgGetNewVersion::OnPaint()
{
    OnPaintBackground(this, m_background, m_nWidth, m_nHeight);
}

LRESULT CDlgGetNewVersion::OnPrintClient(WPARAM wParam, LPARAM)
{
    OnPaintBackground(this, m_background, m_nWidth, m_nHeight, reinterpret_cast<HDC>(wParam));
    return 0;
}

bool StartNewVersionCheck(CUpdateCheck& check, HWND answerTo)
{
    const CString address = LangText("Product", "UpdateUrl");
    if (address == kLangMissing)
        return false;
    return check.Start(address.str(), answerTo, WM_NEWVERSION_ANSWER);
}

int CheckForNewVersion(CWnd* owner, const UpdateInfo& newest)
{
    const CString current = LangText("frmAbout", "VersionNumber");
    if (current == kLangMissing)
        return -1;
    if (CompareVersions(newest.version, current.str()) <= 0)
        return -1;
    CDlgGetNewVersion dialog(owner);
    dialog.m_strNewestVersion = newest.version.c_str();
    dialog.m_strDownloadAddress = newest.address.c_str();
    return static_cast<int>(dialog.DoModal());
}
