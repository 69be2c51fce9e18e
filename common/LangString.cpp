#include "LangString.h"

#include <windows.h>

#include "ProfileSection.h"

#include <cctype>
#include <map>
#include <vector>

namespace {


std::string Lowered(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The language file's sections, each read once with GetPrivateProfileSection: the profile API
// opens and checks the file again at every lookup (under Wine some five server round trips each,
// and a wizard page reads a few dozen texts). A change of the file's size or time drops them all.
class SectionCache {
public:
    // The raw value of key in section as the profile API parsed it; false when the section as
    // read does not hold the key, which leaves the answer to the profile API itself.
    bool Find(const std::string& file, const WIN32_FILE_ATTRIBUTE_DATA& state, const std::string& section,
              const std::string& key, std::string& value)
    {
        AcquireSRWLockExclusive(&m_lock);
        if (file != m_file || CompareFileTime(&state.ftLastWriteTime, &m_written) != 0 ||
            state.nFileSizeLow != m_sizeLow || state.nFileSizeHigh != m_sizeHigh) {
            m_sections.clear();
            m_file = file;
            m_written = state.ftLastWriteTime;
            m_sizeLow = state.nFileSizeLow;
            m_sizeHigh = state.nFileSizeHigh;
        }
        const std::string sectionName = Lowered(section);
        auto found = m_sections.find(sectionName);
        if (found == m_sections.end())
            found = m_sections.emplace(sectionName, ReadSection(file, section)).first;
        const auto entry = found->second.find(Lowered(key));
        const bool known = entry != found->second.end();
        if (known)
            value = entry->second;
        ReleaseSRWLockExclusive(&m_lock);
        return known;
    }

private:
    using Section = std::map<std::string, std::string>;

    static Section ReadSection(const std::string& file, const std::string& section)
    {
        Section entries;
        // The first of equal keys is the one looked up; a line with no '=' is left to the profile API.
        ReadProfileSection(
            file, section,
            [](const char* key, size_t keyLength, const char* value, void* context) {
                if (value)
                    static_cast<Section*>(context)->emplace(Lowered(std::string(key, keyLength)), value);
            },
            &entries);
        return entries;
    }

    SRWLOCK m_lock = SRWLOCK_INIT;
    std::string m_file;
    FILETIME m_written = {};
    DWORD m_sizeLow = 0;
    DWORD m_sizeHigh = 0;
    std::map<std::string, Section> m_sections;
};

SectionCache& Cache()
{
    static SectionCache cache;
    return cache;
}

}  // namespace

std::string GetLangString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultText)
{
    WIN32_FILE_ATTRIBUTE_DATA state = {};
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &state))
        return defaultText;
    std::string raw;
    if (Cache().Find(file, state, section, key, raw))
        return ProfileValue(raw, kLangStringMax + 1);
    // Not among the section's keys as read (a missing key, an odd name): the profile API answers,
    // with the default as it treats it.
    char buffer[kLangStringMax + 1] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(), buffer, sizeof buffer,
                             file.c_str());
    return buffer;
}

int GetBrandIndex(const std::string& brand)
{
    static const char* const kBrands[] = {"norvalix", "coldrey", "pemba", "marsolo", "ombrel", "tarnwick", "kestrin"};
    std::string lower = brand;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int i = 0; i < static_cast<int>(sizeof kBrands / sizeof kBrands[0]); ++i) {
        if (lower == kBrands[i])
            return i;
    }
    return 0;
}

std::string MainLanguageFileFor(const std::string& programPath)
{
    std::string folder = programPath;
    const size_t slash = folder.rfind('\\');
    if (slash == std::string::npos)
        folder += '\\';
    else
        folder.resize(slash + 1);
    return folder + "Lang\\Sequora.ini";
}
