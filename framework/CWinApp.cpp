#include "CWinApp.h"

#include <commctrl.h>

#include "CWnd.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp()
{
    g_app = this;
    m_nThreadID = ::GetCurrentThreadId();
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            CWnd::DeleteTempMap();
    }
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::OnHelp()
{
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CWinApp* AfxGetThread()
{
    return g_app && g_app->m_nThreadID == ::GetCurrentThreadId() ? g_app : nullptr;
}

int AfxMessageBox(const char* text, UINT type)
{
    if (!(type & MB_ICONMASK) && (type & MB_TYPEMASK) == MB_OK)
        type |= MB_ICONEXCLAMATION;
    CString caption = g_app ? g_app->m_strAppTitle : CString();
    if (caption.IsEmpty()) {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        const char* name = path;
        for (const char* c = path; *c; ++c)
            if (*c == '\\')
                name = c + 1;
        caption = CString(name);
        const int dot = caption.ReverseFind('.');
        if (dot > 0)
            caption = caption.Left(dot);
    }
    CWnd* main = AfxGetMainWnd();
    HWND owner = main && main->m_hWnd && ::IsWindowEnabled(main->m_hWnd) ? main->m_hWnd : ::GetActiveWindow();
    return ::MessageBoxA(owner, text, caption, type);
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

void AfxEnableControlContainer()
{
}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine;
    app->m_nCmdShow = show;
    int result = 0;
    try {
        if (!app->InitInstance()) {
            result = app->ExitInstance();
        } else {
            result = app->Run();
        }
    } catch (...) {
        result = 1;
    }
    CWnd::DeleteTempMap();
    return result;
}
