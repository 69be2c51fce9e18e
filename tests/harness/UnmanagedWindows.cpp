#include "UnmanagedWindows.h"

#include <windows.h>

#include "Registry.h"

namespace harness {

UnmanagedWindows::UnmanagedWindows(const std::string& programName)
    : m_key("Software\\Wine\\AppDefaults\\" + programName + "\\X11 Driver")
{
    WriteRegistryString(HKEY_CURRENT_USER, m_key, "Managed", "N");
}

UnmanagedWindows::~UnmanagedWindows()
{
    DeleteRegistryValue(HKEY_CURRENT_USER, m_key, "Managed");
}

}  // namespace harness
