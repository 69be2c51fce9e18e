#include "MountedDisks.h"

#include <windows.h>

#include <algorithm>

#include "MountedDriveInfo.h"
#include "Tavrin.h"

namespace {

const char* const kNtPrefix = "\\??\\";

}  // namespace

std::vector<char> MountedDriveLetters()
{
    std::vector<char> letters;
    uint32_t mask = Tavrin_GetMountedMask();
    for (int slot = 0; mask != 0 && slot < kTavrinSlotCount; ++slot, mask >>= 1) {
        if (mask & 1)
            letters.push_back(static_cast<char>(Tavrin_GetSlotLetter(slot) & 0xFFFF));
    }
    return letters;
}

std::string MountedImageOf(char letter)
{
    MountedDriveInfo info = {};
    info.zero = 0;
    if (Tavrin_GetMountInfo(static_cast<unsigned char>(letter), &info) == 0)
        return std::string();
    return NtPathToDosPath(info.path, info.pathLength);
}

std::string NtPathToDosPath(const wchar_t* path, size_t length)
{
    if (!path || length == 0)
        return std::string();
    // The record holds the path and its terminator; a longer claimed length is cut there.
    length = std::min(length, MountedDriveInfo::kPathUnits - 1);
    std::vector<wchar_t> units(length + 1, L'\0');
    std::copy(path, path + length, units.begin());
    const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, units.data(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string text(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, units.data(), -1, &text[0], size, nullptr, nullptr);
    text.resize(text.find('\0'));
    for (size_t at; (at = text.find(kNtPrefix)) != std::string::npos;)
        text.erase(at, std::char_traits<char>::length(kNtPrefix));
    const size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos ? std::string() : text.substr(first);
}
