#pragma once
// Under Wine a DOS device name gives no file access through its letter: a folder becomes a drive
// of every process of the prefix through Wine's mount manager and its define-unix-drive request,
// which takes the folder's Unix path. Header only: the disk library takes it in and stays one
// self-contained file.
#include "HandleOwner.h"

#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace wine {

// The mount manager's own control code and request record.
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

inline bool IsRunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// The Unix path of a Windows path; empty outside Wine or for a path Wine cannot place.
inline std::string UnixPathOf(const wchar_t* windowsPath)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    char* unixPath = toUnix(windowsPath);
    if (!unixPath)
        return std::string();
    std::string result = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    return result;
}

inline KernelHandle OpenMountManager()
{
    return KernelHandle(CreateFileW(kMountManager, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
}

// Puts `unixFolder` on `letter` as a drive of `driveType` (DRIVE_FIXED, DRIVE_REMOVABLE, ...);
// DRIVE_NO_ROOT_DIR takes the letter's drive away.
inline bool DefineUnixDrive(wchar_t letter, ULONG driveType, const std::string& unixFolder)
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
    const KernelHandle manager = OpenMountManager();
    DWORD returned = 0;
    return manager && DeviceIoControl(manager.Get(), kIoctlDefineUnixDrive, buffer.data(),
                                      static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
}

}  // namespace wine
