#include "UsbCount.h"

#include <cstring>
#include <vector>

#include "CWinThread.h"
#include "Fennick.h"

volatile LONG g_nUsbDiskCount = 0;

namespace {

constexpr DWORD kFirstBufferChars = 104;

}  // namespace

int CountUsbDisks()
{
    // Sized from what the call asks for: 26 drive letters need 105 characters.
    std::vector<char> roots(kFirstBufferChars);
    DWORD length = ::GetLogicalDriveStringsA(static_cast<DWORD>(roots.size()), roots.data());
    for (int tries = 0; length >= roots.size() && tries < 4; ++tries) {
        roots.assign(length + 1, '\0');
        length = ::GetLogicalDriveStringsA(static_cast<DWORD>(roots.size()), roots.data());
    }
    if (length == 0 || length >= roots.size())
        return 0;
    int count = 0;
    for (const char* root = roots.data(); *root; root += strlen(root) + 1) {
        if (Fennick_IsUsbDisk(root[0]) != 0)
            ++count;
    }
    return count;
}

UINT CountUsbDisksThread(void*)
{
    ::InterlockedExchange(&g_nUsbDiskCount, CountUsbDisks());
    return 1;
}

BOOL StartUsbDiskCount(void* dialog)
{
    return AfxBeginDetachedThread(&CountUsbDisksThread, dialog);
}
