#pragma once
// The application: one static object per program. The framework's WinMain runs its InitInstance
// and, when that returns TRUE, its message loop.
#include <windows.h>

#include "CCmdTarget.h"

class CWnd;

// The framework's help command.
constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();

    void OnHelp();                   // the framework's help command: nothing of ours to show

    HINSTANCE m_hInstance = nullptr;
    LPSTR m_lpCmdLine = nullptr;     // the arguments, without the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxEnableControlContainer();    // no containers here; kept so start-up reads as it should
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
