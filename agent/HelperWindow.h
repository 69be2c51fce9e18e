#pragma once
// The hidden top-level window a component shares among its instances to receive messages (the
// tray icon's notifications, the simple timers' ticks). Top-level rather than message-only, so it
// also hears broadcasts such as the shell's "TaskbarCreated"; a tool window, so it never shows in
// the taskbar.
#include <windows.h>

// Registers the class (once per program) and makes the window; null when either fails.
HWND CreateHelperWindow(const char* className, WNDPROC procedure);
