#pragma once
// An open registry key with the few typed reads and writes the outside libraries keep their state
// with. Closed when it goes.
#include "HandleOwner.h"

#include <windows.h>

#include <string>
#include <vector>

namespace outside {

class RegistryKey {
public:
    RegistryKey() = default;

    bool Create(HKEY root, const std::wstring& subkey);   // opens, making it when missing
    bool Open(HKEY root, const std::wstring& subkey);     // opens an existing key
    explicit operator bool() const { return static_cast<bool>(m_key); }
    HKEY Get() const { return m_key.Get(); }

    bool ReadString(const std::wstring& name, std::wstring& value) const;
    bool ReadDword(const std::wstring& name, DWORD& value) const;
    bool WriteString(const std::wstring& name, const std::wstring& value);
    bool WriteDword(const std::wstring& name, DWORD value);
    bool DeleteValue(const std::wstring& name);
    std::vector<std::wstring> SubkeyNames() const;

    static bool DeleteTree(HKEY root, const std::wstring& subkey);   // true also when absent

private:
    RegistryKeyHandle m_key;
};

}  // namespace outside
