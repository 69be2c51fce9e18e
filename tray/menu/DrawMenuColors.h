#pragma once
// Colour arithmetic and the menu and bar colours every painter and theme of the menu library
// shares, and the visual-style colour readers. Colours are COLORREF values 0x00BBGGRR; every
// channel result is cut to its low byte. System colours are read on every call, so a change of
// them shows at the next paint.
#include <windows.h>

COLORREF ScaleColorDown(COLORREF color, int amount);
COLORREF FadeColorToWhite(int amount, COLORREF color);
COLORREF BlendColors14to86(COLORREF a, COLORREF b);
COLORREF BlendColors30to70(COLORREF a, COLORREF b);
// (a * alpha + b * (255 - alpha)) / 256 per channel; a = -1 (no colour) gives -1.
COLORREF AlphaBlendColors(COLORREF a, COLORREF b, int alpha);
COLORREF DimColorToBlue(COLORREF color);

COLORREF GetSelectionColor();
COLORREF GetMenuBackColor(HMENU menu);
COLORREF GetBarBackColor(HMENU menu);
COLORREF GetClassicMenuFaceColor();
// The darker (a) and lighter (b) colour of the XP and 2003 looks.
void GetBarColorPair(COLORREF* a, COLORREF* b, BOOL flag);

// uxtheme's colours of the "Window" class, loaded on first use; 0 / 1 (failure) when missing.
HANDLE OpenWindowThemeData();
HRESULT CloseWindowThemeData(HANDLE theme);
HRESULT ReadThemeColor(HANDLE theme, int property, COLORREF* color);

// The three uxtheme entry points behind the readers, looked up once each on first use. A test
// may set them (null = unavailable) after marking them looked up.
typedef HANDLE(WINAPI* OpenThemeDataProc)(HWND, LPCWSTR);
typedef HRESULT(WINAPI* CloseThemeDataProc)(HANDLE);
typedef HRESULT(WINAPI* GetThemeColorProc)(HANDLE, int, int, int, COLORREF*);
struct ThemeColorEntryPoints {
    bool openLooked = false, closeLooked = false, colorLooked = false;
    OpenThemeDataProc open = nullptr;
    CloseThemeDataProc close = nullptr;
    GetThemeColorProc color = nullptr;
};
ThemeColorEntryPoints& GetThemeColorEntryPoints();
