#pragma once
// A theme that can carry its skin file inside the form ("SkinData").
#include "TskFileTheme.h"

class TskBuiltInFileTheme : public TskFileTheme {
public:
    explicit TskBuiltInFileTheme(TComponent* owner) : TskFileTheme(owner) {}

    const char* ClassName() const override { return "TskBuiltInFileTheme"; }
    bool HasPublished(const char* name) const override;

    const std::string& OwnThemeFile() const { return m_ownThemeFile; }
    void SetThemeFile(const std::string& value) override;

    // What a form stores as "SkinData": the whole file at the theme's own ThemeFile; false (nothing
    // stored) when no file is there.
    bool SkinData(std::string& bytes) const;
    // Reads stored skin data: saved under a fresh temporary name, loaded, and the file deleted.
    void LoadSkinData(const std::string& bytes);

private:
    std::string m_ownThemeFile;
};
