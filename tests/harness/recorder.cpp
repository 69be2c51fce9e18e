// The recording fake: started in place of another program, it appends the arguments it was given,
// one line per start, to "<its own path>.log" and ends at once with exit code 0.
#include "Recorder.h"

#include <windows.h>

#include <string>

namespace {

void AppendLine(const std::string& path, const std::string& line)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::string text = line + "\r\n";
    DWORD put = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr);
    CloseHandle(h);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    AppendLine(std::string(self) + ".log", harness::ArgumentsOf(GetCommandLineA()));
    return 0;
}
