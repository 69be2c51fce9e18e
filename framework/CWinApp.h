#pragma once
// The application: one static object per program. The framework's WinMain runs its InitInstance
// and, when that returns TRUE, its message loop.
#include <windows.h>

#include "CCmdTarget.h"
#include "CString.h"

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
    // The caption of AfxMessageBox; the program's file name until the program sets its title.
    CString m_strAppTitle;
    DWORD m_nThreadID = 0;           // the UI thread, which built the application object

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
// The application's main window, null when there is none.
CWnd* AfxGetMainWnd();
// The application object when called on its UI thread, else null (a worker has no thread object).
CWinApp* AfxGetThread();
// A message box over the main window with the application's title as caption. Without an icon
// in `type`, MB_OK boxes carry the exclamation mark.
int AfxMessageBox(const char* text, UINT type = MB_OK);
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxEnableControlContainer();    // no containers here; kept so start-up reads as it should
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
