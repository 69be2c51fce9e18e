#pragma once
// An open registry key with the few typed reads and writes the outside libraries keep their state
// with. Closed when it goes.
#include <windows.h>

#include <string>
#include <vector>

namespace outside {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Create(HKEY root, const std::wstring& subkey);   // opens, making it when missing
    bool Open(HKEY root, const std::wstring& subkey);     // opens an existing key
    explicit operator bool() const { return m_key != nullptr; }
    HKEY Get() const { return m_key; }

    bool ReadString(const std::wstring& name, std::wstring& value) const;
    bool ReadDword(const std::wstring& name, DWORD& value) const;
    bool WriteString(const std::wstring& name, const std::wstring& value);
    bool WriteDword(const std::wstring& name, DWORD value);
    bool DeleteValue(const std::wstring& name);
    std::vector<std::wstring> SubkeyNames() const;

    static bool DeleteTree(HKEY root, const std::wstring& subkey);   // true also when absent

private:
    HKEY m_key = nullptr;
};

}  // namespace outside
