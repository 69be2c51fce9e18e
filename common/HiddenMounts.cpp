#include "HiddenMounts.h"

#include <windows.h>

#include "HandleOwner.h"

namespace {

constexpr const char* kMarksKey = "Software\\Norvalix\\Sequora\\HiddenMounts";
constexpr DWORD kHidden = 1;

// The value name of an image: its full path, so that "x.sqv" and "C:\dir\x.sqv" meet.
std::string MarkName(const std::string& imagePath)
{
    char full[MAX_PATH] = "";
    const DWORD length = ::GetFullPathNameA(imagePath.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : imagePath;
}

}  // namespace

void MarkMountedImage(const std::string& imagePath, bool wasHidden)
{
    if (imagePath.empty())
        return;
    if (!wasHidden) {
        TakeHiddenMountMark(imagePath);
        return;
    }
    RegistryKeyHandle key;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, kMarksKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Put(), nullptr) ==
        ERROR_SUCCESS)
        ::RegSetValueExA(key.Get(), MarkName(imagePath).c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&kHidden), sizeof kHidden);
}

bool TakeHiddenMountMark(const std::string& imagePath)
{
    RegistryKeyHandle key;
    if (imagePath.empty() ||
        ::RegOpenKeyExA(HKEY_CURRENT_USER, kMarksKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS)
        return false;
    const std::string name = MarkName(imagePath);
    DWORD value = 0, type = 0, bytes = sizeof value;
    const bool marked = ::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                           &bytes) == ERROR_SUCCESS &&
                        type == REG_DWORD && value == kHidden;
    ::RegDeleteValueA(key.Get(), name.c_str());
    return marked;
}
