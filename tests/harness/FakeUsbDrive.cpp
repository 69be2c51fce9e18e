#include "FakeUsbDrive.h"

#include "Paths.h"

#include <windows.h>
#include <winioctl.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

namespace harness {

namespace {

// Wine's mount manager interface (its own control code and request record).
constexpr DWORD kMountMgrControlType = 'm';
constexpr DWORD kIoctlDefineUnixDrive =
    CTL_CODE(kMountMgrControlType, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

#pragma pack(push, 8)
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
#pragma pack(pop)
static_assert(sizeof(UnixDriveRequest) == 32, "mount manager record");

}  // namespace

bool DefineWineDrive(char letter, unsigned driveType, const std::string& unixFolder)
{
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixFolder.size() + 1, 0);
    auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->type = driveType;
    request->letter = static_cast<WCHAR>(tolower(static_cast<unsigned char>(letter)));
    if (driveType != DRIVE_NO_ROOT_DIR) {
        request->mountPointOffset = sizeof(UnixDriveRequest);
        memcpy(buffer.data() + sizeof(UnixDriveRequest), unixFolder.c_str(), unixFolder.size());
    }
    HANDLE mgr = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(mgr, kIoctlDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()),
                              nullptr, 0, &returned, nullptr);
    CloseHandle(mgr);
    return ok != FALSE;
}

char FirstFreeDriveLetter(char from)
{
    DWORD used = GetLogicalDrives();
    for (char c = from; c <= 'Y'; ++c)
        if (!(used & (1u << (c - 'A'))))
            return c;
    return 0;
}

FakeUsbDrive::FakeUsbDrive(const std::string& folder, char letter, unsigned long serial) : m_folder(folder)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    if (serial) {
        char text[16];
        snprintf(text, sizeof text, "%08lx\n", serial);
        WriteFileBytes(JoinPath(folder, ".windows-serial"), text);
    }
    m_letter = letter ? static_cast<char>(toupper(letter)) : FirstFreeDriveLetter();
    if (!m_letter || !Insert())
        m_letter = 0;
}

FakeUsbDrive::~FakeUsbDrive()
{
    if (m_mapped)
        Remove();
}

std::string FakeUsbDrive::Root() const { return std::string(1, m_letter) + ":\\"; }

bool FakeUsbDrive::Insert()
{
    std::string unixFolder = UnixPathOf(m_folder);
    if (unixFolder.empty() || !DefineWineDrive(m_letter, DRIVE_REMOVABLE, unixFolder))
        return false;
    m_mapped = true;
    return true;
}

bool FakeUsbDrive::Remove()
{
    if (!DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, std::string()))
        return false;
    m_mapped = false;
    return true;
}

}  // namespace harness
