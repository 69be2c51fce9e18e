#include "CWizardSheet.h"

#include "ShellLaunch.h"

#include "CWinApp.h"
#include "DialogHelpers.h"
#include "LangString.h"
#include "ProgramFolder.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kDarkGrey = 0x002C2C2C;
constexpr int kCaptionFontHeight = 16;
constexpr int kCaptionFontWeight = 700;
// The region leaves the dialog frame outside: it starts 3 pixels in.
constexpr int kSheetRegionInset = 3;
constexpr int kSheetCornerEllipse = 9;
constexpr int kSheetSizeExtra = 15;
constexpr int kCaptionTop = 7;
constexpr int kFeedbackRightEdge = 555;
constexpr int kButtonBandTop = 360;
// Starting Lumetta (the shell, the launcher) takes a UI thread some 15 ms: done after the wizard has
// painted and waits for the user, it costs the first window nothing.
constexpr UINT_PTR kLumettaTimer = 1;
constexpr UINT kLumettaDelayMs = 200;

HRGN CreateSheetRegion(int width, int height)
{
    return ::CreateRoundRectRgn(kSheetRegionInset, kSheetRegionInset, width + 4, height + 4, kSheetCornerEllipse,
                                kSheetCornerEllipse);
}

void OpenWithShell(const char* file, const char* parameters, int show)
{
    LateShellExecute(nullptr, "open", file, parameters, nullptr, show);
}

}  // namespace

BEGIN_MESSAGE_MAP(CWizardSheet, CPropertySheet)
    ON_BN_CLICKED(IDC_BTN_NEXT, CWizardSheet::OnBtnNext)
    ON_BN_CLICKED(IDC_BTN_BACK, CWizardSheet::OnBtnBack)
    ON_BN_CLICKED(IDC_BTN_CANCEL, CWizardSheet::OnBtnCancel)
    ON_BN_CLICKED(IDC_BTN_FINISH, CWizardSheet::OnBtnFinish)
    ON_BN_CLICKED(IDC_BTN_CLOSE, CWizardSheet::OnBtnClose)
    ON_BN_CLICKED(IDC_BTN_MINIMIZE, CWizardSheet::OnBtnMinimize)
    ON_BN_CLICKED(IDC_BTN_HELP, CWizardSheet::OnHelp)
    ON_BN_CLICKED(IDC_LBL_FEEDBACK, CWizardSheet::OnFeedback)
    ON_BN_CLICKED(IDC_LBL_HISTORY, CWizardSheet::OnHistory)
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_PAINT()
    ON_MESSAGE(WM_PRINTCLIENT, CWizardSheet::OnPrintClient)
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CWizardSheet::CWizardSheet(const char* caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;

    m_background.LoadBitmap(IDB_BACKGROUND_START);
    BITMAP info = {};
    if (m_background.GetBitmap(&info)) {
        m_nBackgroundWidth = info.bmWidth;
        m_nBackgroundHeight = info.bmHeight;
    }
    m_brushWhite.CreateSolidBrush(kWhite);
    m_brushDark.CreateSolidBrush(kDarkGrey);

    g_LanguageFile = LanguageFilePathFor(GetModulePath());
    g_BrandIndex = GetBrandIndex(GetLangString(g_LanguageFile.str(), "Product", "Company Name", kLangMissing));

    AddPage(&m_step1);
}

CWizardSheet::~CWizardSheet()
{
    // The pages and buttons are members: their windows go with the sheet's, before the members.
    if (m_hWnd)
        DestroyWindow();
}

void CWizardSheet::CreateNavigationButton(CHotBtn& button, UINT id, const char* key, const CRect& rect,
                                          DWORD extraStyle)
{
    HFONT sheetFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    button.Create(LangText("Main", key), WS_CHILD | WS_VISIBLE | extraStyle, rect, this, id);
    button.ShowWindow(id == IDC_BTN_FINISH ? SW_HIDE : SW_SHOW);
    button.SetBitmaps(m_buttonFaces[0], m_buttonFaces[1], m_buttonFaces[2], m_buttonFaces[3]);
    button.SetRect(rect.left, rect.top, rect.right, rect.bottom);
    button.SetFont(sheetFont, FALSE);
}

BOOL CWizardSheet::OnInitDialog()
{
    // The base creates page 1 first: its initialisation runs before the controls below exist.
    const BOOL result = CPropertySheet::OnInitDialog();

    g_HelpPageUrl = LangText("Product", "ProductHelpPage");

    if (CWnd* tab = GetTabControl())
        tab->ShowWindow(SW_HIDE);

    SetWindowRgn(CreateSheetRegion(m_nBackgroundWidth, m_nBackgroundHeight), TRUE);
    SetWindowPos(nullptr, 0, 0, m_nBackgroundWidth + kSheetSizeExtra, m_nBackgroundHeight + kSheetSizeExtra,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    CenterWindow();

    static const UINT kButtonIds[4] = {IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_HOVER, IDB_BUTTON_DISABLED};
    static const UINT kCloseIds[4] = {IDB_CLOSE_NORMAL, IDB_CLOSE_PRESSED, IDB_CLOSE_HOVER, IDB_CLOSE_DISABLED};
    static const UINT kMinimizeIds[4] = {IDB_MINIMIZE_NORMAL, IDB_MINIMIZE_PRESSED, IDB_MINIMIZE_HOVER,
                                         IDB_MINIMIZE_DISABLED};
    for (int i = 0; i < 4; ++i) {
        m_buttonFaces[i].LoadBitmap(kButtonIds[i]);
        m_closeFaces[i].LoadBitmap(kCloseIds[i]);
        m_minimizeFaces[i].LoadBitmap(kMinimizeIds[i]);
    }
    m_fontCaption.CreateFont(kCaptionFontHeight, 0, 0, 0, kCaptionFontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             "Arial");

    // 1: the caption title.
    const CRect captionRect(30, 7, 220, 25);
    m_lblTitle.Create(LangText("Step1", "Title"), WS_CHILD | WS_VISIBLE, captionRect, this, IDC_LBL_TITLE);
    m_lblTitle.ShowWindow(SW_SHOW);
    m_lblTitle.SetFont(&m_fontCaption, FALSE);
    m_lblTitle.SetAutoSize(TRUE);
    m_lblTitle.SetTextColor(kWhite);

    // 2: the history link; auto-sized before it gets the caption font, as it always was.
    m_lblHistory.Create(LangText("Main", "lblHistory"), WS_CHILD | WS_VISIBLE, captionRect, this, IDC_LBL_HISTORY);
    m_lblHistory.ShowWindow(SW_SHOW);
    m_lblHistory.SetLinkMode(TRUE);
    m_lblHistory.SetAutoSize(TRUE);
    m_lblHistory.SetFont(&m_fontCaption, FALSE);
    m_lblHistory.SetTextColor(kWhite);
    UpdateTitle();

    // 3, 4: close and minimise.
    const CRect closeRect(580, 7, 600, 27);
    m_btnClose.Create("", WS_CHILD | WS_VISIBLE, closeRect, this, IDC_BTN_CLOSE);
    m_btnClose.ShowWindow(SW_SHOW);
    m_btnClose.SetBitmaps(m_closeFaces[0], m_closeFaces[1], m_closeFaces[2], m_closeFaces[3]);
    m_btnClose.SetRect(closeRect.left, closeRect.top, closeRect.right, closeRect.bottom);
    const CRect minimizeRect(560, 7, 580, 27);
    m_btnMinimize.Create("", WS_CHILD | WS_VISIBLE, minimizeRect, this, IDC_BTN_MINIMIZE);
    m_btnMinimize.ShowWindow(SW_SHOW);
    m_btnMinimize.SetBitmaps(m_minimizeFaces[0], m_minimizeFaces[1], m_minimizeFaces[2], m_minimizeFaces[3]);
    m_btnMinimize.SetRect(minimizeRect.left, minimizeRect.top, minimizeRect.right, minimizeRect.bottom);

    // 5: the feedback link, its right edge at 555 whatever its length.
    m_lblFeedback.Create(LangText("Main", "lblFeedback"), WS_CHILD | WS_VISIBLE, CRect(480, 7, 550, 25), this,
                         IDC_LBL_FEEDBACK);
    m_lblFeedback.ShowWindow(SW_SHOW);
    m_lblFeedback.SetLinkMode(TRUE);
    m_lblFeedback.SetAutoSize(TRUE);
    m_lblFeedback.SetFont(&m_fontCaption, FALSE);
    m_lblFeedback.SetTextColor(kWhite);
    m_lblFeedback.SetWindowPos(nullptr, kFeedbackRightEdge - m_lblFeedback.GetWidth(), kCaptionTop, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER);

    // 6-10: the bottom row, from Help leftwards; Finish shares Next's place.
    CreateNavigationButton(m_btnHelp, IDC_BTN_HELP, "btnHelp", CRect(518, 366, 603, 392), BS_OWNERDRAW);
    CreateNavigationButton(m_btnCancel, IDC_BTN_CANCEL, "btnCancel", CRect(429, 366, 514, 392), 0);
    CreateNavigationButton(m_btnNext, IDC_BTN_NEXT, "btnNext", CRect(343, 366, 428, 392), 0);
    CreateNavigationButton(m_btnFinish, IDC_BTN_FINISH, "btnFinish", CRect(343, 366, 428, 392), 0);
    CreateNavigationButton(m_btnBack, IDC_BTN_BACK, "btnBack", CRect(257, 366, 342, 392), 0);
    m_btnBack.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);  // top of the z-order
    m_btnBack.EnableWindow(FALSE);
    UpdateTitle();

    ProcessCommandLine();
    return result;
}

void CWizardSheet::UpdateTitle()
{
    g_MessageCaption = LangText("Product", "Product short Name") + " " + LangText("frmAbout", "VersionNumber");
    SendMessage(PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(static_cast<const char*>(g_MessageCaption)));
    if (m_lblTitle.m_hWnd) {
        m_lblTitle.SetWindowText(g_MessageCaption);
        m_lblTitle.SetAutoSize(TRUE);
        CRect title;
        m_lblTitle.GetWindowRect(&title);
        ScreenToClient(&title);
        const int x = title.right - 2;
        if (m_lblHistory.m_hWnd) {
            CRect link;
            m_lblHistory.GetWindowRect(&link);
            int width = link.Width();
            if (g_BrandIndex != 0)
                width -= 4;
            else if (m_lblHistory.GetWindowText().Find("History") < 0)
                width += 3;
            // Not auto-sized again: each run changes the width the previous one left.
            m_lblHistory.SetWindowPos(nullptr, x, kCaptionTop, width, link.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    Invalidate(TRUE);
}

void CWizardSheet::ProcessCommandLine()
{
    CWinApp* app = AfxGetApp();
    CString line = app && app->m_lpCmdLine ? app->m_lpCmdLine : "";
    line.Trim();
    if (!line.IsEmpty()) {
        m_step1.m_bStartupCheck = FALSE;
        line.Trim('"');
        line.MakeLower();
        struct MountVerb {
            const char* verb;
            int kindRadio;
        };
        static const MountVerb kMountVerbs[] = {
            {"mount_usb", IDC_RADIO_KIND_USB},
            {"mount_hdd", IDC_RADIO_KIND_NORMAL},
            {"mount_hiddenhdd", IDC_RADIO_KIND_HIDDEN},
        };
        if (line == "unmount") {
            m_step1.ClickRadio(IDC_RADIO_UNMOUNT);
            return;
        }
        for (const MountVerb& mount : kMountVerbs) {
            if (line == mount.verb) {
                m_step1.ClickRadio(IDC_RADIO_MOUNT);
                m_step1.m_nOperation = CStep1::kOperationMount;
                SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT);
                m_step3.ClickRadio(mount.kindRadio);
                return;
            }
        }
        if (line == "create_usb") {
            m_step1.m_nOperation = CStep1::kOperationCreate;
            SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT);
            m_step2.ClickMode(IDC_RADIO_MODE_USB);
            return;
        }
        if (line == "create_hdd") {
            m_step1.m_nOperation = CStep1::kOperationCreate;
            m_step2.m_nMode = CStep2::kModeHardDisk;      // before the page shows: no USB scan
            SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT);
            m_step2.ClickMode(IDC_RADIO_MODE_HDD);
            return;
        }
    }
    // No verb, or text that is not one: Lumetta comes up, as after a plain start.
    StartLumettaSoon();
}

void CWizardSheet::StartLumettaSoon()
{
    m_lumettaDue = true;
    if (!SetTimer(kLumettaTimer, kLumettaDelayMs))
        StartLumetta();
}

void CWizardSheet::OnTimer(UINT_PTR id)
{
    if (id != kLumettaTimer) {
        CPropertySheet::OnTimer(id);
        return;
    }
    KillTimer(kLumettaTimer);
    if (m_lumettaDue)
        StartLumetta();
}

void CWizardSheet::OnDestroy()
{
    if (m_lumettaDue)
        StartLumetta();
    CPropertySheet::OnDestroy();
}

void CWizardSheet::StartLumetta()
{
    m_lumettaDue = false;
    const std::string folder = FolderOfPath(GetModulePath());
    const std::string program = folder + "\\" + ObentilProgramName();
    const std::string parameters = "|\"" + folder + "\\Lumetta.exe\"";
    OpenWithShell(program.c_str(), parameters.c_str(), SW_HIDE);
}

void CWizardSheet::EnableWizardButtons(DWORD flags)
{
    if (!::GetDlgItem(m_hWnd, IDC_BTN_BACK))
        return;
    if (CWnd* back = GetDlgItem(IDC_BTN_BACK))
        back->EnableWindow((flags & kWizardBack) != 0);
    if (CWnd* next = GetDlgItem(IDC_BTN_NEXT)) {
        if (flags & kWizardNext) {
            next->EnableWindow(TRUE);
            next->ShowWindow(SW_SHOW);
            next->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        } else {
            next->EnableWindow(FALSE);
            next->ShowWindow(SW_HIDE);
        }
        next->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    if (CWnd* finish = GetDlgItem(IDC_BTN_FINISH)) {
        if (flags & kWizardFinish) {
            finish->ShowWindow(SW_SHOW);
            finish->EnableWindow(TRUE);
            finish->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        } else if (flags & kWizardFinishDisabled) {
            finish->ShowWindow(SW_SHOW);
            finish->EnableWindow(FALSE);
            finish->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        } else {
            finish->ShowWindow(SW_HIDE);
            finish->EnableWindow(FALSE);
        }
    }
}

void CWizardSheet::SetBackground(UINT bitmapId)
{
    // The recorded size stays: every page background has the sheet's size.
    CBitmap next;
    if (next.LoadBitmap(bitmapId))
        m_background.Attach(next.Detach());
}

void CWizardSheet::InvalidateCaption()
{
    if (m_lblTitle.m_hWnd) {
        CRect title;
        m_lblTitle.GetWindowRect(&title);
        ScreenToClient(&title);
        InvalidateRect(&title, TRUE);
    }
    CRect client;
    GetClientRect(&client);
    client.top = kButtonBandTop;
    InvalidateRect(&client, TRUE);
}

void CWizardSheet::OnBtnNext()
{
    SendMessage(PSM_PRESSBUTTON, PSBTN_NEXT);
}

void CWizardSheet::OnBtnBack()
{
    SendMessage(PSM_PRESSBUTTON, PSBTN_BACK);
}

void CWizardSheet::OnBtnCancel()
{
    SendMessage(PSM_PRESSBUTTON, PSBTN_CANCEL);
}

void CWizardSheet::OnBtnFinish()
{
    SetModalResult(ID_WIZFINISH);
    SendMessage(PSM_PRESSBUTTON, PSBTN_FINISH);
}

void CWizardSheet::OnBtnClose()
{
    SendMessage(WM_CLOSE);
}

void CWizardSheet::OnBtnMinimize()
{
    ShowWindow(SW_MINIMIZE);
}

void CWizardSheet::OnHelp()
{
    ::OutputDebugStringA(g_HelpPageUrl);
    OpenWithShell(g_HelpPageUrl, nullptr, SW_SHOW);
}

void CWizardSheet::OpenHelpPageFallback()
{
    CString url = LangText("Product", "ProductHelpPage");
    if (url == kLangMissing)
        url = kDefaultProductPage;
    OpenWithShell(url, nullptr, SW_SHOW);
}

void CWizardSheet::OnFeedback()
{
    const std::string feedback = FolderOfPath(GetModulePath()) + "\\Feedback.exe";
    if (::GetFileAttributesA(feedback.c_str()) != INVALID_FILE_ATTRIBUTES) {
        const CString parameters = CString("\"") + g_LanguageFile + "\"";
        OpenWithShell(feedback.c_str(), parameters, SW_SHOW);
        return;
    }
    OpenHelpPageFallback();
}

void CWizardSheet::OnHistory()
{
    const std::string history = FolderOfPath(GetModulePath()) + "\\Update.Log";
    if (::GetFileAttributesA(history.c_str()) != INVALID_FILE_ATTRIBUTES) {
        OpenWithShell(history.c_str(), nullptr, SW_SHOW);
        return;
    }
    OpenHelpPageFallback();
}

void CWizardSheet::OnWindowPosChanging(WINDOWPOS* pos)
{
    CPropertySheet::OnWindowPosChanging(pos);
    // No system caption, ever: ours is drawn on the background. Taken off only when there: each
    // style change of the top-level window goes out to the display.
    ModifyStyle(WS_CAPTION, 0);
}

void CWizardSheet::OnPaint()
{
    OnPaintBackground(this, m_background, m_nBackgroundWidth, m_nBackgroundHeight);
}

LRESULT CWizardSheet::OnPrintClient(WPARAM wParam, LPARAM)
{
    OnPaintBackground(this, m_background, m_nBackgroundWidth, m_nBackgroundHeight, reinterpret_cast<HDC>(wParam));
    return 0;
}

void CWizardSheet::OnLButtonDown(UINT flags, CPoint point)
{
    OnLButtonDownDrag(this, flags, point);
}

HBRUSH CWizardSheet::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    HBRUSH brush = CPropertySheet::OnCtlColor(dc, wnd, ctlColor);
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    if (id == IDC_BTN_NEXT) {
        dc->SetBkMode(TRANSPARENT);
        return m_brushWhite;
    }
    if (id == IDC_LBL_TITLE) {
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(kWhite);
        return m_brushDark;
    }
    return brush;
}
