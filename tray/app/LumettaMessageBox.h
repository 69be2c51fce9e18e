#pragma once
// A message box of Lumetta's, owned by its main window and captioned with its title.
#include <windows.h>

#include "CWinApp.h"
#include "CWnd.h"
#include "LumettaGlobals.h"

inline int LumettaMessageBox(const char* text, UINT type = MB_OK)
{
    CWinApp* app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    return ::MessageBoxA(owner, text, g_TrayTitle.IsEmpty() ? nullptr : g_TrayTitle.GetString(), type);
}
