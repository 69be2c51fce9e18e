#include "PkwareDecrypter.h"

namespace {

struct CrcTable {
    uint32_t values[256];
    CrcTable()
    {
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            values[n] = c;
        }
    }
};

const CrcTable& Table()
{
    static const CrcTable table;
    return table;
}

}  // namespace

uint32_t PkwareDecrypter::Crc32Update(uint32_t crc, uint8_t byte)
{
    return Table().values[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

PkwareDecrypter::PkwareDecrypter(const std::string& password) : m_keys{305419896u, 591751049u, 878082192u}
{
    for (char ch : password)
        UpdateKeys(static_cast<uint8_t>(ch));
}

void PkwareDecrypter::UpdateKeys(uint8_t plain)
{
    m_keys[0] = Crc32Update(m_keys[0], plain);
    m_keys[1] = (m_keys[1] + (m_keys[0] & 0xFF)) * 134775813u + 1;
    m_keys[2] = Crc32Update(m_keys[2], static_cast<uint8_t>(m_keys[1] >> 24));
}

uint8_t PkwareDecrypter::Decrypt(uint8_t cipher)
{
    uint16_t temp = static_cast<uint16_t>((m_keys[2] & 0xFFFF) | 2);
    uint8_t plain = static_cast<uint8_t>(cipher ^ static_cast<uint8_t>((temp * (temp ^ 1)) >> 8));
    UpdateKeys(plain);
    return plain;
}

void PkwareDecrypter::Decrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i)
        data[i] = Decrypt(data[i]);
}
