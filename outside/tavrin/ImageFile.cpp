#include "ImageFile.h"

#include "ImageWriter.h"
#include "VolumeStore.h"

#include "HandleOwner.h"
#include "TestSeam.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace outside {

namespace {

constexpr DWORD kWriteChunk = 4u << 20;
// Small images still report their progress in steps, but few: each report is a window message
// round trip to the progress dialog, the cost a small image pays beyond its writing.
constexpr DWORD kSmallestChunk = 128u << 10;
constexpr uint64_t kMaxImageLength = 1ull << 42;   // 4 TiB: far beyond any disk a user makes here

// The record is packed (alignment 1), so a caller's buffer at any address reads as one.
const ImageHeader& AsHeader(const void* header2048) { return *static_cast<const ImageHeader*>(header2048); }

// A file being made: removed again unless it was finished. Owns the handle so that the file is
// closed before it is removed.
class PartialFile {
public:
    PartialFile(const std::wstring& path, HANDLE file) : m_path(path), m_file(file) {}
    ~PartialFile()
    {
        m_file.Reset();
        if (!m_kept)
            DeleteFileW(m_path.c_str());
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    HANDLE Handle() const { return m_file.Get(); }
    void Close() { m_file.Reset(); }
    void Keep() { m_kept = true; }

private:
    std::wstring m_path;
    KernelHandle m_file;
    bool m_kept = false;
};

}  // namespace

bool ImageFile::IsHeader(const void* header2048)
{
    const ImageHeader& header = AsHeader(header2048);
    return header.signature == ImageHeader::kSignature && header.headerSize == kHeaderBytes;
}

uint64_t ImageFile::NominalLength(const void* header2048)
{
    const uint64_t dataBytes = AsHeader(header2048).dataBytes;
    if (dataBytes < kMinDataBytes || dataBytes > kMaxImageLength)
        return 0;
    return dataBytes + kHeaderBytes;
}

bool ImageFile::Create(const std::wstring& path, const void* header2048, TavrinProgressProc progress)
{
    if (!header2048 || !IsHeader(header2048))
        return false;
    const uint64_t length = NominalLength(header2048);
    if (length == 0)
        return false;
    std::string slowText;
    const DWORD slowMs = TestSeam::HasFault("create-slow", &slowText) ? strtoul(slowText.c_str(), nullptr, 10) : 0;
    const bool failHalfway = TestSeam::HasFault("create-fails");

    HANDLE created = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created == INVALID_HANDLE_VALUE)
        return false;
    PartialFile partial(path, created);

    int reported = -1;
    auto report = [&](int percent) {
        if (percent == reported)
            return true;
        // A slow creation (test knob) spends its time in proportion to the progress it reports.
        if (slowMs && percent > 0)
            Sleep(static_cast<DWORD>(uint64_t(slowMs) * (percent - std::max(reported, 0)) / 100));
        reported = percent;
        int32_t value = percent;
        return !progress || (progress(&value) & 0xFF) != 0;
    };

    // The data area is written out in full: the disk then owns its space. It starts with the
    // volume blocks of an empty disk, so that blocks found empty later are known to be lost, and
    // is zeros beyond them. Each piece's progress is reported while the next ones are written;
    // the first report (0) already runs beside the writing.
    uint8_t head[kHeaderBytes + VolumeStore::kBlocksBytes];
    static_assert(VolumeStore::kBlocksAt == kHeaderBytes, "the blocks follow the header");
    memcpy(head, header2048, kHeaderBytes);
    uint8_t blocks[VolumeStore::kBlocksBytes];
    VolumeStore::FirstBlocks(length, blocks);
    memcpy(head + kHeaderBytes, blocks, sizeof blocks);
    const DWORD step = static_cast<DWORD>(std::min<uint64_t>(kWriteChunk, std::max<uint64_t>(kSmallestChunk, length / 100)));
    ImageWriter writer(partial.Handle(), head, sizeof head, length, step, failHalfway);
    if (!writer.Start() || !report(0))
        return false;
    uint64_t done = 0;
    while (writer.NextPiece(done)) {
        const int percent = static_cast<int>(done * 100 / length);
        if (percent < 100 && !report(percent))
            return false;       // the writer stops as it goes
    }
    if (writer.Failed() || done != length)
        return false;
    partial.Close();
    if (!report(100))
        return false;
    partial.Keep();
    return true;
}

bool ImageFile::ReadHeader(const std::wstring& path, void* header2048)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    uint8_t header[kHeaderBytes];
    DWORD read = 0;
    if (!ReadFile(file.Get(), header, kHeaderBytes, &read, nullptr) || read != kHeaderBytes || !IsHeader(header))
        return false;
    memcpy(header2048, header, kHeaderBytes);
    return true;
}

bool ImageFile::WriteHeader(const std::wstring& path, const void* header2048)
{
    if (!header2048 || !IsHeader(header2048))
        return false;
    uint8_t current[kHeaderBytes];
    if (!ReadHeader(path, current))
        return false;
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.Get(), header2048, kHeaderBytes, &written, nullptr) && written == kHeaderBytes &&
           FlushFileBuffers(file.Get());
}

}  // namespace outside
