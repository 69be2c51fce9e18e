#include "ShellWindows.h"

#include "WindowDriver.h"

namespace harness {

namespace {

// Wine's file manager and the Windows shell name their folder windows so.
bool IsShellFolderClass(const std::string& name)
{
    return name == "ExplorerWClass" || name == "CabinetWClass";
}

BOOL CALLBACK CollectFolderWindow(HWND hwnd, LPARAM param)
{
    if (IsWindowVisible(hwnd) && IsShellFolderClass(ClassNameOf(hwnd)))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> ShellFolderWindows()
{
    std::vector<HWND> found;
    EnumWindows(CollectFolderWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND FindShellWindowOfDrive(char letter)
{
    const std::string mark = std::string("(") + static_cast<char>(letter & ~0x20) + ":)";
    for (HWND window : ShellFolderWindows()) {
        if (WindowText(window).find(mark) != std::string::npos)
            return window;
    }
    return nullptr;
}

size_t CloseShellWindows(DWORD timeoutMs)
{
    const std::vector<HWND> windows = ShellFolderWindows();
    for (HWND window : windows)
        PostMessageA(window, WM_CLOSE, 0, 0);
    WaitUntil([] { return ShellFolderWindows().empty(); }, timeoutMs);
    return windows.size();
}

}  // namespace harness
