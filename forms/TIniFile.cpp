#include "TIniFile.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {
constexpr DWORD kValueBufferSize = 2048;
constexpr DWORD kSectionBufferSize = 32768;   // the most a section held on the oldest systems

// As ReadString returns a value: one pair of matching quotes around it taken off, cut to the
// length its buffer holds.
std::string AsReadStringGivesIt(const char* value)
{
    std::string text(value);
    if (text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0])
        text = text.substr(1, text.size() - 2);
    if (text.size() > kValueBufferSize - 1)
        text.resize(kValueBufferSize - 1);
    return text;
}
}  // namespace

bool TIniFile::KeyLess::operator()(const std::string& a, const std::string& b) const
{
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const
{
    char buffer[kValueBufferSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                            kValueBufferSize, m_path.c_str());
    return std::string(buffer, length);
}

TIniFile::Values TIniFile::ReadSectionValues(const std::string& section) const
{
    std::vector<char> buffer(kSectionBufferSize);
    DWORD length;
    // A section that did not fit comes back cut at size - 2: read again into a larger buffer.
    while ((length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                               m_path.c_str())) == buffer.size() - 2)
        buffer.resize(buffer.size() * 2);
    Values values;
    for (const char* entry = buffer.data(); entry < buffer.data() + length && *entry; entry += std::strlen(entry) + 1) {
        const char* equals = std::strchr(entry, '=');
        const std::string key = equals ? std::string(entry, equals) : std::string(entry);
        // The first of two equal keys is the one ReadString finds.
        values.emplace(key, equals ? AsReadStringGivesIt(equals + 1) : std::string());
    }
    return values;
}
