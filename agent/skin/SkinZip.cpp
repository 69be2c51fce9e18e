#include "SkinZip.h"

#include "Inflater.h"
#include "PkwareDecrypter.h"
#include "SkinTempFile.h"

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <vector>

namespace {

constexpr uint32_t kEndOfDirectory = 0x06054B50;
constexpr uint32_t kDirectoryRecord = 0x02014B50;
constexpr uint32_t kLocalHeader = 0x04034B50;
constexpr uint32_t kSkinFirstLocalHeader = 0x04034B53;
constexpr size_t kEndOfDirectorySize = 22;
constexpr size_t kDirectoryRecordSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kEncryptionHeaderSize = 12;
constexpr size_t kLongestEntryName = 260;
constexpr uint16_t kFlagEncrypted = 1;
constexpr uint16_t kFlagDataDescriptor = 8;

uint16_t Get16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | (static_cast<uint8_t>(b[at + 1]) << 8));
}

uint32_t Get32(const std::string& b, size_t at)
{
    return static_cast<uint32_t>(Get16(b, at)) | (static_cast<uint32_t>(Get16(b, at + 2)) << 16);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct EntryInfo {
    uint16_t flags = 0;
    uint16_t modTime = 0;
    uint32_t crc = 0;
    uint32_t compressedSize = 0;
    uint32_t size = 0;
    uint32_t localOffset = 0;
};

bool FindEntry(const std::string& archive, const std::string& wanted, EntryInfo& info)
{
    size_t end = archive.size() - kEndOfDirectorySize;
    size_t pos = Get32(archive, end + 16);
    std::string name = Upper(wanted);
    // The records end at the end-of-directory record; each one must lie wholly before it.
    while (pos <= end && end - pos >= kDirectoryRecordSize && Get32(archive, pos) == kDirectoryRecord) {
        size_t nameLength = Get16(archive, pos + 28);
        size_t extraLength = Get16(archive, pos + 30);
        size_t commentLength = Get16(archive, pos + 32);
        if (nameLength > kLongestEntryName)
            return false;
        size_t next = pos + kDirectoryRecordSize + nameLength + extraLength + commentLength;
        if (next > end)
            return false;
        if (Upper(archive.substr(pos + kDirectoryRecordSize, nameLength)) == name) {
            info.flags = Get16(archive, pos + 8);
            info.modTime = Get16(archive, pos + 12);
            info.crc = Get32(archive, pos + 16);
            info.compressedSize = Get32(archive, pos + 20);
            info.size = Get32(archive, pos + 24);
            info.localOffset = Get32(archive, pos + 42);
            return true;
        }
        pos = next;
    }
    return false;
}

int Extract(const std::string& archivePath, const std::string& entryName, const std::string& outputPath,
            const std::string& password)
{
    std::string archive;
    if (!ReadWholeFile(archivePath, archive, kLargestSkinArchive))
        return zeFailed;
    if (archive.size() < kEndOfDirectorySize || archive[0] != 'S' || archive[1] != 'K')
        return zeFailed;
    size_t end = archive.size() - kEndOfDirectorySize;
    if (Get32(archive, end) != kEndOfDirectory || Get16(archive, end + 20) != 0)
        return zeFailed;
    EntryInfo info;
    if (!FindEntry(archive, entryName, info))
        return zeFailed;
    if (info.size > kLargestSkinEntry)
        return zePasswordOrSize;

    size_t local = info.localOffset;
    // The first local header starts the archive, so its signature begins "SK" too.
    if (local > end || end - local < kLocalHeaderSize || (Get32(archive, local) != kLocalHeader &&
                                                          Get32(archive, local) != kSkinFirstLocalHeader))
        return zeFailed;
    size_t dataStart = local + kLocalHeaderSize + Get16(archive, local + 26) + Get16(archive, local + 28);
    if (dataStart > archive.size() || archive.size() - dataStart < info.compressedSize)
        return zeFailed;
    std::vector<uint8_t> data(archive.begin() + static_cast<std::ptrdiff_t>(dataStart),
                              archive.begin() + static_cast<std::ptrdiff_t>(dataStart + info.compressedSize));

    size_t skip = 0;
    if (info.flags & kFlagEncrypted) {
        if (password.empty() || data.size() < kEncryptionHeaderSize)
            return zePasswordOrSize;
        PkwareDecrypter decrypter(password);
        decrypter.Decrypt(data.data(), data.size());
        uint8_t check = (info.flags & kFlagDataDescriptor) ? static_cast<uint8_t>(info.modTime >> 8)
                                                           : static_cast<uint8_t>(info.crc >> 24);
        if (data[kEncryptionHeaderSize - 1] != check)
            return zePasswordOrSize;
        skip = kEncryptionHeaderSize;
    }

    // Output past the declared size is refused at once; a shorter one is a size mismatch.
    Inflater inflater(data.data() + skip, data.size() - skip, info.size);
    Inflater::Result r = inflater.Run();
    const std::vector<uint8_t>& out = inflater.Output();
    if (r == Inflater::TooLarge)
        return zePasswordOrSize;
    if (out.empty())
        return zeFailed;
    if (r != Inflater::Done)
        return zeFailed;
    if (out.size() != info.size)
        return zePasswordOrSize;
    if (!WriteWholeFile(outputPath, out.data(), out.size()))
        return zeFailed;
    return zeExtracted;
}

}  // namespace

int ExtractZipEntry(const std::string& archivePath, const std::string& entryName, const std::string& outputPath,
                    const std::string& password)
{
    int result = Extract(archivePath, entryName, outputPath, password);
    if (result != zeExtracted)
        DeleteFileA(outputPath.c_str());
    return result;
}
