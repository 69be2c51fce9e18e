// Tavrin.dll: the virtual-disk driver library. Every export journals its call when the test seam
// asks for it and never lets an exception out.
#include "TavrinApi.h"

#include "DiskDriver.h"
#include "ImageFile.h"
#include "TestSeam.h"
#include "VolumeStore.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

using outside::DiskDriver;
using outside::ImageFile;
using outside::TestSeam;
using outside::VolumeStore;

namespace {

constexpr size_t kMountInfoMaxUnits = MountedDriveInfo::kPathUnits - 1;
constexpr const wchar_t* kNtPrefix = L"\\??\\";

std::wstring PathOf(const wchar_t* path) { return path ? std::wstring(path) : std::wstring(); }

template <typename Result>
Result Journal(const std::string& call, Result result)
{
    if (TestSeam::JournalEnabled())
        TestSeam::Record(call + " -> " + std::to_string(result));
    return result;
}

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

extern "C" int __cdecl Tavrin_Install(void)
{
    int result = 0;
    try {
        result = !TestSeam::HasFault("tavrin-install-fails") && DiskDriver::Install() ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_Install()", result);
}

extern "C" int __cdecl Tavrin_IsInstalled(void)
{
    int result = 0;
    try {
        result = !TestSeam::HasFault("tavrin-not-ready") && DiskDriver::IsInstalled() ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_IsInstalled()", result);
}

extern "C" int __cdecl Tavrin_CreateImage(const wchar_t* path, const ImageHeader* header2048,
                                          TavrinProgressProc progress, int32_t* context)
{
    (void)context;   // nothing of the caller's is kept between calls
    int result = 0;
    try {
        result = path && *path && ImageFile::Create(path, header2048, progress) ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_CreateImage(" + TestSeam::Quote(path) + ")", result);
}

extern "C" int __cdecl Tavrin_GetInfo(const wchar_t* path, ImageHeader* header2048)
{
    int result = 0;
    try {
        // An image that is not whole cannot be opened: the caller learns it before it asks for
        // anything else of the image.
        result = path && header2048 && ImageFile::ReadHeader(path, header2048) && VolumeStore::IsWhole(path) ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_GetInfo(" + TestSeam::Quote(path) + ")", result);
}

extern "C" int __cdecl Tavrin_SetInfo(const wchar_t* path, const ImageHeader* header2048)
{
    int result = 0;
    try {
        result = path && !TestSeam::HasFault("setinfo-fails") && ImageFile::WriteHeader(path, header2048) ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_SetInfo(" + TestSeam::Quote(path) + ")", result);
}

extern "C" uint32_t __cdecl Tavrin_FindFreeDriveLetter(void)
{
    uint32_t letter = 0;
    try {
        letter = DiskDriver::FindFreeLetter();
    } catch (...) {
    }
    if (TestSeam::JournalEnabled())
        TestSeam::Record("Tavrin_FindFreeDriveLetter() -> " + TestSeam::Letter(letter));
    return letter;
}

extern "C" int __cdecl Tavrin_Mount(const wchar_t* path, uint32_t letter, int32_t readOnly)
{
    int result = 0;
    try {
        result = path && *path && !TestSeam::HasFault("mount-fails") &&
                         DiskDriver::Mount(PathOf(path), letter & 0xFFFF, readOnly != 0)
                     ? 1
                     : 0;
    } catch (...) {
    }
    return Journal("Tavrin_Mount(" + TestSeam::Quote(path) + ", " + TestSeam::Letter(letter) + ", " +
                       std::to_string(readOnly) + ")",
                   result);
}

extern "C" int __cdecl Tavrin_Unmount(uint32_t letter, int32_t zero)
{
    int result = 0;
    try {
        if (!TestSeam::HasFaultForLetter("unmount-refused", letter))
            result = DiskDriver::Unmount(letter & 0xFFFF);
    } catch (...) {
    }
    return Journal("Tavrin_Unmount(" + TestSeam::Letter(letter) + ", " + std::to_string(zero) + ")", result);
}

extern "C" int __cdecl Tavrin_GetMountInfo(uint32_t letter, MountedDriveInfo* info1096)
{
    int result = 0;
    try {
        std::wstring imagePath;
        if (info1096 && !TestSeam::HasFaultForLetter("mountinfo-fails", letter) &&
            DiskDriver::ImageOf(letter & 0xFFFF, imagePath)) {
            const std::wstring ntPath = kNtPrefix + imagePath;
            if (ntPath.size() <= kMountInfoMaxUnits) {
                info1096->pathLength = static_cast<uint16_t>(ntPath.size());
                memcpy(info1096->path, ntPath.c_str(), (ntPath.size() + 1) * sizeof(wchar_t));
                result = 1;
            }
        }
    } catch (...) {
    }
    return Journal("Tavrin_GetMountInfo(" + TestSeam::Letter(letter) + ")", result);
}

extern "C" uint32_t __cdecl Tavrin_GetMountedMask(void)
{
    uint32_t mask = 0;
    try {
        mask = DiskDriver::MountedMask();
    } catch (...) {
    }
    if (TestSeam::JournalEnabled())
        TestSeam::Record("Tavrin_GetMountedMask() -> " + Hex(mask));
    return mask;
}

extern "C" uint32_t __cdecl Tavrin_GetSlotLetter(int32_t slot)
{
    uint32_t letter = 0;
    try {
        letter = DiskDriver::SlotLetter(slot);
    } catch (...) {
    }
    if (TestSeam::JournalEnabled())
        TestSeam::Record("Tavrin_GetSlotLetter(" + std::to_string(slot) + ") -> " + TestSeam::Letter(letter));
    return letter;
}

extern "C" int __cdecl Tavrin_MoveFile(const wchar_t* source, const wchar_t* destination)
{
    int result = 0;
    try {
        result = source && destination && DiskDriver::MoveImage(source, destination) ? 1 : 0;
    } catch (...) {
    }
    return Journal("Tavrin_MoveFile(" + TestSeam::Quote(source) + ", " + TestSeam::Quote(destination) + ")", result);
}
