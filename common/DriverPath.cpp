#include "DriverPath.h"

#include <windows.h>

std::wstring ToDriverPath(const std::string& ansiPath)
{
    if (ansiPath.empty())
        return std::wstring();
    const int units = ::MultiByteToWideChar(CP_THREAD_ACP, 0, ansiPath.data(), static_cast<int>(ansiPath.size()),
                                            nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, ansiPath.data(), static_cast<int>(ansiPath.size()), &wide[0], units);
    return wide;
}
