#pragma once
// Reading one INI file by section and key.
#include <map>
#include <string>

class TIniFile {
public:
    // Keys compare as the profile functions compare them: without regard to case.
    struct KeyLess {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    using Values = std::map<std::string, std::string, KeyLess>;

    explicit TIniFile(const std::string& path) : m_path(path) {}

    // The value, up to 2047 characters, or `defaultValue` when the file or key is missing.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Every key of the section with the value ReadString gives for it, from one read of the file
    // (each ReadString reads the whole file again); empty when the file or section is missing.
    Values ReadSectionValues(const std::string& section) const;

private:
    std::string m_path;
};
