#pragma once
// The shell's launchers, with shell32 loaded at the first call. Bound at load time, shell32 and the
// helpers it pulls in are loaded and initialised on every start before the first window shows,
// though Brixom hands nothing to the shell until well after it.
#include <windows.h>
#include <shellapi.h>

// As ShellExecuteA; SE_ERR_DLLNOTFOUND when shell32 cannot be loaded.
HINSTANCE LateShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show);

// As ShellExecuteExA; FALSE with ERROR_DLL_NOT_FOUND when shell32 cannot be loaded.
BOOL LateShellExecuteEx(SHELLEXECUTEINFOA* info);
