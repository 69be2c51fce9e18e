#include "VolumeStore.h"

#include "Crc32.h"
#include "ImageFile.h"
#include "TestSeam.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace outside {

namespace {

constexpr uint64_t kBlockOffsets[2] = {2048, 2560};
constexpr DWORD kBlockBytes = 512;
constexpr uint64_t kContentStart = 4096;
constexpr uint64_t kContentAlignment = 4096;
constexpr char kBlockMagic[8] = {'T', 'V', 'R', 'N', 'V', 'O', 'L', '1'};
constexpr DWORD kChunk = 4u << 20;
constexpr uint32_t kEntryFolder = 1;
constexpr uint32_t kEntryFile = 2;
constexpr uint32_t kMaxNameUnits = 32767;
constexpr DWORD kRestorableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

#pragma pack(push, 1)
struct VolumeBlock {
    char magic[8];
    uint64_t sequence;
    uint64_t payloadOffset;
    uint64_t payloadLength;
    uint32_t payloadCrc;
    uint32_t entryCount;
    uint32_t reserved;
    uint32_t blockCrc;   // over every field before it
};
struct EntryHeader {
    uint32_t kind;
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t lastWriteTime;
    uint64_t size;
    uint32_t nameUnits;
    uint32_t reserved;
};
#pragma pack(pop)

struct CurrentBlock {
    int slot;
    VolumeBlock block;
};

uint64_t ToU64(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

bool Seek(HANDLE file, uint64_t offset)
{
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != FALSE;
}

bool ReadAt(HANDLE file, uint64_t offset, void* data, DWORD size)
{
    DWORD read = 0;
    return Seek(file, offset) && ReadFile(file, data, size, &read, nullptr) && read == size;
}

uint64_t LengthOf(HANDLE file)
{
    LARGE_INTEGER size = {};
    return GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

bool Truncate(HANDLE file, uint64_t length) { return Seek(file, length) && SetEndOfFile(file); }

uint32_t BlockCrc(const VolumeBlock& block) { return Crc32::Of(&block, offsetof(VolumeBlock, blockCrc)); }

// The valid volume blocks, the current one first.
std::vector<CurrentBlock> ValidBlocks(HANDLE image, uint64_t imageLength)
{
    std::vector<CurrentBlock> valid;
    for (int slot = 0; slot < 2; ++slot) {
        VolumeBlock block;
        if (!ReadAt(image, kBlockOffsets[slot], &block, sizeof(block)))
            continue;
        if (memcmp(block.magic, kBlockMagic, sizeof(kBlockMagic)) != 0 || block.blockCrc != BlockCrc(block) ||
            block.payloadOffset < kContentStart || block.payloadLength > imageLength ||
            block.payloadOffset > imageLength - block.payloadLength)
            continue;
        valid.push_back({slot, block});
    }
    std::sort(valid.begin(), valid.end(),
              [](const CurrentBlock& a, const CurrentBlock& b) { return a.block.sequence > b.block.sequence; });
    return valid;
}

// Reads a packed copy front to back, checksumming what it reads.
class PayloadReader {
public:
    PayloadReader(HANDLE image, uint64_t length) : m_image(image), m_remaining(length), m_buffer(kChunk) {}

    bool Read(void* data, size_t size)
    {
        auto* out = static_cast<uint8_t*>(data);
        while (size > 0) {
            if (m_position == m_filled && !Fill())
                return false;
            const size_t take = std::min<size_t>(size, m_filled - m_position);
            memcpy(out, m_buffer.data() + m_position, take);
            m_position += take;
            out += take;
            size -= take;
        }
        return true;
    }

    bool CopyTo(HANDLE file, uint64_t size)
    {
        while (size > 0) {
            if (m_position == m_filled && !Fill())
                return false;
            const DWORD take = static_cast<DWORD>(std::min<uint64_t>(size, m_filled - m_position));
            DWORD written = 0;
            if (!WriteFile(file, m_buffer.data() + m_position, take, &written, nullptr) || written != take)
                return false;
            m_position += take;
            size -= take;
        }
        return true;
    }

    bool AtEnd() const { return m_remaining == 0 && m_position == m_filled; }
    uint32_t Crc() const { return m_crc.Value(); }

private:
    bool Fill()
    {
        if (m_remaining == 0)
            return false;
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(m_remaining, m_buffer.size()));
        DWORD read = 0;
        if (!ReadFile(m_image, m_buffer.data(), want, &read, nullptr) || read != want)
            return false;
        m_crc.Update(m_buffer.data(), read);
        m_remaining -= read;
        m_filled = read;
        m_position = 0;
        return true;
    }

    HANDLE m_image;
    uint64_t m_remaining;
    std::vector<uint8_t> m_buffer;
    size_t m_filled = 0;
    size_t m_position = 0;
    Crc32 m_crc;
};

// Writes a packed copy front to back. Knows the file's length before the write-back, for the
// full-disk knob and to take back a growth that came to nothing.
class PayloadWriter {
public:
    PayloadWriter(HANDLE image, uint64_t total, uint64_t limit)
        : m_image(image), m_total(total), m_limit(limit), m_buffer()
    {
        m_buffer.reserve(kChunk);
    }

    bool Begin(uint64_t offset)
    {
        m_position = offset;
        return Seek(m_image, offset);
    }

    bool Put(const void* data, size_t size)
    {
        const auto* in = static_cast<const uint8_t*>(data);
        while (size > 0) {
            const size_t take = std::min<size_t>(size, kChunk - m_buffer.size());
            m_buffer.insert(m_buffer.end(), in, in + take);
            in += take;
            size -= take;
            if (m_buffer.size() == kChunk && !Drain())
                return false;
        }
        return true;
    }

    bool Finish() { return Drain(); }
    uint32_t Crc() const { return m_crc.Value(); }

private:
    bool Drain()
    {
        if (m_buffer.empty())
            return true;
        const DWORD size = static_cast<DWORD>(m_buffer.size());
        if (m_position + size > m_limit) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        DWORD written = 0;
        if (!WriteFile(m_image, m_buffer.data(), size, &written, nullptr) || written != size)
            return false;
        m_crc.Update(m_buffer.data(), size);
        m_position += size;
        m_done += size;
        m_buffer.clear();
        if (!m_pausedHalfway && m_done * 2 >= m_total && m_done < m_total) {
            m_pausedHalfway = true;
            TestSeam::PauseWriteBackIfAsked("data");
        }
        return true;
    }

    HANDLE m_image;
    uint64_t m_total;
    uint64_t m_limit;
    std::vector<uint8_t> m_buffer;
    uint64_t m_position = 0;
    uint64_t m_done = 0;
    bool m_pausedHalfway = false;
    Crc32 m_crc;
};

bool IsSafeName(const std::wstring& name)
{
    if (name.empty() || name[0] == L'\\' || name.find(L':') != std::wstring::npos ||
        name.find(L'/') != std::wstring::npos)
        return false;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find(L'\\', start);
        if (end == std::wstring::npos)
            end = name.size();
        const std::wstring part = name.substr(start, end - start);
        if (part.empty() || part == L"." || part == L"..")
            return false;
        start = end + 1;
    }
    return true;
}

struct UnpackedFolder {
    std::wstring path;
    EntryHeader header;
};

bool Extract(HANDLE image, const VolumeBlock& block, const std::wstring& folder)
{
    if (!Seek(image, block.payloadOffset))
        return false;
    PayloadReader reader(image, block.payloadLength);
    std::vector<UnpackedFolder> folders;
    for (uint32_t index = 0; index < block.entryCount; ++index) {
        EntryHeader header;
        if (!reader.Read(&header, sizeof(header)) || header.nameUnits == 0 || header.nameUnits > kMaxNameUnits)
            return false;
        std::wstring name(header.nameUnits, L'\0');
        if (!reader.Read(&name[0], header.nameUnits * sizeof(wchar_t)) || !IsSafeName(name))
            return false;
        const std::wstring path = FileTree::LongPath(folder + L"\\" + name);
        if (header.kind == kEntryFolder) {
            if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
            folders.push_back({path, header});
        } else if (header.kind == kEntryFile) {
            UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file || !reader.CopyTo(file.Get(), header.size))
                return false;
            const FILETIME created = ToFileTime(header.creationTime);
            const FILETIME written = ToFileTime(header.lastWriteTime);
            SetFileTime(file.Get(), &created, nullptr, &written);
            file.Reset();
            if (header.attributes & kRestorableAttributes)
                SetFileAttributesW(path.c_str(), header.attributes & kRestorableAttributes);
        } else {
            return false;
        }
    }
    if (!reader.AtEnd() || reader.Crc() != block.payloadCrc)
        return false;
    // Folders last and innermost first: filling a folder moves its times.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        UniqueHandle handle(CreateFileW(it->path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (handle) {
            const FILETIME created = ToFileTime(it->header.creationTime);
            const FILETIME written = ToFileTime(it->header.lastWriteTime);
            SetFileTime(handle.Get(), &created, nullptr, &written);
        }
        if (it->header.attributes & kRestorableAttributes)
            SetFileAttributesW(it->path.c_str(), (it->header.attributes & kRestorableAttributes) | FILE_ATTRIBUTE_DIRECTORY);
    }
    return true;
}

void EmptyFolder(const std::wstring& folder)
{
    FileTree::DeleteTree(folder);
    CreateDirectoryW(FileTree::LongPath(folder).c_str(), nullptr);
}

bool PackInto(PayloadWriter& writer, const std::wstring& folder, const std::vector<TreeEntry>& entries)
{
    std::vector<uint8_t> chunk(kChunk);
    for (const TreeEntry& entry : entries) {
        EntryHeader header = {};
        header.kind = entry.isFolder ? kEntryFolder : kEntryFile;
        header.attributes = entry.attributes;
        header.creationTime = ToU64(entry.creationTime);
        header.lastWriteTime = ToU64(entry.lastWriteTime);
        header.size = entry.size;
        header.nameUnits = static_cast<uint32_t>(entry.relativePath.size());
        if (!writer.Put(&header, sizeof(header)) ||
            !writer.Put(entry.relativePath.data(), entry.relativePath.size() * sizeof(wchar_t)))
            return false;
        if (entry.isFolder)
            continue;
        UniqueHandle file(CreateFileW(FileTree::LongPath(folder + L"\\" + entry.relativePath).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file)
            return false;
        uint64_t left = entry.size;
        while (left > 0) {
            const DWORD want = static_cast<DWORD>(std::min<uint64_t>(left, chunk.size()));
            DWORD read = 0;
            // A file that shrank since the scan would leave the copy short: give up instead.
            if (!ReadFile(file.Get(), chunk.data(), want, &read, nullptr) || read != want)
                return false;
            if (!writer.Put(chunk.data(), read))
                return false;
            left -= read;
        }
    }
    return writer.Finish();
}

}  // namespace

bool VolumeStore::Unpack(const std::wstring& imagePath, const std::wstring& folder)
{
    UniqueHandle image(CreateFileW(FileTree::LongPath(imagePath).c_str(), GENERIC_READ,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!image)
        return false;
    uint8_t header[ImageFile::kHeaderBytes];
    if (!ReadAt(image.Get(), 0, header, sizeof(header)) || !ImageFile::IsHeader(header))
        return false;
    const std::vector<CurrentBlock> blocks = ValidBlocks(image.Get(), LengthOf(image.Get()));
    if (blocks.empty())
        return true;   // never written back: an empty disk
    // The current copy first; should it be damaged, the one before it.
    for (const CurrentBlock& candidate : blocks) {
        if (Extract(image.Get(), candidate.block, folder))
            return true;
        EmptyFolder(folder);
    }
    return false;
}

bool VolumeStore::Pack(const std::wstring& imagePath, const std::wstring& folder, const std::vector<TreeEntry>& entries)
{
    if (TestSeam::HasFault("media-readonly")) {
        SetLastError(ERROR_WRITE_PROTECT);
        return false;
    }
    UniqueHandle image(CreateFileW(FileTree::LongPath(imagePath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!image)
        return false;
    uint8_t header[ImageFile::kHeaderBytes];
    if (!ReadAt(image.Get(), 0, header, sizeof(header)) || !ImageFile::IsHeader(header))
        return false;
    const uint64_t lengthBefore = LengthOf(image.Get());
    const uint64_t nominal = std::max<uint64_t>(ImageFile::NominalLength(header), kContentStart);
    const std::vector<CurrentBlock> blocks = ValidBlocks(image.Get(), lengthBefore);

    uint64_t payloadLength = 0;
    for (const TreeEntry& entry : entries)
        payloadLength += sizeof(EntryHeader) + entry.relativePath.size() * sizeof(wchar_t) + entry.size;

    // Never on the current copy: at the start of the data area when it fits before it, else
    // between it and the nominal end, else past the nominal end (the file grows, and the data
    // area stays free, so the next content that fits there lets the file shrink back).
    auto aligned = [](uint64_t offset) { return (offset + kContentAlignment - 1) / kContentAlignment * kContentAlignment; };
    uint64_t offset = kContentStart;
    if (blocks.empty()) {
        if (kContentStart + payloadLength > nominal)
            offset = aligned(nominal);
    } else {
        const VolumeBlock& current = blocks.front().block;
        const uint64_t currentEnd = aligned(current.payloadOffset + current.payloadLength);
        if (kContentStart + payloadLength > current.payloadOffset)
            offset = currentEnd + payloadLength <= nominal ? currentEnd : aligned(std::max(currentEnd, nominal));
    }
    const uint64_t payloadEnd = offset + payloadLength;
    const uint64_t limit = TestSeam::HasFault("disk-full") ? lengthBefore : UINT64_MAX;

    PayloadWriter writer(image.Get(), payloadLength, limit);
    if (!writer.Begin(offset) || !PackInto(writer, folder, entries) || !FlushFileBuffers(image.Get())) {
        const DWORD error = GetLastError();
        if (LengthOf(image.Get()) > lengthBefore)
            Truncate(image.Get(), lengthBefore);
        SetLastError(error);
        return false;
    }
    TestSeam::PauseWriteBackIfAsked("commit");

    VolumeBlock block = {};
    memcpy(block.magic, kBlockMagic, sizeof(kBlockMagic));
    block.sequence = blocks.empty() ? 1 : blocks.front().block.sequence + 1;
    block.payloadOffset = offset;
    block.payloadLength = payloadLength;
    block.payloadCrc = writer.Crc();
    block.entryCount = static_cast<uint32_t>(entries.size());
    block.blockCrc = BlockCrc(block);
    uint8_t sector[kBlockBytes] = {};
    memcpy(sector, &block, sizeof(block));
    const int slot = blocks.empty() ? 0 : 1 - blocks.front().slot;
    DWORD written = 0;
    if (!Seek(image.Get(), kBlockOffsets[slot]) || !WriteFile(image.Get(), sector, kBlockBytes, &written, nullptr) ||
        written != kBlockBytes || !FlushFileBuffers(image.Get()))
        return false;

    // The new copy is current: an older one beyond the nominal size is no longer needed.
    const uint64_t keep = std::max(payloadEnd, nominal);
    if (LengthOf(image.Get()) > keep)
        Truncate(image.Get(), keep);
    return true;
}

}  // namespace outside
