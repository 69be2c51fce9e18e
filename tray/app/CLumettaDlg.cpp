#include "CLumettaDlg.h"

#include <dbt.h>

#include "AutoStart.h"
#include "CDlgAbout.h"
#include "CFont.h"
#include "CWinApp.h"
#include "LangString.h"
#include "LumettaGlobals.h"
#include "MainProgram.h"
#include "ProgramFolder.h"
#include "Tavrin.h"
#include "UsbCount.h"
#include "resource.h"

namespace {

constexpr int kTrayMenuTheme = 9;
constexpr UINT kGrayed = MF_GRAYED | MF_DISABLED;
constexpr UINT_PTR kHideTimer = 1;

// The five items of the popup, in their order, with their language keys. The by-position places
// handed to the menu library run ahead of the items already there, so every item stays a plain
// one, drawn by the system.
struct TrayItem {
    int position;
    UINT id;
    const char* key;
};
constexpr TrayItem kTrayItems[] = {
    {2, ID_TRAY_MAKE_ON_HDD, "MenuItem1"},
    {3, ID_TRAY_MOUNT_HDD, "MenuItem3"},
    {7, ID_TRAY_UNMOUNT, "MenuItem6"},
    {9, ID_TRAY_AUTO_STARTUP, "MenuItem7"},
    {12, ID_TRAY_EXIT, "MenuItem9"},
};

// The commands greyed while Brixom runs; the dismount command comes after them.
constexpr UINT kDiskCommands[] = {ID_TRAY_MAKE_ON_HDD, ID_TRAY_MAKE_ON_USB, ID_TRAY_MOUNT_USB, ID_TRAY_MOUNT_HDD,
                                  ID_TRAY_MOUNT_HIDDEN_HDD};

CString LumettaText(const char* key)
{
    return CString(GetLangString(g_LanguageFile.str(), "Lumetta", key, kLangMissing));
}

}  // namespace

BEGIN_MESSAGE_MAP(CLumettaDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_TRAY_NOTIFY, CLumettaDlg::OnTrayNotify)
    ON_COMMAND(ID_TRAY_EXIT, CLumettaDlg::OnExit)
    ON_WM_SIZE()
    ON_WM_WINDOWPOSCHANGING()
    ON_COMMAND(ID_TRAY_UNMOUNT, CLumettaDlg::OnUnmount)
    ON_WM_TIMER()
    ON_COMMAND(ID_TRAY_MAKE_ON_USB, CLumettaDlg::OnMakeOnUsb)
    ON_COMMAND(ID_TRAY_MAKE_ON_HDD, CLumettaDlg::OnMakeOnHdd)
    ON_COMMAND(ID_TRAY_MOUNT_HDD, CLumettaDlg::OnMountHdd)
    ON_COMMAND(ID_TRAY_MOUNT_USB, CLumettaDlg::OnMountUsb)
    ON_COMMAND(ID_TRAY_MOUNT_HIDDEN_HDD, CLumettaDlg::OnMountHiddenHdd)
    ON_COMMAND(ID_TRAY_AUTO_STARTUP, CLumettaDlg::OnAutoStartup)
    ON_COMMAND(ID_TRAY_ABOUT, CLumettaDlg::OnAbout)
    ON_WM_MEASUREITEM()
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CLumettaDlg::CLumettaDlg() : CDialog(IDD_LUMETTA_DIALOG, nullptr)
{
    // Made from template 102 as it stands: the PreCreateWindow below serves windows made by hand.
    m_bPreCreateTemplate = false;
    m_hIcon = ::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    g_LanguageFile = MainLanguageFileFor(GetModulePath());
}

CLumettaDlg::~CLumettaDlg()
{
    delete m_pTrayIcon;
    m_pTrayIcon = nullptr;
    if (m_pAboutDlg) {
        if (m_pAboutDlg->IsWindow())
            m_pAboutDlg->EndDialog(0);
        delete m_pAboutDlg;
        m_pAboutDlg = nullptr;
    }
}

BOOL CLumettaDlg::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.dwExStyle |= WS_EX_NOACTIVATE;
    cs.style &= ~static_cast<LONG>(WS_VISIBLE);
    cs.style |= WS_MINIMIZE;
    return CDialog::PreCreateWindow(cs);
}

LRESULT CLumettaDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE && (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE))
        StartUsbDiskCount(this);
    return CDialog::WindowProc(message, wParam, lParam);
}

BOOL CLumettaDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bAutoStart = IsAutoStartEnabled();
    BuildTrayMenu();
    m_pTrayIcon = new CTrayIcon(&m_menu);
    m_pTrayIcon->AttachToWindow(this);
    g_TrayTitle = ReadTrayTitle(g_LanguageFile);
    // Lumetta's message boxes carry the title too.
    if (CWinApp* app = AfxGetApp())
        app->m_strAppTitle = g_TrayTitle;
    m_pTrayIcon->ShowIcon(m_hIcon, g_TrayTitle);
    StartUsbDiskCount(this);
    return TRUE;
}

void CLumettaDlg::BuildTrayMenu()
{
    CDrawMenu::SelectTheme(kTrayMenuTheme);
    g_nGloom = static_cast<int>(::GetProfileIntA("DrawMenu", "Gloom", 1));
    {
        CFont font;
        if (font.CreatePointFont(100, "Microsoft Sans Serif"))
            font.GetLogFont(&g_MenuLogFont);
    }
    m_menu.Attach(::CreatePopupMenu());
    for (const TrayItem& item : kTrayItems)
        m_menu.InsertOwnerDrawnItem(item.position, LumettaText(item.key), MF_BYPOSITION, item.id, nullptr, -1);
    m_menu.CheckMenuItem(ID_TRAY_AUTO_STARTUP, MF_BYCOMMAND | (m_bAutoStart ? MF_CHECKED : MF_UNCHECKED));
    m_bAutoStart = m_bAutoStart ? 1 : 0;
}

void CLumettaDlg::UpdateMenuState(BOOL mainProgramAbsent)
{
    const UINT state = mainProgramAbsent ? MF_ENABLED : kGrayed;
    for (UINT id : kDiskCommands)
        m_menu.EnableMenuItem(id, MF_BYCOMMAND | state);
    const UINT dismount = mainProgramAbsent && Tavrin_GetMountedMask() != 0 ? MF_ENABLED : kGrayed;
    m_menu.EnableMenuItem(ID_TRAY_UNMOUNT, MF_BYCOMMAND | dismount);
    m_bAutoStart = IsAutoStartEnabled();
    m_menu.CheckMenuItem(ID_TRAY_AUTO_STARTUP, MF_BYCOMMAND | (m_bAutoStart ? MF_CHECKED : MF_UNCHECKED));
}

void CLumettaDlg::OnOK()
{
}

void CLumettaDlg::OnCancel()
{
}

void CLumettaDlg::OnClose()
{
    EndDialog(IDCANCEL);
}

void CLumettaDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    CDialog::OnSysCommand(id, lParam);
}

void CLumettaDlg::OnPaint()
{
    ShowWindow(SW_HIDE);
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    // Painted as a minimised dialog: the icon centred on its erased background.
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect client;
    GetClientRect(&client);
    const int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
}

HCURSOR CLumettaDlg::OnQueryDragIcon()
{
    return reinterpret_cast<HCURSOR>(m_hIcon);
}

LRESULT CLumettaDlg::OnTrayNotify(WPARAM, LPARAM lParam)
{
    if (lParam == WM_RBUTTONDOWN)
        UpdateMenuState(FindMainProgramProcess() == 0);
    else if (lParam == WM_LBUTTONDBLCLK && FindMainProgramProcess() == 0)
        LaunchMainProgram("");
    return 1;
}

void CLumettaDlg::OnSize(UINT type, int cx, int cy)
{
    CDialog::OnSize(type, cx, cy);
    ShowWindow(SW_HIDE);
}

void CLumettaDlg::OnWindowPosChanging(WINDOWPOS* pos)
{
    CDialog::OnWindowPosChanging(pos);
}

void CLumettaDlg::OnTimer(UINT_PTR id)
{
    CDialog::OnTimer(id);
    ModifyStyle(0, WS_DISABLED);
    ShowWindow(SW_MINIMIZE);
    ShowWindow(SW_HIDE);
    KillTimer(kHideTimer);
}

void CLumettaDlg::OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure)
{
    m_menu.MeasureItem(measure);
    CDialog::OnMeasureItem(id, measure);
}

void CLumettaDlg::OnExit()
{
    if (m_pAboutDlg && m_pAboutDlg->IsWindow())
        m_pAboutDlg->EndDialog(0);
    SendMessage(WM_CLOSE);
}

void CLumettaDlg::OnUnmount()
{
    LaunchMainProgram("unmount");
}

void CLumettaDlg::OnMakeOnHdd()
{
    LaunchMainProgram("create_hdd");
}

void CLumettaDlg::OnMountHdd()
{
    LaunchMainProgram("mount_hdd");
}

void CLumettaDlg::OnMountHiddenHdd()
{
    LaunchMainProgram("mount_hiddenhdd");
}

void CLumettaDlg::OnMakeOnUsb()
{
    if (m_nUsbCount > 0)
        LaunchMainProgram("create_usb");
    else
        ShowNoUsbMessage();
}

void CLumettaDlg::OnMountUsb()
{
    if (m_nUsbCount > 0)
        LaunchMainProgram("mount_usb");
    else
        ShowNoUsbMessage();
}

void CLumettaDlg::ShowNoUsbMessage()
{
    MessageBox(LumettaText("strNoUSB"), g_TrayTitle, MB_ICONINFORMATION);
}

void CLumettaDlg::OnAutoStartup()
{
    const BOOL wanted = !m_bAutoStart;
    if (!SetAutoStart(wanted))
        return;
    m_menu.CheckMenuItem(ID_TRAY_AUTO_STARTUP, MF_BYCOMMAND | (wanted ? MF_CHECKED : MF_UNCHECKED));
    m_bAutoStart = wanted;
}

void CLumettaDlg::OnAbout()
{
    if (m_pAboutDlg) {
        if (m_pAboutDlg->IsWindow())
            m_pAboutDlg->EndDialog(0);
        // A box still in its modal run (this command reached us from inside it) goes when its run
        // returns, not under it.
        if (m_pAboutDlg->IsInModalLoop())
            return;
        delete m_pAboutDlg;
        m_pAboutDlg = nullptr;
    }
    m_pAboutDlg = new CDlgAbout();
    m_pAboutDlg->DoModal();
}
