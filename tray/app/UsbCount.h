#pragma once
// The count of USB drives, kept up to date by short workers started at Lumetta's start and on
// every device arrival or removal. Each counts on its own and stores its result in one 32-bit
// write; the last to finish wins. The count lives as long as the process, so a worker still
// running when the dialog goes never writes into it.
#include <windows.h>

extern volatile LONG g_nUsbDiskCount;

// The drive roots that Fennick takes for USB disks; 0 when the drive strings cannot be read.
int CountUsbDisks();
// The worker: CountUsbDisks stored into g_nUsbDiskCount. The argument is the dialog it serves.
UINT CountUsbDisksThread(void* dialog);
// Starts a worker nobody waits for.
BOOL StartUsbDiskCount(void* dialog);
