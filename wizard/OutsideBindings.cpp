// Brixom binds every outside-library entry point its pages call when it loads, so that a missing
// or different library stops it before any window opens, whichever page would call it first.
// Taking their addresses here puts them all in the import table, also those only later pages use.
#include "Fennick.h"
#include "Quilmar.h"
#include "Tavrin.h"

extern const void* const g_BoundAtLoad[];
const void* const g_BoundAtLoad[] = {
    // The disk driver, by ordinal.
    reinterpret_cast<const void*>(&Tavrin_Install),
    reinterpret_cast<const void*>(&Tavrin_IsInstalled),
    reinterpret_cast<const void*>(&Tavrin_CreateImage),
    reinterpret_cast<const void*>(&Tavrin_GetInfo),
    reinterpret_cast<const void*>(&Tavrin_Mount),
    reinterpret_cast<const void*>(&Tavrin_Unmount),
    reinterpret_cast<const void*>(&Tavrin_GetMountInfo),
    reinterpret_cast<const void*>(&Tavrin_GetMountedMask),
    reinterpret_cast<const void*>(&Tavrin_GetSlotLetter),
    // The image lock, by ordinal.
    reinterpret_cast<const void*>(&Quilmar_SetProtection),
    reinterpret_cast<const void*>(&Quilmar_GetProtectedCount),
    reinterpret_cast<const void*>(&Quilmar_GetProtectedEntry),
    reinterpret_cast<const void*>(&Quilmar_StartService),
    reinterpret_cast<const void*>(&Quilmar_IsServiceRunning),
    // The USB test, by name.
    reinterpret_cast<const void*>(&Fennick_IsUsbDisk),
};
