#pragma once
// The 1096-byte record the disk-driver library fills for a mounted drive letter: the image file's
// path in NT form ("\??\" + DOS path), UTF-16, with its length in units (no terminator) at 46.
#include <cstddef>
#include <cstdint>
#include <string>

#pragma pack(push, 1)
struct MountedDriveInfo {
    static constexpr size_t kRecordSize = 1096;
    static constexpr size_t kPathUnits = (kRecordSize - 48) / 2;   // 524, terminator included

    uint32_t zero;                   // set to 0 by the caller before the call
    uint8_t reserved[42];
    uint16_t pathLength;             // UTF-16 units without the terminator
    wchar_t path[kPathUnits];
};
#pragma pack(pop)

static_assert(sizeof(wchar_t) == 2, "the record's path is UTF-16");
static_assert(sizeof(MountedDriveInfo) == MountedDriveInfo::kRecordSize, "the record is 1096 bytes");
static_assert(offsetof(MountedDriveInfo, pathLength) == 46, "length at 46");
static_assert(offsetof(MountedDriveInfo, path) == 48, "path at 48");

// The record's path as the library wrote it, its length taken from the length field but never
// beyond the record (a library that reports more than fits cannot make a caller read past it).
std::wstring MountedImagePath(const MountedDriveInfo& info);

// The number of path units a caller may copy, terminator excluded: the length field clamped to
// what the record holds.
size_t ClampedPathLength(const MountedDriveInfo& info);
