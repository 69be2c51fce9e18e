#include "SystemInfo.h"

#include <cstdio>

BOOL IsWow64()
{
    typedef BOOL(WINAPI * IsWow64ProcessFn)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32");
    if (!kernel)
        return FALSE;
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    if (!isWow64Process)
        return FALSE;
    BOOL wow64 = FALSE;
    if (!isWow64Process(GetCurrentProcess(), &wow64))
        return FALSE;
    return wow64;
}

bool IsWindows64Bit()
{
    return sizeof(void*) == 8 || IsWow64();
}

std::string LastErrorText(DWORD error)
{
    char* message = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<char*>(&message), 0, nullptr);
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "error %lu", static_cast<unsigned long>(error));
    std::string text = prefix;
    if (message) {
        std::string body = message;
        LocalFree(message);
        while (!body.empty() && (body.back() == '\n' || body.back() == '\r'))
            body.pop_back();
        text += ": " + body;
    }
    return text;
}
