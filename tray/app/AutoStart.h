#pragma once
// Lumetta's start at log-on: the value "Sequora" under HKCU's Run key, holding Lumetta's full
// path in double quotes. On while a string value of that name equals that text, compared without
// regard to case; switching off deletes it.
#include <windows.h>

#include <string>

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kAutoStartValue = "Sequora";
constexpr DWORD kAutoStartValueBytes = 260;

// "\"<Lumetta's module path>\"": what the value holds while the start is on.
std::string AutoStartText();
// 1 when the value is on, else 0 (also when the Run key cannot be opened).
BOOL IsAutoStartEnabled();
// Switches the value; 1 on success. A key that cannot be opened, or a write or delete that fails,
// shows "Fail to set the option!" and gives 0.
BOOL SetAutoStart(BOOL on);
