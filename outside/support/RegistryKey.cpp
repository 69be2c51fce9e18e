#include "RegistryKey.h"

namespace outside {

bool RegistryKey::Create(HKEY root, const std::wstring& subkey)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    m_key.Reset(key);
    return true;
}

bool RegistryKey::Open(HKEY root, const std::wstring& subkey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    m_key.Reset(key);
    return true;
}

bool RegistryKey::ReadString(const std::wstring& name, std::wstring& value) const
{
    DWORD type = 0;
    DWORD bytes = 0;
    if (RegQueryValueExW(m_key.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ)
        return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(m_key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    value.assign(buffer.data());
    return true;
}

bool RegistryKey::ReadDword(const std::wstring& name, DWORD& value) const
{
    DWORD type = 0;
    DWORD bytes = sizeof(value);
    return RegQueryValueExW(m_key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) ==
               ERROR_SUCCESS &&
           type == REG_DWORD;
}

bool RegistryKey::WriteString(const std::wstring& name, const std::wstring& value)
{
    return RegSetValueExW(m_key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryKey::WriteDword(const std::wstring& name, DWORD value)
{
    return RegSetValueExW(m_key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::wstring& name)
{
    LONG result = RegDeleteValueW(m_key.Get(), name.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::vector<std::wstring> RegistryKey::SubkeyNames() const
{
    std::vector<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        if (RegEnumKeyExW(m_key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

bool RegistryKey::DeleteTree(HKEY root, const std::wstring& subkey)
{
    RegistryKey key;
    if (!key.Open(root, subkey))
        return true;
    for (const std::wstring& child : key.SubkeyNames())
        DeleteTree(key.Get(), child);
    key = RegistryKey();
    LONG result = RegDeleteKeyW(root, subkey.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

}  // namespace outside
