#include "TIniFile.h"

#include <windows.h>

namespace {
constexpr DWORD kValueBufferSize = 2048;
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const
{
    char buffer[kValueBufferSize];
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer,
                                            kValueBufferSize, m_path.c_str());
    return std::string(buffer, length);
}
