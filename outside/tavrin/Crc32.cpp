#include "Crc32.h"

#include <cstring>

namespace outside {

namespace {

// Eight tables let the loop take eight bytes per step; a disk's content runs through here twice
// per mount and dismount. Made by the compiler: a table made on first use would need a guard,
// since the checksum thread and its caller can both come first.
struct Tables {
    uint32_t t[8][256] = {};
    constexpr Tables()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k)
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

constexpr Tables kTables;

const Tables& TheTables() { return kTables; }

}  // namespace

void Crc32::Update(const void* data, size_t size)
{
    const auto& t = TheTables().t;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = m_state;
    while (size >= 8) {
        uint32_t low;
        uint32_t high;
        memcpy(&low, p, 4);
        memcpy(&high, p + 4, 4);
        low ^= c;
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
            t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
        p += 8;
        size -= 8;
    }
    while (size--)
        c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    m_state = c;
}

uint32_t Crc32::Of(const void* data, size_t size)
{
    Crc32 crc;
    crc.Update(data, size);
    return crc.Value();
}

}  // namespace outside
