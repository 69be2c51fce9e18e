#include "Registry.h"

namespace harness {

namespace {

class Key {
public:
    Key(HKEY root, const std::string& subkey, bool create)
    {
        LONG rc = create ? RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr)
                         : RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &m_key);
        if (rc != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

bool DeleteRegistryTree(HKEY root, const std::string& subkey)
{
    LONG rc = RegDeleteTreeA(root, subkey.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyA(root, subkey.c_str());
        return true;
    }
    return false;
}

bool ReadRegistryString(HKEY root, const std::string& subkey, const std::string& name, std::string& value)
{
    Key key(root, subkey, false);
    if (!key.get())
        return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::string data(size, '\0');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
        ERROR_SUCCESS)
        return false;
    data.resize(size);
    while (!data.empty() && data.back() == '\0')
        data.pop_back();
    value = data;
    return true;
}

bool WriteRegistryString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value)
{
    Key key(root, subkey, true);
    return key.get() && RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegistryDword(HKEY root, const std::string& subkey, const std::string& name, DWORD value)
{
    Key key(root, subkey, true);
    return key.get() && RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::string& subkey, const std::string& name)
{
    Key key(root, subkey, false);
    if (!key.get())
        return true;
    LONG rc = RegDeleteValueA(key.get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace harness
