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

std::vector<CMenuTheme*>* g_pMenuThemes = nullptr;
CMenuTheme* g_pCurrentMenuTheme = nullptr;

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

int GetWindowsVersionCode()
{
    const DWORD version = ::GetVersion();
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!(version & 0x80000000u)) {
        ::GetVersionExA(&info);
        if (info.dwMajorVersion < 4)
            return OSCODE_NT3;
        if (info.dwMajorVersion == 4)
            return OSCODE_NT4;
        if (info.dwMajorVersion == 5)
            return info.dwMinorVersion == 0 ? OSCODE_WIN2000 : OSCODE_XP;
        return OSCODE_XP;
    }
    if (LOBYTE(LOWORD(version)) < 4)
        return OSCODE_WIN32S;
    ::GetVersionExA(&info);
    if (info.dwMajorVersion != 4)
        return OSCODE_WIN95;
    if (info.dwMinorVersion == 10)
        return OSCODE_WIN98;
    if (info.dwMinorVersion == 90)
        return OSCODE_WINME;
    return OSCODE_WIN95;
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
