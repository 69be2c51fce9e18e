// The records exchanged with the disk-driver library, byte for byte.
#include <gtest/gtest.h>

#include <cstring>

#include "ImageHeader.h"
#include "MountedDriveInfo.h"
#include "Paths.h"
#include "Tavrin.h"
#include "TempFolder.h"

#include <string>

// The header as the driver library keeps it in an image file: each field where the offset table
// puts it, read back from the file's bytes and through the library.
TEST(ImageHeader, AnImageFileHoldsEachFieldAtItsOffset)
{
    harness::TempFolder folder("records");
    const std::string image = folder / "header.img";
    ImageHeader header;
    std::memset(&header, 0, sizeof header);
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    std::strcpy(header.password, "secret");
    header.driveLetter = 'K';
    header.dataBytes = 2ull * 1048576 - 2048;
    header.field657 = 2048;
    std::strcpy(header.description, "my disk");
    const std::wstring path(image.begin(), image.end());
    int32_t context = 0;
    ASSERT_EQ(1, Tavrin_CreateImage(path.c_str(), &header, nullptr, &context));

    const std::string file = harness::ReadFileBytes(image);
    ASSERT_GE(file.size(), 2048u);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(file.data());
    auto u32 = [&](size_t offset) {
        return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | uint32_t(bytes[offset + 3]) << 24;
    };
    EXPECT_EQ(25u, u32(0));
    EXPECT_EQ(2048u, u32(4));
    EXPECT_EQ("secret", std::string(reinterpret_cast<const char*>(bytes + 372)));
    EXPECT_EQ(std::string(260 - 6, '\0'), file.substr(372 + 6, 260 - 6));
    EXPECT_EQ('K', file[632]);
    EXPECT_EQ(2ull * 1048576 - 2048, u32(633) | uint64_t(u32(637)) << 32);
    EXPECT_EQ(0u, u32(653));
    EXPECT_EQ(2048u, u32(657));
    EXPECT_EQ(0u, u32(661));
    EXPECT_EQ("my disk", std::string(reinterpret_cast<const char*>(bytes + 665)));

    ImageHeader read;
    std::memset(&read, 0, sizeof read);
    ASSERT_NE(0, Tavrin_GetInfo(path.c_str(), &read));
    EXPECT_EQ(0, std::memcmp(&read, file.data(), 2048));
    EXPECT_STREQ("secret", read.password);
    EXPECT_EQ(2ull * 1048576 - 2048, read.dataBytes);
    EXPECT_STREQ("my disk", read.description);
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
