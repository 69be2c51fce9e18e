#pragma once
// Facts about the Windows the program runs on, and the one formatter of Win32 error codes.
#include <windows.h>

#include <string>

// Non-zero when this (32-bit) process runs on 64-bit Windows; 0 when the system cannot say.
BOOL IsWow64();

// True on 64-bit Windows whatever the bitness of this process.
bool IsWindows64Bit();

// "error 5: Access is denied." for logs and diagnostics.
std::string LastErrorText(DWORD error = GetLastError());
