#pragma once
// Skin archives made by the tests: skin data records, a deflate encoder of our own (stored, fixed
// and dynamic blocks), the archive's encryption, and the ZIP container with "SK" in place of "PK".
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

struct SkinRecord {
    std::string name;
    uint8_t kind;          // 0 bitmap, 1 integer, 2 flag, 3 text
    std::string data;
};

// Skin data: a 24-byte header, then the records chained in order, then the end record.
std::string SkinData(const std::vector<SkinRecord>& records);
std::string Int32(int32_t value);

enum BlockKind { Stored, Fixed, Dynamic, Mixed };   // Mixed: fixed, stored, dynamic in turn
// A raw deflate stream of `data` in blocks of `kind` (at most `blockSize` bytes each); repeated
// runs become back-references.
std::string Deflate(const std::string& data, BlockKind kind, size_t blockSize = 1 << 20);

// A dynamic block whose codes run from 1 bit (end of block) to 15 bits ('n' and 'o'), holding
// "nab", then a final stored block holding `stored`: the decoder reads far ahead in the first.
std::string DeepCodesThenStored(const std::string& stored);

uint32_t Crc32(const std::string& data);

struct ZipEntry {
    std::string name;
    std::string compressed;       // what is stored as the entry's data
    uint32_t crc = 0;
    uint32_t size = 0;             // uncompressed size as declared
    uint16_t flags = 0;
    uint16_t modTime = 0x6B2A;
    std::string extra;
    std::string comment;
    std::string password;          // non-empty: encrypt with it (flag bit 0 set)
};

ZipEntry DeflatedEntry(const std::string& name, const std::string& content, BlockKind kind = Dynamic);
// The archive; `archiveComment` is stored in the end record; the first two bytes become "SK".
std::string SkinArchive(const std::vector<ZipEntry>& entries, const std::string& archiveComment = "");

// A 24-bit Windows bitmap file image, all pixels one colour.
std::string BitmapFile(int width, int height, uint8_t red, uint8_t green, uint8_t blue);
// The same with each pixel's colour (0xRRGGBB) asked of `colorAt`, rows counted from the top.
std::string BitmapFile(int width, int height, const std::function<uint32_t(int x, int y)>& colorAt);

}  // namespace fixtures
