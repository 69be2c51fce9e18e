// The records exchanged with the disk-driver library, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "ImageHeader.h"
#include "MountedDriveInfo.h"

TEST(ImageHeader, FieldsLieAtTheirOffsets)
{
    ImageHeader header;
    std::memset(&header, 0, sizeof header);
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    std::strcpy(header.password, "secret");
    header.driveLetter = 'K';
    header.dataBytes = 16ull * 1048576 - 2048;
    header.field657 = 2048;
    std::strcpy(header.description, "my disk");
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&header);
    uint32_t u32 = 0;
    std::memcpy(&u32, bytes + 0, 4);
    EXPECT_EQ(u32, 25u);
    std::memcpy(&u32, bytes + 4, 4);
    EXPECT_EQ(u32, 2048u);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 372), "secret");
    EXPECT_EQ(bytes[632], 'K');
    uint64_t u64 = 0;
    std::memcpy(&u64, bytes + 633, 8);
    EXPECT_EQ(u64, 16ull * 1048576 - 2048);
    std::memcpy(&u32, bytes + 657, 4);
    EXPECT_EQ(u32, 2048u);
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 665), "my disk");
}

TEST(MountedDriveInfo, PathLengthIsClampedToTheRecord)
{
    MountedDriveInfo info;
    std::memset(&info, 0, sizeof info);
    const wchar_t path[] = L"\\??\\C:\\disks\\a.sqv";
    std::memcpy(info.path, path, sizeof path);
    info.pathLength = static_cast<uint16_t>(wcslen(path));
    EXPECT_EQ(MountedImagePath(info), path);
    EXPECT_EQ(ClampedPathLength(info), wcslen(path));

    // A library that claims more than the record holds cannot make a caller read past it.
    for (uint16_t claimed : {uint16_t(523), uint16_t(524), uint16_t(1000), uint16_t(0xFFFF)})
        EXPECT_EQ(ClampedPathLength(MountedDriveInfo{0, {}, claimed, {}}), 523u) << claimed;
    for (size_t i = 0; i < MountedDriveInfo::kPathUnits; ++i)
        info.path[i] = L'x';
    info.pathLength = 0xFFFF;
    EXPECT_EQ(MountedImagePath(info).size(), 523u);
}
