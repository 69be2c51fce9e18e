#include "DrawMenuColors.h"

#include <algorithm>

#include "CMenuTheme.h"
#include "DrawMenuSettings.h"

namespace {

int Channel(COLORREF color, int shift) { return static_cast<int>((color >> shift) & 0xFF); }

COLORREF FromChannels(int r, int g, int b)
{
    return RGB(static_cast<BYTE>(r), static_cast<BYTE>(g), static_cast<BYTE>(b));
}

// Applies one rule to each channel of x (and y).
template <typename Rule> COLORREF PerChannel(COLORREF x, COLORREF y, Rule rule)
{
    return FromChannels(rule(Channel(x, 0), Channel(y, 0)), rule(Channel(x, 8), Channel(y, 8)),
                        rule(Channel(x, 16), Channel(y, 16)));
}

COLORREF NearestScreenColor(COLORREF color)
{
    HDC screen = ::GetDC(nullptr);
    const COLORREF nearest = ::GetNearestColor(screen, color);
    ::ReleaseDC(nullptr, screen);
    return nearest;
}

// The three looks of the visual styles: the caption colour a theme reports, the nearest
// colour the blend gives without one, and the bar colour of that look.
struct BarLook {
    COLORREF result, caption, nearest;
};
constexpr BarLook kBarLooks[] = {
    {0xAADADA, 0x86B8AA, 0xCCDCD6},
    {0xE5D7D7, 0xBEA3A4, 0xE6E6E6},
    {0xF5C2A3, 0xE55400, 0xF0C5AC},
};

COLORREF RemapNearest(COLORREF color)
{
    for (const BarLook& look : kBarLooks)
        if (look.nearest == color)
            return look.result;
    return color;
}

// The colour the menu's background brush paints, when it has one.
bool MenuBrushColor(HMENU menu, COLORREF* color)
{
    if (!menu)
        return false;
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    if (!::GetMenuInfo(menu, &info) || !info.hbrBack)
        return false;
    LOGBRUSH brush = {};
    if (!::GetObjectA(info.hbrBack, sizeof brush, &brush))
        return false;
    *color = brush.lbColor;
    return true;
}

bool IsPlainMenuColorSystem() { return g_nOsVersionCode == OSCODE_WIN95 || g_nOsVersionCode == OSCODE_NT4; }

// Each reader keeps its own reference to uxtheme, released at process exit.
struct UxThemeModule {
    HMODULE module = nullptr;
    ~UxThemeModule()
    {
        if (module)
            ::FreeLibrary(module);
    }
    template <typename Fn> Fn Find(const char* name)
    {
        module = ::LoadLibraryA("UxTheme.dll");
        return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
    }
};
UxThemeModule g_openModule, g_closeModule, g_colorModule;

}  // namespace

COLORREF ScaleColorDown(COLORREF color, int amount)
{
    return PerChannel(color, 0, [amount](int c, int) { return ::MulDiv(c, 255 - amount, 255); });
}

COLORREF FadeColorToWhite(int amount, COLORREF color)
{
    return PerChannel(color, 0, [amount](int c, int) { return c + ::MulDiv(255 - c, amount, 255); });
}

COLORREF BlendColors14to86(COLORREF a, COLORREF b)
{
    return PerChannel(a, b, [](int x, int y) { return std::min(255, ::MulDiv(86, y, 100) + ::MulDiv(14, x, 100)); });
}

COLORREF BlendColors30to70(COLORREF a, COLORREF b)
{
    return PerChannel(a, b, [](int x, int y) { return std::min(255, ::MulDiv(3, x, 10) + ::MulDiv(7, y, 10)); });
}

COLORREF AlphaBlendColors(COLORREF a, COLORREF b, int alpha)
{
    if (a == static_cast<COLORREF>(-1))
        return a;
    return PerChannel(a, b, [alpha](int x, int y) { return (x * alpha + y * (255 - alpha)) / 256; });
}

COLORREF DimColorToBlue(COLORREF color)
{
    return FromChannels(::MulDiv(Channel(color, 0), 7, 10), ::MulDiv(Channel(color, 8), 7, 10),
                        ::MulDiv(Channel(color, 16) + 55, 7, 10));
}

COLORREF GetSelectionColor()
{
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    if (g_bHighContrast)
        return highlight;
    if (GetScreenColorCount() <= 256)
        return ::GetSysColor(COLOR_WINDOW);
    const int sum = Channel(highlight, 0) + Channel(highlight, 8) + Channel(highlight, 16);
    if (!IsVisualStyleActive() && sum > 384)
        return BlendColors14to86(highlight, ::GetSysColor(COLOR_WINDOW));
    return BlendColors30to70(highlight, ::GetSysColor(COLOR_WINDOW));
}

COLORREF GetMenuBackColor(HMENU menu)
{
    COLORREF color;
    if (MenuBrushColor(menu, &color))
        return color;
    if (g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn())
        return ::GetSysColor(COLOR_MENUBAR);
    return ::GetSysColor(COLOR_MENU);
}

COLORREF GetBarBackColor(HMENU menu)
{
    COLORREF color;
    if (MenuBrushColor(menu, &color))
        return color;
    if (g_nOsVersionCode == OSCODE_XP) {
        if (IsFlatMenuOn() || IsVisualStyleActive())
            return ::GetSysColor(COLOR_MENUBAR);
    } else if (IsPlainMenuColorSystem()) {
        return ::GetSysColor(COLOR_MENU);
    }
    return ::GetSysColor(COLOR_BTNFACE);
}

COLORREF GetClassicMenuFaceColor()
{
    return ::GetSysColor(IsPlainMenuColorSystem() ? COLOR_MENU : COLOR_BTNFACE);
}

void GetBarColorPair(COLORREF* a, COLORREF* b, BOOL flag)
{
    if (IsPlainMenuColorSystem()) {
        *a = *b = ::GetSysColor(COLOR_MENU);
        return;
    }
    const int themeType = g_pCurrentMenuTheme ? g_pCurrentMenuTheme->m_nType : -1;
    if (themeType == 10 || themeType == 11) {
        const COLORREF w = ScaleColorDown(::GetSysColor(COLOR_WINDOW), 10);
        *a = RemapNearest(NearestScreenColor(BlendColors30to70(::GetSysColor(COLOR_ACTIVECAPTION), w)));
        *b = FadeColorToWhite(110, *a);
        return;
    }
    if (!IsVisualStyleActive()) {
        *a = ::GetSysColor(COLOR_BTNFACE);
        *b = AlphaBlendColors(::GetSysColor(COLOR_WINDOW), ::GetSysColor(COLOR_BTNFACE), 220);
        return;
    }
    COLORREF w = ScaleColorDown(::GetSysColor(COLOR_WINDOW), 10);
    COLORREF c = ::GetSysColor(COLOR_ACTIVECAPTION);
    HANDLE theme = OpenWindowThemeData();
    if (theme) {
        COLORREF read = 0;
        if (ReadThemeColor(theme, 3821, &read) == S_OK && read != 1)       // TMT_FILLCOLORHINT
            c = read;
        if (ReadThemeColor(theme, 3805, &read) == S_OK && read != 1)       // TMT_EDGEHIGHLIGHTCOLOR
            w = read;
        CloseWindowThemeData(theme);
        const BarLook* look = std::find_if(std::begin(kBarLooks), std::end(kBarLooks),
                                           [c](const BarLook& l) { return l.caption == c; });
        *a = look != std::end(kBarLooks) ? look->result : NearestScreenColor(BlendColors30to70(c, w));
    } else {
        *a = RemapNearest(NearestScreenColor(BlendColors30to70(c, w)));
    }
    if (flag) {
        *b = FadeColorToWhite(theme ? 110 : 100, *a);
    } else {
        *b = FadeColorToWhite(200, *a);
        *a = ScaleColorDown(*a, 20);
    }
}

ThemeColorEntryPoints& GetThemeColorEntryPoints()
{
    static ThemeColorEntryPoints entryPoints;
    return entryPoints;
}

HANDLE OpenWindowThemeData()
{
    ThemeColorEntryPoints& ep = GetThemeColorEntryPoints();
    if (!ep.openLooked) {
        ep.openLooked = true;
        ep.open = g_openModule.Find<OpenThemeDataProc>("OpenThemeData");
    }
    return ep.open ? ep.open(nullptr, L"Window") : nullptr;
}

HRESULT CloseWindowThemeData(HANDLE theme)
{
    ThemeColorEntryPoints& ep = GetThemeColorEntryPoints();
    if (!ep.closeLooked) {
        ep.closeLooked = true;
        ep.close = g_closeModule.Find<CloseThemeDataProc>("CloseThemeData");
    }
    return ep.close ? ep.close(theme) : 0;
}

HRESULT ReadThemeColor(HANDLE theme, int property, COLORREF* color)
{
    ThemeColorEntryPoints& ep = GetThemeColorEntryPoints();
    if (!ep.colorLooked) {
        ep.colorLooked = true;
        ep.color = g_colorModule.Find<GetThemeColorProc>("GetThemeColor");
    }
    return ep.color ? ep.color(theme, 1, 1, property, color) : 1;
}
