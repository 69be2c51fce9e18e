#include "LanguageFixture.h"

#include "Paths.h"

#include <windows.h>

#include <cstring>

namespace harness {

namespace {

// A double-NUL-terminated list as GetPrivateProfileSectionNames / GetPrivateProfileSection give it.
std::vector<std::string> SplitNulList(const std::vector<char>& buffer)
{
    std::vector<std::string> items;
    for (const char* p = buffer.data(); *p; p += strlen(p) + 1)
        items.emplace_back(p);
    return items;
}

std::vector<char> ReadProfileList(const std::string& file, const char* section)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD n = section ? GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                      file.c_str())
                          : GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()),
                                                           file.c_str());
        if (n < buffer.size() - 2)
            break;
        buffer.resize(buffer.size() * 2);
    }
    return buffer;
}

}  // namespace

bool WriteLanguageFile(const std::string& path, const std::vector<LanguageEntry>& entries)
{
    std::string text;
    std::string current;
    bool first = true;
    for (const LanguageEntry& e : entries) {
        if (first || e.section != current) {
            text += (first ? "[" : "\r\n[") + e.section + "]\r\n";
            current = e.section;
            first = false;
        }
        text += e.key + "=" + e.value + "\r\n";
    }
    return WriteFileBytes(path, text);
}

std::vector<std::string> ConversionsOf(const std::string& text)
{
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        size_t j = i + 1;
        while (j < text.size() && strchr("-+ #0123456789.lhI", text[j]))
            ++j;
        if (j >= text.size())
            break;
        if (text[j] != '%')
            found.push_back(text.substr(i, j - i + 1));
        i = j;
    }
    return found;
}

std::string EchoText(const std::string& section, const std::string& key) { return section + "." + key; }

bool WriteEchoLanguageFile(const std::string& source, const std::string& target)
{
    if (!FileExists(source))
        return false;
    std::vector<LanguageEntry> entries;
    for (const std::string& section : SplitNulList(ReadProfileList(source, nullptr))) {
        for (const std::string& line : SplitNulList(ReadProfileList(source, section.c_str()))) {
            size_t eq = line.find('=');
            if (eq == std::string::npos)
                continue;
            std::string key = line.substr(0, eq);
            std::string echo = EchoText(section, key);
            for (const std::string& conversion : ConversionsOf(line.substr(eq + 1)))
                echo += " " + conversion;
            entries.push_back({section, key, echo});
        }
    }
    return WriteLanguageFile(target, entries);
}

}  // namespace harness
