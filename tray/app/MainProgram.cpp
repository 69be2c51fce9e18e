#include "MainProgram.h"

#include <psapi.h>
#include <shellapi.h>

#include <cstring>

#include "HandleOwner.h"
#include "ProgramFolder.h"

namespace {

constexpr DWORD kProcessIdBytes = 4096;
constexpr DWORD kModuleHandleBytes = 4096;

// The path of a process's first module; false when it cannot be opened or read.
bool FirstModulePath(DWORD pid, char (&path)[MAX_PATH])
{
    const KernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    if (!process)
        return false;
    HMODULE modules[kModuleHandleBytes / sizeof(HMODULE)] = {};
    DWORD needed = 0;
    bool read = false;
    if (::EnumProcessModules(process.Get(), modules, sizeof modules, &needed) && needed >= sizeof(HMODULE))
        read = ::GetModuleFileNameExA(process.Get(), modules[0], path, MAX_PATH) != 0;
    return read;
}

}  // namespace

bool IsMainProgramPath(const char* modulePath)
{
    return modulePath && std::strstr(modulePath, kMainProgramFile) != nullptr;
}

DWORD FindMainProgramProcess()
{
    DWORD ids[kProcessIdBytes / sizeof(DWORD)] = {};
    DWORD bytes = 0;
    if (!::EnumProcesses(ids, sizeof ids, &bytes))
        return 0;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        char path[MAX_PATH] = {};
        if (FirstModulePath(ids[i], path) && IsMainProgramPath(path))
            return ids[i];
    }
    return 0;
}

CString GetMainProgramPath()
{
    return CString("\"" + FolderOfPath(GetModulePath()) + "\\" + kMainProgramFile + "\"");
}

void LaunchMainProgram(const char* verb)
{
    ::ShellExecuteA(nullptr, "open", GetMainProgramPath(), verb, nullptr, SW_SHOW);
}
