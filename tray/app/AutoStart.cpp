#include "AutoStart.h"

#include <mbstring.h>

#include "CWinApp.h"
#include "ProgramFolder.h"

namespace {

class RunKey {
public:
    RunKey()
    {
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | KEY_WRITE, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~RunKey()
    {
        if (m_key)
            ::RegCloseKey(m_key);
    }
    RunKey(const RunKey&) = delete;
    RunKey& operator=(const RunKey&) = delete;

    HKEY Get() const { return m_key; }

    // The value as text: a string type whose terminator lies within the bytes read, at most
    // kAutoStartValueBytes; false when it is absent or anything else.
    bool ReadValue(std::string& text) const
    {
        char buffer[kAutoStartValueBytes] = {};
        DWORD type = 0, bytes = sizeof buffer;
        if (::RegQueryValueExA(m_key, kAutoStartValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS)
            return false;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return false;
        if (bytes == 0 || buffer[bytes - 1] != '\0')
            return false;
        text = buffer;
        return true;
    }

private:
    HKEY m_key = nullptr;
};

bool SameText(const std::string& a, const std::string& b)
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                    reinterpret_cast<const unsigned char*>(b.c_str())) == 0;
}

BOOL Failed()
{
    AfxMessageBox("Fail to set the option!");
    return 0;
}

}  // namespace

std::string AutoStartText()
{
    return "\"" + GetModulePath() + "\"";
}

BOOL IsAutoStartEnabled()
{
    RunKey key;
    if (!key.Get())
        return 0;
    std::string value;
    return key.ReadValue(value) && SameText(value, AutoStartText()) ? 1 : 0;
}

BOOL SetAutoStart(BOOL on)
{
    RunKey key;
    if (!key.Get())
        return Failed();
    const std::string expected = AutoStartText();
    std::string value;
    const bool readable = key.ReadValue(value);
    if (on) {
        if (readable && SameText(value, expected))
            return 1;
        if (::RegSetValueExA(key.Get(), kAutoStartValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(expected.c_str()),
                             static_cast<DWORD>(expected.size() + 1)) != ERROR_SUCCESS)
            return Failed();
        return 1;
    }
    if (readable && ::RegDeleteValueA(key.Get(), kAutoStartValue) != ERROR_SUCCESS)
        return Failed();
    return 1;
}
