#include "DriveMapper.h"

#include "UniqueHandle.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <cwctype>
#include <vector>

namespace outside {

namespace {

// Wine's mount manager: its own control code and request record.
constexpr DWORD kMountMgrControlType = 'm';
constexpr DWORD kIoctlDefineUnixDrive =
    CTL_CODE(kMountMgrControlType, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
constexpr const wchar_t* kMountManager = L"\\\\.\\MountPointManager";

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

std::string UnixPathOf(const std::wstring& folder)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* unixPath = toUnix(folder.c_str());
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

bool DefineWineDrive(wchar_t letter, ULONG driveType, const std::string& unixFolder)
{
    std::vector<char> buffer(sizeof(UnixDriveRequest) + unixFolder.size() + 1, 0);
    auto* request = reinterpret_cast<UnixDriveRequest*>(buffer.data());
    request->size = static_cast<ULONG>(buffer.size());
    request->type = driveType;
    request->letter = static_cast<WCHAR>(towlower(letter));
    if (driveType != DRIVE_NO_ROOT_DIR) {
        request->mountPointOffset = sizeof(UnixDriveRequest);
        memcpy(buffer.data() + sizeof(UnixDriveRequest), unixFolder.c_str(), unixFolder.size());
    }
    UniqueHandle manager(CreateFileW(kMountManager, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD returned = 0;
    return manager && DeviceIoControl(manager.Get(), kIoctlDefineUnixDrive, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
}

std::wstring DeviceName(wchar_t letter) { return std::wstring(1, static_cast<wchar_t>(towupper(letter))) + L":"; }

}  // namespace

bool DriveMapper::IsWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

bool DriveMapper::CanMap()
{
    if (!IsWine())
        return true;
    UniqueHandle manager(CreateFileW(kMountManager, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(manager);
}

bool DriveMapper::Map(wchar_t letter, const std::wstring& folder)
{
    if (IsWine()) {
        const std::string unixFolder = UnixPathOf(folder);
        // A hard-disk drive: the disk is not removable media, whatever the image lies on.
        return !unixFolder.empty() && DefineWineDrive(letter, DRIVE_FIXED, unixFolder);
    }
    return DefineDosDeviceW(0, DeviceName(letter).c_str(), folder.c_str()) != FALSE;
}

bool DriveMapper::Unmap(wchar_t letter)
{
    if (IsWine())
        return DefineWineDrive(letter, DRIVE_NO_ROOT_DIR, std::string());
    return DefineDosDeviceW(DDD_REMOVE_DEFINITION, DeviceName(letter).c_str(), nullptr) != FALSE;
}

bool DriveMapper::IsLetterInUse(wchar_t letter)
{
    const wchar_t upper = static_cast<wchar_t>(towupper(letter));
    return (GetLogicalDrives() >> (upper - L'A')) & 1;
}

}  // namespace outside
