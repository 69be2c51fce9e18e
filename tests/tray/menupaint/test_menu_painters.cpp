// The item painters, called as the system would call them: a measure request, or a draw request
// whose DC holds a 32-bit DIB section, then the pixels read back.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CFont.h"
#include "CSelectGuard.h"
#include "DrawMenuColors.h"
#include "DrawMenuPaint.h"
#include "MenuCanvas.h"
#include "MenuTestSupport.h"
#include "WindowDriver.h"

namespace {

constexpr UINT_PTR ID_OPEN = 100;
constexpr UINT_PTR ID_SAVE = 101;

class MenuPainters : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(menu.CreatePopupMenu());
        g_nScreenColorCount = 64000;
        g_bHighContrast = 0;
        // The strips of the gradient without GradientFill give exact colours at both ends.
        g_pfnGradientFill = nullptr;
        CDrawMenu::SelectTheme(9);
    }

    CDrawMenuItemData* Record(const char* text, UINT flags, UINT_PTR id)
    {
        records.push_back(std::make_unique<CDrawMenuItemData>());
        CDrawMenuItemData* record = records.back().get();
        record->SetText(text);
        record->m_nFlags = flags | MF_OWNERDRAW;
        record->m_nID = id;
        return record;
    }

    MEASUREITEMSTRUCT Measure(void (CDrawMenu::*painter)(LPMEASUREITEMSTRUCT, BOOL), CDrawMenuItemData* record,
                              BOOL bar = FALSE)
    {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemID = static_cast<UINT>(record->m_nID);
        measure.itemData = reinterpret_cast<ULONG_PTR>(record);
        (menu.*painter)(&measure, bar);
        return measure;
    }

    void Draw(void (CDrawMenu::*painter)(LPDRAWITEMSTRUCT, BOOL), CDrawMenuItemData* record, MenuCanvas& canvas,
              UINT state, BOOL bar = FALSE, CDrawMenu* owner = nullptr)
    {
        CDrawMenu* target = owner ? owner : &menu;
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(record->m_nID);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = state;
        draw.hwndItem = reinterpret_cast<HWND>(target->m_hMenu);
        draw.hDC = canvas.dc();
        draw.rcItem = {0, 0, canvas.width(), canvas.height()};
        draw.itemData = reinterpret_cast<ULONG_PTR>(record);
        (target->*painter)(&draw, bar);
    }

    static SIZE MenuTextSize(const char* text, bool bold = false)
    {
        LOGFONTA logFont = SystemMenuLogFont();
        if (bold)
            logFont.lfWeight = FW_BOLD;
        CFont font;
        font.CreateFontIndirect(&logFont);
        HDC screen = ::GetDC(nullptr);
        SIZE size = {};
        {
            CSelectGuard select(screen, font.GetSafeHandle());
            ::GetTextExtentPoint32A(screen, text, static_cast<int>(strlen(text)), &size);
        }
        ::ReleaseDC(nullptr, screen);
        return size;
    }

    SavedMenuSettings saved;
    CDrawMenu menu;
    std::vector<std::unique_ptr<CDrawMenuItemData>> records;
};

// The colours the 2003 painter works out for a popup item.
struct Colors2003 {
    COLORREF m, o, a, v, k, u, p;
    explicit Colors2003(HDC dc)
    {
        m = ScaleColorDown(::GetSysColor(COLOR_WINDOW), 10);
        const bool bar = g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn();
        o = BlendColors14to86(::GetSysColor(bar ? COLOR_MENUBAR : COLOR_MENU), m);
        COLORREF b;
        GetBarColorPair(&a, &b, TRUE);
        if (::GetNearestColor(dc, o) == ::GetNearestColor(dc, a))
            o = m;
        v = 0xC2EEFF;
        k = 0x6FC0FF;
        u = 0x3E80FE;
        if (!IsVisualStyleActive()) {
            v = GetSelectionColor();
            u = k = BlendColors14to86(::GetSysColor(COLOR_HIGHLIGHT), v);
        }
        p = ::GetSysColor(g_bHighContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    }
};

TEST_F(MenuPainters, ASeparatorMeasuresThreeByThreeInEveryMeasurePainter)
{
    CDrawMenuItemData* separator = Record("", MF_SEPARATOR, 0);
    for (auto painter : {&CDrawMenu::MeasureItemXP, &CDrawMenu::MeasureItemWide, &CDrawMenu::MeasureItemClassic}) {
        const MEASUREITEMSTRUCT measure = Measure(painter, separator);
        EXPECT_EQ(measure.itemWidth, 3u);
        EXPECT_EQ(measure.itemHeight, 3u);
    }
}

TEST_F(MenuPainters, TitlesMeasureTheirTextInTheTitleFont)
{
    g_MenuLogFont = LOGFONTA{};
    g_MenuLogFont.lfHeight = -13;
    strcpy(g_MenuLogFont.lfFaceName, "Tahoma");
    CFont font;
    font.CreateFontIndirect(&g_MenuLogFont);
    HDC screen = ::GetDC(nullptr);
    SIZE text = {};
    {
        CSelectGuard select(screen, font.GetSafeHandle());
        ::GetTextExtentPoint32A(screen, "Sequora", 7, &text);
    }
    ::ReleaseDC(nullptr, screen);

    CDrawMenuItemData* title = Record("Sequora", MF_SEPARATOR, 0);
    title->m_nTitleStyle = TITLE_RECORD | TITLE_LINES;
    for (auto painter : {&CDrawMenu::MeasureItemXP, &CDrawMenu::MeasureItemWide, &CDrawMenu::MeasureItemClassic}) {
        const MEASUREITEMSTRUCT across = Measure(painter, title);
        EXPECT_EQ(static_cast<int>(across.itemWidth), text.cx);
        EXPECT_EQ(static_cast<int>(across.itemHeight), text.cy + 8);
    }
    // Down the side: as wide as the text is high, less the check column (which Wine's menus keep).
    title->m_nTitleStyle = TITLE_RECORD | TITLE_VERTICAL | TITLE_ROUND;
    const MEASUREITEMSTRUCT side = Measure(&CDrawMenu::MeasureItemXP, title);
    const int check = g_bWine ? 0 : ::GetSystemMetrics(SM_CXMENUCHECK);
    EXPECT_EQ(static_cast<int>(side.itemWidth), std::max<int>(0, text.cy - check + 4));
    EXPECT_EQ(side.itemHeight, 0u);
}

TEST_F(MenuPainters, MeasuresFollowEachLooksLayout)
{
    const int h = ::GetSystemMetrics(SM_CYMENU);
    CDrawMenuItemData* open = Record("Open\tCtrl+O", MF_STRING, ID_OPEN);
    const SIZE replaced = MenuTextSize("OpennnnCtrl+O"), raw = MenuTextSize("Open\tCtrl+O");

    const MEASUREITEMSTRUCT xp = Measure(&CDrawMenu::MeasureItemXP, open);
    EXPECT_EQ(static_cast<int>(xp.itemWidth), h / 2 + 16 + replaced.cx + 6);
    // The default image height of 15: 22 pixels high while the menu font is lower than that.
    if (h <= 23 && replaced.cy <= 22) {
        EXPECT_EQ(xp.itemHeight, 22u);
    }
    const MEASUREITEMSTRUCT wide = Measure(&CDrawMenu::MeasureItemWide, open);
    EXPECT_EQ(static_cast<int>(wide.itemWidth), replaced.cx + 2 * 16 + 2);
    EXPECT_EQ(static_cast<int>(wide.itemHeight), std::max<int>(std::max(h, 15 + 6), replaced.cy));
    const MEASUREITEMSTRUCT classic = Measure(&CDrawMenu::MeasureItemClassic, open);
    EXPECT_EQ(static_cast<int>(classic.itemWidth), raw.cx + 2 * 16 + 2);
    EXPECT_EQ(static_cast<int>(classic.itemHeight), std::max<int>(std::max(h, 15 + 4), raw.cy));

    // A submenu item leaves room for its arrow; a bar item's mnemonic takes no room of its own.
    CDrawMenuItemData* popup = Record("Open", MF_POPUP, ID_SAVE);
    EXPECT_EQ(static_cast<int>(Measure(&CDrawMenu::MeasureItemXP, popup).itemWidth),
              h + 16 + MenuTextSize("Open").cx + 6);
    CDrawMenuItemData* file = Record("&File", MF_STRING, ID_SAVE);
    EXPECT_EQ(static_cast<int>(Measure(&CDrawMenu::MeasureItemXP, file, TRUE).itemWidth),
              MenuTextSize("&File").cx - 6);
    EXPECT_EQ(static_cast<int>(Measure(&CDrawMenu::MeasureItemXP, file, TRUE).itemHeight), std::max(h, 17));
}

TEST_F(MenuPainters, TheDefaultItemIsMeasuredInBold)
{
    ASSERT_TRUE(::AppendMenuA(menu, MF_STRING, ID_OPEN, "Open the disk"));
    ASSERT_TRUE(::AppendMenuA(menu, MF_STRING, ID_SAVE, "Open the disk"));
    ASSERT_TRUE(::SetMenuDefaultItem(menu, ID_OPEN, FALSE));
    CDrawMenuItemData* first = Record("Open the disk", MF_STRING, ID_OPEN);
    CDrawMenuItemData* second = Record("Open the disk", MF_STRING, ID_SAVE);
    const UINT bold = Measure(&CDrawMenu::MeasureItemXP, first).itemWidth;
    const UINT plain = Measure(&CDrawMenu::MeasureItemXP, second).itemWidth;
    EXPECT_GT(bold, plain);
    EXPECT_EQ(static_cast<int>(bold - plain),
              MenuTextSize("Open the disk", true).cx - MenuTextSize("Open the disk").cx);
}

TEST_F(MenuPainters, ASystemCommandTakesTheWidthOfTheNextCommandAfterIt)
{
    auto minimise = std::make_unique<CDrawMenuItemData>();
    minimise->SetText("Min");
    minimise->m_nFlags = MF_OWNERDRAW;
    minimise->m_nID = SC_MINIMIZE;
    auto separator = std::make_unique<CDrawMenuItemData>();
    separator->m_nFlags = MF_OWNERDRAW | MF_SEPARATOR;
    auto close = std::make_unique<CDrawMenuItemData>();
    close->SetText("Close this window now");
    close->m_nFlags = MF_OWNERDRAW;
    close->m_nID = SC_CLOSE;
    CDrawMenuItemData* first = minimise.get();
    // The menu owns its records from here on.
    menu.m_itemData = {minimise.release(), separator.release(), close.release()};
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemData = reinterpret_cast<ULONG_PTR>(first);
    menu.MeasureItemXP(&measure, FALSE);
    const int h = ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(static_cast<int>(measure.itemWidth), h / 2 + 16 + MenuTextSize("Close this window now").cx + 6);
    EXPECT_EQ(static_cast<int>(measure.itemHeight), h);
}

TEST_F(MenuPainters, Item2003HasAGradientColumnAndASolidTextArea)
{
    MenuCanvas canvas(160, 22, RGB(1, 2, 3));
    const Colors2003 c(canvas.dc());
    ASSERT_NE(c.o, c.a);
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), canvas, 0);
    // Column of image width + 8, from o at the item's edge to A beside the text.
    EXPECT_EQ(canvas.At(0, 11), c.o);
    EXPECT_EQ(canvas.At(23, 11), c.a);
    EXPECT_NE(canvas.At(12, 11), c.o);
    EXPECT_EQ(canvas.At(24, 1), c.o);
    EXPECT_EQ(canvas.At(159, 21), c.o);
    // Text from 4 pixels beside the column, ink in the menu-text colour.
    EXPECT_GT(canvas.CountOtherThan({28, 0, 145, 22}, c.o), 10);
    EXPECT_EQ(canvas.CountOtherThan({24, 0, 28, 22}, c.o), 0);

    // Right to left: the column at the right, its gradient mirrored.
    MenuCanvas mirrored(160, 22, RGB(1, 2, 3));
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING | MFT_RIGHTORDER, ID_OPEN), mirrored, 0);
    EXPECT_EQ(mirrored.At(159, 11), c.o);
    EXPECT_EQ(mirrored.At(136, 11), c.a);
    EXPECT_GT(mirrored.CountOtherThan({15, 0, 132, 22}, c.o), 10);

    // With GradientFill the column runs the same way.
    g_pfnGradientFill = saved.GradientFill();
    if (g_pfnGradientFill) {
        MenuCanvas filled(160, 22, RGB(1, 2, 3));
        Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), filled, 0);
        EXPECT_EQ(filled.At(0, 11), c.o);
        EXPECT_NEAR(GetRValue(filled.At(23, 11)), GetRValue(c.a), 12);
        EXPECT_NEAR(GetBValue(filled.At(23, 11)), GetBValue(c.a), 12);
    }
}

TEST_F(MenuPainters, Item2003StatesSelectionCheckSeparatorAndBold)
{
    MenuCanvas canvas(160, 22, RGB(1, 2, 3));
    const Colors2003 c(canvas.dc());
    const COLORREF ink = ::GetSysColor(COLOR_MENUTEXT);

    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), canvas, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), c.p);
    EXPECT_EQ(canvas.At(159, 21), c.p);
    EXPECT_EQ(canvas.At(5, 5), c.v);
    EXPECT_EQ(canvas.At(150, 11), c.v);
    EXPECT_GT(canvas.Count({28, 0, 145, 22}, ink), 5);

    // Checked, no image: a box in k framed with p, the check mark inside.
    canvas.Fill(RGB(1, 2, 3));
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), canvas, ODS_CHECKED);
    EXPECT_EQ(canvas.At(1, 1), c.p);
    EXPECT_EQ(canvas.At(21, 20), c.p);
    EXPECT_EQ(canvas.At(2, 2), c.k);
    EXPECT_GT(canvas.CountOtherThan({2, 2, 21, 20}, c.k), 8);
    canvas.Fill(RGB(1, 2, 3));
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), canvas, ODS_CHECKED | ODS_SELECTED);
    EXPECT_EQ(canvas.At(2, 2), c.u);

    // A separator: one grey row at the middle, from the text's left edge to the item's right.
    MenuCanvas line(160, 3, RGB(1, 2, 3));
    Draw(&CDrawMenu::DrawItem2003, Record("", MF_SEPARATOR, 0), line, 0);
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(line.Count({28, 1, 160, 2}, grey), 132);
    EXPECT_NE(line.At(27, 1), grey);
    EXPECT_EQ(line.Count({0, 0, 160, 1}, grey), 0);
    EXPECT_EQ(line.Count({0, 2, 160, 3}, grey), 0);
    EXPECT_EQ(line.At(50, 0), c.o);

    // The default item in bold: more ink.
    MenuCanvas plain(160, 22), bold(160, 22);
    Draw(&CDrawMenu::DrawItem2003, Record("Open the disk", MF_STRING, ID_OPEN), plain, 0);
    Draw(&CDrawMenu::DrawItem2003, Record("Open the disk", MF_STRING, ID_OPEN), bold, ODS_DEFAULT);
    EXPECT_GT(bold.CountOtherThan({28, 0, 145, 22}, c.o), plain.CountOtherThan({28, 0, 145, 22}, c.o));

    // Greyed: the text in the grey-text colour, none in the menu-text colour.
    MenuCanvas greyed(160, 22);
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), greyed, ODS_GRAYED | ODS_DISABLED);
    EXPECT_GT(greyed.Count({28, 0, 145, 22}, grey), 5);
    EXPECT_EQ(greyed.Count({28, 0, 145, 22}, ink), 0);

    // An accelerator goes to the right edge of the text area.
    MenuCanvas accel(160, 22);
    Draw(&CDrawMenu::DrawItem2003, Record("Open\tCtrl+O", MF_STRING, ID_OPEN), accel, 0);
    EXPECT_GT(accel.CountOtherThan({110, 0, 145, 22}, c.o), 5);
    EXPECT_EQ(accel.CountOtherThan({145, 0, 160, 22}, c.o), 0);
}

TEST_F(MenuPainters, AnImageShowsItsNormalDarkerOrDisabledPicture)
{
    // Three pictures per image: normal, darker (for the gloom setting), disabled.
    const COLORREF normal = RGB(220, 30, 30), darker = RGB(110, 15, 15), disabled = RGB(160, 160, 160);
    HIMAGELIST list = ImageList_Create(16, 15, ILC_COLOR24, 3, 0);
    for (COLORREF color : {normal, darker, disabled}) {
        HBITMAP picture = harness::SolidBitmap(16, 15, color);
        ImageList_Add(list, picture, nullptr);
        ::DeleteObject(picture);
    }
    CDrawMenuItemData* item = Record("Open", MF_STRING, ID_OPEN);
    item->m_pImageList = SharedImageList::Create(list);  // the record holds the one reference
    item->m_nImageIndex = 0;
    const Colors2003 c(MenuCanvas(1, 1).dc());
    struct Case {
        int gloom;
        UINT state;
        COLORREF expected;
    };
    const Case cases[] = {
        {1, 0, darker},
        {0, 0, normal},
        {1, ODS_SELECTED, normal},
        {1, ODS_GRAYED | ODS_DISABLED, disabled},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "gloom " << k.gloom << ", state " << k.state);
        g_nGloom = k.gloom;
        MenuCanvas canvas(160, 22);
        Draw(&CDrawMenu::DrawItem2003, item, canvas, k.state);
        // At the column's left + 3, centred in the item's height.
        EXPECT_EQ(canvas.At(3, 3), k.expected);
        EXPECT_EQ(canvas.At(18, 17), k.expected);
        EXPECT_NE(canvas.At(19, 11), k.expected);
        EXPECT_NE(canvas.At(10, 2), k.expected);
    }
    // Checked: the picture over a box.
    MenuCanvas checked(160, 22);
    Draw(&CDrawMenu::DrawItem2003, item, checked, ODS_CHECKED);
    EXPECT_EQ(checked.At(1, 1), c.p);
    EXPECT_EQ(checked.At(2, 2), c.k);
    EXPECT_EQ(checked.At(10, 10), darker);
    g_nGloom = 1;
}

TEST_F(MenuPainters, HighContrastFramesInButtonTextAndSelectsInTheHighlight)
{
    g_bHighContrast = 1;
    g_pfnIsThemeActive = nullptr;
    MenuCanvas canvas(160, 22);
    Draw(&CDrawMenu::DrawItem2003, Record("Open", MF_STRING, ID_OPEN), canvas, ODS_SELECTED);
    EXPECT_EQ(canvas.At(0, 0), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(canvas.At(5, 5), ::GetSysColor(COLOR_HIGHLIGHT));
}

// A menu bar holding one open popup.
struct BarMenu {
    CDrawMenu bar;
    BarMenu()
    {
        bar.CreateMenu();
        bar.m_bPopup = 0;
        bar.m_hAccel = nullptr;
    }
};

TEST_F(MenuPainters, APressedBarItemCastsAShadowTwoGreyColumnsOnFewColours)
{
    BarMenu b;
    b.bar.m_nOpenPopups = 1;
    CDrawMenuItemData* file = Record("&File", MF_STRING, 200);
    const COLORREF m = ScaleColorDown(::GetSysColor(COLOR_WINDOW), 10);
    COLORREF a, lighter;
    GetBarColorPair(&a, &lighter, TRUE);
    const COLORREF pen = ScaleColorDown(GetBarBackColor(nullptr), 128);

    MenuCanvas many(60, 20, RGB(255, 255, 255));
    Draw(&CDrawMenu::DrawItem2003, file, many, ODS_SELECTED, TRUE, &b.bar);
    EXPECT_EQ(many.At(0, 0), pen);
    EXPECT_EQ(many.At(55, 19), pen);
    EXPECT_EQ(many.At(59, 2), RGB(255, 255, 255));
    EXPECT_EQ(many.At(59, 10), RGB(225, 225, 225));
    EXPECT_EQ(many.At(56, 10), RGB(135, 135, 135));
    EXPECT_EQ(many.At(59, 5), ScaleColorDown(RGB(255, 255, 255), 12));
    if (m != a) {
        EXPECT_NE(many.At(10, 1), many.At(10, 18));
    }

    g_nScreenColorCount = 256;
    MenuCanvas few(60, 20, RGB(255, 255, 255));
    Draw(&CDrawMenu::DrawItem2003, file, few, ODS_SELECTED, TRUE, &b.bar);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(few.Count({56, 4, 58, 20}, shadow), 32);
    EXPECT_EQ(few.Count({58, 0, 60, 20}, shadow), 0);
    EXPECT_EQ(few.At(56, 3), RGB(255, 255, 255));
    EXPECT_EQ(few.At(10, 1), m);
    EXPECT_EQ(few.At(10, 18), m);
}

TEST_F(MenuPainters, ASelectedBarItemWithoutAnOpenPopupIsDrawnHotNotPressed)
{
    BarMenu b;
    MenuCanvas canvas(60, 20, RGB(255, 255, 255));
    Draw(&CDrawMenu::DrawItem2003, Record("&File", MF_STRING, 200), canvas, ODS_SELECTED, TRUE, &b.bar);
    const Colors2003 c(canvas.dc());
    EXPECT_EQ(canvas.At(0, 0), c.p);
    // No shadow beyond the item, and the fill ends in the selection colour.
    EXPECT_EQ(canvas.Count({56, 0, 60, 20}, RGB(255, 255, 255)), 80);
    EXPECT_EQ(canvas.At(10, 18), c.v);
}

TEST_F(MenuPainters, OtherPaintersDrawTheirLooks)
{
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT), menuColor = ::GetSysColor(COLOR_MENU);

    MenuCanvas classic(160, 22);
    Draw(&CDrawMenu::DrawItemClassic, Record("Open", MF_STRING, ID_OPEN), classic, ODS_SELECTED);
    EXPECT_EQ(classic.At(2, 2), highlight);
    EXPECT_GT(classic.Count({20, 0, 150, 22}, ::GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
    MenuCanvas etched(160, 3);
    Draw(&CDrawMenu::DrawItemClassic, Record("", MF_SEPARATOR, 0), etched, 0);
    EXPECT_EQ(etched.At(50, 1), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(etched.At(50, 2), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(etched.At(50, 0), menuColor);

    // The flat-bar look draws popup items exactly as the classic one.
    MenuCanvas flat(160, 22);
    Draw(&CDrawMenu::DrawItemFlatBar, Record("Open", MF_STRING, ID_OPEN), flat, ODS_SELECTED);
    EXPECT_EQ(flat.Pixels(), classic.Pixels());
    BarMenu b;
    MenuCanvas flatBar(60, 20);
    Draw(&CDrawMenu::DrawItemFlatBar, Record("&File", MF_STRING, 200), flatBar, ODS_HOTLIGHT, TRUE, &b.bar);
    EXPECT_EQ(flatBar.At(1, 1), highlight);

    // Shaded: a vertical gradient from the light tone at the top to the dark one at the bottom.
    MenuCanvas shaded(160, 22);
    Draw(&CDrawMenu::DrawItemShaded, Record("Open", MF_STRING, ID_OPEN), shaded, 0);
    const bool flatMenus = g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn();
    const COLORREF g = ::GetSysColor(flatMenus ? COLOR_MENUBAR : COLOR_MENU);
    EXPECT_EQ(shaded.At(150, 0), FadeColorToWhite(30, g));
    EXPECT_EQ(shaded.At(150, 21), ScaleColorDown(g, 30));

    // XP: the selection colour inside a highlight frame.
    MenuCanvas xp(160, 22);
    Draw(&CDrawMenu::DrawItemXP, Record("Open", MF_STRING, ID_OPEN), xp, ODS_SELECTED);
    EXPECT_EQ(xp.At(0, 0), highlight);
    EXPECT_EQ(xp.At(5, 5), GetSelectionColor());
}

TEST_F(MenuPainters, TitleItemsFillWithTheCaptionColour)
{
    CDrawMenuItemData* title = Record("Sequora", MF_SEPARATOR, 0);
    title->m_nTitleStyle = TITLE_RECORD | TITLE_GRADIENT;
    MenuCanvas canvas(160, 20);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.hDC = canvas.dc();
    draw.rcItem = {0, 0, 160, 20};
    draw.itemData = reinterpret_cast<ULONG_PTR>(title);
    menu.DrawTitleItem(&draw);
    const COLORREF face = ::GetSysColor(g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn() ? COLOR_MENUBAR : COLOR_MENU);
    EXPECT_EQ(canvas.At(0, 19), ::GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(canvas.At(159, 19), BlendColors14to86(face, ::GetSysColor(COLOR_WINDOW)));

    // A title record of its own colours; the 2003 painter hands title separators to it.
    CDrawMenuItemDataTitle own;
    own.SetText("Sequora");
    own.m_nFlags = MF_OWNERDRAW | MF_SEPARATOR;
    own.m_nTitleStyle = TITLE_RECORD;
    own.m_clrFill = RGB(10, 120, 30);
    MenuCanvas second(160, 20);
    draw.hDC = second.dc();
    draw.itemData = reinterpret_cast<ULONG_PTR>(&own);
    menu.DrawItem2003(&draw, FALSE);
    EXPECT_EQ(second.At(159, 19), RGB(10, 120, 30));
}

// Text on a canvas in a TrueType face, as the bar painters draw it.
struct TextCanvas {
    MenuCanvas canvas{120, 40};
    CFont font;
    HGDIOBJ old;
    explicit TextCanvas(int escapement = 0)
    {
        font.CreateFont(-13, 0, escapement, escapement, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_ONLY_PRECIS,
                        CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, "Tahoma");
        old = ::SelectObject(canvas.dc(), font.GetSafeHandle());
        ::SetBkMode(canvas.dc(), TRANSPARENT);
        ::SetTextColor(canvas.dc(), RGB(0, 0, 0));
    }
    ~TextCanvas() { ::SelectObject(canvas.dc(), old); }
    void Plain(int x, int y, const char* text, const RECT& clip)
    {
        ::ExtTextOutA(canvas.dc(), x, y, ETO_CLIPPED, &clip, text, static_cast<UINT>(strlen(text)), nullptr);
    }
};

TEST(MenuTextAngled, AmpersandsBecomeOneAmpersandOrAnUnderlinedMnemonic)
{
    const RECT rect = {0, 0, 120, 40};
    // "&&" is one ampersand: its ink as wide as "&Save", and never an underline.
    TextCanvas doubled, doubledHidden, literal;
    CDrawMenu::DrawMenuTextAngled("&&Save", doubled.canvas.dc(), rect, 0);
    CDrawMenu::DrawMenuTextAngled("&&Save", doubledHidden.canvas.dc(), rect, 0x100000);
    EXPECT_EQ(doubled.canvas.Pixels(), doubledHidden.canvas.Pixels());
    auto inkRight = [](const MenuCanvas& canvas) {
        int right = -1;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x)
                if (canvas.At(x, y) != RGB(255, 255, 255) && x > right)
                    right = x;
        return right;
    };
    SIZE one = {}, two = {};
    ::GetTextExtentPoint32A(literal.canvas.dc(), "&Save", 5, &one);
    ::GetTextExtentPoint32A(literal.canvas.dc(), "&&Save", 6, &two);
    EXPECT_NEAR(inkRight(doubled.canvas), one.cx, 3);
    EXPECT_LT(inkRight(doubled.canvas), two.cx - 3);

    TextCanvas mnemonic, plain, hidden;
    CDrawMenu::DrawMenuTextAngled("&File", mnemonic.canvas.dc(), rect, 0);
    CDrawMenu::DrawMenuTextAngled("&File", hidden.canvas.dc(), rect, 0x100000);
    plain.Plain(0, 0, "File", rect);
    EXPECT_EQ(hidden.canvas.Pixels(), plain.canvas.Pixels());
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(plain.canvas.dc(), &metrics);
    SIZE f = {};
    ::GetTextExtentPoint32A(plain.canvas.dc(), "F", 1, &f);
    const int row = metrics.tmAscent + 1, width = f.cx - metrics.tmOverhang / 2;
    // The only difference: a bar under the F.
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 120; ++x) {
            const bool underline = y == row && x < width;
            if (underline)
                EXPECT_EQ(mnemonic.canvas.At(x, y), RGB(0, 0, 0)) << x << ", " << y;
            else if (mnemonic.canvas.At(x, y) != plain.canvas.At(x, y))
                ADD_FAILURE() << "differs at " << x << ", " << y;
        }
    }
}

TEST(MenuTextAngled, CentredTextStartsFromTheTextHeightAndAFourPixelMargin)
{
    const RECT rect = {0, 0, 120, 40};
    TextCanvas across, reference;
    CDrawMenu::DrawMenuTextAngled("Disk", across.canvas.dc(), rect, DT_VCENTER);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(reference.canvas.dc(), &metrics);
    reference.Plain(4, (40 - metrics.tmHeight) / 2, "Disk", rect);
    EXPECT_EQ(across.canvas.Pixels(), reference.canvas.Pixels());

    // Turned by 900 (upwards): x from the text height, y 4 pixels above the bottom.
    TextCanvas up(900), upReference(900);
    CDrawMenu::DrawMenuTextAngled("Disk", up.canvas.dc(), rect, DT_VCENTER);
    ::GetTextMetricsA(upReference.canvas.dc(), &metrics);
    upReference.Plain((120 - metrics.tmHeight) / 2, 36, "Disk", rect);
    EXPECT_EQ(up.canvas.Pixels(), upReference.canvas.Pixels());
    EXPECT_GT(up.canvas.CountOtherThan(rect, RGB(255, 255, 255)), 10);
}

// Records what GradientFill was asked.
int g_gradientCalls = 0;
BOOL WINAPI RecordingGradientFill(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG)
{
    ++g_gradientCalls;
    return TRUE;
}

TEST(MenuGradient, StripsStepTwoPixelsAndANarrowRectangleIsTheEndColour)
{
    SavedMenuSettings saved;
    g_pfnGradientFill = nullptr;
    const COLORREF start = RGB(0, 100, 200), end = RGB(250, 40, 20);
    MenuCanvas canvas(12, 4, RGB(1, 2, 3));
    CDrawMenu::FillGradientRect(end, {0, 0, 12, 4}, canvas.dc(), start, TRUE, FALSE);
    const int n = 12 - 2;
    for (int x = 0; x < 12; ++x) {
        const int k = x / 2 * 2;
        const COLORREF expected = RGB(0 + ::MulDiv(250 - 0, k, n), 100 + ::MulDiv(40 - 100, k, n),
                                      200 + ::MulDiv(20 - 200, k, n));
        EXPECT_EQ(canvas.At(x, 2), expected) << "column " << x;
    }
    // Vertical: rows instead of columns.
    MenuCanvas tall(4, 12, RGB(1, 2, 3));
    CDrawMenu::FillGradientRect(end, {0, 0, 4, 12}, tall.dc(), start, FALSE, FALSE);
    EXPECT_EQ(tall.At(1, 0), start);
    EXPECT_EQ(tall.At(1, 11), end);
    // Two pixels or fewer leave no step: the end colour, not a colour of MulDiv's -1.
    for (int width : {1, 2}) {
        MenuCanvas narrow(width, 4, RGB(1, 2, 3));
        CDrawMenu::FillGradientRect(end, {0, 0, width, 4}, narrow.dc(), start, TRUE, FALSE);
        EXPECT_EQ(narrow.Count({0, 0, width, 4}, end), width * 4);
    }
    // A device without a palette turns palette mode off, so GradientFill draws.
    g_pfnGradientFill = &RecordingGradientFill;
    g_gradientCalls = 0;
    CDrawMenu::FillGradientRect(end, {0, 0, 12, 4}, canvas.dc(), start, TRUE, TRUE);
    EXPECT_EQ(g_gradientCalls, 1);
}

TEST(MenuGlyphs, ChecksAndSystemCommandsDrawMarlettGlyphs)
{
    SavedMenuSettings saved;
    MenuCanvas canvas(30, 24);
    const RECT box = {2, 2, 26, 22};
    EXPECT_FALSE(CDrawMenu::DrawCheckOrBitmap(canvas.dc(), nullptr, 0, box, nullptr));
    EXPECT_EQ(canvas.CountOtherThan({0, 0, 30, 24}, RGB(255, 255, 255)), 0);
    g_nOsVersionCode = OSCODE_XP;
    EXPECT_TRUE(CDrawMenu::DrawCheckOrBitmap(canvas.dc(), nullptr, ODS_CHECKED, box, nullptr));
    EXPECT_EQ(canvas.At(3, 3), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_GT(canvas.CountOtherThan({5, 5, 24, 20}, RGB(255, 255, 255)), 8);

    CDrawMenu menu;
    for (UINT_PTR id : {SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE}) {
        MenuCanvas glyph(30, 24);
        menu.DrawSystemGlyph(id, 0, glyph.dc(), {0, 0, 30, 24});
        EXPECT_GT(glyph.CountOtherThan({0, 0, 30, 24}, RGB(255, 255, 255)), 4) << std::hex << id;
    }
    MenuCanvas none(30, 24);
    menu.DrawSystemGlyph(SC_MOVE, 0, none.dc(), {0, 0, 30, 24});
    CDrawMenu::DrawBarSystemGlyph(0, SC_SIZE, none.dc(), {0, 0, 30, 24});
    EXPECT_EQ(none.CountOtherThan({0, 0, 30, 24}, RGB(255, 255, 255)), 0);
}

// With the symbol font on the system (every Windows has it, and every test prefix), check marks,
// bullets and the system commands' pictures are its own glyphs, drawn as the font draws them, not
// the line drawings kept for a system without it.
TEST(MenuGlyphs, WithTheSymbolFontEachPictureIsItsGlyph)
{
    SavedMenuSettings saved;
    const RECT rect = {0, 0, 24, 20};
    auto reference = [&](MenuCanvas& canvas, char glyph, bool bold) {
        CFont font;
        font.CreateFont(rect.bottom - rect.top - 4, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
        CSelectGuard select(canvas.dc(), font.GetSafeHandle());
        char face[LF_FACESIZE] = {};
        ::GetTextFaceA(canvas.dc(), sizeof face, face);
        EXPECT_STREQ(face, "Marlett") << "the symbol font is missing";
        RECT inner = rect;
        ::InflateRect(&inner, -2, -2);
        ::SetBkMode(canvas.dc(), TRANSPARENT);
        ::DrawTextA(canvas.dc(), &glyph, 1, &inner, DT_CENTER | DT_SINGLELINE);
    };
    // Check mark, bullet, minimise, maximise, restore, close.
    for (char glyph : {'b', 'i', '0', '1', '2', 'r'}) {
        for (bool bold : {false, true}) {
            SCOPED_TRACE(std::string(1, glyph) + (bold ? " bold" : ""));
            MenuCanvas drawn(24, 20), expected(24, 20);
            ::SetTextColor(drawn.dc(), RGB(0, 0, 0));
            ::SetTextColor(expected.dc(), RGB(0, 0, 0));
            CDrawMenu::DrawMarlettGlyph(rect, glyph, bold, drawn.dc());
            reference(expected, glyph, bold);
            EXPECT_GT(expected.CountOtherThan(rect, RGB(255, 255, 255)), 4);
            EXPECT_EQ(drawn.Pixels(), expected.Pixels());
        }
    }
}

}  // namespace
