#include "Tsk2SkinFileReader.h"

#include "SkinTempFile.h"
#include "SkinZip.h"

#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

namespace {

const char kSkinDataEntry[] = "SKINDATA.SK2";
constexpr size_t kRecordSize = 77;
constexpr size_t kRecordNameSize = 64;
constexpr size_t kHeaderLengthAt = 12;
constexpr size_t kFirstRecordAt = 20;
constexpr size_t kSmallestHeader = 24;
constexpr size_t kLargestHeader = 1024;      // the header is held in a fixed record
constexpr size_t kMostRecords = 65536;
enum RecordKind : uint8_t { rkBitmap = 0, rkInteger = 1, rkFlag = 2, rkText = 3 };

uint32_t Get32(const std::string& b, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(b[at + static_cast<size_t>(i)]);
    return v;
}

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && _stricmp(a.c_str(), b.c_str()) == 0;
}

// The value of "NAME=value" lines for a name, compared without regard to case.
bool ValueOf(const std::vector<std::string>& lines, const std::string& name, std::string& value)
{
    for (const std::string& line : lines) {
        size_t eq = line.find('=');
        if (eq != std::string::npos && SameName(line.substr(0, eq), name)) {
            value = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || !end || *end)
        return false;
    value = v;
    return true;
}

bool InFile(size_t offset, size_t length, size_t size)
{
    return offset <= size && size - offset >= length;
}

}  // namespace

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::string& path, const std::string& password)
{
    ReadSkinFile(path, password);
}

void Tsk2SkinFileReader::ReadSkinFile(const std::string& path, const std::string& password)
{
    m_loaded = false;
    std::string output = TempFolderPath() + NewGuidText();
    int result = ExtractZipEntry(path, kSkinDataEntry, output, password);
    if (result == zePasswordOrSize)
        return;
    if (result != zeExtracted)
        throw TSkinReadError();
    std::string data;
    bool read = ReadWholeFile(output, data, kLargestSkinEntry);
    DeleteFileA(output.c_str());
    if (!read)
        throw TSkinReadError();
    ReadSkinData(data);
    m_loaded = true;
}

void Tsk2SkinFileReader::ReadSkinData(const std::string& data)
{
    if (data.size() < kSmallestHeader)
        throw TSkinReadError();
    size_t headerLength = Get32(data, kHeaderLengthAt);
    if (headerLength < kSmallestHeader || headerLength > kLargestHeader || headerLength > data.size())
        throw TSkinReadError();
    size_t record = Get32(data, kFirstRecordAt);
    std::set<size_t> visited;
    for (;;) {
        if (!InFile(record, kRecordSize, data.size()) || !visited.insert(record).second ||
            visited.size() > kMostRecords)
            throw TSkinReadError();     // outside the data, or a chain that loops
        size_t next = Get32(data, record + 73);
        if (next == 0)
            break;                      // the last record carries no entry
        const char* nameField = data.data() + record;
        const void* nul = std::memchr(nameField, '\0', kRecordNameSize);
        if (!nul)
            throw TSkinReadError();     // a name longer than its field
        std::string name(nameField, static_cast<const char*>(nul));
        uint8_t kind = static_cast<uint8_t>(data[record + 64]);
        size_t offset = Get32(data, record + 65);
        size_t size = Get32(data, record + 69);
        switch (kind) {
        case rkBitmap: {
            if (!InFile(offset, size, data.size()))
                throw TSkinReadError();
            auto bitmap = std::make_unique<TBitmap>();
            if (!bitmap->LoadFromBitmapFile(data.data() + offset, size))
                throw TSkinReadError();
            m_bitmaps.emplace_back(name, std::move(bitmap));
            break;
        }
        case rkInteger:
            if (size > 4 || !InFile(offset, 4, data.size()))
                throw TSkinReadError();
            m_integers.push_back(name + "=" + std::to_string(static_cast<int32_t>(Get32(data, offset))));
            break;
        case rkFlag:
            if (size > 1 || !InFile(offset, 1, data.size()))
                throw TSkinReadError();
            m_flags.push_back(name + "=" + std::to_string(static_cast<uint8_t>(data[offset])));
            break;
        case rkText:
            if (!InFile(offset, size, data.size()))
                throw TSkinReadError();
            m_texts.push_back(name + "=" + data.substr(offset, size));
            break;
        default:
            break;
        }
        record = next;
    }
}

TBitmap* Tsk2SkinFileReader::FindBitmap(const std::string& name) const
{
    for (const auto& entry : m_bitmaps)
        if (SameName(entry.first, name))
            return entry.second.get();
    return nullptr;
}

long Tsk2SkinFileReader::FindInteger(const std::string& name) const
{
    std::string text;
    long value;
    return ValueOf(m_integers, name, text) && ParseNumber(text, value) ? value : -1;
}

long Tsk2SkinFileReader::FindFlag(const std::string& name) const
{
    std::string text;
    long value;
    return ValueOf(m_flags, name, text) && ParseNumber(text, value) ? value : 0;
}

std::string Tsk2SkinFileReader::FindText(const std::string& name) const
{
    std::string text;
    return ValueOf(m_texts, name, text) ? text : std::string();
}
