#include "TIniFile.h"

#include <windows.h>

#include "ProfileSection.h"


namespace {
constexpr DWORD kValueBufferSize = 2048;
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
                                                   value ? ProfileValue(value, kValueBufferSize) : std::string());
        },
        &values);
    return values;
}
