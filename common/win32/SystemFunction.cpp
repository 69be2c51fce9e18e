#include "SystemFunction.h"

#include <string>

FARPROC SystemFunctionAddress(const char* dll, const char* name)
{
    // From the system folder by its full path: never a DLL of that name beside the program.
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    HMODULE module = LoadLibraryA((std::string(folder) + "\\" + dll).c_str());
    return module ? GetProcAddress(module, name) : nullptr;
}
