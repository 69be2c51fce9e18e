#include "ProfileSection.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

constexpr DWORD kFirstSectionBuffer = 32 * 1024;
constexpr DWORD kLargestSectionBuffer = 1024 * 1024;

}  // namespace

void ReadProfileSection(const std::string& file, const std::string& section, ProfileLineVisitor visit,
                        void* context)
{
    std::vector<char> buffer;
    DWORD length = 0;
    for (DWORD size = kFirstSectionBuffer; size <= kLargestSectionBuffer; size *= 2) {
        buffer.assign(size, '\0');
        length = GetPrivateProfileSectionA(section.c_str(), buffer.data(), size, file.c_str());
        if (length < size - 2)
            break;      // size - 2 means it was cut
    }
    // "key=value" lines, each ending in a null.
    for (const char* line = buffer.data(); line < buffer.data() + length && *line; line += std::strlen(line) + 1) {
        const char* equals = std::strchr(line, '=');
        visit(line, equals ? static_cast<size_t>(equals - line) : std::strlen(line), equals ? equals + 1 : nullptr,
              context);
    }
}

std::string ProfileValue(const std::string& raw, size_t bufferChars)
{
    const size_t most = bufferChars > 0 ? bufferChars - 1 : 0;
    const bool quoted = raw.size() > 1 && (raw[0] == '"' || raw[0] == '\'') && raw.back() == raw[0];
    const size_t from = quoted ? 1 : 0;
    const size_t whole = raw.size() - from;     // the closing quote still on
    size_t length = whole < most ? whole : most;
    if (quoted && whole <= most + 1 && length > 0)
        --length;
    return raw.substr(from, length);
}
