#include "TIniFile.h"

#include <windows.h>

#include "ProfileSection.h"


namespace {
constexpr DWORD kValueBufferSize = 2048;

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
    Values values;
    // The first of two equal keys is the one ReadString finds.
    ReadProfileSection(
        m_path, section,
        [](const char* key, size_t keyLength, const char* value, void* context) {
            static_cast<Values*>(context)->emplace(std::string(key, keyLength),
                                                   value ? AsReadStringGivesIt(value) : std::string());
        },
        &values);
    return values;
}
