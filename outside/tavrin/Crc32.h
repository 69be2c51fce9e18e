#pragma once
// CRC-32 (the common reflected 0xEDB88320 one), fed piece by piece; checks a volume's blocks and
// content.
#include <cstddef>
#include <cstdint>

namespace outside {

class Crc32 {
public:
    void Update(const void* data, size_t size);
    uint32_t Value() const { return ~m_state; }
    static uint32_t Of(const void* data, size_t size);

private:
    uint32_t m_state = 0xFFFFFFFFu;
};

}  // namespace outside
