#include "CWizardApp.h"

#include "CWizardSheet.h"
#include "Quilmar.h"
#include "Tavrin.h"

CWizardApp theApp;

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CWizardApp::StartDiskServices()
{
    if (!Quilmar_IsServiceRunning())
        Quilmar_StartService();
    if (!Tavrin_IsInstalled())
        Tavrin_Install();
    // Asked again, in this order; the lock service is not asked when the driver is not ready.
    return Tavrin_IsInstalled() && Quilmar_IsServiceRunning();
}

BOOL CWizardApp::InitInstance()
{
    AfxEnableControlContainer();
    if (!StartDiskServices())
        return FALSE;       // silently: no window, no message

    CWizardSheet sheet("Wizard Sheet", nullptr, 0);
    sheet.m_psh.dwFlags |= PSH_WIZARD;
    m_pMainWnd = &sheet;
    sheet.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
