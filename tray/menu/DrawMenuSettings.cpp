#include "DrawMenuSettings.h"

int g_nOsVersionCode = 0;
LOGFONTA g_MenuLogFont = {};
int g_nGloom = 1;

int g_bHighContrast = 0;
int g_bWine = 0;
int g_bRemoteSession = 0;

IsThemeActiveProc g_pfnIsThemeActive = nullptr;
SetWindowThemeProc g_pfnSetWindowTheme = nullptr;
GradientFillProc g_pfnGradientFill = nullptr;

// The theme list and the current theme are defined beside the hook object that builds them
// (CDrawMenuHook.cpp), so that whatever uses the themes also links the hook.

int g_nScreenColorCount = 0;
HMENU g_hPendingMenu = nullptr;

namespace {

// The version code exists before any other static object of the library is built (the menu
// hook's constructor reads it), hence the early priority.
struct OsVersionCodeInit {
    OsVersionCodeInit() { g_nOsVersionCode = GetWindowsVersionCode(); }
};
OsVersionCodeInit g_osVersionCodeInit __attribute__((init_priority(200)));

}  // namespace

int VersionCodeOf(DWORD version, DWORD major, DWORD minor)
{
    if (!(version & 0x80000000u)) {
        if (major < 4)
            return OSCODE_NT3;
        if (major == 4)
            return OSCODE_NT4;
        if (major == 5)
            return minor == 0 ? OSCODE_WIN2000 : OSCODE_XP;
        return OSCODE_XP;
    }
    if (LOBYTE(LOWORD(version)) < 4)
        return OSCODE_WIN32S;
    if (major != 4)
        return OSCODE_WIN95;
    if (minor == 10)
        return OSCODE_WIN98;
    if (minor == 90)
        return OSCODE_WINME;
    return OSCODE_WIN95;
}

int GetWindowsVersionCode()
{
    const DWORD version = ::GetVersion();
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    // Win32s has no GetVersionEx worth asking.
    if ((version & 0x80000000u) && LOBYTE(LOWORD(version)) < 4)
        return OSCODE_WIN32S;
    ::GetVersionExA(&info);
    return VersionCodeOf(version, info.dwMajorVersion, info.dwMinorVersion);
}

int GetScreenColorCount()
{
    if (g_nScreenColorCount == 0) {
        HDC screen = ::GetDC(nullptr);
        int colors = ::GetDeviceCaps(screen, NUMCOLORS);
        ::ReleaseDC(nullptr, screen);
        g_nScreenColorCount = colors == -1 ? 64000 : colors;
    }
    return g_nScreenColorCount;
}

BOOL IsFlatMenuOn()
{
    BOOL flat = FALSE;
    return ::SystemParametersInfoA(SPI_GETFLATMENU, 0, &flat, 0) && flat == 1;
}

BOOL IsVisualStyleActive()
{
    return g_pfnIsThemeActive && g_pfnIsThemeActive();
}
