#pragma once
// Registry values a test sets up or checks, and clean-up of what a test leaves behind.
#include <windows.h>

#include <string>

namespace harness {

bool DeleteRegistryTree(HKEY root, const std::string& subkey);    // true also when it was absent
bool ReadRegistryString(HKEY root, const std::string& subkey, const std::string& name, std::string& value);
bool WriteRegistryString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
bool WriteRegistryDword(HKEY root, const std::string& subkey, const std::string& name, DWORD value);
bool DeleteRegistryValue(HKEY root, const std::string& subkey, const std::string& name);

}  // namespace harness
