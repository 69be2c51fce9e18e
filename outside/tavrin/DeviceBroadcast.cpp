#include "DeviceBroadcast.h"

#include <dbt.h>

#include <cwctype>
#include <set>
#include <vector>

namespace outside {

namespace {

constexpr UINT kSendTimeoutMs = 300;

BOOL CALLBACK CollectWindow(HWND window, LPARAM context)
{
    auto* windows = reinterpret_cast<std::vector<HWND>*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId())
        windows->push_back(window);
    return TRUE;
}

}  // namespace

void DeviceBroadcast::VolumeArrived(wchar_t letter) { Send(DBT_DEVICEARRIVAL, letter); }

void DeviceBroadcast::VolumeRemoved(wchar_t letter) { Send(DBT_DEVICEREMOVECOMPLETE, letter); }

void DeviceBroadcast::Send(WPARAM event, wchar_t letter)
{
    const wchar_t upper = static_cast<wchar_t>(towupper(letter));
    if (upper < L'A' || upper > L'Z')
        return;
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (upper - L'A');
    volume.dbcv_flags = 0;

    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    // A thread that let one send time out is busy; its other windows would only cost the same wait.
    std::set<DWORD> slowThreads;
    for (HWND window : windows) {
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        if (slowThreads.count(thread))
            continue;
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                                 SMTO_ABORTIFHUNG | SMTO_NORMAL, kSendTimeoutMs, &result))
            slowThreads.insert(thread);
    }
}

}  // namespace outside
