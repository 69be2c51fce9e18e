// The menu themes: the list the hook builds at start-up, the frame geometry they give menu
// windows, their background, frame and shade pixels, the 2003 bar colours, and the memory DC the
// painters compose items on.
#include <gtest/gtest.h>

#include <vector>

#include "CDrawMemDC.h"
#include "CMenuTheme2003.h"
#include "CMenuThemeXP.h"
#include "DrawMenuColors.h"
#include "MenuCanvas.h"
#include "MenuTestSupport.h"
#include "WindowDriver.h"

namespace {

// Runs first in this program: nothing has selected a theme yet.
TEST(MenuThemeList, StartsWithTheFirstXPThemeCurrent)
{
    ASSERT_NE(g_pCurrentMenuTheme, nullptr);
    EXPECT_EQ(g_pCurrentMenuTheme->m_nType, 2);
    EXPECT_EQ(g_pCurrentMenuTheme, ThemeOfType(2));
    SavedMenuSettings saved;
    EXPECT_EQ(CDrawMenu::SelectTheme(9), 2);
    EXPECT_EQ(CDrawMenu::SelectTheme(9), 9);
}

TEST(MenuThemeList, HoldsTwelveThemesInOrderWithTheirClassesPaintersAndFrames)
{
    struct Row {
        int type;
        int kind;  // 0 plain, 1 XP, 2 2003
        MeasurePainter measure;
        DrawPainter draw;
    };
    const Row expected[] = {
        {6, 0, &CDrawMenu::MeasureItemWide, &CDrawMenu::DrawItemShaded},
        {7, 0, &CDrawMenu::MeasureItemWide, &CDrawMenu::DrawItemShaded},
        {0, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemClassic},
        {1, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemClassic},
        {2, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP},
        {3, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP},
        {8, 2, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {9, 2, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {10, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {11, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItem2003},
        {4, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemFlatBar},
        {5, 0, &CDrawMenu::MeasureItemClassic, &CDrawMenu::DrawItemFlatBar},
    };
    ASSERT_NE(g_pMenuThemes, nullptr);
    ASSERT_EQ(g_pMenuThemes->size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        CMenuTheme* theme = (*g_pMenuThemes)[i];
        const Row& row = expected[i];
        SCOPED_TRACE(testing::Message() << "theme " << i << " of type " << row.type);
        EXPECT_EQ(theme->m_nType, row.type);
        EXPECT_EQ(theme->HasFrame(), row.type % 2 == 0);
        EXPECT_EQ(dynamic_cast<CMenuTheme2003*>(theme) != nullptr, row.kind == 2);
        EXPECT_EQ(dynamic_cast<CMenuThemeXP*>(theme) != nullptr, row.kind >= 1);
        EXPECT_TRUE(theme->m_pfnMeasureItem == row.measure);
        EXPECT_TRUE(theme->m_pfnDrawItem == row.draw);
        EXPECT_TRUE(theme->m_pfnDrawTitle == &CDrawMenu::DrawTitleItem);
        EXPECT_EQ(theme->m_clrBtnShadow, ::GetSysColor(COLOR_BTNSHADOW));
    }
    // A theme is in the list once.
    EXPECT_FALSE(CDrawMenuHook::AddTheme((*g_pMenuThemes)[3]));
    EXPECT_EQ(g_pMenuThemes->size(), 12u);
}

// A theme of the type (of its class in the list), framed or not, as if the system did (or did
// not) draw drop shadows.
std::unique_ptr<CMenuTheme> MakeTheme(int type, bool framed, bool systemShadow)
{
    std::unique_ptr<CMenuTheme> theme;
    if (type == 8 || type == 9)
        theme = std::make_unique<CMenuTheme2003>(type, framed ? 1 : 0, &CDrawMenu::MeasureItemXP,
                                                 &CDrawMenu::DrawItem2003, &CDrawMenu::DrawTitleItem);
    else
        theme = std::make_unique<CMenuTheme>(type, framed ? 1 : 0, &CDrawMenu::MeasureItemWide,
                                             &CDrawMenu::DrawItemShaded, &CDrawMenu::DrawTitleItem);
    theme->m_nFrameRight = systemShadow ? 2 : 5;
    theme->m_nFrameBottom = systemShadow ? 2 : 6;
    return theme;
}

TEST(MenuThemeGeometry, FramedThemesMakeRoomForFrameAndShadeUnframedChangeNothing)
{
    struct Case {
        bool framed, systemShadow;
        RECT client;          // from (100, 100, 200, 200)
        int grow;             // of cx and cy, in place of the system's border
        SIZE wineGrow;        // under Wine, whose menu windows have no border: the whole frame
        int moveUp;
        BOOL posResult;
        int farInset;         // of the frame rectangle's right and bottom
    };
    const Case cases[] = {
        {true, false, {102, 102, 195, 194}, 2, {7, 8}, 1, TRUE, 7},
        {true, true, {102, 102, 199, 198}, -2, {3, 4}, 1, TRUE, 3},
        {false, false, {100, 100, 200, 200}, 0, {0, 0}, 0, FALSE, 0},
        {false, true, {100, 100, 200, 200}, 0, {0, 0}, 0, FALSE, 0},
    };
    SavedMenuSettings saved;
    FakeMenuWindow window(300, 200, 120, 90);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "framed " << c.framed << ", system shadow " << c.systemShadow);
        auto theme = MakeTheme(c.framed ? 8 : 9, c.framed, c.systemShadow);

        RECT rect = {100, 100, 200, 200};
        EXPECT_EQ(theme->OnNcCalcSize(window.hwnd(), &rect), 0);
        EXPECT_TRUE(EqualRect(&rect, &c.client));

        for (int wine : {0, 1}) {
            SCOPED_TRACE(testing::Message() << "Wine " << wine);
            g_bWine = wine;
            WINDOWPOS pos = {};
            pos.x = 40;
            pos.y = 50;
            pos.cx = 120;
            pos.cy = 90;
            EXPECT_EQ(theme->OnWindowPosChanging(window.hwnd(), &pos), c.posResult);
            EXPECT_EQ(pos.x, 40);
            EXPECT_EQ(pos.y, 50 - c.moveUp);
            EXPECT_EQ(pos.cx, 120 + (wine ? c.wineGrow.cx : c.grow));
            EXPECT_EQ(pos.cy, 90 + (wine ? c.wineGrow.cy : c.grow));
        }

        RECT frame = {};
        EXPECT_TRUE(theme->GetFrameRect(window.hwnd(), &frame));
        const int inset = c.framed ? 2 : 0;
        const RECT expectedFrame = {300 + inset, 200 + inset, 420 - c.farInset, 290 - c.farInset};
        EXPECT_TRUE(EqualRect(&frame, &expectedFrame));

        // Without a hook record nothing is framed; with one only a framed theme frames.
        MenuCanvas canvas(120, 90);
        EXPECT_EQ(theme->PaintFrame(window.hwnd(), canvas.dc(), FALSE), 0);
        window.AddHookData(nullptr);
        EXPECT_EQ(theme->PaintFrame(window.hwnd(), canvas.dc(), FALSE), c.framed ? 1 : 0);
        EXPECT_EQ(theme->OnInitWnd(window.hwnd()), c.framed ? 1 : 0);
        delete g_MenuHookDataMap[window.hwnd()];
        g_MenuHookDataMap.erase(window.hwnd());
        if (!c.framed) {
            EXPECT_EQ(canvas.CountOtherThan({0, 0, 120, 90}, RGB(255, 255, 255)), 0);
        }
    }
    RECT none = {};
    EXPECT_FALSE(MakeTheme(8, true, false)->GetFrameRect(nullptr, &none));
}

TEST(MenuThemeWindow, InitTakesTheBorderAwayAndUninitPutsTheSavedStylesBack)
{
    FakeMenuWindow window(10, 10, 80, 60);
    ::SetWindowLongA(window.hwnd(), GWL_STYLE, WS_POPUP | WS_BORDER);
    ::SetWindowLongA(window.hwnd(), GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    CDrawMenuHook::CMenuHookData* data = window.AddHookData(nullptr, CDrawMenuHook::HOOKSTATE_BY_SIZEWINDOW);
    auto theme = MakeTheme(8, true, false);
    EXPECT_EQ(theme->OnInitWnd(window.hwnd()), 1);
    EXPECT_TRUE(data->m_dwState & CDrawMenuHook::HOOKSTATE_STYLES_CHANGED);
    EXPECT_FALSE(::GetWindowLongA(window.hwnd(), GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(::GetWindowLongA(window.hwnd(), GWL_EXSTYLE) & (WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE), 0);

    data->m_dwState |= CDrawMenuHook::HOOKSTATE_ESCAPE;
    EXPECT_EQ(theme->OnUnInitWnd(window.hwnd()), 1);
    EXPECT_FALSE(data->m_dwState & CDrawMenuHook::HOOKSTATE_ESCAPE);
    // Subclassed while showing: the window is visible again when its styles come back.
    const LONG style = ::GetWindowLongA(window.hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(::GetWindowLongA(window.hwnd(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
}

TEST(MenuThemeErase, The2003ThemeFillsWithTheMenusBarColourReachingUnderTheLeftEdge)
{
    SavedMenuSettings saved;
    FakeMenuWindow window(10, 10, 100, 80);
    CMenuTheme* theme9 = ThemeOfType(9);
    ASSERT_NE(theme9, nullptr);

    CDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    window.AddHookData(menu);
    MenuCanvas canvas(100, 80, RGB(1, 2, 3));
    // The client rectangle of the DC's coordinates, its left edge 2 pixels further left.
    ::SetViewportOrgEx(canvas.dc(), 4, 0, nullptr);
    EXPECT_TRUE(theme9->EraseBackground(window.hwnd(), canvas.dc()));
    EXPECT_EQ(canvas.At(2, 10), GetBarBackColor(menu));
    EXPECT_EQ(canvas.At(1, 10), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(103 - 0, 10), CLR_INVALID);
    EXPECT_EQ(canvas.At(99, 79), GetBarBackColor(menu));

    // A menu with a background brush of its own gives that brush's colour.
    HBRUSH brush = ::CreateSolidBrush(0x123456);
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    ASSERT_TRUE(::SetMenuInfo(menu, &info));
    canvas.Fill(RGB(1, 2, 3));
    EXPECT_TRUE(theme9->EraseBackground(window.hwnd(), canvas.dc()));
    EXPECT_EQ(canvas.At(50, 40), 0x123456u);
    menu.DestroyMenu();
    ::DeleteObject(brush);

    // The plain themes fill with the menu colour; a framed one stops a pixel short on the right.
    CMenuTheme* theme6 = ThemeOfType(6);
    ::SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
    canvas.Fill(RGB(1, 2, 3));
    g_nOsVersionCode = OSCODE_WIN2000;
    EXPECT_TRUE(theme6->EraseBackground(window.hwnd(), canvas.dc()));
    EXPECT_EQ(canvas.At(98, 5), ::GetSysColor(COLOR_MENU));
    EXPECT_EQ(canvas.At(99, 5), RGB(1, 2, 3));
}

// A frame painted into a bitmap of the window's size, over a saved screen of one grey.
struct ShadeFixture {
    static constexpr int W = 90, H = 70;
    FakeMenuWindow window{200, 150, W, H};
    MenuCanvas canvas{W, H, RGB(9, 9, 9)};

    explicit ShadeFixture(HMENU menu = nullptr)
    {
        CDrawMenuHook::CMenuHookData* data = window.AddHookData(menu);
        data->m_bmpShade.Attach(harness::SolidBitmap(W + 10, H + 10, RGB(200, 200, 200)));
    }
    BYTE GreyAt(int x, int y) const { return GetRValue(canvas.At(x, y)); }
};

TEST(MenuThemeShade, OwnShadeDarkensTheSavedScreenByTheFactorsOfItsBands)
{
    SavedMenuSettings saved;
    g_nScreenColorCount = 64000;
    g_bHighContrast = 0;
    auto theme = MakeTheme(6, true, false);
    ShadeFixture f;
    ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), TRUE), 1);
    const int W = ShadeFixture::W, H = ShadeFixture::H;
    struct Probe {
        int x, y, factor;
    };
    const Probe probes[] = {
        {W - 1, 2, 255},      {W - 1, 4, 249},      {W - 1, 5, 243},      {W - 1, 7, 231},
        {W - 1, 8, 225},      {W - 2, 8, 195},      {W - 3, 30, 165},     {W - 4, 30, 135},
        {W - 4, 4, 231},      {W - 1, H - 4, 231},  {W - 1, H - 1, 249},  {W - 4, H - 1, 231},
        {2, H - 1, 255},      {4, H - 1, 249},      {8, H - 1, 225},      {40, H - 4, 135},
        {W - 5, H - 2, 195},
    };
    for (const Probe& p : probes) {
        SCOPED_TRACE(testing::Message() << "at " << p.x << ", " << p.y);
        const BYTE expected = static_cast<BYTE>(::MulDiv(200, p.factor, 255));
        EXPECT_EQ(f.canvas.At(p.x, p.y), RGB(expected, expected, expected));
    }
    // The outline ends 4 pixels before the right and bottom edges; inside it nothing changed.
    const COLORREF outline = ::GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(f.canvas.At(0, 0), outline);
    EXPECT_EQ(f.canvas.At(W - 5, 20), outline);
    EXPECT_EQ(f.canvas.At(20, H - 5), outline);
    EXPECT_EQ(f.canvas.At(20, 20), RGB(9, 9, 9));
}

TEST(MenuThemeShade, OnFewColoursTheShadeIsTwoGreyBandsInsideTheSavedEdge)
{
    SavedMenuSettings saved;
    g_nScreenColorCount = 256;
    auto theme = MakeTheme(6, true, false);
    ShadeFixture f;
    ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), TRUE), 1);
    const int W = ShadeFixture::W, H = ShadeFixture::H;
    const COLORREF saved200 = RGB(200, 200, 200), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(f.canvas.At(W - 1, 30), saved200);
    EXPECT_EQ(f.canvas.At(W - 2, 30), saved200);
    EXPECT_EQ(f.canvas.At(W - 3, 30), shadow);
    EXPECT_EQ(f.canvas.At(W - 4, 30), shadow);
    EXPECT_EQ(f.canvas.At(W - 3, 3), saved200);
    EXPECT_EQ(f.canvas.At(30, H - 3), shadow);
    EXPECT_EQ(f.canvas.At(3, H - 3), saved200);
    EXPECT_EQ(f.canvas.At(30, H - 1), saved200);
}

TEST(MenuThemeShade, WithSystemShadowsTheFrameIsAnOutlineRoundTheWholeWindow)
{
    SavedMenuSettings saved;
    auto theme = MakeTheme(6, true, true);
    ShadeFixture f;
    ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), FALSE), 1);
    const int W = ShadeFixture::W, H = ShadeFixture::H;
    const COLORREF outline = ::GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(f.canvas.At(W - 1, 30), outline);
    EXPECT_EQ(f.canvas.At(30, H - 1), outline);
    // The band between outline and client (the whole window here: a static has no frame) stays.
    EXPECT_EQ(f.canvas.At(W - 2, 30), RGB(9, 9, 9));

    // High contrast: the outline in the button-text colour, no shade of ours.
    g_bHighContrast = 1;
    auto unshadowed = MakeTheme(6, true, false);
    MenuCanvas second(W, H, RGB(9, 9, 9));
    ASSERT_EQ(unshadowed->PaintFrame(f.window.hwnd(), second.dc(), TRUE), 1);
    EXPECT_EQ(second.At(0, 0), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(second.At(W - 1, 30), RGB(9, 9, 9));
}

TEST(MenuThemeFrame, XPFrameIsADarkOutlineAroundALightBandWithTheColumnIn2003Window)
{
    SavedMenuSettings saved;
    g_nScreenColorCount = 64000;
    g_bHighContrast = 0;
    CDrawMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    HBRUSH brush = ::CreateSolidBrush(RGB(120, 160, 200));
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    info.hbrBack = brush;
    ASSERT_TRUE(::SetMenuInfo(menu, &info));
    const COLORREF m = RGB(120, 160, 200), win = ::GetSysColor(COLOR_WINDOW);
    const COLORREF light = BlendColors14to86(m, win), dark = ScaleColorDown(m, 128);
    const COLORREF face = BlendColors14to86(win, m);
    ASSERT_NE(light, face);
    const int W = ShadeFixture::W, H = ShadeFixture::H;
    for (int type : {8, 2}) {
        SCOPED_TRACE(testing::Message() << "type " << type);
        auto theme = std::make_unique<CMenuThemeXP>(type, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP,
                                                    &CDrawMenu::DrawTitleItem);
        theme->m_nFrameRight = 5;
        theme->m_nFrameBottom = 6;
        ShadeFixture f(menu);
        ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), FALSE), 1);
        EXPECT_EQ(f.canvas.At(0, 0), dark);
        EXPECT_EQ(f.canvas.At(W - 5, H - 5), dark);
        EXPECT_EQ(f.canvas.At(5, 1), light);
        EXPECT_EQ(f.canvas.At(W - 6, 20), light);
        EXPECT_EQ(f.canvas.At(1, 20), type == 8 ? win : face);
        EXPECT_EQ(f.canvas.At(1, 1), light);
        EXPECT_EQ(f.canvas.At(20, 20), RGB(9, 9, 9));
        EXPECT_EQ(f.canvas.At(W - 1, 30), RGB(176, 176, 176));
    }
    auto theme = std::make_unique<CMenuThemeXP>(2, 1, &CDrawMenu::MeasureItemXP, &CDrawMenu::DrawItemXP,
                                                &CDrawMenu::DrawTitleItem);
    theme->m_nFrameRight = 5;
    theme->m_nFrameBottom = 6;
    // Few colours: the column in the button face.
    g_nScreenColorCount = 256;
    {
        ShadeFixture f(menu);
        ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), FALSE), 1);
        if (::GetSysColor(COLOR_BTNFACE) != light) {
            EXPECT_EQ(f.canvas.At(1, 20), ::GetSysColor(COLOR_BTNFACE));
        }
    }
    // High contrast: only the outline, in the button-text colour.
    g_nScreenColorCount = 64000;
    g_bHighContrast = 1;
    {
        ShadeFixture f(menu);
        ASSERT_EQ(theme->PaintFrame(f.window.hwnd(), f.canvas.dc(), FALSE), 1);
        EXPECT_EQ(f.canvas.At(0, 0), ::GetSysColor(COLOR_BTNTEXT));
        EXPECT_EQ(f.canvas.At(W - 5, 30), ::GetSysColor(COLOR_BTNTEXT));
        EXPECT_EQ(f.canvas.At(1, 20), RGB(9, 9, 9));
        EXPECT_EQ(f.canvas.At(W - 1, 30), RGB(9, 9, 9));
    }
    menu.DestroyMenu();
    ::DeleteObject(brush);
}

// uxtheme stand-ins: a theme whose fill colour hint is the caption colour of a known look.
COLORREF g_captionHint = 0;
HANDLE WINAPI FakeOpenThemeData(HWND, LPCWSTR) { return reinterpret_cast<HANDLE>(0x5151); }
HRESULT WINAPI FakeCloseThemeData(HANDLE) { return S_OK; }
HRESULT WINAPI FakeGetThemeColor(HANDLE, int, int, int property, COLORREF* color)
{
    if (property != 3821)
        return E_FAIL;
    *color = g_captionHint;
    return S_OK;
}
BOOL WINAPI ThemeActive() { return TRUE; }

TEST(MenuTheme2003Colors, KnownLooksGiveTheirSetsOtherColoursAreDerived)
{
    SavedMenuSettings saved;
    ThemeColorEntryPoints& entries = GetThemeColorEntryPoints();
    const ThemeColorEntryPoints before = entries;
    entries.openLooked = entries.closeLooked = entries.colorLooked = true;
    entries.open = &FakeOpenThemeData;
    entries.close = &FakeCloseThemeData;
    entries.color = &FakeGetThemeColor;
    g_pfnIsThemeActive = &ThemeActive;
    g_nOsVersionCode = OSCODE_XP;
    CDrawMenu::SelectTheme(9);
    CMenuTheme* theme = ThemeOfType(9);

    struct Look {
        COLORREF caption, c1, c2, c3, c4;
    };
    const Look looks[] = {
        {0x86B8AA, 0xDEF7F4, 0xACDED1, 0x91C6B7, 0x588060},
        {0xBEA3A4, 0xFAF4F3, 0xECE2E1, 0xB59799, 0x947C7C},
        {0xE55400, 0xFEECDD, 0xF9DBC4, 0xE2A981, 0x9C613B},
    };
    for (const Look& look : looks) {
        g_captionHint = look.caption;
        COLORREF c[4] = {};
        theme->Get2003BarColors(&c[0], &c[1], &c[2], &c[3]);
        EXPECT_EQ(c[0], look.c1);
        EXPECT_EQ(c[1], look.c2);
        EXPECT_EQ(c[2], look.c3);
        EXPECT_EQ(c[3], look.c4);
    }
    // Another base: lightened by 140 and 115, darkened by 40 and 110.
    g_captionHint = 0x2040C0;
    COLORREF base, lighter;
    GetBarColorPair(&base, &lighter, TRUE);
    COLORREF c[4] = {};
    theme->Get2003BarColors(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(c[0], FadeColorToWhite(140, base));
    EXPECT_EQ(c[1], FadeColorToWhite(115, base));
    EXPECT_EQ(c[2], ScaleColorDown(base, 40));
    EXPECT_EQ(c[3], ScaleColorDown(base, 110));
    EXPECT_NE(c[0], c[1]);

    // Visual styles off: the unthemed pair and colours between them.
    g_pfnIsThemeActive = nullptr;
    COLORREF a, b;
    GetBarColorPair(&a, &b, TRUE);
    theme->Get2003BarColors(&c[0], &c[1], &c[2], &c[3]);
    EXPECT_EQ(c[0], a);
    EXPECT_EQ(c[2], b);
    EXPECT_EQ(c[1], AlphaBlendColors(a, b, 100));
    EXPECT_EQ(c[3], ScaleColorDown(b, 50));
    entries = before;
}

TEST(MenuThemeBar, GripperAndCornersOnlyForADockedBarWithAGripper)
{
    SavedMenuSettings saved;
    CMenuTheme* theme = ThemeOfType(6);
    const RECT bar = {0, 0, 60, 20};
    MenuCanvas canvas(60, 20);
    theme->DrawGripper(canvas.dc(), bar, 0x1 | 0x400000, 2, 2, 2, 2);
    theme->DrawCorners(canvas.dc(), bar, 0);
    EXPECT_EQ(canvas.CountOtherThan(bar, RGB(255, 255, 255)), 0);

    theme->DrawGripper(canvas.dc(), bar, 0x400000, 2, 2, 2, 2);
    const COLORREF dot = ScaleColorDown(GetMenuBackColor(nullptr), 100);
    EXPECT_EQ(canvas.At(2, 2), dot);
    EXPECT_EQ(canvas.At(3, 7), dot);
    EXPECT_EQ(canvas.At(2, 4), RGB(255, 255, 255));

    canvas.Fill(RGB(255, 255, 255));
    theme->DrawCorners(canvas.dc(), bar, 0x400000);
    const COLORREF light = ::GetSysColor(COLOR_3DLIGHT);
    EXPECT_EQ(canvas.At(0, 0), light);
    EXPECT_EQ(canvas.At(59, 1), light);
    EXPECT_EQ(canvas.At(1, 19), light);
    EXPECT_EQ(canvas.Count(bar, light), light == RGB(255, 255, 255) ? 60 * 20 : 12);
}

TEST(DrawMemDC, DrawingReachesTheTargetOnlyInsideTheItemAndNotAtAllWithNoCopy)
{
    MenuCanvas target(200, 100, RGB(255, 255, 255));
    const RECT item = {100, 50, 180, 70};
    {
        CDrawMemDC memory(item, target.dc());
        // The item's own coordinates hold on the memory DC; drawing beyond it goes nowhere.
        RECT everything = {0, 0, 200, 100};
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(memory, &everything, red);
        ::DeleteObject(red);
        ::SetPixel(memory, 100, 50, RGB(0, 0, 255));
        ::SetPixel(memory, 179, 69, RGB(0, 255, 0));
        EXPECT_EQ(target.At(120, 60), RGB(255, 255, 255));
    }
    EXPECT_EQ(target.At(100, 50), RGB(0, 0, 255));
    EXPECT_EQ(target.At(179, 69), RGB(0, 255, 0));
    EXPECT_EQ(target.At(140, 60), RGB(255, 0, 0));
    EXPECT_EQ(target.Count({0, 0, 200, 100}, RGB(255, 255, 255)), 200 * 100 - 80 * 20);

    target.Fill(RGB(255, 255, 255));
    {
        CDrawMemDC memory(item, target.dc());
        memory.m_bNoCopy = TRUE;
        ::SetPixel(memory, 120, 60, RGB(255, 0, 0));
    }
    EXPECT_EQ(target.CountOtherThan({0, 0, 200, 100}, RGB(255, 255, 255)), 0);
}

}  // namespace
