#pragma once
// The menu library's process-wide settings. Plain globals, on the UI thread only: the version
// code is computed before the program's main entry, the system flags and the run-time entry
// points by the menu hook's constructor, the font and gloom by the tray dialog. Tests set them
// directly (Wine always reports more than 256 colours and active visual styles).
#include <windows.h>

#include <vector>

class CMenuTheme;

// Windows version code: 0 Win32s, 1 NT 3, 2 95, 3 98, 4 Me, 5 NT 4, 6 2000, 7 XP and later.
enum : int {
    OSCODE_WIN32S = 0,
    OSCODE_NT3 = 1,
    OSCODE_WIN95 = 2,
    OSCODE_WIN98 = 3,
    OSCODE_WINME = 4,
    OSCODE_NT4 = 5,
    OSCODE_WIN2000 = 6,
    OSCODE_XP = 7,
};

extern int g_nOsVersionCode;
extern LOGFONTA g_MenuLogFont;      // font of title items
extern int g_nGloom;                // win.ini [DrawMenu] "Gloom": darker images when not 0

extern int g_bHighContrast;
extern int g_bWine;
extern int g_bRemoteSession;

typedef BOOL(WINAPI* IsThemeActiveProc)();
typedef HRESULT(WINAPI* SetWindowThemeProc)(HWND, LPCWSTR, LPCWSTR);
typedef BOOL(WINAPI* GradientFillProc)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
extern IsThemeActiveProc g_pfnIsThemeActive;       // null: visual styles unavailable
extern SetWindowThemeProc g_pfnSetWindowTheme;
extern GradientFillProc g_pfnGradientFill;         // null: strips instead of gradients

// The themes (owned by the list, which the menu hook builds) and the one that paints now.
extern std::vector<CMenuTheme*>* g_pMenuThemes;
extern CMenuTheme* g_pCurrentMenuTheme;

extern int g_nScreenColorCount;     // 0 = not yet known; see GetScreenColorCount
extern HMENU g_hPendingMenu;        // a menu about to show whose window no hook data took yet

// The version code of the running system.
int GetWindowsVersionCode();
// The code of GetVersion's answer and GetVersionEx's major and minor version.
int VersionCodeOf(DWORD version, DWORD major, DWORD minor);
// Colours of the screen, 64000 for more than 256; asked once per process.
int GetScreenColorCount();
// True when the system draws flat menus (COLOR_MENUBAR is their background).
BOOL IsFlatMenuOn();
// True when visual styles are available and on.
BOOL IsVisualStyleActive();
