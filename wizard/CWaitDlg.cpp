#include "CWaitDlg.h"

#include "CDlgFontScaler.h"
#include "CWinApp.h"
#include "WizardGlobals.h"
#include "resource.h"

namespace {

constexpr double kLayoutDpi = 96.0;
constexpr int kOwnerOffsetX = 110, kOwnerOffsetY = 150;

}  // namespace

BEGIN_MESSAGE_MAP(CWaitDlg, CPanelDlg)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

CWaitDlg::CWaitDlg(CWnd* owner) : CPanelDlg(IDD_WAIT, owner, IDC_LBL_WAIT_TEXT), m_pOwner(owner)
{
}

CWaitDlg::~CWaitDlg()
{
    m_thread.Join();
}

void CWaitDlg::RunScan(ScanProcedure scan, void* context)
{
    m_scan = scan;
    m_context = context;
    m_scanDone = false;
    // The modal run disables the whole wizard window, its own buttons included.
    DoModal();
    // Not shown at all: the scan has not started yet.
    if (!m_thread.IsStarted())
        StartScan();
    m_thread.Join();
}

void CWaitDlg::StartScan()
{
    if (!m_thread.CreateThread(&CWaitDlg::ScanThread, this)) {
        // No thread to be had: the list still gets filled.
        m_scan(m_context);
        m_scanDone = true;
        if (m_hWnd)
            PostMessage(WM_CLOSE);
    }
}

UINT CWaitDlg::ScanThread(void* self)
{
    CWaitDlg* dialog = static_cast<CWaitDlg*>(self);
    HWND window = dialog->m_hWnd;
    dialog->m_scan(dialog->m_context);
    dialog->m_scanDone = true;
    // The last act: the dialog may be gone the moment after.
    if (window)
        ::PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

BOOL CWaitDlg::OnInitDialog()
{
    CPanelDlg::OnInitDialog();
    CDlgFontScaler scaler;
    scaler.Apply(AfxGetResourceHandle(), m_hWnd, IDD_WAIT, kLayoutDpi);
    ClipToPanel();
    SetDlgItemText(IDC_LBL_WAIT_TEXT, LangText("Main", "strScanUSB"));
    CRect owner;
    if (m_pOwner && m_pOwner->m_hWnd)
        m_pOwner->GetWindowRect(&owner);
    SetWindowPos(nullptr, owner.left + kOwnerOffsetX, owner.top + kOwnerOffsetY, m_nWidth, m_nHeight,
                 SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    ModifyStyleEx(WS_EX_APPWINDOW, 0);
    // The window exists from here on: the scan may close it whenever it is done.
    StartScan();
    return TRUE;
}

// Enter, Esc, Alt+F4 and the system menu's Close do nothing: the box goes when the scan is done.
void CWaitDlg::OnOK()
{
}

void CWaitDlg::OnCancel()
{
}

void CWaitDlg::OnClose()
{
    if (m_scanDone)
        EndDialog(IDOK);
}
