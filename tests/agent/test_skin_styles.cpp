// The style table and its rules, the shared drawing routines, and the theme components that load
// a skin file and hand it to the controls that refer to them.
#include <gtest/gtest.h>

#include "Paths.h"
#include "SkinFixtures.h"
#include "TempFolder.h"

#include "ISkinThemed.h"
#include "SkinHelpers.h"
#include "SkinKeys.h"
#include "SkinStyle.h"
#include "SkinTempFile.h"
#include "TApplication.h"
#include "TForm.h"
#include "TskBuiltInFileTheme.h"
#include "TskEdit.h"
#include "TskForm.h"

#include <set>

using namespace fixtures;

namespace {

COLORREF PixelAt(TBitmap& b, int x, int y)
{
    return GetPixel(b.DC(), x, y);
}

std::set<std::string> TempFiles()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((TempFolderPath() + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        names.insert(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

std::string SkinWithEditBorder(COLORREF border)
{
    return SkinArchive({DeflatedEntry("SKINDATA.SK2", SkinData({{"SKIN2_CONTROLBORDERCOLOR", 1, Int32(static_cast<int32_t>(border))},
                                                                 {"SKIN2_FORMCOLOR", 1, Int32(0x123456)}}))});
}

}  // namespace

TEST(SkinStyles, TheBuiltInTableAnswersByKind)
{
    const struct {
        TskUIStyle style;
        int position;
        TskBuiltInKind kind;
        long value;
    } cases[] = {
        {MacOS, 14, bkInteger, 0},   {WinXP, 14, bkInteger, 13},  {Glacier, 14, bkInteger, 11},
        {MacOS, 16, bkColor, static_cast<long>(RGB(127, 127, 127))}, {WinXP, 16, bkColor, static_cast<long>(RGB(0, 44, 200))},
        {Mineral, 16, bkColor, 0},   {Indigo, 25, bkColor, 0},    {WinXP, 25, bkColor, static_cast<long>(RGB(104, 104, 104))},
        {MacOS, 25, bkColor, static_cast<long>(RGB(127, 127, 127))}, {Glacier, 6, bkFlag, 1}, {Indigo, 6, bkFlag, 0},
        {Glacier, 8, bkInteger, -3}, {FromThemeFile, 14, bkInteger, -1}, {FromThemeFile, 1, bkInteger, -1},
        {Indigo, 0, bkInteger, -1},  {Indigo, 49, bkInteger, -1},
    };
    for (const auto& c : cases) {
        TskBuiltInEntry e = BuiltInEntry(c.style, c.position);
        EXPECT_EQ(e.kind, c.kind) << c.style << "/" << c.position;
        EXPECT_EQ(e.value, c.value) << c.style << "/" << c.position;
    }
    EXPECT_STREQ(BuiltInEntry(WinXP, posCheckBoxStrip).name, "WINXP_CHECKBOX");
    EXPECT_STREQ(BuiltInEntry(Glacier, 38).name, "MORE_SCROLLBUTTON");
    // A lookup of another kind answers the neutral value of the kind asked for.
    EXPECT_EQ(BuiltInInteger(WinXP, posEditBorder), -1);
    EXPECT_EQ(BuiltInColor(WinXP, posButtonStrip), 0u);
    EXPECT_EQ(BuiltInFlag(WinXP, 14), 0);
    EXPECT_EQ(BuiltInColor(Indigo, posSelectedMenu), RGB(68, 74, 160));
    EXPECT_EQ(BuiltInColor(WinXP, posMenuSideBar), RGB(214, 211, 206));
}

TEST(SkinStyles, UsesFileThemeOnlyForFromThemeFileWithAReadyTheme)
{
    harness::TempFolder folder("theme");
    std::string path = folder / "good.skn";
    harness::WriteFileBytes(path, SkinWithEditBorder(RGB(1, 2, 3)));
    TComponent owner(nullptr);
    TskFileTheme ready(&owner);
    ready.SetThemeFile(path);
    ASSERT_TRUE(ready.Ready());
    TskFileTheme notReady(&owner);
    const struct {
        TskFileTheme* theme;
        TskUIStyle style;
        bool uses;
        TskUIStyle resolved;
    } cases[] = {{&ready, WinXP, false, WinXP},          {&ready, FromThemeFile, true, FromThemeFile},
                 {nullptr, FromThemeFile, false, Indigo}, {&notReady, FromThemeFile, false, Indigo},
                 {nullptr, MacOS, false, MacOS}};
    for (const auto& c : cases) {
        TskUIStyle resolved = Glacier;
        EXPECT_EQ(UsesFileTheme(c.theme, c.style, resolved), c.uses);
        EXPECT_EQ(resolved, c.resolved);
    }
}

TEST(SkinStyles, DefaultStyleComesFromASkinnedFormOnTheOwnerElseIndigo)
{
    TApplication app;
    TForm plain(&app);
    EXPECT_EQ(DefaultUIStyle(&plain), Indigo);
    EXPECT_EQ(DefaultUIStyle(nullptr), Indigo);
    TForm skinned(&app);
    auto* skin = new TskForm(&skinned);
    skin->SetUIStyle(WinXP);
    EXPECT_EQ(DefaultUIStyle(&skinned), WinXP);
    TskEdit edit(&skinned);
    EXPECT_EQ(edit.UIStyle(), WinXP);
    EXPECT_EQ(edit.BorderColor(), RGB(104, 104, 104));
    TComponent notAForm(nullptr);
    EXPECT_EQ(DefaultUIStyle(&notAForm), Indigo);
}

TEST(SkinHelpers, GradientsStepPerColumnAndTheVerticalOneRepeatsItsSecondRow)
{
    const COLORREF from = RGB(0, 100, 255);
    const COLORREF to = RGB(10, 0, 245);
    TBitmap b;
    b.SetSize(12, 12);
    const struct {
        int width;
        std::vector<COLORREF> columns;
    } horizontal[] = {
        {1, {to}},
        {2, {from, to}},
        {3, {from, RGB(3, 67, 252), to}},     // 10/3 = 3.33 -> 3; -100/3 -> -33; -10/3 -> -3
        {4, {from, RGB(2, 75, 253), RGB(5, 50, 250), to}},   // 2.5 -> 2 and -2.5 -> -2: half to even
    };
    for (const auto& h : horizontal) {
        b.Canvas().SetBrushColor(clWhite);
        b.Canvas().FillRect(RECT{0, 0, 12, 12});
        DrawHorizontalGradient(b.Canvas(), RECT{1, 1, 1 + h.width, 3}, from, to);
        for (int x = 0; x < h.width; ++x) {
            EXPECT_EQ(PixelAt(b, 1 + x, 1), h.columns[static_cast<size_t>(x)]) << h.width << " col " << x;
            EXPECT_EQ(PixelAt(b, 1 + x, 2), h.columns[static_cast<size_t>(x)]) << h.width << " col " << x;
        }
        EXPECT_EQ(PixelAt(b, 1 + h.width, 1), RGB(255, 255, 255));
        EXPECT_EQ(PixelAt(b, 0, 1), RGB(255, 255, 255));
    }
    // Vertical over 5 rows: factor (y - top - 1): rows from, from, 1/5, 2/5, to.
    b.Canvas().FillRect(RECT{0, 0, 12, 12});
    DrawVerticalGradient(b.Canvas(), RECT{0, 0, 2, 5}, RGB(0, 0, 0), RGB(50, 100, 200));
    EXPECT_EQ(PixelAt(b, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(b, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(b, 1, 2), RGB(10, 20, 40));
    EXPECT_EQ(PixelAt(b, 1, 3), RGB(20, 40, 80));
    EXPECT_EQ(PixelAt(b, 1, 4), RGB(50, 100, 200));
    // Nothing for an empty rectangle.
    b.Canvas().SetBrushColor(clWhite);
    b.Canvas().FillRect(RECT{0, 0, 12, 12});
    DrawHorizontalGradient(b.Canvas(), RECT{3, 3, 3, 6}, from, to);
    DrawVerticalGradient(b.Canvas(), RECT{3, 3, 6, 3}, from, to);
    EXPECT_EQ(PixelAt(b, 3, 3), RGB(255, 255, 255));
}

TEST(SkinHelpers, CutBitmapPartTakesEqualSlicesAndTheLastFlushRight)
{
    TBitmap strip;
    strip.SetSize(10, 2);                  // 3 parts of 3; the last is columns 7-9
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 2; ++y)
            SetPixel(strip.DC(), x, y, RGB(x * 20, 0, 0));
    const struct {
        int index;
        int firstColumn;
    } cases[] = {{1, 0}, {2, 3}, {3, 7}};
    for (const auto& c : cases) {
        TBitmap part;
        CutBitmapPart(strip, part, 3, c.index);
        EXPECT_EQ(part.Width(), 3);
        EXPECT_EQ(part.Height(), 2);
        EXPECT_EQ(PixelAt(part, 0, 1), RGB(c.firstColumn * 20, 0, 0)) << c.index;
        EXPECT_EQ(PixelAt(part, 2, 0), RGB((c.firstColumn + 2) * 20, 0, 0)) << c.index;
    }
    TBitmap none;
    CutBitmapPart(strip, none, 3, 4);
    EXPECT_TRUE(none.Empty());
}

TEST(SkinHelpers, EllipsizeTextGivesThePrefixThatIsAtLeastTheLimitWide)
{
    TBitmap b;
    b.SetSize(1, 1);
    TCanvas& canvas = b.Canvas();
    std::string text = "Norvalix Sequora portable disk";
    EXPECT_EQ(EllipsizeText(canvas, text, canvas.TextWidth(text)), text);
    int limit = canvas.TextWidth("Norvalix...");
    std::string cut = EllipsizeText(canvas, text, limit);
    EXPECT_GE(canvas.TextWidth(cut), limit);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    // The one before it would have been narrower than the limit.
    std::string shorter = cut.substr(0, cut.size() - 4) + "...";
    EXPECT_LT(canvas.TextWidth(shorter), limit);
    EXPECT_EQ(EllipsizeText(canvas, "ab", 1), "a...");   // the first prefix already reaches the limit
    EXPECT_TRUE(CoordsInRect(5, 5, RECT{0, 0, 5, 5}));
    EXPECT_FALSE(CoordsInRect(6, 5, RECT{0, 0, 5, 5}));
    int r, g, bl;
    SplitRGB(MakeRGB(1, 2, 3), r, g, bl);
    EXPECT_EQ(r * 100 + g * 10 + bl, 123);
}

TEST(SkinThemes, AThemeFileIsFoundBesideTheProgramAndReadyCannotBeWritten)
{
    std::string programFolder = harness::TestBinDir();
    std::string name = "sequora-test-" + NewGuidText() + ".skn";
    std::string besideProgram = harness::JoinPath(programFolder, name);
    ASSERT_TRUE(harness::WriteFileBytes(besideProgram, SkinWithEditBorder(RGB(9, 8, 7))));
    {
        TComponent owner(nullptr);
        TskFileTheme theme(&owner);
        theme.SetReady(true);
        EXPECT_FALSE(theme.Ready());
        theme.SetThemeFile("C:\\no\\such\\folder\\" + name);
        EXPECT_TRUE(theme.Ready());
        EXPECT_EQ(theme.ThemeFile(), besideProgram);
        EXPECT_EQ(theme.GetColor(SKIN2_CONTROLBORDERCOLOR), static_cast<long>(RGB(9, 8, 7)));
        // A name found nowhere changes nothing.
        theme.SetThemeFile("C:\\no\\such\\folder\\missing-" + name);
        EXPECT_EQ(theme.ThemeFile(), besideProgram);
        EXPECT_TRUE(theme.Ready());
    }
    DeleteFileA(besideProgram.c_str());
}

TEST(SkinThemes, APasswordWriteReloadsTheSkin)
{
    harness::TempFolder folder("pw");
    ZipEntry entry = DeflatedEntry("SKINDATA.SK2", SkinData({{"SKIN2_FORMCOLOR", 1, Int32(77)}}));
    entry.password = "pw";
    std::string path = folder / "locked.skn";
    harness::WriteFileBytes(path, SkinArchive({entry}));
    TComponent owner(nullptr);
    TskFileTheme theme(&owner);
    theme.SetThemeFile(path);
    EXPECT_FALSE(theme.Ready());
    theme.SetPassword("pw");
    EXPECT_TRUE(theme.Ready());
    EXPECT_EQ(theme.GetColor(SKIN2_FORMCOLOR), 77);
}

TEST(SkinThemes, StoredSkinDataLoadsAndLeavesNoTemporaryFile)
{
    harness::TempFolder folder("data");
    std::string path = folder / "inside.skn";
    std::string bytes = SkinWithEditBorder(RGB(40, 50, 60));
    harness::WriteFileBytes(path, bytes);
    TComponent owner(nullptr);
    TskBuiltInFileTheme writer(&owner);
    std::string stored;
    EXPECT_FALSE(writer.SkinData(stored));      // no ThemeFile: nothing to store
    writer.SetThemeFile(path);
    ASSERT_TRUE(writer.SkinData(stored));
    EXPECT_EQ(stored, bytes);

    auto before = TempFiles();
    TskBuiltInFileTheme reader(&owner);
    reader.LoadSkinData(stored);
    EXPECT_TRUE(reader.Ready());
    EXPECT_EQ(reader.GetColor(SKIN2_CONTROLBORDERCOLOR), static_cast<long>(RGB(40, 50, 60)));
    EXPECT_EQ(TempFiles(), before);
}

TEST(SkinThemes, LoadingAThemeReappliesItToTheFormsSkinnedControlsAndRemovingItGivesIndigo)
{
    harness::TempFolder folder("apply");
    std::string path = folder / "apply.skn";
    harness::WriteFileBytes(path, SkinWithEditBorder(RGB(200, 10, 10)));
    TApplication app;
    TForm form(&app);
    auto* theme = new TskFileTheme(&form);
    auto* edit = new TskEdit(&form);
    edit->SetUIStyle(FromThemeFile);
    edit->SetFileTheme(theme);
    EXPECT_EQ(edit->BorderColor(), RGB(0, 0, 0));       // not ready: Indigo's border
    theme->SetThemeFile(path);
    EXPECT_EQ(edit->BorderColor(), RGB(200, 10, 10));
    delete theme;
    EXPECT_EQ(edit->FileTheme(), nullptr);
    EXPECT_EQ(edit->UIStyle(), Indigo);
}
