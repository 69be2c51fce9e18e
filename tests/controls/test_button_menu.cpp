// The owner-drawn button menu: what loading a template makes, the measured sizes in both looks,
// the look's rules, mnemonics, images, drawing read back from pixels, and clean destruction.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "CButtonMenu.h"
#include "CButtonMenuMemDC.h"
#include "CSkinButton.h"
#include "ChildProcess.h"
#include "ControlsFixture.h"
#include "Registry.h"
#include "TestFaceColors.h"
#include "test_controls_lib.h"

namespace {

int MenuFontWidth(const std::wstring& text)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectA(&metrics.lfMenuFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return size.cx;
}

const CButtonMenu::ItemRecord& Record(HMENU menu, int position)
{
    const CButtonMenu::ItemRecord* record = CButtonMenu::RecordOf(menu, static_cast<UINT>(position));
    EXPECT_NE(nullptr, record);
    static const CButtonMenu::ItemRecord none;
    return record ? *record : none;
}

MEASUREITEMSTRUCT Measure(CButtonMenu& menu, HMENU owner, int position)
{
    MEASUREITEMSTRUCT measure = {};
    measure.CtlType = ODT_MENU;
    measure.itemID = GetMenuItemID(owner, position);
    measure.itemData = reinterpret_cast<ULONG_PTR>(&Record(owner, position));
    menu.MeasureItem(&measure);
    return measure;
}

void Draw(CButtonMenu& menu, HMENU owner, int position, UINT state, PixelCanvas& canvas)
{
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_MENU;
    draw.itemID = GetMenuItemID(owner, position);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hwndItem = reinterpret_cast<HWND>(owner);
    draw.hDC = canvas.Dc();
    draw.rcItem = {0, 0, canvas.Width(), canvas.Height()};
    draw.itemData = reinterpret_cast<ULONG_PTR>(&Record(owner, position));
    menu.DrawItem(&draw);
}

// The looks are process-wide: each test that changes them puts the defaults back.
struct StyleGuard {
    ~StyleGuard()
    {
        CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, CButtonMenu::kClassicLook);
        CButtonMenu::SetShadedImages(TRUE);
    }
};

}  // namespace

TEST(CButtonMenu, LoadingMakesEveryItemOwnerDrawnWithItsRecord)
{
    CButtonMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    EXPECT_TRUE(menu.IsLoaded());
    ASSERT_EQ(2, menu.GetMenuItemCount());
    EXPECT_EQ(2, menu.GetRecordCount());
    EXPECT_EQ(3u, menu.GetSubMenus().size()) << "File, Edit and File's View";
    EXPECT_TRUE(CButtonMenu::IsMenu(menu.m_hMenu));

    HMENU file = menu.GetSubMenuHandle(0);
    HMENU edit = menu.GetSubMenuHandle(1);
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(5, GetMenuItemCount(file));
    HMENU view = GetSubMenu(file, 3);
    ASSERT_NE(nullptr, view);
    for (HMENU m : {file, edit, view})
        EXPECT_TRUE(CButtonMenu::IsMenu(m));
    struct Case {
        HMENU menu;
        int position;
        UINT id;
        bool separator;
    };
    const Case cases[] = {{file, 0, ID_FILE_OPEN, false}, {file, 1, ID_FILE_SAVE, false}, {file, 2, 0, true},
                          {file, 4, ID_FILE_EXIT, false}, {edit, 0, ID_EDIT_COPY, false}, {edit, 1, ID_EDIT_PASTE, false},
                          {view, 0, ID_VIEW_ONE, false},  {view, 1, ID_VIEW_TWO, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "position " << c.position << " id " << c.id);
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(c.menu, c.position, TRUE, &info));
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        EXPECT_EQ(c.separator, (info.fType & MFT_SEPARATOR) != 0);
        EXPECT_TRUE(CButtonMenu::IsRecord(info.dwItemData));
        if (!c.separator) {
            EXPECT_EQ(c.id, info.wID);
        }
    }
    EXPECT_TRUE(GetMenuState(view, ID_VIEW_TWO, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(edit, ID_EDIT_PASTE, MF_BYCOMMAND) & MF_GRAYED);

    // Labels with a shortcut are padded so the shortcuts start in one column.
    std::wstring open, save, exit;
    ASSERT_TRUE(menu.GetMenuText(ID_FILE_OPEN, open, MF_BYCOMMAND));
    ASSERT_TRUE(menu.GetMenuText(ID_FILE_SAVE, save, MF_BYCOMMAND));
    ASSERT_TRUE(menu.GetMenuText(ID_FILE_EXIT, exit, MF_BYCOMMAND));
    const std::wstring openLabel = open.substr(0, open.find(L'\t'));
    const std::wstring saveLabel = save.substr(0, save.find(L'\t'));
    EXPECT_EQ(L"Ctrl+O", open.substr(open.find(L'\t') + 1));
    EXPECT_EQ(0u, openLabel.find(L"&Open "));
    EXPECT_EQ(0u, saveLabel.find(L"&Save as... ")) << "the widest label gains one blank";
    const int widest = MenuFontWidth(L"&Save as... ");
    EXPECT_GE(MenuFontWidth(openLabel), widest);
    EXPECT_GE(MenuFontWidth(saveLabel), widest);
    EXPECT_LT(MenuFontWidth(openLabel.substr(0, openLabel.size() - 1)), widest) << "no more blanks than needed";
    EXPECT_EQ(L"E&xit", exit) << "a label without a shortcut stays";
    int position = -1;
    EXPECT_EQ(view, menu.FindCommand(ID_VIEW_TWO, position));
    EXPECT_EQ(1, position);
    EXPECT_FALSE(menu.LoadMenu(IDB_MISSING));
    EXPECT_TRUE(menu.IsLoaded()) << "a template that is not there leaves the menu as it was";
    EXPECT_TRUE(CButtonMenu::IsMenu(menu.m_hMenu));
}

TEST(CButtonMenu, DestroyingForgetsEveryHandleAndRecord)
{
    CButtonMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU top = menu.m_hMenu;
    const std::vector<HMENU> subs = menu.GetSubMenus();
    const ULONG_PTR data = reinterpret_cast<ULONG_PTR>(CButtonMenu::RecordOf(subs[0], 0));
    ASSERT_TRUE(CButtonMenu::IsRecord(data));
    EXPECT_TRUE(menu.DestroyMenu());
    EXPECT_FALSE(CButtonMenu::IsMenu(top));
    for (HMENU sub : subs)
        EXPECT_FALSE(CButtonMenu::IsMenu(sub));
    EXPECT_FALSE(CButtonMenu::IsRecord(data));
    EXPECT_FALSE(IsMenu(top)) << "the handle itself is gone";
    EXPECT_FALSE(menu.IsLoaded());
}

TEST(CButtonMenu, MeasureUsesTheGapOfTheLook)
{
    StyleGuard guard;
    CButtonMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = menu.GetSubMenuHandle(0);
    const int cyMenu = GetSystemMetrics(SM_CYMENU);
    const int exitWidth = MenuFontWidth(L"E&xit");
    struct Case {
        const char* name;
        int otherStyle;
        BOOL shaded;
        int itemExtra;
        int itemHeight;
        int separatorHeight;
    };
    // Under Wine the version code is 1 (not XP), so the "elsewhere" style decides the look.
    const Case cases[] = {
        {"classic", CButtonMenu::kClassicLook, TRUE, 2 * 16 + 1, std::max(cyMenu, 15 + 4), std::max(cyMenu / 2, (15 + 4) / 2)},
        {"XP look, shaded", CButtonMenu::kXpLook, TRUE, 16 + 7 + 8, std::max(cyMenu, 15 + 7), std::max(cyMenu / 2, (15 + 7) / 2)},
        {"XP look, plain", CButtonMenu::kXpLook, FALSE, 16 + 4 + 8, std::max(cyMenu, 15 + 4), std::max(cyMenu / 2, (15 + 4) / 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, c.otherStyle);
        CButtonMenu::SetShadedImages(c.shaded);
        const MEASUREITEMSTRUCT item = Measure(menu, file, 4);
        EXPECT_EQ(static_cast<UINT>(exitWidth + c.itemExtra), item.itemWidth);
        EXPECT_EQ(static_cast<UINT>(c.itemHeight), item.itemHeight);
        const MEASUREITEMSTRUCT separator = Measure(menu, file, 2);
        EXPECT_EQ(0u, separator.itemWidth);
        EXPECT_EQ(static_cast<UINT>(c.separatorHeight), separator.itemHeight);
    }
}

TEST(CButtonMenu, TheXpLookNeedsXpAndATheme)
{
    struct Case {
        int version;
        const char* theme;
        bool xp;
    };
    const Case cases[] = {
        {CButtonMenu::kWinXp, nullptr, true},
        {CButtonMenu::kWinXp, "", true},
        {CButtonMenu::kWinXp, "C:\\WINDOWS\\Resources\\Themes\\Luna.theme", true},
        {CButtonMenu::kWinXp, "C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme", false},
        {CButtonMenu::kWinXp, "d:\\themes\\WINDOWS CLASSIC.THEME", false},
        {CButtonMenu::kWinXp, "Windows Classic.theme.bak", true},
        {CButtonMenu::kOtherNt, nullptr, false},
        {CButtonMenu::kWin2000, "Luna.theme", false},
        {CButtonMenu::kWin98, nullptr, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.xp, CButtonMenu::XpLookFor(c.version, c.theme)) << c.version << " " << (c.theme ? c.theme : "-");
}

TEST(CButtonMenu, VersionCodesFollowTheirOwnTable)
{
    struct Case {
        DWORD platform, major, minor;
        int code;
    };
    const Case cases[] = {
        {VER_PLATFORM_WIN32s, 3, 10, CButtonMenu::kWin32s},   {VER_PLATFORM_WIN32_WINDOWS, 4, 0, CButtonMenu::kWin95},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, CButtonMenu::kWin98}, {VER_PLATFORM_WIN32_WINDOWS, 4, 90, CButtonMenu::kWinMe},
        {VER_PLATFORM_WIN32_NT, 4, 0, CButtonMenu::kWinNt4},   {VER_PLATFORM_WIN32_NT, 5, 0, CButtonMenu::kWin2000},
        {VER_PLATFORM_WIN32_NT, 5, 1, CButtonMenu::kWinXp},    {VER_PLATFORM_WIN32_NT, 5, 2, CButtonMenu::kOtherNt},
        {VER_PLATFORM_WIN32_NT, 6, 1, CButtonMenu::kOtherNt},  {VER_PLATFORM_WIN32_NT, 10, 0, CButtonMenu::kOtherNt},
    };
    for (const Case& c : cases) {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        version.dwPlatformId = c.platform;
        version.dwMajorVersion = c.major;
        version.dwMinorVersion = c.minor;
        EXPECT_EQ(c.code, CButtonMenu::VersionCodeFor(version)) << c.platform << " " << c.major << "." << c.minor;
    }
    EXPECT_EQ(CButtonMenu::kOtherNt, CButtonMenu::GetVersionCode()) << "this Wine reports Windows 7";
    EXPECT_FALSE(CButtonMenu::IsXpLookInForce());
}

TEST(CButtonMenu, LighteningMovesEachPartTowardWhiteTruncated)
{
    struct Case {
        COLORREF color;
        double factor;
        COLORREF expected;
    };
    const Case cases[] = {
        {RGB(0, 0, 0), 0.30, RGB(76, 76, 76)},
        {RGB(200, 100, 0), 0.49, RGB(226, 175, 124)},
        {RGB(255, 255, 255), 0.30, RGB(255, 255, 255)},
        {RGB(10, 20, 30), 0.0, RGB(10, 20, 30)},
        {RGB(10, 20, 30), 1.0, RGB(255, 255, 255)},
        {RGB(10, 20, 30), 1.5, RGB(10, 20, 30)},
        {RGB(10, 20, 30), -0.2, RGB(10, 20, 30)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, CButtonMenu::Lighten(c.color, c.factor)) << std::hex << c.color << " by " << c.factor;
}

TEST(CButtonMenu, MnemonicsExecuteTheItemOfAPopup)
{
    CButtonMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = menu.GetSubMenuHandle(0);
    struct Case {
        HMENU menu;
        UINT key;
        UINT flags;
        LRESULT expected;
    };
    const Case cases[] = {
        {menu.m_hMenu, 'f', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {menu.m_hMenu, 'E', MF_POPUP, MAKELRESULT(1, MNC_EXECUTE)},
        {file, 'o', MF_POPUP, MAKELRESULT(0, MNC_EXECUTE)},
        {file, 'x', MF_POPUP, MAKELRESULT(4, MNC_EXECUTE)},
        {file, 'v', MF_POPUP, MAKELRESULT(3, MNC_EXECUTE)},
        {file, 'q', MF_POPUP, 0},
        {file, 'o', MF_SYSMENU, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, menu.MenuChar(c.key, c.flags, c.menu)) << static_cast<char>(c.key);
    HMENU foreign = CreatePopupMenu();
    AppendMenuA(foreign, MF_STRING, 1, "&Open");
    EXPECT_EQ(0, menu.MenuChar('o', MF_POPUP, foreign));
    DestroyMenu(foreign);

    // Through the button that carries the menu.
    TestParent parent;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &parent, 1000));
    ASSERT_TRUE(button.SetMenu(IDR_TEST_MENU, parent.m_hWnd));
    HMENU buttonFile = button.GetMenu().GetSubMenuHandle(0);
    EXPECT_EQ(MAKELRESULT(4, MNC_EXECUTE),
              button.SendMessage(WM_MENUCHAR, MAKEWPARAM('x', MF_POPUP), reinterpret_cast<LPARAM>(buttonFile)));
}

TEST(CButtonMenu, ImagesComeFromBitmapAndToolbarResourcesIntoOneSharedList)
{
    StyleGuard guard;
    CButtonMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"&Open", MF_STRING, ID_FILE_OPEN, IDB_MENU_IMAGE));
    ASSERT_TRUE(menu.AppendODMenu(L"Copy", MF_STRING, ID_EDIT_COPY, IDR_MENU_STRIP));
    ASSERT_TRUE(menu.AppendODMenu(L"Paste", MF_STRING, ID_EDIT_PASTE));
    ASSERT_TRUE(menu.AppendODMenu(L"", MF_STRING, 0));
    ASSERT_TRUE(menu.AppendODMenu(L"Again", MF_STRING, ID_FILE_OPEN));
    const int open = CButtonMenu::SharedImageFor(ID_FILE_OPEN);
    const int copy = CButtonMenu::SharedImageFor(ID_EDIT_COPY);
    const int paste = CButtonMenu::SharedImageFor(ID_EDIT_PASTE);
    ASSERT_GE(open, 0);
    ASSERT_GE(copy, 0);
    EXPECT_EQ(copy + 1, paste) << "the toolbar's gap takes no image";
    EXPECT_EQ(open, Record(menu, 0).sharedImage);
    EXPECT_EQ(copy, Record(menu, 1).sharedImage);
    EXPECT_EQ(paste, Record(menu, 2).sharedImage) << "an item without its own image takes its command's";
    EXPECT_EQ(open, Record(menu, 4).sharedImage);
    EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR);

    // The image is drawn in the image column, shaded or not.
    for (int style : {CButtonMenu::kClassicLook, CButtonMenu::kXpLook}) {
        CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, style);
        PixelCanvas canvas(120, 22, RGB(0, 0, 0));
        Draw(menu, menu, 0, 0, canvas);
        int ink = 0;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 30; ++x)
                ink += canvas.At(x, y) == kMenuImageColor;
        EXPECT_GT(ink, 16 * 10) << "style " << style;
    }
}

// The XP look paints a disabled item off-screen, in the font the system chose for the item, so its
// label is as wide as the same label enabled.
TEST(CButtonMenu, TheXpLookDrawsADisabledLabelInTheItemsFont)
{
    StyleGuard guard;
    CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, CButtonMenu::kXpLook);
    CButtonMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"Wide label", MF_STRING, 7));
    HFONT big = CreateFontA(30, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    ASSERT_NE(big, nullptr);
    const DWORD back = ScreenColor(CButtonMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.8));
    int widths[2] = {};
    for (int disabled = 0; disabled < 2; ++disabled) {
        PixelCanvas canvas(320, 36, RGB(1, 2, 3));
        HGDIOBJ old = SelectObject(canvas.Dc(), big);
        Draw(menu, menu, 0, disabled ? ODS_GRAYED : 0, canvas);
        SelectObject(canvas.Dc(), old);
        int first = 320, last = -1;
        for (int y = 0; y < 36; ++y)
            for (int x = 40; x < 320; ++x)
                if (canvas.At(x, y) != back) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        widths[disabled] = last - first + 1;
    }
    DeleteObject(big);
    EXPECT_GT(widths[0], 120) << "the label in the item's big font";
    EXPECT_NEAR(widths[1], widths[0], 2) << "disabled, in the same font";
}

// Every image gets its lighter copy and its shadow, those of a toolbar strip too: idle, the XP
// look shows the lighter copy; under the cursor, the image raised over its shadow.
TEST(CButtonMenu, ToolbarImagesGetShadedCopiesToo)
{
    StyleGuard guard;
    CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, CButtonMenu::kXpLook);
    CButtonMenu::SetShadedImages(TRUE);
    CButtonMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"Copy", MF_STRING, ID_EDIT_COPY, IDR_MENU_STRIP));
    ASSERT_TRUE(menu.AppendODMenu(L"Open", MF_STRING, ID_FILE_OPEN, IDB_MENU_IMAGE));
    const DWORD image = kMenuImageColor;
    const DWORD lighter = ScreenColor(CButtonMenu::Lighten(RGB(image >> 16, (image >> 8) & 0xFF, image & 0xFF), 0.3));
    for (int item : {0, 1}) {
        SCOPED_TRACE(item == 0 ? "from the toolbar strip" : "from a bitmap");
        auto count = [](const PixelCanvas& canvas, DWORD color) {
            int n = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 30; ++x)
                    n += canvas.At(x, y) == color;
            return n;
        };
        PixelCanvas idle(120, 24, RGB(0, 0, 0));
        Draw(menu, menu, item, 0, idle);
        EXPECT_GT(count(idle, lighter), 16 * 10) << "the lighter copy";
        EXPECT_EQ(count(idle, image), 0);
        PixelCanvas hovered(120, 24, RGB(0, 0, 0));
        Draw(menu, menu, item, ODS_SELECTED, hovered);
        EXPECT_GT(count(hovered, image), 16 * 10) << "the image itself";
        const COLORREF shadow = CButtonMenu::IsXpLookInForce() ? GetSysColor(COLOR_BTNSHADOW)
                                                               : CButtonMenu::Lighten(GetSysColor(COLOR_BTNSHADOW), 0.49);
        EXPECT_GT(count(hovered, ScreenColor(shadow)), 10) << "over its shadow";
    }
}

TEST(CButtonMenu, DrawingPaintsSelectionChecksAndSeparators)
{
    StyleGuard guard;
    CButtonMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    ASSERT_TRUE(menu.AppendODMenu(L"Plain", MF_STRING, 1));
    ASSERT_TRUE(menu.AppendODMenu(L"Radio", MF_STRING | MFT_RADIOCHECK, 2));
    ASSERT_TRUE(menu.AppendODMenu(L"", MF_STRING, 0));
    const DWORD highlight = ScreenColor(GetSysColor(COLOR_HIGHLIGHT));
    const DWORD menuBack = ScreenColor(GetSysColor(COLOR_MENU));
    const DWORD xpBack = ScreenColor(CButtonMenu::Lighten(GetSysColor(COLOR_BTNFACE), 0.8));
    const DWORD xpSelected = ScreenColor(CButtonMenu::Lighten(GetSysColor(COLOR_HIGHLIGHT), 0.7));
    struct Case {
        const char* name;
        int style;
        UINT state;
        DWORD textAreaColor;     // at the right end of the item
    };
    const Case cases[] = {
        {"classic idle", CButtonMenu::kClassicLook, 0, menuBack},
        {"classic selected", CButtonMenu::kClassicLook, ODS_SELECTED, highlight},
        {"classic disabled under the cursor is highlighted", CButtonMenu::kClassicLook, ODS_SELECTED | ODS_GRAYED, highlight},
        {"XP idle", CButtonMenu::kXpLook, 0, xpBack},
        {"XP selected", CButtonMenu::kXpLook, ODS_SELECTED, xpSelected},
        {"XP disabled under the cursor is not", CButtonMenu::kXpLook, ODS_SELECTED | ODS_GRAYED, xpBack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, c.style);
        PixelCanvas canvas(120, 20, RGB(1, 2, 3));
        Draw(menu, menu, 0, c.state, canvas);
        EXPECT_EQ(c.textAreaColor, canvas.At(110, 10));
    }
    // A checked radio item without an image shows a dot in the image column; a separator a line.
    for (int style : {CButtonMenu::kClassicLook, CButtonMenu::kXpLook}) {
        SCOPED_TRACE(style);
        CButtonMenu::SetDrawingStyles(CButtonMenu::kXpLook, style);
        PixelCanvas canvas(120, 20, RGB(1, 2, 3));
        Draw(menu, menu, 1, ODS_CHECKED, canvas);
        const DWORD text = ScreenColor(GetSysColor(COLOR_MENUTEXT));
        int dot = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 26; ++x)
                dot += canvas.At(x, y) == text;
        EXPECT_GE(dot, 12);
        EXPECT_LE(dot, 40);
        PixelCanvas line(120, 10, RGB(1, 2, 3));
        Draw(menu, menu, 2, 0, line);
        EXPECT_EQ(ScreenColor(GetSysColor(COLOR_BTNSHADOW)), line.At(60, 5));
    }
}

TEST(CButtonMenuMemDC, DrawsOffScreenAndCopiesOnceAtTheEnd)
{
    PixelCanvas canvas(60, 40, RGB(255, 255, 255));
    {
        CButtonMenuMemDC memory(canvas.Dc(), CRect(10, 5, 40, 25));
        ASSERT_TRUE(memory.IsOffScreen());
        memory.FillSolidRect(CRect(10, 5, 40, 25), RGB(200, 0, 0));
        EXPECT_EQ(0xFFFFFFu, canvas.At(15, 10)) << "nothing reaches the target yet";
    }
    EXPECT_EQ(0xC80000u, canvas.At(15, 10));
    EXPECT_EQ(0xC80000u, canvas.At(39, 24));
    EXPECT_EQ(0xFFFFFFu, canvas.At(40, 25));
    EXPECT_EQ(0xFFFFFFu, canvas.At(9, 5));
}

namespace {

const char kChildSwitch[] = "SEQUORA_BUTTON_MENU_CHILD";
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\test_controls_lib.exe";
const char kThemeKey[] = "Software\\Microsoft\\Plus!\\Themes\\Current";

std::string ChildMode()
{
    char value[32] = "";
    GetEnvironmentVariableA(kChildSwitch, value, sizeof value);
    return value;
}

// Runs this test program again, as Windows XP, with one test of its own.
DWORD RunAsXp(const std::string& mode, const char* theme)
{
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    harness::WriteRegistryString(HKEY_CURRENT_USER, kAppDefaults, "Version", "winxp");
    if (theme)
        harness::WriteRegistryString(HKEY_CURRENT_USER, kThemeKey, "", theme);
    SetEnvironmentVariableA(kChildSwitch, mode.c_str());
    const DWORD code = harness::RunAndWait(self, "--gtest_filter=CButtonMenuOnXp.*", 60000);
    SetEnvironmentVariableA(kChildSwitch, nullptr);
    harness::DeleteRegistryTree(HKEY_CURRENT_USER, kAppDefaults);
    harness::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Plus!");
    return code;
}

}  // namespace

// What the program finds when it runs on Windows XP (run by the test below in a child process).
TEST(CButtonMenuOnXp, TheLookFollowsTheVersionAndTheTheme)
{
    const std::string mode = ChildMode();
    if (mode.empty())
        GTEST_SKIP() << "runs as a child of the XP test";
    EXPECT_EQ(CButtonMenu::kWinXp, CButtonMenu::GetVersionCode());
    const bool themed = mode == "themed";
    EXPECT_EQ(themed, CButtonMenu::IsXpLookInForce());
    CButtonMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = menu.GetSubMenuHandle(0);
    const int cyMenu = GetSystemMetrics(SM_CYMENU);
    const MEASUREITEMSTRUCT item = Measure(menu, file, 4);
    const int extra = themed ? 16 + 7 + 8 : 2 * 16 + 1;
    EXPECT_EQ(static_cast<UINT>(MenuFontWidth(L"E&xit") + extra), item.itemWidth);
    EXPECT_EQ(static_cast<UINT>(std::max(cyMenu, 15 + (themed ? 7 : 4))), item.itemHeight);
}

TEST(CButtonMenu, OnWindowsXpTheFlatLookIsInForceUnlessTheThemeIsClassic)
{
    if (!ChildMode().empty())
        GTEST_SKIP();
    EXPECT_EQ(0u, RunAsXp("themed", nullptr)) << "no theme value: the XP look";
    EXPECT_EQ(0u, RunAsXp("themed", "C:\\WINDOWS\\Resources\\Themes\\Luna.theme"));
    EXPECT_EQ(0u, RunAsXp("classic", "C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
}
