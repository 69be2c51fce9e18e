#include "TempFolder.h"

#include "Paths.h"

#include <windows.h>

namespace harness {

TempFolder::TempFolder(const std::string& hint)
{
    // Under the build folder rather than %TEMP%: it is on the host disk and easy to inspect. A run
    // as another user than the build's names a folder of its own.
    char own[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("SEQUORA_TEST_DATA", own, MAX_PATH);
    std::string root = length > 0 && length < MAX_PATH ? std::string(own) : JoinPath(BuildDir(), "testdata");
    CreateDirectoryA(root.c_str(), nullptr);
    static LONG counter = 0;
    for (;;) {
        m_path = JoinPath(root, hint + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                                    std::to_string(InterlockedIncrement(&counter)));
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

TempFolder::~TempFolder() { DeleteFolderTree(m_path); }

std::string TempFolder::operator/(const std::string& name) const { return JoinPath(m_path, name); }

}  // namespace harness
