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
