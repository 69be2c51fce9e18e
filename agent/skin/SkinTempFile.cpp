#include "SkinTempFile.h"

#include "HandleOwner.h"

#include <windows.h>
#include <objbase.h>

#include <cstdio>

std::string NewGuidText()
{
    GUID g = {};
    if (FAILED(CoCreateGuid(&g))) {
        // Without the COM library a time-and-counter value still gives a fresh name.
        static LONG counter = 0;
        g.Data1 = GetTickCount() ^ GetCurrentProcessId();
        g.Data2 = static_cast<unsigned short>(InterlockedIncrement(&counter));
    }
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                  g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::string TempFolderPath()
{
    char buffer[MAX_PATH + 2] = {};
    DWORD length = GetTempPathA(MAX_PATH, buffer);
    std::string path(buffer, length <= MAX_PATH ? length : 0);
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

bool FileExistsAt(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit)
{
    const KernelHandle file(
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file.Get(), &size) && size.QuadPart >= 0 &&
              static_cast<unsigned long long>(size.QuadPart) <= limit;
    if (ok) {
        bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                               got == bytes.size());
    }
    return ok;
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size)
{
    KernelHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    bool ok =
        size == 0 || (WriteFile(file.Get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size);
    file.Reset();   // closed before a failed file is deleted
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}
