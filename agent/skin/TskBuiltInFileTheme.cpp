#include "TskBuiltInFileTheme.h"

#include "SkinTempFile.h"

#include <windows.h>

namespace {
const char* const kPublished[] = {"ThemeFile", "SkinData", nullptr};
const char kSkinCopyExtension[] = ".ssk";
// Failed saves are retried under fresh names this many times before the data is given up.
constexpr int kSaveAttempts = 8;
constexpr int kNumberedNames = 1000;

std::string FreeTempName()
{
    std::string base = TempFolderPath() + NewGuidText();
    std::string name = base + kSkinCopyExtension;
    for (int n = 1; FileExistsAt(name) && n < kNumberedNames; ++n)
        name = base + std::to_string(n) + kSkinCopyExtension;
    return name;
}
}  // namespace

bool TskBuiltInFileTheme::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TskFileTheme::HasPublished(name);
}

void TskBuiltInFileTheme::SetThemeFile(const std::string& value)
{
    m_ownThemeFile = value;
    TskFileTheme::SetThemeFile(value);
}

bool TskBuiltInFileTheme::SkinData(std::string& bytes) const
{
    return FileExistsAt(m_ownThemeFile) && ReadWholeFile(m_ownThemeFile, bytes, 64u << 20);
}

void TskBuiltInFileTheme::LoadSkinData(const std::string& bytes)
{
    for (int attempt = 0; attempt < kSaveAttempts; ++attempt) {
        std::string path = FreeTempName();
        if (FileExistsAt(path) || !WriteWholeFile(path, bytes.data(), bytes.size()))
            continue;
        // The loaded skin lives on in memory once its file is gone.
        WriteThemeFile(path);
        DeleteFileA(path.c_str());
        return;
    }
}
