#include "DriveMapper.h"

#include "WineMountManager.h"

#include <windows.h>

#include <cwctype>

namespace outside {

namespace {

std::wstring DeviceName(wchar_t letter) { return std::wstring(1, static_cast<wchar_t>(towupper(letter))) + L":"; }

}  // namespace

bool DriveMapper::IsWine() { return wine::IsRunningUnderWine(); }

bool DriveMapper::CanMap() { return !IsWine() || wine::OpenMountManager(); }

bool DriveMapper::Map(wchar_t letter, const std::wstring& folder)
{
    if (IsWine()) {
        const std::string unixFolder = wine::UnixPathOf(folder.c_str());
        // A hard-disk drive: the disk is not removable media, whatever the image lies on.
        return !unixFolder.empty() && wine::DefineUnixDrive(letter, DRIVE_FIXED, unixFolder);
    }
    return DefineDosDeviceW(0, DeviceName(letter).c_str(), folder.c_str()) != FALSE;
}

bool DriveMapper::Unmap(wchar_t letter)
{
    if (IsWine())
        return wine::DefineUnixDrive(letter, DRIVE_NO_ROOT_DIR, std::string());
    return DefineDosDeviceW(DDD_REMOVE_DEFINITION, DeviceName(letter).c_str(), nullptr) != FALSE;
}

bool DriveMapper::IsLetterInUse(wchar_t letter)
{
    const wchar_t upper = static_cast<wchar_t>(towupper(letter));
    return (GetLogicalDrives() >> (upper - L'A')) & 1;
}

}  // namespace outside
