// Obentil32.exe / Obentil64.exe: starts the program named after a "|" on its command line
//   Obentil64.exe |"C:\Program Files\Sequora\Lumetta.exe" [arguments]
// without the elevation of its caller where the shell lets it (an elevated wizard must not hand
// its rights to the tray manager), otherwise plainly. It never waits for the program.
#include "HandleOwner.h"

#include <windows.h>

#include <string>

namespace {

constexpr int kExitStarted = 0;
constexpr int kExitNotStarted = 1;
constexpr int kExitNoProgram = 2;
constexpr DWORD kShellTokenRights =
    TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;

// What follows the first "|" after the program's own name, blanks trimmed.
std::wstring TargetCommandLine(const wchar_t* commandLine)
{
    const wchar_t* p = commandLine;
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    std::wstring rest(p);
    const size_t bar = rest.find(L'|');
    if (bar == std::wstring::npos)
        return std::wstring();
    rest.erase(0, bar + 1);
    const size_t first = rest.find_first_not_of(L" \t");
    const size_t last = rest.find_last_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : rest.substr(first, last - first + 1);
}

bool IsElevated(HANDLE token)
{
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size) &&
           elevation.TokenIsElevated != 0;
}

bool IsSelfElevated()
{
    KernelHandle token;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put()) && IsElevated(token.Get());
}

// The token of the desktop shell's process, when that one runs without elevation.
bool UnelevatedShellToken(KernelHandle& primary)
{
    HWND shell = GetShellWindow();
    DWORD pid = 0;
    if (!shell || !GetWindowThreadProcessId(shell, &pid) || !pid)
        return false;
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    KernelHandle token;
    if (!process.Get() || !OpenProcessToken(process.Get(), TOKEN_DUPLICATE | TOKEN_QUERY, token.Put()) ||
        IsElevated(token.Get()))
        return false;
    return DuplicateTokenEx(token.Get(), kShellTokenRights, nullptr, SecurityImpersonation, TokenPrimary,
                            primary.Put()) != FALSE;
}

bool Start(std::wstring commandLine, WORD show)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process = {};
    bool started = false;
    if (IsSelfElevated()) {
        KernelHandle token;
        if (UnelevatedShellToken(token)) {
            std::wstring buffer = commandLine;
            started = CreateProcessWithTokenW(token.Get(), 0, nullptr, &buffer[0], 0, nullptr, nullptr, &startup,
                                              &process) != FALSE;
        }
    }
    if (!started)
        started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    if (!started)
        return false;
    // It is never waited for.
    const KernelHandle thread(process.hThread);
    const KernelHandle program(process.hProcess);
    return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring target = TargetCommandLine(GetCommandLineW());
    if (target.empty())
        return kExitNoProgram;
    // Started hidden by the wizard: the program it starts is asked to show the same way.
    STARTUPINFOW own = {};
    own.cb = sizeof(own);
    GetStartupInfoW(&own);
    const WORD show = (own.dwFlags & STARTF_USESHOWWINDOW) ? own.wShowWindow : static_cast<WORD>(SW_SHOWNORMAL);
    return Start(target, show) ? kExitStarted : kExitNotStarted;
}
