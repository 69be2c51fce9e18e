#pragma once
// Device events as the system sends them for a volume: WM_DEVICECHANGE with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE and a DEV_BROADCAST_VOLUME naming the drive. Wine broadcasts nothing
// when a test maps or pulls a fake drive, so the test delivers the event itself.
#include <windows.h>

namespace harness {

// Sends to one window (of any process) and waits at most timeoutMs; true when delivered.
bool SendVolumeArrival(HWND target, char letter, UINT timeoutMs = 5000);
bool SendVolumeRemoval(HWND target, char letter, UINT timeoutMs = 5000);
bool SendVolumeEvent(HWND target, WPARAM event, DWORD unitMask, UINT timeoutMs = 5000);

inline DWORD UnitMaskOf(char letter) { return 1u << ((letter & ~0x20) - 'A'); }

}  // namespace harness
