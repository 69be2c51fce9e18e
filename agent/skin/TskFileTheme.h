#pragma once
// A theme component on a form: loads a skin file and serves its pictures and values to the
// skinned controls that refer to it.
#include "TComponent.h"
#include "TPicture.h"
#include "TskFileThemeMgr.h"

#include <string>

class TskFileTheme : public TComponent {
public:
    explicit TskFileTheme(TComponent* owner) : TComponent(owner) {}

    const char* ClassName() const override { return "TskFileTheme"; }
    bool HasPublished(const char* name) const override;

    const std::string& ThemeFile() const { return m_themeFile; }
    // Finds the file (as given, beside the program, in the Windows or system folder) and loads it.
    virtual void SetThemeFile(const std::string& value);
    const std::string& Password() const { return m_password; }
    void SetPassword(const std::string& password);
    bool Ready() const { return m_ready; }
    // A stored Ready has no effect: only a load makes a theme ready.
    void SetReady(bool) {}

    bool CanUse() const { return m_ready; }
    TBitmap* GetBitmap(int index) const { return m_manager.GetBitmap(index); }
    // The two the skinned controls call are virtual: a program that never creates a theme links
    // neither the theme nor its skin-file reader.
    virtual void GetBitmapFrame(int index, TPicture* picture, int frame, int count) const;
    virtual long GetColor(int index) const;
    long GetInteger(int index) const { return m_manager.GetInteger(index); }
    long GetBool(int index) const { return m_manager.GetBool(index); }

protected:
    void WriteThemeFile(const std::string& value);

private:
    TskFileThemeMgr m_manager;
    std::string m_themeFile;
    std::string m_password;
    bool m_ready = false;
};
