#pragma once
// The 2048-byte header at the start of every image file, exchanged with the disk-driver library.
// Packed and little-endian; the creator zero-fills it and sets the fields below, readers use only
// the password.
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
struct ImageHeader {
    static constexpr uint32_t kSignature = 25;
    static constexpr uint32_t kHeaderSize = 2048;
    static constexpr size_t kPasswordSize = 260;
    static constexpr size_t kDescriptionChars = 256;

    uint32_t signature;              // 25
    uint32_t headerSize;             // 2048
    uint8_t reserved1[364];
    char password[kPasswordSize];    // ANSI, NUL-padded
    char driveLetter;                // chosen at creation
    uint64_t dataBytes;              // size in MB * 1 MiB - 2048; unaligned by design
    uint8_t reserved2[12];
    uint32_t field653;               // 0
    uint32_t field657;               // 2048
    uint32_t field661;               // 0
    char description[kDescriptionChars + 1];  // ANSI, NUL-terminated
    uint8_t reserved3[2048 - 665 - (kDescriptionChars + 1)];
};
#pragma pack(pop)

static_assert(sizeof(ImageHeader) == 2048, "the image header is 2048 bytes");
static_assert(offsetof(ImageHeader, password) == 372, "password at 372");
static_assert(offsetof(ImageHeader, driveLetter) == 632, "drive letter at 632");
static_assert(offsetof(ImageHeader, dataBytes) == 633, "size at 633");
static_assert(offsetof(ImageHeader, field653) == 653, "field at 653");
static_assert(offsetof(ImageHeader, field657) == 657, "field at 657");
static_assert(offsetof(ImageHeader, field661) == 661, "field at 661");
static_assert(offsetof(ImageHeader, description) == 665, "description at 665");
