#include "CDlgAbout.h"

#include "DialogHelpers.h"
#include "LangString.h"
#include "LumettaGlobals.h"
#include "resource.h"

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;

CString Text(const char* section, const char* key)
{
    return CString(GetLangString(g_LanguageFile.str(), section, key, kLangMissing));
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgAbout, CDialog)
    ON_WM_CLOSE()
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_COMMAND(IDC_ABOUT_CLOSE, CDlgAbout::OnCloseButton)
    ON_COMMAND(IDC_ABOUT_OK, CDlgAbout::OnOkButton)
    ON_COMMAND(IDC_ABOUT_HOMEPAGE, CDlgAbout::OnHomePage)
END_MESSAGE_MAP()

CDlgAbout::CDlgAbout(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent)
{
    m_ok.SetTextColor(kWhite);
    m_close.SetTextColor(kWhite);
    if (m_background.LoadBitmap(IDB_ABOUT_BACKGROUND)) {
        BITMAP info = {};
        m_background.GetBitmap(&info);
        m_nWidth = info.bmWidth;
        m_nHeight = info.bmHeight;
    }
}

CDlgAbout::~CDlgAbout() = default;

INT_PTR CDlgAbout::DoModal()
{
    return CDialog::DoModal();
}

CString CDlgAbout::RemoveCompanyName(const CString& product, const CString& company)
{
    CString name = product;
    if (!company.IsEmpty())
        name.Replace(company, "");
    name.Trim(' ');
    return name;
}

void CDlgAbout::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ABOUT_COMPANY, m_company);
    DDX_Control(dx, IDC_ABOUT_PRODUCT, m_product);
    DDX_Control(dx, IDC_ABOUT_TITLE, m_title);
    DDX_Control(dx, IDC_ABOUT_DESCRIPTION, m_description);
    DDX_Control(dx, IDC_ABOUT_VERSION, m_version);
    DDX_Control(dx, IDC_ABOUT_HOMEPAGE, m_homePage);
    DDX_Control(dx, IDC_ABOUT_SUPPORT, m_support);
    DDX_Control(dx, IDC_ABOUT_CLOSE, m_close);
    DDX_Control(dx, IDC_ABOUT_OK, m_ok);
}

BOOL CDlgAbout::OnInitDialog()
{
    CDialog::OnInitDialog();

    SetWindowRgn(CreateDialogRegion(m_nWidth, m_nHeight), TRUE);
    SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOZORDER | SWP_FRAMECHANGED);
    CenterWindow();

    const CString version = Text("frmAbout", "VersionNumber");
    m_support.SetAutoSize(TRUE);
    m_support.SetLinkTarget(Text("Product", "ProductHelpPage"));
    m_support.SetUnderline(CLinkStatic::kUnderlineAlways);
    m_support.SetWindowText(Text("frmAbout", "support"));
    // Fitted again to the text it shows now, or a text longer than the template's would be cut.
    m_support.FitWindowToText();

    m_homePage.SetAutoSize(TRUE);
    m_homePage.SetLinkTarget(Text("Product", "ProductHomePage"));
    m_homePage.SetUnderline(CLinkStatic::kUnderlineAlways);
    m_homePage.SetWindowText(Text("frmAbout", "homePage"));
    m_homePage.FitWindowToText();

    m_titleFont.CreateFont(16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    m_title.SetFont(&m_titleFont);
    m_title.m_crText = kWhite;
    m_title.SetWindowText(Text("frmAbout", "About"));

    const CString company = Text("Product", "Company Name");
    m_companyFont.CreateFont(20, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
    m_company.SetFont(&m_companyFont);
    m_company.SetWindowText(company);
    m_company.SetWindowPos(nullptr, 220, 45, 300, 26, SWP_NOACTIVATE | SWP_NOZORDER);

    m_productFont.CreateFont(28, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Tahoma");
    m_product.SetFont(&m_productFont);
    m_product.SetWindowText(RemoveCompanyName(Text("Product", "Product short Name"), company) + " " + version);
    m_product.SetWindowPos(nullptr, 220, 70, 300, 28, SWP_NOACTIVATE | SWP_NOZORDER);

    m_version.SetWindowText(Text("frmAbout", "version") + " " + version);
    m_description.SetWindowText(Text("frmAbout", "lblDes"));

    m_close.ShowWindow(SW_SHOW);
    SetButtonFaces(m_close, m_closeFaces, IDB_ABOUT_CLOSE_NORMAL, IDB_ABOUT_CLOSE_PRESSED, IDB_ABOUT_CLOSE_HOVER,
                   IDB_ABOUT_CLOSE_DISABLED);
    m_close.SetRect(442, 7, 462, 27);
    m_close.SetWindowText("");

    m_ok.ShowWindow(SW_SHOW);
    SetButtonFaces(m_ok, m_okFaces, IDB_ABOUT_OK_NORMAL, IDB_ABOUT_OK_PRESSED, IDB_ABOUT_OK_HOVER,
                   IDB_ABOUT_OK_DISABLED);
    m_ok.SetRect(330, 240, 415, 265);
    m_ok.SetWindowText(Text("frmAbout", "btnOK"));
    return TRUE;
}

void CDlgAbout::SetButtonFaces(CHotBtn& button, CBitmap* faces, UINT normal, UINT pressed, UINT hover,
                               UINT disabled)
{
    const UINT ids[4] = {normal, pressed, hover, disabled};
    for (int i = 0; i < 4; ++i) {
        if (!faces[i].GetSafeHandle() && !faces[i].LoadBitmap(ids[i]))
            return;
    }
    button.SetBitmaps(faces[0], faces[1], faces[2], faces[3]);
}

void CDlgAbout::OnClose()
{
    CDialog::OnClose();
}

void CDlgAbout::OnPaint()
{
    OnPaintBackground(this, m_background, m_nWidth, m_nHeight);
}

void CDlgAbout::OnLButtonDown(UINT flags, CPoint point)
{
    OnLButtonDownDrag(this, flags, point);
}

void CDlgAbout::OnCloseButton()
{
    EndDialog(0);
}

void CDlgAbout::OnOkButton()
{
    EndDialog(0);
}

void CDlgAbout::OnHomePage()
{
}
