#include "Registry.h"

#include "HandleOwner.h"

namespace harness {

namespace {

// The key, opened (or made) with every right; empty when it cannot be.
RegistryKeyHandle OpenKey(HKEY root, const std::string& subkey, bool create)
{
    HKEY key = nullptr;
    const LONG rc = create
                        ? RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr)
                        : RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key);
    return RegistryKeyHandle(rc == ERROR_SUCCESS ? key : nullptr);
}

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
    const RegistryKeyHandle key = OpenKey(root, subkey, false);
    if (!key.Get())
        return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::string data(size, '\0');
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
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
    const RegistryKeyHandle key = OpenKey(root, subkey, true);
    return key.Get() && RegSetValueExA(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegistryDword(HKEY root, const std::string& subkey, const std::string& name, DWORD value)
{
    const RegistryKeyHandle key = OpenKey(root, subkey, true);
    return key.Get() && RegSetValueExA(key.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                                       sizeof value) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::string& subkey, const std::string& name)
{
    const RegistryKeyHandle key = OpenKey(root, subkey, false);
    if (!key.Get())
        return true;
    LONG rc = RegDeleteValueA(key.Get(), name.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

}  // namespace harness
