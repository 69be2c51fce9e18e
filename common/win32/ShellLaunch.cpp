#include "ShellLaunch.h"

#include "SystemFunction.h"

HINSTANCE LateShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                           const char* directory, int show)
{
    const auto execute = SystemFunction<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (!execute)
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
    return execute(owner, verb, file, parameters, directory, show);
}

BOOL LateShellExecuteEx(SHELLEXECUTEINFOA* info)
{
    const auto executeEx = SystemFunction<decltype(&::ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (!executeEx) {
        ::SetLastError(ERROR_DLL_NOT_FOUND);
        return FALSE;
    }
    return executeEx(info);
}
