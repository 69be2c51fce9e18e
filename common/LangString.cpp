#include "LangString.h"

#include <windows.h>

#include <cctype>

std::string GetLangString(const std::string& file, const std::string& section, const std::string& key,
                          const std::string& defaultText)
{
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return defaultText;
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
