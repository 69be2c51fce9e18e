#include "TskFileTheme.h"

#include "ISkinThemed.h"
#include "SkinHelpers.h"
#include "SkinTempFile.h"
#include "TCustomForm.h"

#include <windows.h>

#include <cstring>

namespace {

const char* const kPublished[] = {"ThemeFile", "Password", "Ready", nullptr};

std::string WithBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() != '\\')
        folder += '\\';
    return folder;
}

std::string FileNamePart(const std::string& path)
{
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path, length < MAX_PATH ? length : 0);
    size_t slash = p.find_last_of('\\');
    return slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
}

std::string WindowsFolder(bool system)
{
    char path[MAX_PATH] = {};
    UINT length = system ? GetSystemDirectoryA(path, MAX_PATH) : GetWindowsDirectoryA(path, MAX_PATH);
    return WithBackslash(std::string(path, length < MAX_PATH ? length : 0));
}

}  // namespace

bool TskFileTheme::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TComponent::HasPublished(name);
}

void TskFileTheme::SetThemeFile(const std::string& value)
{
    WriteThemeFile(value);
}

void TskFileTheme::WriteThemeFile(const std::string& value)
{
    bool wasEmpty = m_themeFile.empty();
    std::string name = FileNamePart(value);
    std::string candidate = value;
    if (!FileExistsAt(candidate) && !name.empty()) {
        const std::string folders[] = {WithBackslash(ProgramFolder()), WindowsFolder(false), WindowsFolder(true)};
        candidate.clear();
        for (const std::string& folder : folders)
            if (!folder.empty() && FileExistsAt(folder + name)) {
                candidate = folder + name;
                break;
            }
    }
    if (candidate.empty() || !FileExistsAt(candidate))
        return;     // nothing found: the theme stays as it was
    m_themeFile = candidate;
    m_ready = m_manager.LoadFile(candidate, m_password);
    auto* form = dynamic_cast<TCustomForm*>(Owner());
    if (!m_ready || !form)
        return;
    bool skinnedFormUsesIt = false;
    for (int i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        auto* themed = dynamic_cast<ISkinThemed*>(c);
        if (!themed)
            continue;
        if (std::strcmp(c->ClassName(), "TskForm") == 0 && themed->FileTheme() == this)
            skinnedFormUsesIt = true;
        // Setting the theme again makes the control take the new look.
        if (std::strncmp(c->ClassName(), "Tsk", 3) == 0 && HasProperty(c, "FileTheme") && themed->FileTheme() == this) {
            themed->SetFileTheme(nullptr);
            themed->SetFileTheme(this);
        }
    }
    if (skinnedFormUsesIt && wasEmpty && form->HandleAllocated())
        SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TskFileTheme::SetPassword(const std::string& password)
{
    m_password = password;
    if (!password.empty())
        SetThemeFile(m_themeFile);
}

long TskFileTheme::GetColor(int index) const { return m_manager.GetColor(index); }

void TskFileTheme::GetBitmapFrame(int index, TPicture* picture, int frame, int count) const
{
    if (!picture)
        return;
    TBitmap* whole = GetBitmap(index);
    if (count != 0 && frame != 0) {
        TBitmap part;
        if (whole)
            CutBitmapPart(*whole, part, count, frame);
        picture->Assign(&part);
    } else {
        picture->Assign(whole);
    }
}
