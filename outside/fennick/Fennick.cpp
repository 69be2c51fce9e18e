// Fennick.dll: tells whether a drive letter is a USB disk. Stateless, so any thread may ask.
#include "FennickApi.h"

#include "HandleOwner.h"
#include "TestSeam.h"

#include <windows.h>
#include <winioctl.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

// The storage stack's answer: the bus the disk behind the volume sits on. USB hard disks report
// DRIVE_FIXED, so the drive type alone would miss them.
bool IsOnUsbBus(char letter)
{
    const std::string device = std::string("\\\\.\\") + letter + ":";
    const KernelHandle volume(
        CreateFileA(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume)
        return false;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    BYTE buffer[1024] = {};
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(volume.Get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), buffer,
                              sizeof(buffer), &returned, nullptr);
    if (!ok || returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof(STORAGE_BUS_TYPE))
        return false;
    return reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer)->BusType == BusTypeUsb;
}

int IsUsbDisk(char letter)
{
    const char upper = static_cast<char>(toupper(static_cast<unsigned char>(letter)));
    if (upper < 'A' || upper > 'Z')
        return 0;
    if (IsOnUsbBus(upper))
        return 1;
    // Sticks and card readers are removable drives; A: and B: are floppies. Wine reports every
    // drive on the SCSI bus, so this is the rule that finds USB drives there.
    const std::string root = std::string(1, upper) + ":\\";
    return upper >= 'C' && GetDriveTypeA(root.c_str()) == DRIVE_REMOVABLE ? 1 : 0;
}

}  // namespace

extern "C" int __cdecl Fennick_IsUsbDisk(char letter)
{
    // Test knob: a slow answer, so a test can act while a program's drive scan runs.
    std::string slowMs;
    if (outside::TestSeam::HasFault("usb-check-slow", &slowMs))
        Sleep(strtoul(slowMs.c_str(), nullptr, 10));
    const int result = IsUsbDisk(letter);
    if (outside::TestSeam::JournalEnabled())
        outside::TestSeam::Record("Fennick_IsUsbDisk(" + outside::TestSeam::Letter(static_cast<unsigned char>(letter)) +
                                  ") -> " + std::to_string(result));
    return result;
}
