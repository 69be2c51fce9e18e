#pragma once
// Announces a volume's arrival or removal as a real driver's would: WM_DEVICECHANGE with a
// DEV_BROADCAST_VOLUME, sent with a short time-out to the top-level windows of other processes.
// The caller's own windows are left out: they are inside the very call that mounts or dismounts.
// (Under Wine a posted WM_DEVICECHANGE fails and a system broadcast did not reach other processes;
// a send per window does.)
#include <windows.h>

namespace outside {

class DeviceBroadcast {
public:
    static void VolumeArrived(wchar_t letter);
    static void VolumeRemoved(wchar_t letter);

private:
    static void Send(WPARAM event, wchar_t letter);
};

}  // namespace outside
