#include "ProgramFolder.h"

std::string GetModulePath(HMODULE module)
{
    char path[MAX_PATH * 4] = {};
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    return std::string(path, length);
}

std::string FolderOfPath(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string GetProgramFolder()
{
    return FolderOfPath(GetModulePath());
}
