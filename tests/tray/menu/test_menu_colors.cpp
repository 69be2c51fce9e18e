// The colour routines of the menu library: arithmetic by table, and the derived menu, bar and
// selection colours with known system colours and with the visual-style entry points replaced.
#include <gtest/gtest.h>

#include "CDrawMenu.h"
#include "CMenu.h"
#include "DrawMenuColors.h"
#include "DrawMenuSettings.h"

TEST(DrawMenuColors, ArithmeticRoundsAsMulDivAndCutsEachChannel)
{
    struct Case {
        const char* what;
        COLORREF result, expected;
    };
    const Case cases[] = {
        {"ScaleColorDown(white, 10)", ScaleColorDown(0xFFFFFF, 10), 0xF5F5F5},
        {"ScaleColorDown(white, 128)", ScaleColorDown(0xFFFFFF, 128), 0x7F7F7F},
        {"ScaleColorDown(grey, 100)", ScaleColorDown(0x808080, 100), 0x4E4E4E},
        {"ScaleColorDown(white, 255)", ScaleColorDown(0xFFFFFF, 255), 0x000000},
        {"FadeColorToWhite(110, black)", FadeColorToWhite(110, 0x000000), 0x6E6E6E},
        {"FadeColorToWhite(200, grey)", FadeColorToWhite(200, 0x808080), 0xE4E4E4},
        {"FadeColorToWhite(255, black)", FadeColorToWhite(255, 0x000000), 0xFFFFFF},
        {"FadeColorToWhite(140, 0xAADADA)", FadeColorToWhite(140, 0xAADADA), 0xD9EEEE},
        {"BlendColors14to86(blue, red)", BlendColors14to86(0xFF0000, 0x0000FF), 0x2400DB},
        {"BlendColors14to86(black, white)", BlendColors14to86(0x000000, 0xFFFFFF), 0xDBDBDB},
        {"BlendColors14to86(highlight, white)", BlendColors14to86(0xFA9630, 0xFFFFFF), 0xFEF0E2},
        {"BlendColors30to70(white, white)", BlendColors30to70(0xFFFFFF, 0xFFFFFF), 0xFFFFFF},
        {"BlendColors30to70(black, white)", BlendColors30to70(0x000000, 0xFFFFFF), 0xB3B3B3},
        {"BlendColors30to70(white, black)", BlendColors30to70(0xFFFFFF, 0x000000), 0x4D4D4D},
        {"BlendColors30to70(caption, face)", BlendColors30to70(0xFA9632, 0xF5F5F5), 0xF7D9BB},
        {"AlphaBlendColors(white, white, 220)", AlphaBlendColors(0xFFFFFF, 0xFFFFFF, 220), 0xFEFEFE},
        {"AlphaBlendColors(white, face, 220)", AlphaBlendColors(0xFFFFFF, 0xF5F5F5, 220), 0xFCFCFC},
        {"AlphaBlendColors(none, ...)", AlphaBlendColors(static_cast<COLORREF>(-1), 0x123456, 99),
         static_cast<COLORREF>(-1)},
        {"DimColorToBlue(white)", DimColorToBlue(0xFFFFFF), 0xD9B3B3},
        {"DimColorToBlue(black)", DimColorToBlue(0x000000), 0x270000},
        {"DimColorToBlue(grey)", DimColorToBlue(0x808080), 0x805A5A},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, c.expected) << c.what << std::hex << " gave 0x" << c.result;
}

namespace {

BOOL WINAPI StylesOn() { return TRUE; }
BOOL WINAPI StylesOff() { return FALSE; }

COLORREF g_themeCaption = 0;
HANDLE WINAPI FakeOpen(HWND, LPCWSTR) { return reinterpret_cast<HANDLE>(0x77); }
HANDLE WINAPI FakeOpenNone(HWND, LPCWSTR) { return nullptr; }
HRESULT WINAPI FakeClose(HANDLE) { return S_OK; }
HRESULT WINAPI FakeColor(HANDLE, int part, int state, int property, COLORREF* color)
{
    if (part != 1 || state != 1)
        return E_INVALIDARG;
    if (property == 3821) {     // the fill colour hint: the look's caption colour
        *color = g_themeCaption;
        return S_OK;
    }
    return E_FAIL;              // no edge highlight: the window colour stays
}

// Known system colours and library settings for one test; all put back at its end.
class MenuColors : public ::testing::Test {
protected:
    static constexpr int kElements[] = {COLOR_HIGHLIGHT, COLOR_WINDOW, COLOR_BTNFACE, COLOR_MENU, COLOR_MENUBAR,
                                        COLOR_ACTIVECAPTION};
    static constexpr COLORREF kColors[] = {0xFA9630, 0xFFFFFF, 0xF5F5F5, 0xE0E0E0, 0xD0D0D0, 0xFA9632};

    void SetUp() override
    {
        for (size_t i = 0; i < std::size(kElements); ++i)
            m_saved[i] = ::GetSysColor(kElements[i]);
        SetColors(kColors);
        m_code = g_nOsVersionCode;
        m_count = g_nScreenColorCount;
        m_contrast = g_bHighContrast;
        m_active = g_pfnIsThemeActive;
        m_entryPoints = GetThemeColorEntryPoints();
        g_nOsVersionCode = OSCODE_XP;
        g_nScreenColorCount = 64000;
        g_bHighContrast = 0;
    }
    void TearDown() override
    {
        SetColors(m_saved);
        g_nOsVersionCode = m_code;
        g_nScreenColorCount = m_count;
        g_bHighContrast = m_contrast;
        g_pfnIsThemeActive = m_active;
        GetThemeColorEntryPoints() = m_entryPoints;
    }
    static void SetColors(const COLORREF* colors)
    {
        ::SetSysColors(static_cast<int>(std::size(kElements)), kElements, colors);
    }
    static void UseThemeEntryPoints(OpenThemeDataProc open)
    {
        ThemeColorEntryPoints& ep = GetThemeColorEntryPoints();
        ep.openLooked = ep.closeLooked = ep.colorLooked = true;
        ep.open = open;
        ep.close = &FakeClose;
        ep.color = &FakeColor;
    }

    COLORREF m_saved[std::size(kElements)] = {};
    int m_code = 0, m_count = 0, m_contrast = 0;
    IsThemeActiveProc m_active = nullptr;
    ThemeColorEntryPoints m_entryPoints;
};

}  // namespace

TEST_F(MenuColors, SelectionColourByStylesColourCountAndContrast)
{
    ASSERT_EQ(::GetSysColor(COLOR_HIGHLIGHT), 0xFA9630u);
    g_pfnIsThemeActive = &StylesOn;
    EXPECT_EQ(GetSelectionColor(), 0xFEE0C1u);
    g_pfnIsThemeActive = &StylesOff;
    EXPECT_EQ(GetSelectionColor(), 0xFEF0E2u);      // a light highlight (channel sum 448)
    g_pfnIsThemeActive = nullptr;
    EXPECT_EQ(GetSelectionColor(), 0xFEF0E2u);
    g_nScreenColorCount = 256;
    EXPECT_EQ(GetSelectionColor(), 0xFFFFFFu);
    g_bHighContrast = 1;
    EXPECT_EQ(GetSelectionColor(), 0xFA9630u);
}

TEST_F(MenuColors, MenuBarAndFaceColoursBySystem)
{
    const bool flat = IsFlatMenuOn();
    HMENU plain = ::CreatePopupMenu();
    g_pfnIsThemeActive = nullptr;
    EXPECT_EQ(GetMenuBackColor(plain), flat ? 0xD0D0D0u : 0xE0E0E0u);
    EXPECT_EQ(GetBarBackColor(nullptr), flat ? 0xD0D0D0u : 0xF5F5F5u);
    g_pfnIsThemeActive = &StylesOn;
    EXPECT_EQ(GetBarBackColor(nullptr), 0xD0D0D0u);
    EXPECT_EQ(GetClassicMenuFaceColor(), 0xF5F5F5u);
    for (int code : {OSCODE_WIN95, OSCODE_NT4}) {
        g_nOsVersionCode = code;
        EXPECT_EQ(GetMenuBackColor(nullptr), 0xE0E0E0u);
        EXPECT_EQ(GetBarBackColor(nullptr), 0xE0E0E0u);
        EXPECT_EQ(GetClassicMenuFaceColor(), 0xE0E0E0u);
    }
    g_nOsVersionCode = OSCODE_WIN2000;
    EXPECT_EQ(GetBarBackColor(nullptr), 0xF5F5F5u);
    EXPECT_EQ(GetMenuBackColor(nullptr), 0xE0E0E0u);

    // A menu with a background brush of its own has that colour.
    HBRUSH brush = ::CreateSolidBrush(0x123456);
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    ::SetMenuInfo(plain, &info);
    EXPECT_EQ(GetMenuBackColor(plain), 0x123456u);
    EXPECT_EQ(GetBarBackColor(plain), 0x123456u);
    ::DestroyMenu(plain);
    ::DeleteObject(brush);
}

TEST_F(MenuColors, BarColourPairOfTheLooks)
{
    COLORREF a = 0, b = 0;
    // Without visual styles: the face and a lighter blend of the window colour.
    g_pfnIsThemeActive = nullptr;
    GetBarColorPair(&a, &b, TRUE);
    EXPECT_EQ(a, 0xF5F5F5u);
    EXPECT_EQ(b, 0xFCFCFCu);
    for (int code : {OSCODE_WIN95, OSCODE_NT4}) {
        g_nOsVersionCode = code;
        g_pfnIsThemeActive = &StylesOn;
        GetBarColorPair(&a, &b, TRUE);
        EXPECT_EQ(a, 0xE0E0E0u);
        EXPECT_EQ(b, 0xE0E0E0u);
    }
    g_nOsVersionCode = OSCODE_XP;
    g_pfnIsThemeActive = &StylesOn;

    // With a theme: its caption colour names the look.
    struct Look {
        COLORREF caption, result;
    };
    const Look looks[] = {{0x86B8AA, 0xAADADA}, {0xBEA3A4, 0xE5D7D7}, {0xE55400, 0xF5C2A3}};
    UseThemeEntryPoints(&FakeOpen);
    for (const Look& look : looks) {
        g_themeCaption = look.caption;
        GetBarColorPair(&a, &b, TRUE);
        EXPECT_EQ(a, look.result) << std::hex << look.caption;
        EXPECT_EQ(b, FadeColorToWhite(110, look.result));
        GetBarColorPair(&a, &b, FALSE);
        EXPECT_EQ(a, ScaleColorDown(look.result, 20));
        EXPECT_EQ(b, FadeColorToWhite(200, look.result));
    }
    // Another caption colour: the screen's nearest to the blend, as it is.
    g_themeCaption = RGB(10, 20, 30);
    GetBarColorPair(&a, &b, TRUE);
    EXPECT_EQ(a, BlendColors30to70(RGB(10, 20, 30), 0xF5F5F5));

    // No theme data: the system caption colour blended, and a known blend named by its look.
    UseThemeEntryPoints(&FakeOpenNone);
    const COLORREF caption = RGB(140, 160, 107);    // blends with the window into 0xCCDCD6
    const int element = COLOR_ACTIVECAPTION;
    ::SetSysColors(1, &element, &caption);
    GetBarColorPair(&a, &b, TRUE);
    EXPECT_EQ(a, 0xAADADAu);
    EXPECT_EQ(b, FadeColorToWhite(100, 0xAADADA));

    // The looks of types 10 and 11 blend the caption colour whatever the styles and the flag.
    const int before = CDrawMenu::SelectTheme(10);
    ASSERT_NE(before, -1);
    for (IsThemeActiveProc styles : {&StylesOn, &StylesOff}) {
        g_pfnIsThemeActive = styles;
        for (BOOL flag : {TRUE, FALSE}) {
            GetBarColorPair(&a, &b, flag);
            EXPECT_EQ(a, 0xAADADAu);
            EXPECT_EQ(b, FadeColorToWhite(110, 0xAADADA));
        }
    }
    CDrawMenu::SelectTheme(before);
}

TEST_F(MenuColors, VisualStyleReadersWithoutAndWithUxTheme)
{
    ThemeColorEntryPoints& ep = GetThemeColorEntryPoints();
    ep.openLooked = ep.closeLooked = ep.colorLooked = true;
    ep.open = nullptr;
    ep.close = nullptr;
    ep.color = nullptr;
    COLORREF color = 0;
    EXPECT_EQ(OpenWindowThemeData(), nullptr);
    EXPECT_EQ(CloseWindowThemeData(reinterpret_cast<HANDLE>(1)), 0);
    EXPECT_EQ(ReadThemeColor(reinterpret_cast<HANDLE>(1), 3821, &color), 1);

    // The real module: looked up on first use.
    ep = ThemeColorEntryPoints();
    HANDLE theme = OpenWindowThemeData();
    EXPECT_TRUE(ep.openLooked);
    ASSERT_NE(ep.open, nullptr);
    if (theme) {
        EXPECT_EQ(CloseWindowThemeData(theme), S_OK);
    }
}

TEST_F(MenuColors, MenuBackgroundFillsTheWindowsClientArea)
{
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 30, 20, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 30, 20);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    CDrawMenu menu;
    for (int code : {OSCODE_XP, OSCODE_WIN2000}) {
        g_nOsVersionCode = code;
        const COLORREF expected = code == OSCODE_XP && IsFlatMenuOn() ? 0xD0D0D0 : 0xE0E0E0;
        RECT all = {0, 0, 30, 20};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        EXPECT_TRUE(menu.FillMenuBackground(window, dc));
        EXPECT_EQ(::GetPixel(dc, 0, 0), expected) << "code " << code;
        EXPECT_EQ(::GetPixel(dc, 29, 19), expected) << "code " << code;
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    ::DestroyWindow(window);
}
