#include "VolumeStore.h"

#include "ChecksumThread.h"
#include "Crc32.h"
#include "HandleOwner.h"
#include "ImageFile.h"
#include "TestSeam.h"

#include <windows.h>
#include <ntsecapi.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace outside {

namespace {

constexpr uint64_t kBlockOffsets[2] = {2048, 2560};
constexpr DWORD kBlockBytes = 512;
constexpr uint64_t kContentStart = 4096;
constexpr uint64_t kCluster = 4096;
constexpr char kPackedMagic[8] = {'T', 'V', 'R', 'N', 'V', 'O', 'L', '1'};
constexpr char kTableMagic[8] = {'T', 'V', 'R', 'N', 'V', 'O', 'L', '2'};
constexpr DWORD kChunk = 4u << 20;
constexpr size_t kChecksumAside = 256u << 10;   // smaller pieces are checksummed at once
constexpr uint32_t kEntryFolder = 1;
constexpr uint32_t kEntryFile = 2;
constexpr uint32_t kMaxNameUnits = 32767;
constexpr uint64_t kMaxTableBytes = 1ull << 31;
constexpr DWORD kRestorableAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

#pragma pack(push, 1)
// The older form: the block names one packed copy of every entry, each followed by its name and
// its bytes.
struct PackedBlock {
    char magic[8];
    uint64_t sequence;
    uint64_t payloadOffset;
    uint64_t payloadLength;
    uint32_t payloadCrc;
    uint32_t entryCount;
    uint32_t reserved;
    uint32_t blockCrc;   // over every field before it
};
struct PackedEntry {
    uint32_t kind;
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t lastWriteTime;
    uint64_t size;
    uint32_t nameUnits;
    uint32_t reserved;
};
// The table form: the block names the table; each table entry is followed by its name and its
// extents, and a file's bytes are its extents one after the other.
struct TableBlock {
    char magic[8];
    uint64_t sequence;
    uint64_t tableOffset;
    uint64_t tableLength;
    uint32_t tableCrc;
    uint32_t entryCount;
    uint64_t imageLength;   // every extent and the table lie below it
    uint32_t volumeId;      // random, made with the volume; 0 in blocks written before there was one
    uint32_t blockCrc;      // over every field before it
};
struct TableEntry {
    uint32_t kind;
    uint32_t attributes;
    uint64_t creationTime;
    uint64_t lastWriteTime;
    uint64_t size;
    uint32_t nameUnits;
    uint32_t extentCount;
    uint32_t dataCrc;       // of the file's bytes
    uint32_t reserved;
};
struct Extent {
    uint64_t offset;
    uint64_t length;
};
#pragma pack(pop)

struct StoredEntry {
    std::wstring name;
    TableEntry fields = {};
    std::vector<Extent> extents;
    bool checksumKnown = true;   // the packed form keeps one checksum for all
};

struct Range {
    uint64_t begin;
    uint64_t end;
};

// What an image holds now, read from its blocks.
struct Volume {
    enum class Form { kNeverWritten, kPacked, kTable } form = Form::kNeverWritten;
    uint64_t sequence = 0;
    int olderSlot = 0;          // written first at the next commit
    PackedBlock packed = {};
    TableBlock table = {};
    std::vector<StoredEntry> entries;   // the table form's
    VolumeMark mark;
};

// How much of a volume is read: its blocks alone (its mark), its table too (the blocks' content
// whole), or also the packed form's entries (for a write-back that keeps them).
enum class Depth { kBlocks, kTable, kEntries };

uint64_t ToU64(const FILETIME& time) { return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

FILETIME ToFileTime(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

uint64_t RoundUp(uint64_t value) { return (value + kCluster - 1) / kCluster * kCluster; }

// One order for every list sorted here (places, and keys paired with an index), so the library
// carries one sort: it travels on USB drives and stays small.
bool ByBegin(const Range& a, const Range& b) { return a.begin < b.begin; }
void SortRanges(std::vector<Range>& ranges) { std::sort(ranges.begin(), ranges.end(), ByBegin); }

uint64_t NameKey(const std::wstring& name)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (wchar_t unit : name) {
        hash ^= static_cast<uint16_t>(unit);
        hash *= 0x100000001B3ull;
    }
    return hash;
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

bool Damaged()
{
    SetLastError(ERROR_FILE_CORRUPT);
    return false;
}

VolumeMark MarkOfBlock(const TableBlock& block) { return {block.volumeId, block.sequence, block.blockCrc}; }

void SealBlock(TableBlock& block) { block.blockCrc = Crc32::Of(&block, offsetof(TableBlock, blockCrc)); }

// Random, and never 0 (which stands for none): from the system's random source, or when that
// fails from what tells this moment and process apart.
uint32_t NewVolumeId()
{
    uint32_t id = 0;
    if (!RtlGenRandom(&id, sizeof id) || id == 0) {
        LARGE_INTEGER counter = {};
        QueryPerformanceCounter(&counter);
        const uint64_t mixed[3] = {static_cast<uint64_t>(counter.QuadPart), GetTickCount64(),
                                   (static_cast<uint64_t>(GetCurrentProcessId()) << 32) | GetCurrentThreadId()};
        id = Crc32::Of(mixed, sizeof mixed) | 1u;
    }
    return id;
}

// True when every byte from `from` to the end of the image is 0.
bool IsZeroFrom(HANDLE image, uint64_t from, uint64_t length)
{
    std::vector<uint64_t> chunk(kChunk / sizeof(uint64_t));
    for (uint64_t at = from; at < length;) {
        const DWORD size = static_cast<DWORD>(std::min<uint64_t>(kChunk, length - at));
        if (!ReadAt(image, at, chunk.data(), size))
            return false;
        const auto* bytes = reinterpret_cast<const uint8_t*>(chunk.data());
        if (!std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; }))
            return false;
        at += size;
    }
    return true;
}

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

// Takes the entries apart from the table's bytes; false for anything our writer never makes.
bool ParseTable(const std::vector<uint8_t>& bytes, const TableBlock& block, std::vector<StoredEntry>& entries)
{
    size_t at = 0;
    auto take = [&](void* out, size_t size) {
        if (bytes.size() - at < size)
            return false;
        memcpy(out, bytes.data() + at, size);
        at += size;
        return true;
    };
    entries.clear();
    if (block.entryCount > bytes.size() / sizeof(TableEntry))
        return false;
    entries.reserve(block.entryCount);
    for (uint32_t index = 0; index < block.entryCount; ++index) {
        StoredEntry entry;
        if (!take(&entry.fields, sizeof(entry.fields)))
            return false;
        const TableEntry& fields = entry.fields;
        if (fields.nameUnits == 0 || fields.nameUnits > kMaxNameUnits ||
            (fields.kind != kEntryFolder && fields.kind != kEntryFile) ||
            (fields.kind == kEntryFolder && (fields.extentCount != 0 || fields.size != 0)) ||
            fields.extentCount > (bytes.size() - at) / sizeof(Extent))
            return false;
        entry.name.resize(fields.nameUnits);
        if (!take(&entry.name[0], fields.nameUnits * sizeof(wchar_t)) || !IsSafeName(entry.name))
            return false;
        entry.extents.resize(fields.extentCount);
        uint64_t total = 0;
        for (Extent& extent : entry.extents) {
            if (!take(&extent, sizeof(extent)) || extent.length == 0 || extent.offset < kContentStart ||
                extent.offset > block.imageLength || extent.length > block.imageLength - extent.offset)
                return false;
            total += extent.length;
        }
        if (total != fields.size)
            return false;
        entries.push_back(std::move(entry));
    }
    return at == bytes.size();
}

bool ReadTable(HANDLE image, const TableBlock& block, std::vector<StoredEntry>& entries)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(block.tableLength));
    if (!bytes.empty() && !ReadAt(image, block.tableOffset, bytes.data(), static_cast<DWORD>(bytes.size())))
        return false;
    return Crc32::Of(bytes.data(), bytes.size()) == block.tableCrc && ParseTable(bytes, block, entries);
}

// The packed form's entries with the place of each file's bytes, for a write-back that keeps them
// where they lie. The names and sizes are checked; the bytes were, when the disk was mounted.
bool ReadPackedEntries(HANDLE image, const PackedBlock& block, std::vector<StoredEntry>& entries)
{
    uint64_t at = block.payloadOffset;
    const uint64_t end = block.payloadOffset + block.payloadLength;
    for (uint32_t index = 0; index < block.entryCount; ++index) {
        PackedEntry packed;
        if (end - at < sizeof(packed) || !ReadAt(image, at, &packed, sizeof(packed)) || packed.nameUnits == 0 ||
            packed.nameUnits > kMaxNameUnits || (packed.kind != kEntryFolder && packed.kind != kEntryFile))
            return false;
        at += sizeof(packed);
        StoredEntry entry;
        entry.name.resize(packed.nameUnits);
        const DWORD nameBytes = packed.nameUnits * sizeof(wchar_t);
        if (end - at < nameBytes || !ReadAt(image, at, &entry.name[0], nameBytes) || !IsSafeName(entry.name))
            return false;
        at += nameBytes;
        const uint64_t size = packed.kind == kEntryFile ? packed.size : 0;
        if (end - at < size)
            return false;
        entry.fields.kind = packed.kind;
        entry.fields.attributes = packed.attributes;
        entry.fields.creationTime = packed.creationTime;
        entry.fields.lastWriteTime = packed.lastWriteTime;
        entry.fields.size = size;
        if (size > 0)
            entry.extents.push_back({at, size});
        entry.checksumKnown = false;
        at += size;
        entries.push_back(std::move(entry));
    }
    return at == end;
}

// Reads the image's blocks and, in the table form, its table. False when the image is not whole:
// then nothing of it may be shown, and nothing written over it.
bool ReadVolume(HANDLE image, const uint8_t* header, Volume& volume, Depth depth)
{
    const uint64_t length = LengthOf(image);
    const uint64_t nominal = ImageFile::NominalLength(header);
    // An image is never shorter than its header declares; one that is was cut short.
    if (nominal == 0 || length < nominal || length < kContentStart)
        return Damaged();

    enum class Kind { kEmpty, kPacked, kTable, kDamaged };
    Kind kinds[2];
    PackedBlock packed[2] = {};
    TableBlock tables[2] = {};
    uint64_t sequences[2] = {};
    for (int slot = 0; slot < 2; ++slot) {
        uint8_t sector[kBlockBytes];
        if (!ReadAt(image, kBlockOffsets[slot], sector, kBlockBytes))
            return Damaged();
        memcpy(&packed[slot], sector, sizeof(PackedBlock));
        memcpy(&tables[slot], sector, sizeof(TableBlock));
        const PackedBlock& p = packed[slot];
        const TableBlock& t = tables[slot];
        if (std::all_of(sector, sector + kBlockBytes, [](uint8_t b) { return b == 0; })) {
            kinds[slot] = Kind::kEmpty;
        } else if (memcmp(p.magic, kPackedMagic, 8) == 0 &&
                   p.blockCrc == Crc32::Of(&p, offsetof(PackedBlock, blockCrc)) && p.payloadOffset >= kContentStart &&
                   p.payloadLength <= length && p.payloadOffset <= length - p.payloadLength) {
            kinds[slot] = Kind::kPacked;
            sequences[slot] = p.sequence;
        } else if (memcmp(t.magic, kTableMagic, 8) == 0 &&
                   t.blockCrc == Crc32::Of(&t, offsetof(TableBlock, blockCrc)) && t.imageLength <= length &&
                   t.tableOffset >= kContentStart && t.tableLength <= kMaxTableBytes &&
                   t.tableOffset <= t.imageLength && t.tableLength <= t.imageLength - t.tableOffset) {
            kinds[slot] = Kind::kTable;
            sequences[slot] = t.sequence;
        } else {
            kinds[slot] = Kind::kDamaged;
        }
    }

    const bool valid[2] = {kinds[0] == Kind::kPacked || kinds[0] == Kind::kTable,
                           kinds[1] == Kind::kPacked || kinds[1] == Kind::kTable};
    if (!valid[0] && !valid[1]) {
        // Both empty: never written back, an empty disk, when nothing past the header says
        // otherwise. Anything else lost what its blocks named.
        if (kinds[0] != Kind::kEmpty || kinds[1] != Kind::kEmpty)
            return Damaged();
        if (depth == Depth::kBlocks || (length == nominal && IsZeroFrom(image, kBlockOffsets[0], length)))
            return true;
        return Damaged();
    }
    int current = valid[0] && (!valid[1] || sequences[0] >= sequences[1]) ? 0 : 1;
    const int other = 1 - current;
    // A damaged block beside a valid one: the table form writes both blocks alike, so the other
    // names the same table (or an older one only if a write-back ended between the two writes). The
    // packed form took turns between them, so the damaged one may well have been the newer.
    if (kinds[other] == Kind::kDamaged && kinds[current] == Kind::kPacked)
        return Damaged();

    volume.sequence = sequences[current];
    // The block that does not name the current content is the one to overwrite first.
    volume.olderSlot = valid[other] && sequences[other] == sequences[current] ? current : other;
    if (kinds[current] == Kind::kPacked) {
        volume.form = Volume::Form::kPacked;
        volume.packed = packed[current];
        volume.mark = {0, volume.packed.sequence, volume.packed.blockCrc};
        return depth != Depth::kEntries || ReadPackedEntries(image, volume.packed, volume.entries) || Damaged();
    }
    volume.form = Volume::Form::kTable;
    volume.table = tables[current];
    volume.mark = MarkOfBlock(volume.table);
    if (depth != Depth::kBlocks && !ReadTable(image, volume.table, volume.entries))
        return Damaged();
    return true;
}

bool OpenVolume(HANDLE image, Volume& volume, Depth depth)
{
    uint8_t header[ImageFile::kHeaderBytes];
    return ReadAt(image, 0, header, sizeof(header)) && ImageFile::IsHeader(header) &&
           ReadVolume(image, header, volume, depth);
}

KernelHandle OpenImage(const std::wstring& imagePath, DWORD flags)
{
    return KernelHandle(CreateFileW(FileTree::LongPath(imagePath).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr));
}

// The image opened to be written, unless its media refuses writes (the test knob says so).
KernelHandle OpenImageForWriting(const std::wstring& imagePath)
{
    if (TestSeam::HasFault("media-readonly")) {
        SetLastError(ERROR_WRITE_PROTECT);
        return KernelHandle();
    }
    return KernelHandle(CreateFileW(FileTree::LongPath(imagePath).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
}

// Reads an image front to back through a window of its own, so small neighbouring pieces cost one
// read between them.
class ImageReader {
public:
    explicit ImageReader(HANDLE image) : m_image(image), m_length(LengthOf(image)), m_window(kChunk) {}

    // Up to `want` bytes at `offset`; `got` = how many (0 when the image ends or cannot be read).
    const uint8_t* Get(uint64_t offset, uint64_t want, size_t& got)
    {
        got = 0;
        if (offset < m_start || offset >= m_start + m_filled) {
            if (offset >= m_length)
                return nullptr;
            const DWORD size = static_cast<DWORD>(std::min<uint64_t>(m_window.size(), m_length - offset));
            DWORD read = 0;
            if (!Seek(m_image, offset) || !ReadFile(m_image, m_window.data(), size, &read, nullptr) || read == 0)
                return nullptr;
            m_start = offset;
            m_filled = read;
        }
        const size_t at = static_cast<size_t>(offset - m_start);
        got = static_cast<size_t>(std::min<uint64_t>(want, m_filled - at));
        return m_window.data() + at;
    }

private:
    HANDLE m_image;
    uint64_t m_length;
    std::vector<uint8_t> m_window;
    uint64_t m_start = 0;
    size_t m_filled = 0;
};

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Writes the bytes to `file` while `checksum` feeds them to `crc`.
bool WriteChecksummed(HANDLE file, const uint8_t* bytes, size_t size, Crc32& crc, ChecksumThread& checksum)
{
    if (size < kChecksumAside) {
        crc.Update(bytes, size);
        return WriteAll(file, bytes, size);
    }
    checksum.Begin(crc, bytes, size);
    const bool written = WriteAll(file, bytes, size);
    checksum.Wait();
    return written;
}

bool CreateFolder(const std::wstring& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void SetFileTimes(HANDLE file, uint64_t creation, uint64_t lastWrite)
{
    const FILETIME created = ToFileTime(creation);
    const FILETIME written = ToFileTime(lastWrite);
    SetFileTime(file, &created, nullptr, &written);
}

// Folders last and innermost first: filling a folder moves its times.
void RestoreFolders(const std::vector<std::pair<std::wstring, TableEntry>>& folders)
{
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        KernelHandle handle(CreateFileW(it->first.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (handle)
            SetFileTimes(handle.Get(), it->second.creationTime, it->second.lastWriteTime);
        if (it->second.attributes & kRestorableAttributes)
            SetFileAttributesW(it->first.c_str(),
                               (it->second.attributes & kRestorableAttributes) | FILE_ATTRIBUTE_DIRECTORY);
    }
}

// Folders first, then the files in the order their bytes lie in the image (one pass over it),
// each checked against its checksum where it has one of its own.
bool ExtractTable(HANDLE image, const std::vector<StoredEntry>& entries, const std::wstring& folder)
{
    std::vector<std::pair<std::wstring, TableEntry>> folders;
    std::vector<const StoredEntry*> files;
    for (const StoredEntry& entry : entries) {
        if (entry.fields.kind == kEntryFolder) {
            const std::wstring path = FileTree::LongPath(folder + L"\\" + entry.name);
            if (!CreateFolder(path))
                return false;
            folders.emplace_back(path, entry.fields);
        } else {
            files.push_back(&entry);
        }
    }
    std::vector<Range> order;
    for (size_t i = 0; i < files.size(); ++i)
        order.push_back({files[i]->extents.empty() ? 0 : files[i]->extents.front().offset, i});
    SortRanges(order);
    ImageReader reader(image);
    ChecksumThread checksum;
    for (const Range& place : order) {
        const StoredEntry* entry = files[static_cast<size_t>(place.end)];
        const std::wstring path = FileTree::LongPath(folder + L"\\" + entry->name);
        // A new file, never one truncated: Wine truncates what it opens to be replaced, and ext4
        // then writes such a file out to the disk when it is closed, which the open would wait for.
        KernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
        if (!file)
            return false;
        Crc32 crc;
        for (const Extent& extent : entry->extents) {
            for (uint64_t done = 0; done < extent.length;) {
                size_t got = 0;
                const uint8_t* bytes = reader.Get(extent.offset + done, std::min<uint64_t>(extent.length - done, kChunk), got);
                if (!bytes || got == 0 || !WriteChecksummed(file.Get(), bytes, got, crc, checksum))
                    return false;
                done += got;
            }
        }
        if (entry->checksumKnown && crc.Value() != entry->fields.dataCrc) {
            SetLastError(ERROR_FILE_CORRUPT);
            return false;
        }
        SetFileTimes(file.Get(), entry->fields.creationTime, entry->fields.lastWriteTime);
        file.Reset();
        if (entry->fields.attributes & kRestorableAttributes)
            SetFileAttributesW(path.c_str(), entry->fields.attributes & kRestorableAttributes);
    }
    RestoreFolders(folders);
    return true;
}

// The packed form's one checksum, over all it holds, before anything of it is shown.
bool PackedCopyIsWhole(HANDLE image, const PackedBlock& block)
{
    ImageReader reader(image);
    Crc32 crc;
    for (uint64_t done = 0; done < block.payloadLength;) {
        size_t got = 0;
        const uint8_t* bytes = reader.Get(block.payloadOffset + done, std::min<uint64_t>(block.payloadLength - done, kChunk), got);
        if (!bytes || got == 0)
            return false;
        crc.Update(bytes, got);
        done += got;
    }
    return crc.Value() == block.payloadCrc;
}

// Space the current content uses, whole clusters, in order and merged.
std::vector<Range> UsedRanges(const Volume& volume)
{
    std::vector<Range> used;
    if (volume.form == Volume::Form::kPacked) {
        used.push_back({volume.packed.payloadOffset, volume.packed.payloadOffset + volume.packed.payloadLength});
    } else if (volume.form == Volume::Form::kTable) {
        used.push_back({volume.table.tableOffset, volume.table.tableOffset + volume.table.tableLength});
        for (const StoredEntry& entry : volume.entries)
            for (const Extent& extent : entry.extents)
                used.push_back({extent.offset, extent.offset + extent.length});
    }
    for (Range& range : used) {
        range.begin = range.begin / kCluster * kCluster;
        range.end = RoundUp(range.end);
    }
    SortRanges(used);
    std::vector<Range> merged;
    for (const Range& range : used) {
        if (range.end == range.begin)
            continue;
        if (!merged.empty() && range.begin <= merged.back().end)
            merged.back().end = std::max(merged.back().end, range.end);
        else
            merged.push_back(range);
    }
    return merged;
}

void AddUsed(std::vector<Range>& used, const std::vector<Range>& more)
{
    used.insert(used.end(), more.begin(), more.end());
    SortRanges(used);
}

// Room for `bytes` that the content in `used` does not touch: the free gaps inside the nominal
// size when they hold it all (one gap when `contiguous`), else one run past everything. Content
// too big for the gaps goes whole past the end, so that the data area stays free and the next
// content that fits there lets the file shrink back.
std::vector<Range> Allocate(uint64_t bytes, const std::vector<Range>& used, uint64_t nominal, bool contiguous)
{
    std::vector<Range> runs;
    if (bytes == 0)
        return runs;
    const uint64_t need = RoundUp(bytes);
    const uint64_t limit = nominal / kCluster * kCluster;
    std::vector<Range> gaps;
    uint64_t cursor = kContentStart;
    uint64_t usedEnd = kContentStart;
    for (const Range& range : used) {
        if (range.begin > cursor && cursor < limit)
            gaps.push_back({cursor, std::min(range.begin, limit)});
        cursor = std::max(cursor, range.end);
        usedEnd = std::max(usedEnd, range.end);
    }
    if (cursor < limit)
        gaps.push_back({cursor, limit});
    uint64_t found = 0;
    for (const Range& gap : gaps) {
        const uint64_t size = gap.end - gap.begin;
        if (contiguous) {
            if (size >= need)
                return {{gap.begin, gap.begin + need}};
            continue;
        }
        const uint64_t take = std::min(size, need - found);
        runs.push_back({gap.begin, gap.begin + take});
        found += take;
        if (found == need)
            return runs;
    }
    const uint64_t start = RoundUp(std::max(usedEnd, nominal));
    return {{start, start + need}};
}

// Writes a stream of bytes across the runs given to it, in pieces of up to 4 MiB, and tells the
// extents each part of it landed in. Knows the file's length before the write-back, for the
// full-disk knob.
class RunWriter {
public:
    RunWriter(HANDLE image, std::vector<Range> runs, uint64_t limit, uint64_t pauseAt)
        : m_image(image), m_runs(std::move(runs)), m_limit(limit), m_pauseAt(pauseAt)
    {
        m_buffer.reserve(kChunk);
    }

    bool Put(const void* data, size_t size, std::vector<Extent>* extents)
    {
        const auto* in = static_cast<const uint8_t*>(data);
        while (size > 0) {
            if (m_run < m_runs.size() && m_inRun == m_runs[m_run].end - m_runs[m_run].begin) {
                if (!Drain())
                    return false;
                ++m_run;
                m_inRun = 0;
            }
            if (m_run >= m_runs.size())
                return false;   // more bytes than were allotted
            const uint64_t here = m_runs[m_run].begin + m_inRun;
            const size_t take = static_cast<size_t>(
                std::min<uint64_t>({size, m_runs[m_run].end - here, kChunk - m_buffer.size()}));
            if (m_buffer.empty())
                m_bufferStart = here;
            if (extents) {
                if (!extents->empty() && extents->back().offset + extents->back().length == here)
                    extents->back().length += take;
                else
                    extents->push_back({here, take});
            }
            m_buffer.insert(m_buffer.end(), in, in + take);
            in += take;
            size -= take;
            m_inRun += take;
            if (m_buffer.size() == kChunk && !Drain())
                return false;
        }
        return true;
    }

    bool Finish() { return Drain(); }

private:
    bool Drain()
    {
        if (m_buffer.empty())
            return true;
        if (m_bufferStart + m_buffer.size() > m_limit) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        if (!Seek(m_image, m_bufferStart) || !WriteAll(m_image, m_buffer.data(), m_buffer.size()))
            return false;
        m_done += m_buffer.size();
        m_buffer.clear();
        if (!m_paused && m_pauseAt && m_done >= m_pauseAt) {
            m_paused = true;
            TestSeam::PauseWriteBackIfAsked("data");
        }
        return true;
    }

    HANDLE m_image;
    std::vector<Range> m_runs;
    uint64_t m_limit;
    uint64_t m_pauseAt;
    size_t m_run = 0;
    uint64_t m_inRun = 0;
    std::vector<uint8_t> m_buffer;
    uint64_t m_bufferStart = 0;
    uint64_t m_done = 0;
    bool m_paused = false;
};

// Copies one file of the mounted disk into the stream, checksumming it.
bool WriteFileData(RunWriter& writer, const std::wstring& path, uint64_t size, std::vector<uint8_t>& chunk,
                   ChecksumThread& checksum, StoredEntry& entry)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    Crc32 crc;
    for (uint64_t left = size; left > 0;) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(left, chunk.size()));
        DWORD read = 0;
        // A file that shrank since the scan would leave the copy short: give up instead.
        if (!ReadFile(file.Get(), chunk.data(), want, &read, nullptr) || read != want)
            return false;
        bool put = false;
        if (read < kChecksumAside) {
            crc.Update(chunk.data(), read);
            put = writer.Put(chunk.data(), read, &entry.extents);
        } else {
            checksum.Begin(crc, chunk.data(), read);
            put = writer.Put(chunk.data(), read, &entry.extents);
            checksum.Wait();
        }
        if (!put)
            return false;
        left -= read;
    }
    entry.fields.dataCrc = crc.Value();
    return true;
}

bool ChecksumOf(const std::wstring& path, uint64_t size, uint32_t& checksum)
{
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return false;
    std::vector<uint8_t> chunk(static_cast<size_t>(std::min<uint64_t>(size, kChunk)));
    Crc32 crc;
    for (uint64_t left = size; left > 0;) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(left, chunk.size()));
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk.data(), want, &read, nullptr) || read != want)
            return false;
        crc.Update(chunk.data(), read);
        left -= read;
    }
    checksum = crc.Value();
    return true;
}

std::vector<uint8_t> TableBytes(const std::vector<StoredEntry>& entries)
{
    std::vector<uint8_t> bytes;
    auto put = [&bytes](const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    for (const StoredEntry& entry : entries) {
        TableEntry fields = entry.fields;
        fields.nameUnits = static_cast<uint32_t>(entry.name.size());
        fields.extentCount = static_cast<uint32_t>(entry.extents.size());
        put(&fields, sizeof(fields));
        put(entry.name.data(), entry.name.size() * sizeof(wchar_t));
        if (!entry.extents.empty())
            put(entry.extents.data(), entry.extents.size() * sizeof(Extent));
    }
    return bytes;
}

bool WriteBlock(HANDLE image, int slot, const TableBlock& block)
{
    uint8_t sector[kBlockBytes] = {};
    memcpy(sector, &block, sizeof(block));
    return Seek(image, kBlockOffsets[slot]) && WriteAll(image, sector, kBlockBytes) && FlushFileBuffers(image);
}

// Makes `block` current: the block that names older content first, so that until the second
// write the other still names the current content whole.
bool CommitBlock(HANDLE image, const Volume& volume, const TableBlock& block)
{
    if (!WriteBlock(image, volume.olderSlot, block))
        return false;
    TestSeam::PauseWriteBackIfAsked("blocks");
    WriteBlock(image, 1 - volume.olderSlot, block);
    return true;
}

}  // namespace

void VolumeStore::FirstBlocks(uint64_t imageLength, uint8_t (&blocks)[kBlocksBytes])
{
    static_assert(kBlocksAt == kBlockOffsets[0] && kBlocksBytes == 2 * kBlockBytes, "the two blocks");
    TableBlock block = {};
    memcpy(block.magic, kTableMagic, sizeof(kTableMagic));
    block.sequence = 1;
    block.tableOffset = kContentStart;
    block.tableCrc = Crc32::Of(nullptr, 0);
    block.imageLength = imageLength;
    block.volumeId = NewVolumeId();
    SealBlock(block);
    memset(blocks, 0, sizeof blocks);
    memcpy(blocks, &block, sizeof block);
    memcpy(blocks + kBlockBytes, &block, sizeof block);
}

bool VolumeStore::IsWhole(const std::wstring& imagePath)
{
    KernelHandle image = OpenImage(imagePath, FILE_ATTRIBUTE_NORMAL);
    Volume volume;
    return image && OpenVolume(image.Get(), volume, Depth::kTable);
}

bool VolumeStore::MarkOf(const std::wstring& imagePath, VolumeMark& mark)
{
    KernelHandle image = OpenImage(imagePath, FILE_ATTRIBUTE_NORMAL);
    Volume volume;
    if (!image || !OpenVolume(image.Get(), volume, Depth::kBlocks))
        return false;
    mark = volume.mark;
    return true;
}

bool VolumeStore::GiveIdentity(const std::wstring& imagePath, VolumeMark& mark)
{
    if (mark.id != 0)
        return true;
    KernelHandle image = OpenImageForWriting(imagePath);
    Volume volume;
    // The blocks alone: the content they name was just read whole.
    if (!image || !OpenVolume(image.Get(), volume, Depth::kBlocks) || volume.mark != mark)
        return false;
    if (volume.form == Volume::Form::kPacked)
        return true;
    TableBlock block = volume.table;
    if (volume.form == Volume::Form::kNeverWritten) {
        uint8_t header[ImageFile::kHeaderBytes];
        if (!ReadAt(image.Get(), 0, header, sizeof header))
            return false;
        uint8_t first[kBlocksBytes];
        FirstBlocks(ImageFile::NominalLength(header), first);
        memcpy(&block, first, sizeof block);
    } else {
        block.sequence = volume.sequence + 1;
        block.volumeId = NewVolumeId();
        SealBlock(block);
    }
    if (!CommitBlock(image.Get(), volume, block))
        return false;
    mark = MarkOfBlock(block);
    return true;
}

bool VolumeStore::Unpack(const std::wstring& imagePath, const std::wstring& folder)
{
    KernelHandle image = OpenImage(imagePath, FILE_FLAG_SEQUENTIAL_SCAN);
    Volume volume;
    if (!image || !OpenVolume(image.Get(), volume, Depth::kEntries))
        return false;
    if (volume.form == Volume::Form::kPacked && !PackedCopyIsWhole(image.Get(), volume.packed)) {
        SetLastError(ERROR_FILE_CORRUPT);
        return false;
    }
    // An image never written back has no entries: an empty disk.
    return ExtractTable(image.Get(), volume.entries, folder);
}

bool VolumeStore::Pack(const std::wstring& imagePath, const std::wstring& folder, const std::vector<TreeEntry>& entries,
                       const WriteBackTarget& target)
{
    KernelHandle image = OpenImageForWriting(imagePath);
    if (!image)
        return false;
    uint8_t header[ImageFile::kHeaderBytes];
    Volume volume;
    if (!ReadAt(image.Get(), 0, header, sizeof(header)) || !ImageFile::IsHeader(header) ||
        !ReadVolume(image.Get(), header, volume, Depth::kEntries))
        return false;
    // Another volume, or this one changed by something else since: not the disk's to write over.
    if (!target.from.empty() && std::find(target.from.begin(), target.from.end(), volume.mark) == target.from.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    const uint64_t lengthBefore = LengthOf(image.Get());
    const uint64_t nominal = ImageFile::NominalLength(header);

    // A file untouched since the mount (its stamp, change time included, is one taken then) whose
    // size and last write are those the table holds keeps its extents; the others are written
    // anew. Size and last write alone can be put back by a program that changed the file.
    std::vector<Range> stored;   // name key, index
    for (size_t i = 0; i < volume.entries.size(); ++i)
        if (volume.entries[i].fields.kind == kEntryFile)
            stored.push_back({NameKey(volume.entries[i].name), i});
    SortRanges(stored);
    auto storedFile = [&](const std::wstring& name) -> const StoredEntry* {
        const uint64_t key = NameKey(name);
        for (auto it = std::lower_bound(stored.begin(), stored.end(), Range{key, 0}, ByBegin);
             it != stored.end() && it->begin == key; ++it)
            if (volume.entries[static_cast<size_t>(it->end)].name == name)
                return &volume.entries[static_cast<size_t>(it->end)];
        return nullptr;
    };
    std::vector<StoredEntry> next(entries.size());
    std::vector<size_t> changed;
    uint64_t changedBytes = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const TreeEntry& entry = entries[i];
        StoredEntry& out = next[i];
        out.name = entry.relativePath;
        out.fields.kind = entry.isFolder ? kEntryFolder : kEntryFile;
        out.fields.attributes = entry.attributes;
        out.fields.creationTime = ToU64(entry.creationTime);
        out.fields.lastWriteTime = ToU64(entry.lastWriteTime);
        out.fields.size = entry.isFolder ? 0 : entry.size;
        if (entry.isFolder || entry.size == 0)
            continue;
        const StoredEntry* found = storedFile(entry.relativePath);
        if (found && found->fields.size == entry.size && found->fields.lastWriteTime == out.fields.lastWriteTime &&
            std::binary_search(target.unchanged.begin(), target.unchanged.end(), FileTree::Stamp(entry))) {
            out.extents = found->extents;
            out.fields.dataCrc = found->fields.dataCrc;
            // The mounted copy holds the same bytes: read, not written.
            if (!found->checksumKnown &&
                !ChecksumOf(FileTree::LongPath(folder + L"\\" + entry.relativePath), entry.size, out.fields.dataCrc))
                return false;
        } else {
            changed.push_back(i);
            changedBytes += entry.size;
        }
    }
    for (StoredEntry& entry : next)
        if (entry.fields.kind == kEntryFile && entry.fields.size == 0)
            entry.fields.dataCrc = Crc32::Of(nullptr, 0);

    std::vector<Range> used = UsedRanges(volume);
    const std::vector<Range> dataRuns = Allocate(changedBytes, used, nominal, false);
    const uint64_t limit = TestSeam::HasFault("disk-full") ? lengthBefore : UINT64_MAX;
    auto fail = [&]() {
        const DWORD error = GetLastError();
        if (LengthOf(image.Get()) > lengthBefore)
            Truncate(image.Get(), lengthBefore);
        SetLastError(error);
        return false;
    };

    // The changed files, in the order of the scan, into space the current content does not use.
    RunWriter writer(image.Get(), dataRuns, limit, changedBytes / 2 ? changedBytes / 2 : 0);
    std::vector<uint8_t> chunk(kChunk);
    ChecksumThread checksum;
    for (size_t index : changed)
        if (!WriteFileData(writer, FileTree::LongPath(folder + L"\\" + entries[index].relativePath),
                           entries[index].size, chunk, checksum, next[index]))
            return fail();
    if (!writer.Finish())
        return fail();

    const std::vector<uint8_t> table = TableBytes(next);
    AddUsed(used, dataRuns);
    const std::vector<Range> tableRun = Allocate(table.size(), used, nominal, true);
    TableBlock block = {};
    memcpy(block.magic, kTableMagic, sizeof(kTableMagic));
    block.sequence = volume.sequence + 1;
    block.tableOffset = tableRun.empty() ? kContentStart : tableRun.front().begin;
    block.tableLength = table.size();
    block.tableCrc = Crc32::Of(table.data(), table.size());
    block.entryCount = static_cast<uint32_t>(next.size());
    uint64_t end = nominal;
    for (const StoredEntry& entry : next)
        for (const Extent& extent : entry.extents)
            end = std::max(end, extent.offset + extent.length);
    block.imageLength = std::max(end, block.tableOffset + block.tableLength);
    // A volume without an id yet (an older image) gets one now.
    block.volumeId = volume.mark.id ? volume.mark.id : NewVolumeId();
    SealBlock(block);
    if (!table.empty()) {
        if (block.tableOffset + table.size() > limit) {
            SetLastError(ERROR_DISK_FULL);
            return fail();
        }
        if (!Seek(image.Get(), block.tableOffset) || !WriteAll(image.Get(), table.data(), table.size()))
            return fail();
    }
    if (!FlushFileBuffers(image.Get()))
        return fail();
    TestSeam::PauseWriteBackIfAsked("commit");

    if ((target.committing && !target.committing(MarkOfBlock(block))) || !CommitBlock(image.Get(), volume, block))
        return fail();

    // Space past what the new content needs is no longer anybody's.
    if (LengthOf(image.Get()) > block.imageLength)
        Truncate(image.Get(), block.imageLength);
    return true;
}

}  // namespace outside
