#include "CLumettaApp.h"

#include <commctrl.h>

#include <cstring>

#include "CLumettaDlg.h"
#include "HandleOwner.h"

CLumettaApp theApp;

namespace {

constexpr DWORD kAllControlClasses = 0xFF;

// Held until the process ends: the system closes it then, and the next copy may run.
HANDLE g_instanceMutex = nullptr;

// Test seam, inert unless the variable is set: "before-mutex" stops the starting copy between
// looking for the mutex and creating it (its main thread suspends itself until resumed), so that a
// test can let two copies past the first step before either takes the second, as two starts at
// one moment may.
constexpr const char* kHoldVariable = "SEQUORA_LUMETTA_HOLD";

void HoldIfAsked(const char* step)
{
    char value[32] = "";
    const DWORD length = ::GetEnvironmentVariableA(kHoldVariable, value, sizeof value);
    if (length > 0 && length < sizeof value && std::strcmp(value, step) == 0)
        ::SuspendThread(::GetCurrentThread());
}

}  // namespace

BEGIN_MESSAGE_MAP(CLumettaApp, CWinApp)
    ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

BOOL CLumettaApp::InitInstance()
{
    if (const KernelHandle other{::OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kLumettaMutex)})
        return FALSE;
    HoldIfAsked("before-mutex");
    // Two copies started at the same moment both find no mutex to open: the one that did not
    // create it ends as well.
    g_instanceMutex = ::CreateMutexA(nullptr, TRUE, kLumettaMutex);
    if (!g_instanceMutex || ::GetLastError() == ERROR_ALREADY_EXISTS)
        return FALSE;

    INITCOMMONCONTROLSEX controls = {sizeof controls, kAllControlClasses};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    AfxEnableControlContainer();

    CLumettaDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
