#include "ProtectedList.h"

#include "NamedMutexLock.h"
#include "RegistryKey.h"

#include <cstdio>

namespace outside {

namespace {

constexpr const wchar_t* kServiceKey = L"Software\\Quilmar";
constexpr const wchar_t* kListKey = L"Software\\Quilmar\\Protected";
constexpr const wchar_t* kServiceValue = L"Service";
constexpr const wchar_t* kListMutex = L"Local\\Quilmar.ProtectedList";
constexpr DWORD kHideAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::wstring Describe(const ProtectedEntry& entry)
{
    wchar_t text[64];
    swprintf(text, 64, L"%u %u %lu", static_cast<unsigned>(entry.kind), static_cast<unsigned>(entry.state),
             static_cast<unsigned long>(entry.originalAttributes));
    return text;
}

ProtectedEntry Parse(const std::wstring& path, const std::wstring& data)
{
    ProtectedEntry entry;
    entry.path = path;
    unsigned kind = 0;
    unsigned state = 0;
    unsigned long attributes = INVALID_FILE_ATTRIBUTES;
    int fields = swscanf(data.c_str(), L"%u %u %lu", &kind, &state, &attributes);
    if (fields >= 1)
        entry.kind = static_cast<uint8_t>(kind);
    if (fields >= 2)
        entry.state = state;
    if (fields >= 3)
        entry.originalAttributes = static_cast<DWORD>(attributes);
    return entry;
}

}  // namespace

bool ProtectedList::IsServiceRunning()
{
    RegistryKey key;
    DWORD running = 0;
    return key.Open(HKEY_CURRENT_USER, kServiceKey) && key.ReadDword(kServiceValue, running) && running != 0;
}

bool ProtectedList::StartService()
{
    RegistryKey key;
    return key.Create(HKEY_CURRENT_USER, kServiceKey) && key.WriteDword(kServiceValue, 1);
}

bool ProtectedList::Find(const std::wstring& fullPath, ProtectedEntry& entry)
{
    RegistryKey key;
    std::wstring data;
    if (!key.Open(HKEY_CURRENT_USER, kListKey) || !key.ReadString(fullPath, data))
        return false;
    entry = Parse(fullPath, data);
    return true;
}

bool ProtectedList::Protect(const std::wstring& fullPath)
{
    NamedMutexLock lock(kListMutex);
    const DWORD attributes = GetFileAttributesW(fullPath.c_str());
    if (!lock.Owned() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    ProtectedEntry entry;
    if (!Find(fullPath, entry) || entry.originalAttributes == INVALID_FILE_ATTRIBUTES) {
        entry.path = fullPath;
        entry.originalAttributes = attributes;
    }
    entry.kind = kKindImage;
    entry.state = kStateProtected;
    // List first: a file hidden but not listed could not be found again by the user.
    RegistryKey key;
    if (!key.Create(HKEY_CURRENT_USER, kListKey) || !key.WriteString(fullPath, Describe(entry)))
        return false;
    DWORD hidden = (attributes & ~FILE_ATTRIBUTE_NORMAL) | kHideAttributes;
    return SetFileAttributesW(fullPath.c_str(), hidden) != FALSE;
}

bool ProtectedList::Release(const std::wstring& fullPath)
{
    NamedMutexLock lock(kListMutex);
    ProtectedEntry entry;
    if (!lock.Owned())
        return false;
    if (!Find(fullPath, entry))
        return true;
    const DWORD attributes = GetFileAttributesW(fullPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        DWORD restored = entry.originalAttributes != INVALID_FILE_ATTRIBUTES
                             ? entry.originalAttributes
                             : attributes & ~kHideAttributes;
        if (restored == 0)
            restored = FILE_ATTRIBUTE_NORMAL;
        if (!SetFileAttributesW(fullPath.c_str(), restored))
            return false;
    }
    // A listed file that is gone is dropped too, so the caller goes on and finds it missing.
    RegistryKey key;
    return key.Open(HKEY_CURRENT_USER, kListKey) && key.DeleteValue(fullPath);
}

std::vector<ProtectedEntry> ProtectedList::Entries()
{
    NamedMutexLock lock(kListMutex);
    std::vector<ProtectedEntry> entries;
    RegistryKey key;
    if (!key.Open(HKEY_CURRENT_USER, kListKey))
        return entries;
    for (DWORD index = 0;; ++index) {
        wchar_t name[1024];
        DWORD nameLength = 1024;
        wchar_t data[128] = {};
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        LONG result = RegEnumValueW(key.Get(), index, name, &nameLength, nullptr, &type,
                                    reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        entries.push_back(Parse(std::wstring(name, nameLength), data));
    }
    return entries;
}

}  // namespace outside
