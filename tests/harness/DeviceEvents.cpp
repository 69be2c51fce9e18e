#include "DeviceEvents.h"

#include <dbt.h>

namespace harness {

bool SendVolumeEvent(HWND target, WPARAM event, DWORD unitMask, UINT timeoutMs)
{
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = unitMask;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(target, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                               SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool SendVolumeArrival(HWND target, char letter, UINT timeoutMs)
{
    return SendVolumeEvent(target, DBT_DEVICEARRIVAL, UnitMaskOf(letter), timeoutMs);
}

bool SendVolumeRemoval(HWND target, char letter, UINT timeoutMs)
{
    return SendVolumeEvent(target, DBT_DEVICEREMOVECOMPLETE, UnitMaskOf(letter), timeoutMs);
}

}  // namespace harness
