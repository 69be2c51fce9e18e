#include "GoldenHeader.h"

#include <cstdint>
#include <cstring>

namespace {

void PutU32(std::vector<unsigned char>& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

std::vector<unsigned char> GoldenHeader(const std::string& password, char letter, int sizeMB,
                                        const std::string& description)
{
    std::vector<unsigned char> bytes(2048, 0);
    PutU32(bytes, 0, 25);
    PutU32(bytes, 4, 2048);
    std::memcpy(&bytes[372], password.data(), password.size());
    bytes[632] = static_cast<unsigned char>(letter);
    const uint64_t size = static_cast<uint64_t>(static_cast<int64_t>(sizeMB) * 1048576 - 2048);
    for (int i = 0; i < 8; ++i)
        bytes[633 + i] = static_cast<unsigned char>(size >> (8 * i));
    PutU32(bytes, 653, 0);
    PutU32(bytes, 657, 2048);
    PutU32(bytes, 661, 0);
    std::memcpy(&bytes[665], description.data(), description.size());
    return bytes;
}
