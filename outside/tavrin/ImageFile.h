#pragma once
// An image file: the 2048-byte image header exactly as its creator passed it, then the data area,
// which holds the disk's files (see VolumeStore) and starts as an empty disk's volume blocks and
// zeros. Nominal length = header size field + 2048.
// The header's fields are common's ImageHeader record; the library reads only its signature, its
// header size and its data size.
#include <cstdint>
#include <string>

#include "TavrinApi.h"

namespace outside {

class ImageFile {
public:
    static constexpr uint32_t kHeaderBytes = ImageHeader::kHeaderSize;
    static constexpr uint64_t kMinDataBytes = 2048;

    // True for a buffer that starts like an image header.
    static bool IsHeader(const void* header2048);
    static uint64_t NominalLength(const void* header2048);   // 0 when the size field is unusable

    // Makes a new image; refuses an existing file and leaves no partial file behind.
    static bool Create(const std::wstring& path, const void* header2048, TavrinProgressProc progress);
    static bool ReadHeader(const std::wstring& path, void* header2048);
    // Rewrites the header only; the data area stays as it is.
    static bool WriteHeader(const std::wstring& path, const void* header2048);
};

}  // namespace outside
