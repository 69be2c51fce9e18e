#pragma once
// Reading one INI file by section and key.
#include <string>

class TIniFile {
public:
    explicit TIniFile(const std::string& path) : m_path(path) {}

    // The value, up to 2047 characters, or `defaultValue` when the file or key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;

private:
    std::string m_path;
};
