// The skinned form on a test form: the frame it takes over (caption style, client area, corners),
// its title bar laid out from the built-in pictures and driven by clicks, the system menu, the
// menu bar of the main menu, and the refusals. A picture of the form in every built-in style is
// left in the build folder for the eye.
#include <gtest/gtest.h>

#include "Paths.h"
#include "SkinFixtures.h"
#include "TempFolder.h"
#include "PngFile.h"
#include "WindowDriver.h"

#include "SkinHelpers.h"
#include "SkinStyle.h"
#include "TApplication.h"
#include "TForm.h"
#include "TToolButton.h"
#include "TskForm.h"
#include "TskMainMenu.h"
#include "TskMenuBar.h"
#include "TskTitleBar.h"
#include "TskFileTheme.h"
#include "TskTitleBarPopupMenu.h"

#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr UINT kMenuGetHandle = 0x01E1;     // MN_GETHMENU

void Pump(DWORD ms = 80)
{
    harness::WaitUntil([] { return false; }, ms);
    if (Application)
        Application->ProcessMessages();
}

const char* StyleName(TskUIStyle style)
{
    const char* names[] = {"FromThemeFile", "MacOS", "WinXP", "Indigo", "Mineral", "Glacier"};
    return names[style];
}

// The first-drawn height of each style's title pictures.
int TitleHeight(TskUIStyle style)
{
    TBitmap b;
    LoadBuiltInBitmap(style, 10, b);
    return b.Height();
}

// A shown form with a skinned frame and a main menu: File (Open Ctrl+O, Exit), Edit (disabled), Help.
struct SkinnedForm {
    TApplication app;
    TForm* form;
    TskForm* skin;
    TskMainMenu* menu;
    TMenuItem* file;
    TMenuItem* open;
    TMenuItem* exitItem;
    TMenuItem* edit;
    TMenuItem* help;
    std::string log;

    TMenuItem* Item(TMenuItem* parent, const char* caption)
    {
        auto* item = new TMenuItem(form);
        item->SetCaption(caption);
        parent->Add(item);
        item->OnClick = [this, caption](TObject*) { log += std::string(caption) + ";"; };
        return item;
    }

    explicit SkinnedForm(TskUIStyle style = Indigo)
    {
        form = new TForm(&app);
        form->SetBounds(40, 40, 420, 280);
        form->SetCaption("Skinned");
        form->BeginLoading();
        skin = new TskForm(form);
        menu = new TskMainMenu(form);
        file = Item(menu->Items(), "&File");
        open = Item(file, "&Open");
        open->SetShortCut(0x4000 | 'O');
        exitItem = Item(file, "E&xit");
        edit = Item(menu->Items(), "&Edit");
        edit->SetEnabled(false);
        Item(edit, "&Copy");
        help = Item(menu->Items(), "&Help");
        Item(help, "&About");
        skin->SetMenu(menu);
        skin->SetUIStyle(style);
        form->FinishBuilding();
        form->OnClose = [this](TObject*, TCloseAction&) { log += "close;"; };
        form->Show();
        SetForegroundWindow(form->Handle());
        Pump(200);
    }

    HWND Window() { return form->Handle(); }
    TskTitleBar* Bar() { return skin->TitleBar(); }
    TskTitleBarButton* Button(TskTitleBarBtnType type)
    {
        for (int i = 0; i < Bar()->Buttons().Count(); ++i)
            if (Bar()->Buttons().Items(i)->ButtonType() == type)
                return Bar()->Buttons().Items(i);
        return nullptr;
    }
    // A left click in the title bar's window, as the mouse gives it.
    void ClickTitleBar(POINT p)
    {
        HWND bar = Bar()->Handle();
        SendMessageA(bar, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
        Pump();
    }
    void ClickButton(TskTitleBarBtnType type)
    {
        Bar()->Repaint();
        const RECT& r = Button(type)->Bounds();
        ClickTitleBar(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    std::vector<DWORD> Capture(int& w, int& h)
    {
        RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(150);
        std::vector<DWORD> pixels;
        EXPECT_TRUE(harness::CaptureWindow(Window(), pixels, w, h));
        return pixels;
    }
};

// How far below the window's top edge its client area starts.
int ClientTop(HWND window)
{
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    return client.top - outer.top;
}

DWORD Rgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Runs `inside` from a timer while a menu is tracked (the menu loop dispatches timers); it gets
// the menu window, or null when none opened within the time.
struct MenuWatch {
    static std::function<void(HWND)>& Action()
    {
        static std::function<void(HWND)> action;
        return action;
    }
    static int& Ticks()
    {
        static int ticks = 0;
        return ticks;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        HWND menu = FindWindowA("#32768", nullptr);
        if ((menu && IsWindowVisible(menu)) || ++Ticks() > 20) {
            KillTimer(nullptr, id);
            auto action = Action();
            Action() = nullptr;
            if (action)
                action(menu && IsWindowVisible(menu) ? menu : nullptr);
        }
    }
    explicit MenuWatch(std::function<void(HWND)> inside)
    {
        Ticks() = 0;
        Action() = std::move(inside);
        SetTimer(nullptr, 0, 100, &MenuWatch::Tick);
    }
};

// The items of a tracked owner-drawn menu, as the form layer hands them to the menu.
std::vector<TMenuItem*> MenuItemsOf(HWND menuWindow)
{
    std::vector<TMenuItem*> items;
    auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, kMenuGetHandle, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_STATE;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back(reinterpret_cast<TMenuItem*>(info.dwItemData));
    }
    return items;
}

void PressKey(HWND window, WORD key)
{
    PostMessageA(window, WM_KEYDOWN, key, 0);
    PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

// A left click on a button of the menu bar, as the mouse gives it. The bar may be gone after it.
void ClickBarButton(TskMenuBar* bar, int index)
{
    TToolButton* b = bar->Buttons(index);
    HWND window = bar->Handle();
    int x = b->Left() + 5, y = b->Top() + 5;
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

std::vector<std::string> ButtonCaptions(TskMenuBar* bar)
{
    std::vector<std::string> captions;
    for (int i = 0; i < bar->ButtonCount(); ++i)
        if (bar->Buttons(i)->Visible())
            captions.push_back(bar->Buttons(i)->Caption());
    return captions;
}

constexpr uint32_t kSeeThrough = 0xFF00FF;      // the skin's transparent colour, magenta

// A skin file of our own: three title sections (five when `fiveSections`: the second spans the
// caption), side borders, a bottom border whose left third is see-through in its two lowest rows
// and whose thirds are red, green and blue, and a window region wanted for the bottom.
std::string SmallSkin(bool bottomInThreeParts, bool fiveSections = false)
{
    using namespace fixtures;
    auto bottom = [](int x, int y) -> uint32_t {
        if (y >= 3 && x < 10)
            return kSeeThrough;
        return x < 10 ? 0xC80000u : x < 20 ? 0x00C800u : 0x0000C8u;
    };
    std::vector<SkinRecord> records = {
        {"SKIN2_TITLEBAR1", 0, BitmapFile(40, 30, 200, 0, 0)},
        {"SKIN2_TITLEBAR2", 0, BitmapFile(10, 30, 0, 200, 0)},
        {"SKIN2_TITLEBAR3", 0, BitmapFile(20, 30, 0, 0, 200)},
        {"SKIN2_TITLEBAR4", 0, BitmapFile(10, 30, 90, 90, 90)},
        {"SKIN2_TITLEBAR5", 0, BitmapFile(20, 30, 200, 200, 0)},
        {"SKIN2_FORMLEFTBORDER", 0, BitmapFile(6, 10, 250, 250, 0)},
        {"SKIN2_FORMRIGHTBORDER", 0, BitmapFile(6, 10, 0, 250, 250)},
        {"SKIN2_FORMBOTTOMBORDER1", 0, BitmapFile(30, 5, bottom)},
        {"SKIN2_TITLEBUTTONS", 0, BitmapFile(18 * 16, 16, 90, 90, 90)},
        {"SKIN2_FORMCOLOR", 1, Int32(static_cast<int32_t>(RGB(30, 140, 90)))},
        {"SKIN2_TRANSCOLOR", 1, Int32(static_cast<int32_t>(RGB(255, 0, 255)))},
        {"SKIN2_TITLEBARICONPOSX", 1, Int32(8)},
        {"SKIN2_BOTTOMREGIONMINY", 1, Int32(0)},
        {"SKIN2_BOTTOMREGIONMAXY", 1, Int32(4)},
        {"SKIN2_BOTTOMBORDERNEEDREGION", 2, std::string(1, '\1')},
        {"SKIN2_BOTTOMBORDERTHREESECT", 2, std::string(1, bottomInThreeParts ? '\1' : '\0')},
        {"SKIN2_TITLEFIVESECT", 2, std::string(1, fiveSections ? '\1' : '\0')},
    };
    return SkinArchive({DeflatedEntry("SKINDATA.SK2", SkinData(records))});
}

// The skinned form wearing a skin file.
struct SkinnedWithFile {
    SkinnedForm f;
    harness::TempFolder folder{"skinform"};
    TskFileTheme* theme = nullptr;

    explicit SkinnedWithFile(const std::string& skin)
    {
        std::string path = folder / "form.skn";
        harness::WriteFileBytes(path, skin);
        theme = new TskFileTheme(f.form);
        theme->SetThemeFile(path);
        f.skin->SetFileTheme(theme);
        f.skin->SetUIStyle(FromThemeFile);
        Pump();
    }
};

constexpr UINT kProbe = WM_APP + 77;
WNDPROC g_procBelow = nullptr;
int g_probesAbove = 0;

// A subclass someone else puts on the form, above the skinned form's.
LRESULT CALLBACK SubclassAbove(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kProbe)
        ++g_probesAbove;
    return CallWindowProcA(g_procBelow, window, message, wParam, lParam);
}

}  // namespace

TEST(SkinnedFrame, TheCaptionStyleGoesAndStaysGoneAfterTheMessagesThatBringItBack)
{
    SkinnedForm f;
    HWND w = f.Window();
    EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
    for (UINT notice : {0xB033u, 0xB03Au, 0xBE10u}) {
        SetWindowLongA(w, GWL_STYLE, GetWindowLongA(w, GWL_STYLE) | WS_CAPTION);
        SendMessageA(w, notice, 0, 0);
        EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0) << std::hex << notice;
    }
    ShowWindow(w, SW_HIDE);
    ShowWindow(w, SW_SHOW);
    EXPECT_EQ(GetMenu(w), nullptr);
}

TEST(SkinnedFrame, TheClientAreaIsTheWindowLessTheSkinnedBorderAndTheCornersFollowTheStyle)
{
    const struct {
        TskUIStyle style;
        int border;           // sides and bottom: the line width + 2, 4 for a 3-pixel line
        bool roundTop;
    } cases[] = {{Indigo, 3, false}, {WinXP, 4, true}, {MacOS, 3, false}, {Glacier, 3, true}, {Mineral, 3, false}};
    for (const auto& c : cases) {
        SkinnedForm f(c.style);
        HWND w = f.Window();
        RECT window, client;
        GetWindowRect(w, &window);
        GetClientRect(w, &client);
        MapWindowPoints(w, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_EQ(client.left - window.left, c.border) << StyleName(c.style);
        EXPECT_EQ(window.right - client.right, c.border) << StyleName(c.style);
        EXPECT_EQ(window.bottom - client.bottom, c.border) << StyleName(c.style);
        EXPECT_EQ(client.top - window.top, kTitleBarOverlap) << StyleName(c.style);
        EXPECT_EQ(SendMessageA(f.skin->Handle(), SKM_GETBORDERWIDTH, 0, 0), c.border);

        // The window region: round upper corners only where the style has a corner size.
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(w, region), ERROR) << StyleName(c.style);
        int width = window.right - window.left, height = window.bottom - window.top;
        EXPECT_EQ(PtInRegion(region, 0, 0) != FALSE, !c.roundTop) << StyleName(c.style);
        EXPECT_EQ(PtInRegion(region, width - 1, 0) != FALSE, !c.roundTop) << StyleName(c.style);
        EXPECT_TRUE(PtInRegion(region, width / 2, 0)) << StyleName(c.style);
        EXPECT_TRUE(PtInRegion(region, 0, height - 1)) << StyleName(c.style);   // the lower corners stay square
        EXPECT_TRUE(PtInRegion(region, width - 1, height - 1)) << StyleName(c.style);
        EXPECT_TRUE(PtInRegion(region, 0, height / 2)) << StyleName(c.style);
        DeleteObject(region);

        // The bottom edge is a line of the border colour.
        int sw = 0, sh = 0;
        std::vector<DWORD> pixels = f.Capture(sw, sh);
        ASSERT_EQ(sw, width);
        EXPECT_EQ(pixels[static_cast<size_t>((sh - 1) * sw + sw / 2)], Rgb(BuiltInColor(c.style, 16))) << StyleName(c.style);
        EXPECT_EQ(pixels[static_cast<size_t>((sh / 2) * sw)], Rgb(BuiltInColor(c.style, 16))) << StyleName(c.style);
    }
}

TEST(SkinnedTitleBar, SectionsAndButtonsArePlacedFromTheBuiltInPictures)
{
    for (TskUIStyle style : {MacOS, WinXP, Indigo, Mineral, Glacier}) {
        SkinnedForm f(style);
        TskTitleBar* bar = f.Bar();
        int border = f.skin->LeftBorder();
        int titleHeight = TitleHeight(style);
        ASSERT_GT(titleHeight, 0) << StyleName(style);
        EXPECT_EQ(bar->Height(), titleHeight - kTitleBarOverlap) << StyleName(style);
        EXPECT_EQ(bar->Width(), f.form->ClientWidth());
        ASSERT_EQ(bar->Sections().Count(), 3);
        EXPECT_EQ(bar->Sections().Items(1)->Align(), skRight);
        EXPECT_EQ(bar->Sections().Items(2)->Align(), skClient);
        EXPECT_TRUE(bar->Sections().Items(2)->Stretch());

        int sw = 0, sh = 0;
        std::vector<DWORD> pixels = f.Capture(sw, sh);
        auto screen = [&](int stripX, int stripY) {
            return pixels[static_cast<size_t>((stripY + kTitleBarOverlap) * sw + stripX + border)];
        };
        // The strip continues the pictures laid out from the window's left edge: the left picture's
        // column 10 + border shows at the strip's column 10, three rows lower in the picture.
        TBitmap left, right;
        LoadBuiltInBitmap(style, 10, left);
        LoadBuiltInBitmap(style, 12, right);
        int y = bar->Height() - 2;
        EXPECT_EQ(screen(10, y), Rgb(GetPixel(left.DC(), 10 + border, y + kTitleBarOverlap))) << StyleName(style);
        if (right.Width() > border + 1) {
            EXPECT_EQ(screen(bar->Width() - 1, y), Rgb(GetPixel(right.DC(), right.Width() - 1 - border, y + kTitleBarOverlap)))
                << StyleName(style);
        }
        // The form draws the rest of the title pictures above and beside the strip.
        EXPECT_EQ(pixels[static_cast<size_t>(1 * sw + 10)], Rgb(GetPixel(left.DC(), 10, 1))) << StyleName(style);

        // Buttons from the right: close, maximise, minimise, one pixel apart, inside the strip.
        const RECT close = f.Button(skClose)->Bounds();
        const RECT max = f.Button(skMax)->Bounds();
        const RECT min = f.Button(skMin)->Bounds();
        int rightOffset = static_cast<int>(BuiltInInteger(style, 8));
        EXPECT_EQ(close.right, std::min(bar->Width(), bar->Width() - rightOffset - 1)) << StyleName(style);
        EXPECT_EQ(max.right, close.left - 1) << StyleName(style);
        EXPECT_EQ(min.right, max.left - 1) << StyleName(style);
        EXPECT_EQ(close.top, BuiltInInteger(style, 9) - kTitleBarOverlap) << StyleName(style);
        // Each shows its normal picture: frame 16 of the strip for close, 7 for maximise.
        TPicture closeFrame, maxFrame;
        GetBuiltInBitmap(style, 5, &closeFrame, 16, 18);
        GetBuiltInBitmap(style, 5, &maxFrame, 7, 18);
        int cx = closeFrame.Width() / 2, cy = closeFrame.Height() / 2;
        EXPECT_EQ(screen(close.left + cx, close.top + cy), Rgb(GetPixel(closeFrame.Bitmap().DC(), cx, cy))) << StyleName(style);
        EXPECT_EQ(screen(max.left + cx, max.top + cy), Rgb(GetPixel(maxFrame.Bitmap().DC(), cx, cy))) << StyleName(style);
    }
}

TEST(SkinnedTitleBar, TheCaptionIsDrawnWholeOrShortenedBeforeTheButtons)
{
    SkinnedForm f;
    TskTitleBar* bar = f.Bar();
    f.skin->SetCaption("Sequora");
    bar->Repaint();
    EXPECT_EQ(bar->ShownCaption(), "Sequora");
    EXPECT_EQ(harness::WindowText(f.Window()), "Sequora");
    int sw = 0, sh = 0;
    std::vector<DWORD> pixels = f.Capture(sw, sh);
    bool white = false;
    for (int y = kTitleBarOverlap; y < kTitleBarOverlap + bar->Height(); ++y)
        for (int x = bar->CaptionLeft(); x < bar->CaptionLeft() + 40; ++x)
            white = white || pixels[static_cast<size_t>(y * sw + x + f.skin->LeftBorder())] == 0xFFFFFFu;
    EXPECT_TRUE(white);     // white bold caption text on the indigo strip

    std::string longCaption(200, 'W');
    f.skin->SetCaption(longCaption);
    bar->Repaint();
    const std::string& shown = bar->ShownCaption();
    ASSERT_GT(shown.size(), 3u);
    EXPECT_LT(shown.size(), longCaption.size());
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_EQ(shown.substr(0, shown.size() - 3), longCaption.substr(0, shown.size() - 3));
}

TEST(SkinnedTitleBar, EachButtonDoesWhatItSays)
{
    SkinnedForm f;
    HWND w = f.Window();
    RECT before;
    GetWindowRect(w, &before);
    TPicture maxFrame, restoreFrame;
    GetBuiltInBitmap(Indigo, 5, &maxFrame, 7, 18);
    GetBuiltInBitmap(Indigo, 5, &restoreFrame, 10, 18);
    auto same = [](TPicture& a, TPicture& b) {
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (GetPixel(a.Bitmap().DC(), x, y) != GetPixel(b.Bitmap().DC(), x, y))
                    return false;
        return a.Width() == b.Width();
    };
    ASSERT_FALSE(same(maxFrame, restoreFrame));
    EXPECT_TRUE(same(f.Button(skMax)->PicNormal(), maxFrame));

    f.ClickButton(skMax);
    EXPECT_TRUE(IsZoomed(w));
    RECT area = GetWorkArea(), now;
    GetWindowRect(w, &now);
    EXPECT_EQ(now.left, area.left - 2);
    EXPECT_EQ(now.top, area.top - 2);
    EXPECT_EQ(now.right, area.right + 2);
    EXPECT_EQ(now.bottom, area.bottom - 1);
    EXPECT_TRUE(same(f.Button(skMax)->PicNormal(), restoreFrame));
    // The frame's top edge follows the new width: the right title picture ends at the right edge
    // (row 2 is the first on screen, the window reaching 2 pixels past the work area).
    RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(150);
    TBitmap right;
    LoadBuiltInBitmap(Indigo, 12, right);
    HDC screen = GetDC(nullptr);
    COLORREF onScreen = GetPixel(screen, now.right - 10, now.top + 2);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(onScreen, GetPixel(right.DC(), right.Width() - 10, 2));

    f.ClickButton(skMax);
    EXPECT_FALSE(IsZoomed(w));
    GetWindowRect(w, &now);
    EXPECT_TRUE(EqualRect(&now, &before));
    EXPECT_TRUE(same(f.Button(skMax)->PicNormal(), maxFrame));

    f.ClickButton(skMin);
    EXPECT_TRUE(IsIconic(w));
    ShowWindow(w, SW_RESTORE);
    Pump();
    EXPECT_FALSE(IsIconic(w));

    // A press that leaves the button before the release does nothing; a click closes.
    HWND barWindow = f.Bar()->Handle();
    const RECT close = f.Button(skClose)->Bounds();
    SendMessageA(barWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.left + 3, close.top + 3));
    SendMessageA(barWindow, WM_LBUTTONUP, 0, MAKELPARAM(close.left - 30, close.top + 3));
    EXPECT_EQ(f.log, "");
    f.ClickButton(skClose);
    EXPECT_EQ(f.log, "close;");
    EXPECT_TRUE(f.app.Terminated());    // the main form closed ends the program
}

TEST(SkinnedTitleBar, TheSystemMenuOffersWhatTheButtonsOfferAndOpensWithAltSpace)
{
    SkinnedForm f;
    TskTitleBarPopupMenu* menu = f.Bar()->SystemMenu();
    ASSERT_EQ(menu->Items()->Count(), 4);
    const char* captions[] = {"Mi&nimize", "Ma&ximize/Restore", "-", "&Close"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(menu->Items()->Items(i)->Caption(), captions[i]);

    f.Button(skMin)->SetVisible(false);
    menu->UpdateItems();
    EXPECT_FALSE(menu->MinimizeItem()->Enabled());
    EXPECT_TRUE(menu->MaximizeItem()->Enabled());
    EXPECT_TRUE(menu->CloseItem()->Enabled());
    f.Button(skMin)->SetVisible(true);

    // Alt+Space: the menu opens at the form's left edge under the title bar; the first item
    // minimises.
    RECT window;
    GetWindowRect(f.Window(), &window);
    RECT shownAt = {};
    std::vector<TMenuItem*> shown;
    MenuWatch watch([&](HWND m) {
        ASSERT_NE(m, nullptr);
        GetWindowRect(m, &shownAt);
        shown = MenuItemsOf(m);
        PressKey(m, VK_DOWN);
        PressKey(m, VK_RETURN);
    });
    PostMessageA(f.Window(), WM_SYSCHAR, ' ', 1 << 29);
    Pump(300);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0], menu->MinimizeItem());
    EXPECT_EQ(shown[3], menu->CloseItem());
    EXPECT_EQ(shownAt.left, window.left);
    EXPECT_EQ(shownAt.top, window.top + kTitleBarOverlap + f.Bar()->Height());
    EXPECT_TRUE(IsIconic(f.Window()));
}

TEST(SkinnedMenuBar, OneButtonPerTopLevelItemAndAClickDropsItsItemsDown)
{
    SkinnedForm f;
    TskMenuBar* bar = f.skin->MenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->ButtonCount(), 3);
    const char* captions[] = {"&File", "&Edit", "&Help"};
    const bool enabled[] = {true, false, true};
    for (int i = 0; i < 3; ++i) {
        TToolButton* b = bar->Buttons(i);
        EXPECT_EQ(b->Caption(), captions[i]);
        EXPECT_EQ(b->Enabled(), enabled[i]);
        EXPECT_TRUE(b->Grouped());
        if (i > 0) {
            EXPECT_EQ(b->Left(), bar->Buttons(i - 1)->Left() + bar->Buttons(i - 1)->Width());
        }
    }
    EXPECT_EQ(bar->Top(), f.Bar()->Height());       // right under the title bar
    EXPECT_EQ(bar->Height(), f.skin->MenuBarHeight());

    // A click on File drops Open and Exit down below the button; picking Open clicks it.
    std::vector<TMenuItem*> shown;
    RECT shownAt = {};
    MenuWatch watch([&](HWND m) {
        ASSERT_NE(m, nullptr);
        shown = MenuItemsOf(m);
        GetWindowRect(m, &shownAt);
        PressKey(m, VK_DOWN);
        PressKey(m, VK_RETURN);
    });
    TToolButton* fileButton = bar->Buttons(0);
    int x = fileButton->Left() + 5, y = fileButton->Top() + 5;
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Pump(200);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], f.open);
    EXPECT_EQ(shown[1], f.exitItem);
    POINT under = {fileButton->Left(), fileButton->Top() + fileButton->Height()};
    ClientToScreen(bar->Handle(), &under);
    EXPECT_EQ(shownAt.left, under.x);
    EXPECT_EQ(shownAt.top, under.y);
    EXPECT_EQ(f.log, "&File;&Open;");

    // The disabled Edit opens nothing; a changed item shows on its button.
    f.log.clear();
    bool opened = true;
    MenuWatch none([&](HWND m) {
        opened = m != nullptr;
        if (m)
            EndMenu();
    });
    TToolButton* editButton = bar->Buttons(1);
    SendMessageA(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(editButton->Left() + 5, 5));
    SendMessageA(bar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(editButton->Left() + 5, 5));
    harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
    EXPECT_FALSE(opened);
    EXPECT_EQ(f.log, "");
    f.edit->SetEnabled(true);
    EXPECT_TRUE(editButton->Enabled());

    // A shortcut of an item works while the form is active.
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageA(f.Window(), WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageA(f.Window(), WM_KEYDOWN, 'O', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(f.log, "&Open;");
}

TEST(SkinnedMainMenu, ItemsArePaintedLikeTheSkinnedPopupMenuWithTheMenusOwnCheckMark)
{
    SkinnedForm f;
    EXPECT_TRUE(f.menu->OwnerDraw());
    EXPECT_EQ(f.menu->Images(), nullptr);           // its own check-mark list is in use
    EXPECT_EQ(f.menu->CheckMarks().Count(), 1);
    ASSERT_TRUE(static_cast<bool>(f.open->OnAdvancedDrawItem));
    auto painted = [&](bool checked, bool selected) {
        f.open->SetChecked(checked);
        auto b = std::make_unique<TBitmap>();
        b->SetSize(160, 21);
        f.open->DrawItem(b->Canvas(), RECT{0, 0, 160, 21}, selected);
        return b;
    };
    auto blackInGlyph = [](TBitmap& b) {
        for (int y = 3; y < 19; ++y)
            for (int x = 4; x < 20; ++x)
                if (GetPixel(b.DC(), x, y) == RGB(0, 0, 0))
                    return true;
        return false;
    };
    auto checkedItem = painted(true, false);
    EXPECT_TRUE(f.open->Checked());                 // painting leaves the item as it was
    auto plainItem = painted(false, false);
    EXPECT_TRUE(blackInGlyph(*checkedItem));
    EXPECT_FALSE(blackInGlyph(*plainItem));
    // The side bar and the item colour of the style, as the popup menu paints them.
    EXPECT_EQ(GetPixel(plainItem->DC(), 2, 10), BuiltInColor(Indigo, 23));
    EXPECT_EQ(GetPixel(plainItem->DC(), 150, 10), BuiltInColor(Indigo, 21));
    auto selectedItem = painted(false, true);
    EXPECT_EQ(GetPixel(selectedItem->DC(), 150, 10), BuiltInColor(Indigo, 19));
}

TEST(SkinnedForm, RefusalsAreShownAndLeaveThePropertyAsItWas)
{
    SkinnedForm f;
    auto refused = [](const std::function<void()>& act) {
        std::string text;
        std::thread answer([&] { text = harness::AnswerMessageBox(GetCurrentProcessId(), IDOK); });
        act();
        answer.join();
        return text;
    };
    TskTitleBarButton* close = f.Button(skClose);
    EXPECT_EQ(refused([&] { close->SetButtonType(skControlBox); }),
              "Sorry, only one button's ButtonType property can be \"skControlBox\"");
    EXPECT_EQ(close->ButtonType(), skClose);
    TskTitleBarSection* left = f.Bar()->Sections().Items(0);
    EXPECT_EQ(refused([&] { left->SetAlign(skClient); }), "Sorry, only one section's Align property can be \"skClient\"");
    EXPECT_EQ(left->Align(), skLeft);
    EXPECT_EQ(refused([&] { f.skin->SetFormPanel(f.skin); }),
              "Sorry, you can't select the Form assign to FormPanel property");
    EXPECT_EQ(f.skin->FormPanel(), nullptr);

    // What is allowed goes through: a panel becomes the client, the version stays.
    auto* panel = new TCustomPanel(f.form);
    panel->SetParent(f.skin);
    panel->SetCaption("panel");
    f.skin->SetFormPanel(panel);
    EXPECT_EQ(panel->Align(), alClient);
    EXPECT_EQ(panel->Caption(), "");
    f.skin->SetVersion("1.0");
    EXPECT_EQ(f.skin->Version(), "6.21");
}

TEST(SkinnedFrame, TheFormsMinimumSizeFollowsTheTitleAndTakingThePanelOffGivesTheCaptionBack)
{
    SkinnedForm f;
    HWND w = f.Window();
    MINMAXINFO info = {};
    SendMessageA(w, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, BuiltInInteger(Indigo, 13));
    EXPECT_EQ(info.ptMinTrackSize.y, f.skin->MenuBarHeight() + f.Bar()->Height() + f.skin->BottomBorder() + 3);

    delete f.skin;
    Pump();
    EXPECT_NE(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageA(w, SKM_GETBORDERWIDTH, 0, 0), 0);      // no longer answered
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(w, region), ERROR);
    DeleteObject(region);
    EXPECT_GT(ClientTop(w), GetSystemMetrics(SM_CYCAPTION) - 1);
}

TEST(SkinnedTitleBar, PressingItsBodyDragsTheFormAndDoubleClicksMaximiseOrClose)
{
    SkinnedForm f;
    int captionDrags = 0;
    int hook = f.app.HookMainWindow([&](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_NCLBUTTONDOWN || wParam != HTCAPTION)
            return false;
        ++captionDrags;
        result = 0;
        return true;        // no move loop in the test
    });
    HWND bar = f.Bar()->Handle();
    POINT body = {f.Bar()->Width() / 2, f.Bar()->Height() / 2};
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(body.x, body.y));
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(body.x, body.y));
    EXPECT_EQ(captionDrags, 1);
    EXPECT_NE(GetCapture(), bar);

    SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(body.x, body.y));
    Pump();
    EXPECT_TRUE(IsZoomed(f.Window()));
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(body.x, body.y));      // a maximised form stays put
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(body.x, body.y));
    EXPECT_EQ(captionDrags, 1);
    SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(body.x, body.y));
    Pump();
    EXPECT_FALSE(IsZoomed(f.Window()));
    f.app.UnhookMainWindow(hook);

    // Inactive, the caption takes the inactive colour; the non-client activation is answered.
    EXPECT_EQ(SendMessageA(f.Window(), WM_NCACTIVATE, FALSE, 0), 1);
    EXPECT_FALSE(f.Bar()->FormActive());
    SendMessageA(f.Window(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_TRUE(f.Bar()->FormActive());

    f.Bar()->Repaint();
    const RECT box = f.Button(skControlBox)->Bounds();
    SendMessageA(bar, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(box.left + 2, box.top + 2));
    EXPECT_EQ(f.log, "close;");
}

TEST(SkinnedTitleBar, HelpAndCustomButtonsReportTheirIndexAndTheControlBoxOpensTheSystemMenuBelowTheStrip)
{
    SkinnedForm f;
    TskTitleBarButton* help = f.Bar()->Buttons().Add();
    help->SetButtonType(skHelp);
    TskTitleBarButton* custom = f.Bar()->Buttons().Add();
    TBitmap face;
    face.SetSize(15, 15);
    face.Canvas().SetBrushColor(RGB(10, 200, 10));
    face.Canvas().FillRect(RECT{0, 0, 15, 15});
    custom->PicNormal().Assign(&face);
    custom->PicMouseOn().Assign(&face);
    custom->PicMouseDown().Assign(&face);
    f.skin->SetUIStyle(Indigo);     // the style gives the help button its pictures
    ASSERT_TRUE(help->HasPictures());
    std::string events;
    f.Bar()->OnHelpBtnClick = [&](TObject*, int index) { events += "help " + std::to_string(index) + ";"; };
    f.Bar()->OnCustomBtnsClick = [&](TObject*, int index) { events += "custom " + std::to_string(index) + ";"; };
    f.ClickButton(skHelp);
    f.ClickButton(skCustom);
    EXPECT_EQ(events, "help 4;custom 5;");
    EXPECT_LT(custom->Bounds().right, help->Bounds().left);     // further inward, in collection order

    RECT shownAt = {};
    MenuWatch watch([&](HWND m) {
        ASSERT_NE(m, nullptr);
        GetWindowRect(m, &shownAt);
        EndMenu();
    });
    f.ClickButton(skControlBox);
    harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
    POINT under = {0, f.Bar()->Height()};
    ClientToScreen(f.Bar()->Handle(), &under);
    EXPECT_EQ(shownAt.left, under.x);
    EXPECT_EQ(shownAt.top, under.y);
}

TEST(SkinnedMenuBar, AButtonUnderTheMouseIsHotAndAltWithItsLetterDropsItDown)
{
    SkinnedForm f;
    TskMenuBar* bar = f.skin->MenuBar();
    TToolButton* helpButton = bar->Buttons(2);
    SendMessageA(bar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(helpButton->Left() + 4, helpButton->Top() + 4));
    bar->Repaint();
    EXPECT_EQ(bar->HotButton(), helpButton);
    EXPECT_EQ(helpButton->Tag(), kMenuBarHotTag);
    EXPECT_EQ(bar->Buttons(0)->Tag(), 0);
    // Hot, the button is filled with the style's selection colour.
    int sw = 0, sh = 0;
    std::vector<DWORD> pixels = f.Capture(sw, sh);
    POINT inside = {helpButton->Left() + 2, helpButton->Top() + 2};
    MapWindowPoints(bar->Handle(), HWND_DESKTOP, &inside, 1);
    RECT window;
    GetWindowRect(f.Window(), &window);
    EXPECT_EQ(pixels[static_cast<size_t>((inside.y - window.top) * sw + inside.x - window.left)],
              Rgb(BuiltInColor(Indigo, 19)));
    SendMessageA(bar->Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(bar->HotButton(), nullptr);

    EXPECT_FALSE(bar->DialogChar('h', 0));       // a plain letter is not the bar's
    MenuWatch watch([&](HWND m) {
        if (m)
            EndMenu();
    });
    EXPECT_TRUE(bar->DialogChar('h', ssAlt));
    harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
    EXPECT_EQ(f.log, "&Help;");
}

TEST(SkinnedFrame, ASkinFileGivesTheBordersTheTitleAndTheColours)
{
    using namespace fixtures;
    const COLORREF kFormColor = RGB(30, 140, 90);
    std::string skin = SkinArchive({DeflatedEntry(
        "SKINDATA.SK2",
        SkinData({{"SKIN2_TITLEBAR1", 0, BitmapFile(40, 30, 200, 0, 0)},
                  {"SKIN2_TITLEBAR2", 0, BitmapFile(10, 30, 0, 200, 0)},
                  {"SKIN2_TITLEBAR3", 0, BitmapFile(40, 30, 0, 0, 200)},
                  {"SKIN2_FORMLEFTBORDER", 0, BitmapFile(6, 10, 250, 250, 0)},
                  {"SKIN2_FORMRIGHTBORDER", 0, BitmapFile(2, 10, 0, 250, 250)},
                  {"SKIN2_FORMBOTTOMBORDER1", 0, BitmapFile(30, 5, 250, 0, 250)},
                  {"SKIN2_TITLEBUTTONS", 0, BitmapFile(18 * 16, 16, 90, 90, 90)},
                  {"SKIN2_FORMCOLOR", 1, Int32(static_cast<int32_t>(kFormColor))},
                  {"SKIN2_TITLEFONTCOLOR", 1, Int32(static_cast<int32_t>(RGB(1, 2, 3)))},
                  {"SKIN2_TITLEBARBUTTONPOSY", 1, Int32(5)}}))});
    harness::TempFolder folder("skinform");
    std::string path = folder / "form.skn";
    harness::WriteFileBytes(path, skin);
    SkinnedForm f;
    auto* theme = new TskFileTheme(f.form);
    theme->SetThemeFile(path);
    ASSERT_TRUE(theme->Ready());
    f.skin->SetFileTheme(theme);
    f.skin->SetUIStyle(FromThemeFile);
    Pump();

    EXPECT_EQ(f.skin->LeftBorder(), 6);
    EXPECT_EQ(f.skin->RightBorder(), 4);        // at least 4
    EXPECT_EQ(f.skin->BottomBorder(), 5);
    RECT window, client;
    GetWindowRect(f.Window(), &window);
    GetClientRect(f.Window(), &client);
    MapWindowPoints(f.Window(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.left - window.left, 6);
    EXPECT_EQ(window.bottom - client.bottom, 5);
    EXPECT_EQ(f.skin->Color(), kFormColor);
    EXPECT_EQ(f.Bar()->Height(), 30 - kTitleBarOverlap);
    EXPECT_EQ(f.Bar()->Font().Color(), RGB(1, 2, 3));
    EXPECT_EQ(f.Button(skClose)->Top(), 5 - kTitleBarOverlap);
    ASSERT_EQ(f.Bar()->Sections().Count(), 3);
    EXPECT_EQ(f.Bar()->Sections().Items(1)->Align(), skClient);
    EXPECT_EQ(f.Bar()->Sections().Items(2)->Align(), skRight);

    int sw = 0, sh = 0;
    std::vector<DWORD> pixels = f.Capture(sw, sh);
    EXPECT_EQ(pixels[static_cast<size_t>((sh / 2) * sw + 2)], 0xFAFA00u);         // the left border picture
    EXPECT_EQ(pixels[static_cast<size_t>((sh - 2) * sw + sw / 2)], 0xFA00FAu);     // the bottom one
    EXPECT_EQ(pixels[static_cast<size_t>(22 * sw + 20)], 0xC80000u);              // the first title section

    // The theme goes: Indigo again.
    delete theme;
    EXPECT_EQ(f.skin->UIStyle(), Indigo);
    EXPECT_EQ(f.skin->LeftBorder(), 3);
}

TEST(SkinnedForm, LooksInEveryBuiltInStyle)
{
    for (TskUIStyle style : {MacOS, WinXP, Indigo, Mineral, Glacier}) {
        SkinnedForm f(style);
        f.skin->SetCaption(std::string("Sequora - ") + StyleName(style));
        int w = 0, h = 0;
        std::vector<DWORD> pixels = f.Capture(w, h);
        ASSERT_GT(w, 0);
        const std::string name = harness::JoinPath(harness::BuildDir(), std::string("skin-form-") + StyleName(style));
        EXPECT_TRUE(harness::SavePngFile(name + ".png", pixels, w, h));

        // The File menu dropped down from the menu bar, its first item selected.
        bool shown = false;
        MenuWatch watch([&](HWND m) {
            if (!m)
                return;
            PressKey(m, VK_DOWN);
            MenuWatch later([&, m](HWND) {
                RECT form = {}, menu = {}, both = {};
                GetWindowRect(f.Window(), &form);
                GetWindowRect(m, &menu);
                UnionRect(&both, &form, &menu);
                std::vector<DWORD> look;
                int lw = 0, lh = 0;
                shown = harness::CaptureScreenArea(both, look, lw, lh) &&
                        harness::SavePngFile(name + "-menu.png", look, lw, lh);
                EndMenu();
            });
        });
        TToolButton* fileButton = f.skin->MenuBar()->Buttons(0);
        const LPARAM onFile = MAKELPARAM(fileButton->Left() + 5, fileButton->Top() + 5);
        SendMessageA(f.skin->MenuBar()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onFile);
        SendMessageA(f.skin->MenuBar()->Handle(), WM_LBUTTONUP, 0, onFile);
        harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
        EXPECT_TRUE(shown);
    }
}

// A command that changes the menu, run from a click on the bar (picked from the drop-down, or the
// top-level item heard as it drops down): the bar touches neither a button nor itself once the
// change has freed them, and then shows the menu as the command left it.
TEST(SkinnedMenuBar, ACommandThatChangesTheMenuLeavesTheBarShowingTheNewMenu)
{
    enum Change { AddItem, RemoveItem, RemoveClickedItem, NoMenu };
    const struct {
        Change change;
        bool fromDropDown;
        std::vector<std::string> captions;      // the bar's buttons afterwards
    } cases[] = {
        {AddItem, true, {"&File", "&Edit", "&Help", "&Window"}},
        {RemoveItem, true, {"&File", "&Edit"}},
        {NoMenu, true, {}},
        {AddItem, false, {"&File", "&Edit", "&Help", "&Window"}},
        {RemoveItem, false, {"&File", "&Edit"}},
        {NoMenu, false, {}},
        {RemoveClickedItem, false, {"&Edit", "&Help"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "change " << c.change
                                        << (c.fromDropDown ? " from the drop-down" : " as it drops down"));
        SkinnedForm f;
        int runs = 0;
        auto change = [&](TObject*) {
            ++runs;
            if (c.change == AddItem) {
                auto* item = new TMenuItem(f.form);
                item->SetCaption("&Window");
                f.menu->Items()->Add(item);
            } else if (c.change == RemoveItem) {
                delete f.help;
                f.help = nullptr;
            } else if (c.change == RemoveClickedItem) {
                // The item goes with this handler: nothing of it is touched after the delete.
                TMenuItem* clicked = f.file;
                f.file = f.open = f.exitItem = nullptr;
                delete clicked;
            } else {
                f.skin->SetMenu(nullptr);
            }
        };
        (c.fromDropDown ? f.open : f.file)->OnClick = change;
        MenuWatch watch([&](HWND m) {
            if (!m)
                return;
            if (c.fromDropDown) {
                PressKey(m, VK_DOWN);
                PressKey(m, VK_RETURN);
            } else {
                EndMenu();
            }
        });
        HWND barWindow = f.skin->MenuBar()->Handle();
        ClickBarButton(f.skin->MenuBar(), 0);
        harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
        Pump(200);
        EXPECT_EQ(runs, 1);
        if (c.change == NoMenu) {
            EXPECT_EQ(f.skin->MenuBar(), nullptr);
            EXPECT_FALSE(IsWindow(barWindow));
            // The title bar alone above the client: the form's smallest height has no bar in it.
            MINMAXINFO info = {};
            SendMessageA(f.Window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(info.ptMinTrackSize.y, f.Bar()->Height() + f.skin->BottomBorder() + 3);
            continue;
        }
        TskMenuBar* bar = f.skin->MenuBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->Handle(), barWindow);
        EXPECT_EQ(ButtonCaptions(bar), c.captions);
        for (int i = 0; i < bar->ButtonCount(); ++i) {
            EXPECT_FALSE(bar->Buttons(i)->Down());
            EXPECT_EQ(bar->Buttons(i)->MenuItem(), f.menu->Items()->Items(i));
        }
    }
}

// The bar follows the menu's items as they change, with no call to refresh it: captions, enabled
// states and visibility in place, items added and removed.
TEST(SkinnedMenuBar, ItemsChangedInPlaceShowOnTheBarWithoutHelp)
{
    SkinnedForm f;
    TskMenuBar* bar = f.skin->MenuBar();
    ASSERT_NE(bar, nullptr);
    // What the bar shows of a button: whether its caption is drawn in the menu font's colour.
    auto drawnInMenuFont = [&](int index) {
        int sw = 0, sh = 0;
        std::vector<DWORD> pixels = f.Capture(sw, sh);
        TToolButton* b = bar->Buttons(index);
        RECT r = b->BoundsRect();
        MapWindowPoints(bar->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
        RECT window;
        GetWindowRect(f.Window(), &window);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (pixels[static_cast<size_t>((y - window.top) * sw + x - window.left)] ==
                    Rgb(BuiltInColor(Indigo, 22)))
                    return true;
        return false;
    };
    EXPECT_FALSE(drawnInMenuFont(1));        // Edit is greyed
    f.edit->SetEnabled(true);
    EXPECT_TRUE(bar->Buttons(1)->Enabled());
    EXPECT_TRUE(drawnInMenuFont(1));

    int fileWidth = bar->Buttons(0)->Width();
    f.file->SetCaption("&Document");
    EXPECT_EQ(bar->Buttons(0)->Caption(), "&Document");
    EXPECT_GT(bar->Buttons(0)->Width(), fileWidth);
    EXPECT_EQ(bar->Buttons(1)->Left(), bar->Buttons(0)->Left() + bar->Buttons(0)->Width());

    f.help->SetVisible(false);
    EXPECT_EQ(ButtonCaptions(bar), (std::vector<std::string>{"&Document", "&Edit"}));
    f.help->SetVisible(true);
    auto* tools = new TMenuItem(f.form);
    tools->SetCaption("&Tools");
    f.menu->Items()->Add(tools);
    EXPECT_EQ(ButtonCaptions(bar), (std::vector<std::string>{"&Document", "&Edit", "&Help", "&Tools"}));
    f.menu->Items()->Remove(f.edit);
    EXPECT_EQ(ButtonCaptions(bar), (std::vector<std::string>{"&Document", "&Help", "&Tools"}));
    delete tools;
    EXPECT_EQ(ButtonCaptions(bar), (std::vector<std::string>{"&Document", "&Help"}));
}

// With its bottom border in one picture or in three parts, the region a skin file gives the window
// is what is painted: the see-through pixels of the border, as laid out, are cut away and nothing
// else of the bottom edge is.
TEST(SkinnedFrame, ASkinFilesWindowRegionMatchesTheBottomBorderAsPainted)
{
    for (bool threeParts : {false, true}) {
        SCOPED_TRACE(threeParts ? "three parts" : "one picture");
        SkinnedWithFile s(SmallSkin(threeParts));
        HWND w = s.f.Window();
        RECT window;
        GetWindowRect(w, &window);
        int width = window.right - window.left, height = window.bottom - window.top;
        ASSERT_EQ(s.f.skin->BottomBorder(), 5);
        // The bottom picture as the form lays it out: stretched over the width, or its left and
        // right thirds at the ends and the middle third stretched between.
        auto laidOut = [&](int x, int row) -> uint32_t {
            if (threeParts) {
                if (x < 10)
                    return row >= 3 ? kSeeThrough : 0xC80000u;
                return x >= width - 10 ? 0x0000C8u : 0x00C800u;
            }
            int source = x * 30 / width;
            if (source < 10)
                return row >= 3 ? kSeeThrough : 0xC80000u;
            return source < 20 ? 0x00C800u : 0x0000C8u;
        };
        auto nearAnEdge = [&](int x) {
            for (int edge : {10, width - 10, width / 3, 2 * width / 3})
                if (x > edge - 3 && x < edge + 3)
                    return true;
            return false;
        };
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(w, region), ERROR);
        int sw = 0, sh = 0;
        std::vector<DWORD> pixels = s.f.Capture(sw, sh);
        ASSERT_EQ(sw, width);
        int mismatches = 0, wrongColours = 0;
        for (int row = 0; row < 5; ++row) {
            int y = height - 5 + row;
            for (int x = 0; x < width; ++x) {
                if (nearAnEdge(x))
                    continue;
                uint32_t want = laidOut(x, row);
                bool inside = PtInRegion(region, x, y) != FALSE;
                if (inside != (want != kSeeThrough))
                    ++mismatches;
                if (inside && pixels[static_cast<size_t>(y * sw + x)] != want)
                    ++wrongColours;
            }
        }
        DeleteObject(region);
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(wrongColours, 0);
    }
}

// A skin with five title sections: the second spans the caption, stretched from the end of the
// first to the caption's width plus the icon offset plus 17, less the first section's width.
TEST(SkinnedTitleBar, TheCaptionSectionIsStretchedOverTheCaption)
{
    SkinnedWithFile s(SmallSkin(false, true));
    s.f.skin->SetCaption("A caption for the section to span");
    TskTitleBar* bar = s.f.Bar();
    ASSERT_EQ(bar->Sections().Count(), 5);
    ASSERT_TRUE(bar->Sections().Items(1)->CapSec());
    bar->Repaint();
    TBitmap measure;
    measure.SetSize(1, 1);
    measure.Canvas().Font().Assign(bar->Font());
    int captionWidth = measure.Canvas().TextWidth(bar->ShownCaption());
    int span = captionWidth + 8 + 17 - 40;
    ASSERT_GT(span, 10 + 20);       // much wider than the section's own picture

    int sw = 0, sh = 0;
    std::vector<DWORD> pixels = s.f.Capture(sw, sh);
    // Row 1 is the form's top edge, drawn from the title pictures as laid out.
    auto at = [&](int x) { return pixels[static_cast<size_t>(1 * sw + x)]; };
    EXPECT_EQ(at(39), 0xC80000u);
    int green = 0;
    for (int x = 40; x < 40 + span; ++x)
        green += at(x) == 0x00C800u;
    EXPECT_EQ(green, span);
    EXPECT_EQ(at(40 + span), 0x0000C8u);                // the third section follows it
    EXPECT_EQ(at(40 + span + 20), 0x5A5A5Au);           // then the stretched fourth
}

// A second skinned form on a form that has one stays a plain panel: no title bar, no alignment,
// no caption of its own, and the first keeps the frame.
TEST(SkinnedForm, ASecondSkinnedFormOnTheSameFormIsAPlainPanel)
{
    SkinnedForm f;
    int controls = f.form->ControlCount();
    auto* second = new TskForm(f.form);
    EXPECT_EQ(second->HostForm(), nullptr);
    EXPECT_EQ(second->TitleBar(), nullptr);
    EXPECT_EQ(second->ControlCount(), 0);
    EXPECT_EQ(second->Align(), alNone);
    EXPECT_EQ(static_cast<TControl*>(second)->Caption(), "");
    EXPECT_EQ(second->Caption(), "");
    EXPECT_EQ(second->Parent(), nullptr);
    EXPECT_EQ(f.form->ControlCount(), controls);
    EXPECT_EQ(harness::WindowText(f.Window()), "Skinned");

    // Placed on the form it is a panel among the controls; taken off, the frame stays the first's.
    second->SetParent(f.form);
    second->SetBounds(10, 40, 50, 30);
    second->SetCaption("plain");
    EXPECT_EQ(second->Caption(), "plain");
    EXPECT_EQ(harness::WindowText(f.Window()), "Skinned");
    delete second;
    Pump();
    EXPECT_EQ(GetWindowLongA(f.Window(), GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageA(f.Window(), SKM_GETBORDERWIDTH, 0, 0), f.skin->LeftBorder());
}

// A subclass someone else puts on the skinned form's host above the skinned form's own, and a
// probe message that counts as reaching the form when the form layer's procedure answers it.
struct SubclassedFromAbove {
    SkinnedForm& f;
    HWND w;
    int seenByForm = 0;

    explicit SubclassedFromAbove(SkinnedForm& form) : f(form), w(form.Window())
    {
        f.app.HookMainWindow([this](UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != kProbe)
                return false;
            ++seenByForm;
            result = 42;
            return true;
        });
        g_probesAbove = 0;
        g_procBelow = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassAbove)));
    }
    void RemoveAbove() { SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_procBelow)); }
    LRESULT Probe() { return SendMessageA(w, kProbe, 0, 0); }
    void RemovePanel()
    {
        delete f.skin;
        f.skin = nullptr;
    }
};

// Someone subclassed the form above the skinned form: whichever of the two goes first, the form's
// own procedure keeps getting its messages, and the frame is the form's own again.
TEST(SkinnedFrame, TakingThePanelOffUnderAnotherSubclassLeavesTheFormItsMessages)
{
    for (bool panelFirst : {true, false}) {
        SCOPED_TRACE(panelFirst ? "the panel goes first" : "the other subclass goes first");
        SkinnedForm f;
        SubclassedFromAbove above(f);
        EXPECT_EQ(above.Probe(), 42);
        if (panelFirst) {
            above.RemovePanel();
            EXPECT_EQ(above.Probe(), 42);
            EXPECT_EQ(g_probesAbove, 2);
            above.RemoveAbove();
        } else {
            above.RemoveAbove();
            above.RemovePanel();
        }
        EXPECT_EQ(above.Probe(), 42);
        EXPECT_EQ(above.seenByForm, panelFirst ? 3 : 2);
        HWND w = f.Window();
        SetWindowPos(w, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        EXPECT_NE(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
        EXPECT_GT(ClientTop(w), GetSystemMetrics(SM_CYCAPTION) - 1);
    }
}

// A new skinned form on a form whose earlier one went while another subclass stayed above it:
// the new one takes the frame again, and each message reaches the form once.
TEST(SkinnedFrame, ANewSkinnedFormUnderAnotherSubclassTakesTheFrameAgain)
{
    SkinnedForm f;
    SubclassedFromAbove above(f);
    above.RemovePanel();
    f.skin = new TskForm(f.form);
    HWND w = f.Window();
    EXPECT_EQ(f.skin->HostForm(), f.form);
    EXPECT_EQ(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
    EXPECT_EQ(SendMessageA(w, SKM_GETBORDERWIDTH, 0, 0), f.skin->LeftBorder());
    EXPECT_EQ(above.Probe(), 42);
    EXPECT_EQ(above.seenByForm, 1);
    EXPECT_EQ(g_probesAbove, 1);
    above.RemoveAbove();
    above.RemovePanel();
    EXPECT_EQ(above.Probe(), 42);
    EXPECT_EQ(above.seenByForm, 2);
    EXPECT_NE(GetWindowLongA(w, GWL_STYLE) & WS_CAPTION, 0);
}

// The menu's automatic hot keys reach its drop-downs: an item without an access key of its own
// gets the first letter no sibling uses; by hand, only the keys the captions carry work.
TEST(SkinnedMenuBar, DropDownsTakeTheMenusAutomaticHotKeys)
{
    const struct {
        TMenuAutoFlag flag;
        char key;
        std::vector<std::string> captions;
        std::string log;
    } cases[] = {
        {maAutomatic, 'u', {"&Options", "O&utput", "E&xport", "&Exit"}, "&Tools;Output;"},
        {maManual, 'u', {"Options", "Output", "E&xport", "Exit"}, "&Tools;"},
        {maManual, 'x', {"Options", "Output", "E&xport", "Exit"}, "&Tools;E&xport;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.flag == maAutomatic ? "automatic, " : "by hand, ") << c.key);
        SkinnedForm f;
        f.menu->SetAutoHotkeys(c.flag);
        TMenuItem* tools = f.Item(f.menu->Items(), "&Tools");
        for (const char* caption : {"Options", "Output", "E&xport", "Exit"})
            f.Item(tools, caption);
        std::vector<std::string> shown;
        MenuWatch watch([&](HWND m) {
            ASSERT_NE(m, nullptr);
            for (TMenuItem* item : MenuItemsOf(m))
                shown.push_back(item->Caption());
            PostMessageA(m, WM_CHAR, static_cast<WPARAM>(c.key), 0);
            PressKey(m, VK_ESCAPE);     // closes the menu when the key picked nothing
        });
        ClickBarButton(f.skin->MenuBar(), 3);
        harness::WaitUntil([] { return MenuWatch::Action() == nullptr; }, 4000);
        Pump(200);
        EXPECT_EQ(shown, c.captions);
        EXPECT_EQ(f.log, c.log);
    }
}

// On a right-to-left system a right-to-left main menu draws its own check mark at the right, where
// the popup menu's painter puts it. Run under a right-to-left locale by the test list; elsewhere
// skipped.
TEST(SkinnedMainMenu, RightToLeftTheCheckMarkSitsAtTheRight)
{
    if (!SystemReadsRightToLeft()) {
        if (GetEnvironmentVariableA("SEQUORA_RIGHT_TO_LEFT", nullptr, 0) > 0)
            FAIL() << "the system locale was to read right to left";
        GTEST_SKIP() << "the system locale reads left to right";
    }
    SkinnedForm f;
    f.menu->Look().SetBiDiMode(bdRightToLeft);
    const int width = 160;
    auto painted = [&](bool checked) {
        f.open->SetChecked(checked);
        auto b = std::make_unique<TBitmap>();
        b->SetSize(width, 21);
        f.open->DrawItem(b->Canvas(), RECT{0, 0, width, 21}, false);
        return b;
    };
    auto checkedItem = painted(true);
    auto plainItem = painted(false);
    int left = 0, right = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < width; ++x)
            if (GetPixel(checkedItem->DC(), x, y) != GetPixel(plainItem->DC(), x, y))
                (x < width / 2 ? left : right) += 1;
    EXPECT_EQ(left, 0);
    EXPECT_GT(right, 0);
    // Only within the glyph's place: 20 pixels from the right edge, 16 wide.
    for (int y = 0; y < 21; ++y)
        for (int x = width / 2; x < width; ++x)
            if (GetPixel(checkedItem->DC(), x, y) != GetPixel(plainItem->DC(), x, y)) {
                EXPECT_TRUE(x >= width - 20 && x < width - 4) << x;
            }
}
