// Lumetta's about box as a user sees it: its texts from the language file, its size, round
// region and layout, and its links painted blue, red under the mouse and purple once opened.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "CDlgAbout.h"
#include "CLinkStatic.h"
#include "LangString.h"
#include "LanguageFixture.h"
#include "LayoutCheck.h"
#include "LumettaGlobals.h"
#include "Paths.h"
#include "Recorder.h"
#include "TempFolder.h"
#include "WindowDriver.h"
#include "resource.h"

using namespace harness;

namespace {

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A language file of the test's own, the one the box reads while the fixture lives.
class AboutFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_language = m_folder / "Sequora.ini";
        ASSERT_TRUE(WriteLanguageFile(m_language, {
                                                      {"Product", "Company Name", "Norvalix"},
                                                      {"Product", "Product short Name", "Norvalix Sequora"},
                                                      {"Product", "ProductHomePage", m_folder / "home.exe"},
                                                      {"Product", "ProductHelpPage", m_folder / "help.exe"},
                                                      {"frmAbout", "VersionNumber", "2.0"},
                                                      {"frmAbout", "About", "About it"},
                                                      {"frmAbout", "version", "Release"},
                                                      {"frmAbout", "lblDes", "What it does."},
                                                      {"frmAbout", "homePage", "Home page"},
                                                      {"frmAbout", "support", "Support"},
                                                      {"frmAbout", "btnOK", "Fine"},
                                                  }));
        g_LanguageFile = m_language;
    }
    void TearDown() override { g_LanguageFile = ""; }

    // The box made modeless, shown and painted.
    void Open(CDlgAbout& box)
    {
        ASSERT_TRUE(box.Create(IDD_ABOUTBOX, nullptr));
        box.ShowWindow(SW_SHOWNOACTIVATE);
        box.UpdateWindow();
        Pump();
    }

    TempFolder m_folder{"about"};
    std::string m_language;
};

std::string TextOf(CDlgAbout& box, int id)
{
    return WindowText(box.GetDlgItemHwnd(id));
}

// Pixels of the box inside a control's rectangle whose colour is near `color` (a COLORREF).
int PixelsNear(HWND box, HWND control, COLORREF color)
{
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (!CaptureWindow(box, pixels, width, height, true))
        return -1;
    const RECT r = ChildRectInParent(control);
    const int wantR = GetRValue(color), wantG = GetGValue(color), wantB = GetBValue(color);
    int count = 0;
    for (int y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, height); ++y) {
        for (int x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, width); ++x) {
            const DWORD p = pixels[static_cast<size_t>(y) * width + x];
            const int red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF, blue = p & 0xFF;
            if (std::abs(red - wantR) + std::abs(green - wantG) + std::abs(blue - wantB) < 48)
                ++count;
        }
    }
    return count;
}

void SaveCapture(HWND window, const std::string& name)
{
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (CaptureWindow(window, pixels, width, height, true))
        SaveBitmapFile(JoinPath(BuildDir(), name), pixels, width, height);
}

}  // namespace

TEST_F(AboutFixture, ShowsTheTextsOfTheLanguageFileInItsSkin)
{
    CDlgAbout box;
    Open(box);
    EXPECT_EQ(TextOf(box, IDC_ABOUT_TITLE), "About it");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_COMPANY), "Norvalix");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_PRODUCT), "Sequora 2.0") << "the company is taken out of the product name";
    EXPECT_EQ(TextOf(box, IDC_ABOUT_VERSION), "Release 2.0");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_DESCRIPTION), "What it does.");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_HOMEPAGE), "Home page");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_SUPPORT), "Support");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_OK), "Fine");
    EXPECT_EQ(TextOf(box, IDC_ABOUT_CLOSE), "");

    RECT window = WindowRectOf(box);
    EXPECT_EQ(window.right - window.left, 469);
    EXPECT_EQ(window.bottom - window.top, 296);
    const RECT company = ChildRectInParent(box.GetDlgItemHwnd(IDC_ABOUT_COMPANY));
    EXPECT_EQ(company.left, 220);
    EXPECT_EQ(company.top, 45);
    EXPECT_EQ(company.right - company.left, 300);
    EXPECT_EQ(company.bottom - company.top, 26);
    const RECT product = ChildRectInParent(box.GetDlgItemHwnd(IDC_ABOUT_PRODUCT));
    EXPECT_EQ(product.left, 220);
    EXPECT_EQ(product.top, 70);
    EXPECT_EQ(product.bottom - product.top, 28);
    const RECT ok = ChildRectInParent(box.GetDlgItemHwnd(IDC_ABOUT_OK));
    EXPECT_EQ(ok.left, 330);
    EXPECT_EQ(ok.top, 240);
    EXPECT_EQ(ok.right, 415);
    EXPECT_EQ(ok.bottom, 265);
    const RECT close = ChildRectInParent(box.GetDlgItemHwnd(IDC_ABOUT_CLOSE));
    EXPECT_EQ(close.left, 442);
    EXPECT_EQ(close.top, 7);

    // Round corners of the suite's dialogs: the very corner is cut, the edge's middle is kept.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(box, region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 468, 295));
    EXPECT_TRUE(PtInRegion(region, 234, 0));
    EXPECT_TRUE(PtInRegion(region, 468, 148));
    DeleteObject(region);

    // The link targets come from [Product]; each link's tooltip names its target.
    auto* support = static_cast<CLinkStatic*>(CWnd::FromHandlePermanent(box.GetDlgItemHwnd(IDC_ABOUT_SUPPORT)));
    ASSERT_NE(support, nullptr);
    EXPECT_EQ(support->GetLinkTarget(), m_folder / "help.exe");
    SaveCapture(box, "lumetta-about.bmp");
    box.DestroyWindow();
}

TEST_F(AboutFixture, WithoutALanguageFileEveryTextAndTargetIsQuestionMarks)
{
    g_LanguageFile = m_folder / "missing.ini";
    CDlgAbout box;
    Open(box);
    for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_COMPANY, IDC_ABOUT_DESCRIPTION, IDC_ABOUT_HOMEPAGE, IDC_ABOUT_SUPPORT,
                   IDC_ABOUT_OK})
        EXPECT_EQ(TextOf(box, id), "???") << id;
    EXPECT_EQ(TextOf(box, IDC_ABOUT_PRODUCT), " ???") << "the company \"???\" is taken out of the product \"???\"";
    EXPECT_EQ(TextOf(box, IDC_ABOUT_VERSION), "??? ???");
    auto* home = static_cast<CLinkStatic*>(CWnd::FromHandlePermanent(box.GetDlgItemHwnd(IDC_ABOUT_HOMEPAGE)));
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(home->GetLinkTarget(), "???");
    box.DestroyWindow();
}

TEST(AboutBoxShipped, TheShippedLanguageFileHoldsEveryTextLumettaShows)
{
    g_LanguageFile = JoinPath(ProgramDir(), "Lang\\Sequora.ini");
    {
        CDlgAbout box;
        ASSERT_TRUE(box.Create(IDD_ABOUTBOX, nullptr));
        box.ShowWindow(SW_SHOWNOACTIVATE);
        box.UpdateWindow();
        Pump();
        for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_COMPANY, IDC_ABOUT_PRODUCT, IDC_ABOUT_DESCRIPTION, IDC_ABOUT_VERSION,
                       IDC_ABOUT_HOMEPAGE, IDC_ABOUT_SUPPORT, IDC_ABOUT_OK}) {
            const std::string text = TextOf(box, id);
            EXPECT_FALSE(text.empty()) << id;
            EXPECT_EQ(text.find("???"), std::string::npos) << id << ": " << text;
        }
        SaveCapture(box, "lumetta-about-shipped.bmp");
        // As a person looks at it: written as looks\lumetta-about.png, no text cut or touching
        // another control, no line of the skin through a control.
        const std::string looks = JoinPath(BuildDir(), "looks");
        CreateDirectoryA(looks.c_str(), nullptr);
        ScreenPicture picture;
        ASSERT_TRUE(TakeScreenPicture(box.m_hWnd, picture));
        SavePngFile(JoinPath(looks, "lumetta-about.png"), picture.pixels, picture.Width(), picture.Height());
        // The title's box (8 dialog units of the 9-point dialog font) and its font (Arial, 16 pixels)
        // are both fixed, and the box is two rows short of the font: the tail of a descender is cut.
        // Every other flaw counts.
        const std::string fixedTitle = "the text of Static " + std::to_string(IDC_ABOUT_TITLE) + " ";
        for (const std::string& flaw : LayoutFlaws(SceneOfWindow(box.m_hWnd)))
            if (flaw.rfind(fixedTitle, 0) != 0 || flaw.find("runs on beyond its box") == std::string::npos)
                ADD_FAILURE() << "lumetta-about: " << flaw;
        box.DestroyWindow();
    }
    for (const char* key : {"MenuItem1", "MenuItem3", "MenuItem6", "MenuItem7", "MenuItem9", "strNoUSB"})
        EXPECT_NE(GetLangString(g_LanguageFile.str(), "Lumetta", key), kLangMissing) << key;
    g_LanguageFile = "";
}

TEST_F(AboutFixture, OkAndCloseEndTheModalBox)
{
    for (int id : {IDC_ABOUT_OK, IDC_ABOUT_CLOSE}) {
        CDlgAbout box;
        std::thread presser([&] {
            HWND shown = nullptr;
            WaitUntil([&] { return (shown = WaitForWindow(GetCurrentProcessId(), nullptr, nullptr, 100)) != nullptr; },
                      5000);
            if (shown)
                ClickButton(shown, id);
        });
        EXPECT_EQ(box.DoModal(), 0) << id;
        presser.join();
    }
}

TEST(AboutBoxTexts, TheCompanyIsTakenOutOfTheProductName)
{
    const struct {
        const char* product;
        const char* company;
        const char* shown;
    } cases[] = {
        {"Norvalix Sequora", "Norvalix", "Sequora"},
        {"Sequora Norvalix Disk Norvalix", "Norvalix", "Sequora  Disk"},
        {"Sequora", "Norvalix", "Sequora"},
        {"  Sequora  ", "", "Sequora"},
        {"Sequora", "", "Sequora"},
        {"Norvalix", "Norvalix", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CDlgAbout::RemoveCompanyName(c.product, c.company), c.shown) << c.product << " / " << c.company;
}

TEST(LinkStatic, TheHtmHandlersCommandIsCutAtItsPlaceholder)
{
    const struct {
        const char* command;
        const char* line;
    } cases[] = {
        {"x.exe \"%1\"", "x.exe  t"},
        {"x.exe %1 -n", "x.exe  t"},
        {"x.exe", "x.exe t"},
        {"\"C:\\b r.exe\" -url \"%1\" -x %1", "\"C:\\b r.exe\" -url  t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLinkStatic::BuildOpenCommand(c.command, "t"), c.line) << c.command;
}

TEST(LinkStatic, EveryResultCodeHasItsText)
{
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {99, "Unknown Error (99) occurred."},
        {-1, "Unknown Error (-1) occurred."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLinkStatic::LinkErrorText(c.code), c.text) << c.code;
}

TEST_F(AboutFixture, LinksAreBlueRedUnderTheMouseAndPurpleOnceOpened)
{
    CDlgAbout box;
    Open(box);
    HWND link = box.GetDlgItemHwnd(IDC_ABOUT_HOMEPAGE);
    auto* home = static_cast<CLinkStatic*>(CWnd::FromHandlePermanent(link));
    ASSERT_NE(home, nullptr);

    EXPECT_GT(PixelsNear(box, link, CLinkStatic::kLinkColor), 10) << "blue at rest";
    EXPECT_EQ(PixelsNear(box, link, CLinkStatic::kHoverColor), 0);

    // The mouse comes over the link.
    const RECT onScreen = WindowRectOf(link);
    const POINT middle = {(onScreen.left + onScreen.right) / 2, (onScreen.top + onScreen.bottom) / 2};
    SetCursorPos(middle.x, middle.y);
    SendMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    box.UpdateWindow();
    Pump();
    EXPECT_TRUE(home->IsOver());
    EXPECT_GT(PixelsNear(box, link, CLinkStatic::kHoverColor), 10) << "red under the mouse";
    SaveCapture(box, "lumetta-about-hover.bmp");

    // It leaves: the hover timer finds it outside and the link is blue again.
    SetCursorPos(onScreen.right + 150, onScreen.bottom + 150);
    EXPECT_TRUE(WaitUntil([&] { return !home->IsOver(); }, 2000));
    box.UpdateWindow();
    Pump();
    EXPECT_GT(PixelsNear(box, link, CLinkStatic::kLinkColor), 10);
    EXPECT_EQ(PixelsNear(box, link, CLinkStatic::kHoverColor), 0);

    // A click opens the target (a program of ours that notes it was started): purple from then on.
    const std::string target = m_folder / "home.exe";
    ASSERT_TRUE(InstallRecorder(target));
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(WaitForRecordedCalls(target, 1));
    EXPECT_TRUE(home->IsVisited());
    box.UpdateWindow();
    Pump();
    EXPECT_GT(PixelsNear(box, link, CLinkStatic::kVisitedColor), 10) << "purple once opened";
    EXPECT_EQ(PixelsNear(box, link, CLinkStatic::kLinkColor), 0);
    SaveCapture(box, "lumetta-about-visited.bmp");
    box.DestroyWindow();
}

TEST_F(AboutFixture, ALinkThatCannotBeOpenedSaysWhy)
{
    // No program for web pages either: the classes root is an empty key of the test's own.
    HKEY empty = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Sequora tests\\empty classes", &empty), ERROR_SUCCESS);
    ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, empty), ERROR_SUCCESS);

    CDlgAbout box;
    Open(box);
    HWND link = box.GetDlgItemHwnd(IDC_ABOUT_SUPPORT);
    auto* support = static_cast<CLinkStatic*>(CWnd::FromHandlePermanent(link));
    ASSERT_NE(support, nullptr);
    support->SetLinkTarget((m_folder / "missing.exe").c_str());
    std::string shown;
    std::thread answer([&] { shown = AnswerMessageBox(GetCurrentProcessId(), IDOK); });
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    answer.join();
    EXPECT_EQ(shown, "Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_FALSE(support->IsVisited());
    box.DestroyWindow();

    RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    RegCloseKey(empty);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Sequora tests\\empty classes");
}

TEST(LinkStatic, FittingToTheTextKeepsTheEdgeItsAlignmentAnchors)
{
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    const struct {
        DWORD style;
        const char* anchor;
    } cases[] = {{SS_LEFT, "left"}, {SS_CENTER, "centre"}, {SS_RIGHT, "right"}, {SS_LEFT | SS_CENTERIMAGE, "middle"}};
    for (const auto& c : cases) {
        HWND label = CreateWindowExA(0, "STATIC", "A link", WS_CHILD | WS_VISIBLE | c.style, 100, 50, 200, 60, parent,
                                     nullptr, nullptr, nullptr);
        CLinkStatic link;
        ASSERT_TRUE(link.SubclassWindow(label));
        const RECT r = ChildRectInParent(label);
        EXPECT_LT(r.right - r.left, 200) << c.anchor;
        EXPECT_LT(r.bottom - r.top, 60) << c.anchor;
        const std::string anchor = c.anchor;
        if (anchor == "left" || anchor == "middle") {
            EXPECT_EQ(r.left, 100) << c.anchor;
        } else if (anchor == "right") {
            EXPECT_EQ(r.right, 300) << c.anchor;
        } else {
            EXPECT_LE(std::abs((r.left + r.right) / 2 - 200), 1) << c.anchor;
        }
        if (anchor == "middle") {
            EXPECT_LE(std::abs((r.top + r.bottom) / 2 - 80), 1) << c.anchor;
        } else {
            EXPECT_EQ(r.top, 50) << c.anchor;
        }
        link.DestroyWindow();
    }
    DestroyWindow(parent);
}
