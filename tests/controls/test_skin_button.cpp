// The bitmap button: which face each state shows, where image and caption sit, its own check
// state, clicks and double-clicks through a modal loop, hover, focus, the transparent background
// and the looks Brixom leaves off, read from the pixels it paints and the messages it sends.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <memory>

#include <string>
#include <vector>

#include "CSkinButton.h"
#include "ControlsArt.h"
#include "ControlsFixture.h"
#include "Paths.h"
#include "Recorder.h"
#include "TempFolder.h"
#include "TestFaceColors.h"
#include "WindowDriver.h"
#include "test_controls_lib.h"

namespace {

constexpr UINT kEndLoop = WM_APP + 1;
constexpr UINT kMenuCallback = WM_APP + 2;
constexpr COLORREF kBackNormal = RGB(10, 20, 30);
constexpr COLORREF kBackHover = RGB(30, 20, 10);
constexpr COLORREF kBackFocus = RGB(60, 70, 80);

// A parent that paints a pattern of its own (also on request, into a given DC), counts the clicks
// its buttons report and ends a modal loop on kEndLoop.
class Host : public CWnd {
public:
    explicit Host(bool answersPrintClient = true) : m_answers(answersPrintClient)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "SequoraSkinButtonHost";
        RegisterClassA(&wc);
        CreateEx(WS_EX_TOPMOST, wc.lpszClassName, "host", WS_POPUP | WS_VISIBLE, CRect(50, 50, 350, 250), nullptr, 0);
        ::SetForegroundWindow(m_hWnd);
    }
    ~Host() override { DestroyWindow(); }

    // Vertical stripes, 4 pixels each, so a misplaced copy shows.
    static COLORREF PatternAt(int x, int) { return (x / 4) % 2 ? RGB(250, 160, 20) : RGB(20, 120, 250); }
    static void PaintPattern(HDC dc, const RECT& rect)
    {
        for (int x = rect.left; x < rect.right; ++x) {
            HBRUSH brush = CreateSolidBrush(PatternAt(x, 0));
            RECT column = {x, rect.top, x + 1, rect.bottom};
            FillRect(dc, &column, brush);
            DeleteObject(brush);
        }
    }

    int clicks = 0;
    std::vector<UINT> commands;
    WPARAM callbackMenu = 0;
    LPARAM callbackParam = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_hWnd, &ps);
            RECT client;
            ::GetClientRect(m_hWnd, &client);
            PaintPattern(dc, client);
            EndPaint(m_hWnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PRINTCLIENT:
            if (m_answers) {
                RECT client;
                ::GetClientRect(m_hWnd, &client);
                PaintPattern(reinterpret_cast<HDC>(wParam), client);
            }
            return 0;
        case kEndLoop:
            EndModalLoop(0);
            return 0;
        case kMenuCallback:
            callbackMenu = wParam;
            callbackParam = lParam;
            return 0;
        default:
            break;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (lParam && HIWORD(wParam) == BN_CLICKED)
            ++clicks;
        else if (!lParam)
            commands.push_back(LOWORD(wParam));
        return TRUE;
    }

private:
    bool m_answers;
};

// Exposes the drawing steps a derived button may call.
class OpenSkinButton : public CSkinButton {
public:
    using CSkinButton::DrawIcon;
};

DRAWITEMSTRUCT DrawRequest(CSkinButton& button, HDC dc, UINT state)
{
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.m_hWnd;
    item.hDC = dc;
    GetClientRect(button.m_hWnd, &item.rcItem);
    return item;
}

void SetKnownColors(CSkinButton& button)
{
    button.SetColor(CSkinButton::kColorBackNormal, kBackNormal, FALSE);
    button.SetColor(CSkinButton::kColorBackHover, kBackHover, FALSE);
    button.SetColor(CSkinButton::kColorBackFocus, kBackFocus, FALSE);
}

void LoadFaces(CSkinButton& button)
{
    ASSERT_EQ(CSkinButton::kBitmapsDone,
              button.SetBitmaps(IDB_FACE_NORMAL, IDB_FACE_HOVER, IDB_FACE_PRESSED, IDB_FACE_DISABLED));
    ASSERT_EQ(CSkinButton::kBitmapsDone,
              button.SetCheckedBitmaps(IDB_FACE_ON_NORMAL, IDB_FACE_ON_HOVER, IDB_FACE_ON_PRESSED, IDB_FACE_ON_DISABLED));
}

// Moves the mouse over the button (hover) or away from it, as the button sees it.
void Hover(CSkinButton& button, bool over)
{
    const LPARAM at = over ? MAKELPARAM(3, 3) : MAKELPARAM(static_cast<WORD>(-20), static_cast<WORD>(-20));
    button.SendMessage(WM_MOUSEMOVE, 0, at);
}

void PumpFor(DWORD ms)
{
    harness::WaitUntil([] { return false; }, ms);
}

}  // namespace

TEST(CSkinButton, EachStateShowsItsFaceOverItsBackground)
{
    struct Case {
        const char* name;
        DWORD style;
        int check;
        UINT state;
        bool hover;
        unsigned face;
        COLORREF back;
    };
    const Case cases[] = {
        {"check box normal", BS_AUTOCHECKBOX, 0, 0, false, kUncheckedColors[0], kBackNormal},
        {"check box hover", BS_AUTOCHECKBOX, 0, 0, true, kUncheckedColors[1], kBackHover},
        {"check box pressed", BS_AUTOCHECKBOX, 0, ODS_SELECTED, false, kUncheckedColors[2], kBackHover},
        {"check box disabled", BS_AUTOCHECKBOX, 0, ODS_DISABLED, false, kUncheckedColors[3], kBackNormal},
        {"check box focused", BS_AUTOCHECKBOX, 0, ODS_FOCUS, false, kUncheckedColors[0], kBackFocus},
        {"checked check box", BS_AUTOCHECKBOX, 1, 0, false, kCheckedColors[0], kBackNormal},
        {"checked check box pressed", BS_AUTOCHECKBOX, 1, ODS_SELECTED, false, kCheckedColors[2], kBackHover},
        {"pressed wins over hover", BS_AUTOCHECKBOX, 1, ODS_SELECTED, true, kCheckedColors[2], kBackHover},
        {"checked radio disabled", BS_RADIOBUTTON, 1, ODS_DISABLED, false, kCheckedColors[3], kBackNormal},
        {"hover wins over disabled", BS_RADIOBUTTON, 1, ODS_DISABLED, true, kCheckedColors[1], kBackHover},
        {"unchecked radio hover", BS_RADIOBUTTON, 0, 0, true, kUncheckedColors[1], kBackHover},
        {"push button keeps no check", BS_PUSHBUTTON, 1, 0, false, kUncheckedColors[0], kBackNormal},
    };
    Host host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | c.style, CRect(10, 10, 40, 34), &host, 1000));
        LoadFaces(button);
        SetKnownColors(button);
        button.SetDrawBorder(FALSE, FALSE);
        button.SetCheck(c.check, FALSE);
        if (c.hover)
            Hover(button, true);
        ASSERT_EQ(c.hover, button.IsHovering() != FALSE);
        PixelCanvas canvas(30, 24, RGB(0, 0, 0));
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), c.state);
        button.DrawItem(&item);
        // The 16 x 16 face is centred: left (30 - 16) / 2 = 7, top (24 - 16) / 2 = 4.
        EXPECT_EQ(c.face, canvas.At(15, 12));
        EXPECT_EQ(ScreenColor(c.back), canvas.At(7, 4)) << "white corner shows the background";
        EXPECT_EQ(ScreenColor(c.back), canvas.At(22, 19));
        EXPECT_EQ(ScreenColor(c.back), canvas.At(0, 0));
    }
}

TEST(CSkinButton, OnlyTheNormalIdGivesTheSameFaceInEveryState)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 30, 30), &host, 1000));
    ASSERT_EQ(CSkinButton::kBitmapsDone, button.SetBitmaps(IDB_FACE_HOVER));
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_DISABLED)}) {
        PixelCanvas canvas(20, 20, RGB(0, 0, 0));
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), state);
        button.DrawItem(&item);
        EXPECT_EQ(kUncheckedColors[1], canvas.At(10, 10)) << "state " << state;
    }
}

TEST(CSkinButton, AMissingBitmapClearsTheSetWhichThenDrawsNothing)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 30, 30), &host, 1000));
    LoadFaces(button);
    EXPECT_EQ(CSkinButton::kBitmapLoadFailed, button.SetBitmaps(IDB_FACE_NORMAL, IDB_MISSING));
    for (int s = 0; s < CSkinButton::kStateCount; ++s)
        EXPECT_EQ(nullptr, button.GetBitmapEntry(false, s).image);
    EXPECT_NE(nullptr, button.GetBitmapEntry(true, 0).image) << "the checked set stays";
    EXPECT_EQ(CSkinButton::kBitmapLoadFailed, button.SetCheckedBitmaps(IDB_MISSING));
    SetKnownColors(button);
    PixelCanvas canvas(20, 20, RGB(0, 0, 0));
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
    button.DrawItem(&item);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(ScreenColor(kBackNormal), canvas.At(x, y)) << x << "," << y;
}

// Buttons showing the same pictures share one loaded copy; it stays while any of them shows it and
// goes with the last one, and a button that changes its pictures lets go of the old ones.
TEST(CSkinButton, ButtonsWithTheSameFacesShareThemUntilTheLastGoes)
{
    Host host;
    auto first = std::make_unique<CSkinButton>();
    CSkinButton second;
    ASSERT_TRUE(first->Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 30, 30), &host, 1000));
    ASSERT_TRUE(second.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(40, 10, 60, 30), &host, 1001));
    LoadFaces(*first);
    LoadFaces(second);
    const HBITMAP normal = second.GetBitmapEntry(false, CSkinButton::kStateNormal).image;
    const HBITMAP checked = second.GetBitmapEntry(true, CSkinButton::kStateNormal).image;
    EXPECT_EQ(first->GetBitmapEntry(false, CSkinButton::kStateNormal).image, normal);
    EXPECT_EQ(first->GetBitmapEntry(false, CSkinButton::kStateNormal).mask,
              second.GetBitmapEntry(false, CSkinButton::kStateNormal).mask);

    first.reset();
    BITMAP info = {};
    EXPECT_NE(0, GetObjectA(normal, sizeof info, &info)) << "still shown by the second button";
    SetKnownColors(second);
    PixelCanvas canvas(20, 20, RGB(0, 0, 0));
    DRAWITEMSTRUCT item = DrawRequest(second, canvas.Dc(), 0);
    second.DrawItem(&item);
    EXPECT_EQ(kUncheckedColors[0], canvas.At(10, 10));

    ASSERT_EQ(CSkinButton::kBitmapsDone, second.SetBitmaps(IDB_FACE_HOVER));
    EXPECT_EQ(0, GetObjectA(normal, sizeof info, &info)) << "no button shows it any more";
    EXPECT_NE(0, GetObjectA(checked, sizeof info, &info));
}

TEST(CSkinButton, WithACaptionTheImageSitsLeftAndTheTextSixPixelsAfterIt)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("Wide", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 110, 40), &host, 1000));
    LoadFaces(button);
    SetKnownColors(button);
    button.SetColor(CSkinButton::kColorTextNormal, RGB(255, 255, 255), FALSE);
    PixelCanvas canvas(100, 30, RGB(0, 0, 0));
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
    button.DrawItem(&item);
    // Image: left 3, top (30 - 16) / 2 = 7.
    EXPECT_EQ(ScreenColor(kBackNormal), canvas.At(2, 15));
    EXPECT_EQ(kUncheckedColors[0], canvas.At(3 + kFaceCorner, 15));
    EXPECT_EQ(kUncheckedColors[0], canvas.At(3 + kFaceSize - 1, 15));
    EXPECT_EQ(ScreenColor(kBackNormal), canvas.At(3 + kFaceSize, 15));
    // The caption's ink: white, starting at image width + 6, centred vertically.
    int firstX = 1000, top = 1000, bottom = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (canvas.At(x, y) == 0xFFFFFF) {
                firstX = std::min(firstX, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    ASSERT_GE(bottom, 0) << "no caption drawn";
    EXPECT_GE(firstX, kFaceSize + 6);
    EXPECT_LE(firstX, kFaceSize + 8);
    EXPECT_NEAR(15, (top + bottom + 1) / 2, 3);
}

TEST(CSkinButton, ADisabledCaptionIsEmbossedInHighlightAndShadow)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("Off", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 110, 40), &host, 1000));
    SetKnownColors(button);
    PixelCanvas canvas(100, 30, RGB(0, 0, 0));
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), ODS_DISABLED);
    button.DrawItem(&item);
    int shadow = 0, light = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) {
            shadow += canvas.At(x, y) == ScreenColor(GetSysColor(COLOR_BTNSHADOW));
            light += canvas.At(x, y) == ScreenColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        }
    EXPECT_GT(shadow, 0);
    EXPECT_GT(light, 0);
}

TEST(CSkinButton, CheckStateAnswersTheStandardMessages)
{
    struct Case {
        DWORD style;
        WPARAM set;
        LRESULT expected;
    };
    const Case cases[] = {
        {BS_AUTOCHECKBOX, BST_UNCHECKED, 0}, {BS_AUTOCHECKBOX, BST_CHECKED, 1}, {BS_AUTOCHECKBOX, BST_INDETERMINATE, 1},
        {BS_AUTOCHECKBOX, 3, 0},             {BS_RADIOBUTTON, BST_CHECKED, 1},  {BS_RADIOBUTTON, BST_INDETERMINATE, 1},
        {BS_RADIOBUTTON, 3, 0},              {BS_PUSHBUTTON, BST_CHECKED, 0},   {BS_DEFPUSHBUTTON, BST_CHECKED, 0},
    };
    Host host;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " set " << c.set);
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | c.style, CRect(10, 10, 30, 30), &host, 1000));
        button.SendMessage(BM_SETCHECK, BST_CHECKED);
        EXPECT_EQ(0, button.SendMessage(BM_SETCHECK, c.set));
        EXPECT_EQ(c.expected, button.SendMessage(BM_GETCHECK));
        EXPECT_EQ(static_cast<UINT>(c.expected), IsDlgButtonChecked(host.m_hWnd, 1000));
        button.SetCheck(static_cast<int>(c.set), TRUE);
        const bool kept = c.style == BS_AUTOCHECKBOX || c.style == BS_RADIOBUTTON;
        EXPECT_EQ(kept && c.set ? 1 : 0, button.SendMessage(BM_GETCHECK)) << "SetCheck takes any non-zero";
        EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & 0x1F);
    }
}

TEST(CSkinButton, TheDialogManagersDefaultButtonMovesKeepItOwnerDrawn)
{
    Host host;
    CSkinButton push, radio;
    ASSERT_TRUE(push.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 30, 30), &host, 1000));
    ASSERT_TRUE(radio.Create("", WS_VISIBLE | BS_RADIOBUTTON, CRect(40, 10, 60, 30), &host, 1001));
    EXPECT_FALSE(push.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(push.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
    push.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), push.GetStyle() & 0x1F);
    EXPECT_TRUE(push.IsDefault());
    EXPECT_TRUE(push.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    push.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), push.GetStyle() & 0x1F);
    EXPECT_FALSE(push.IsDefault());
    EXPECT_TRUE(radio.SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON);
    EXPECT_FALSE(push.SendMessage(WM_GETDLGCODE) & DLGC_RADIOBUTTON);

    CSkinButton defaulted;
    ASSERT_TRUE(defaulted.Create("", WS_VISIBLE | BS_DEFPUSHBUTTON, CRect(70, 10, 90, 30), &host, 1002));
    EXPECT_TRUE(defaulted.IsDefault()) << "type 1 at attach";
}

TEST(CSkinButton, ADoubleClickPressesTwiceThroughTheModalLoop)
{
    struct Case {
        DWORD style;
        int clicks;
        int check;
    };
    // A check box toggles twice and ends as it began; a radio button is checked by either press.
    const Case cases[] = {{BS_AUTOCHECKBOX, 2, 0}, {BS_RADIOBUTTON, 2, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        Host host;
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | c.style, CRect(10, 10, 30, 30), &host, 1000));
        const LPARAM at = MAKELPARAM(5, 5);
        button.PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        button.PostMessage(WM_LBUTTONUP, 0, at);
        button.PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        button.PostMessage(WM_LBUTTONUP, 0, at);
        host.PostMessage(kEndLoop);
        host.RunModalLoop();
        EXPECT_EQ(c.clicks, host.clicks);
        EXPECT_EQ(c.check, button.SendMessage(BM_GETCHECK));
    }
}

TEST(CSkinButton, ARadioIsCheckedAtButtonDownAndSpaceClicksWithoutChecking)
{
    Host host;
    CSkinButton radio;
    ASSERT_TRUE(radio.Create("", WS_VISIBLE | WS_TABSTOP | BS_RADIOBUTTON, CRect(10, 10, 30, 30), &host, 1000));
    radio.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(1, radio.SendMessage(BM_GETCHECK)) << "before the button comes up";
    radio.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, host.clicks);

    radio.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    host.clicks = 0;
    radio.SetFocus();
    radio.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    radio.SendMessage(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(1, host.clicks);
    EXPECT_EQ(0, radio.SendMessage(BM_GETCHECK));
}

TEST(CSkinButton, DisablingMovesTheFocusToTheNextTabItemEvenWhenItHadNone)
{
    Host host;
    CSkinButton first, middle, last;
    ASSERT_TRUE(first.Create("", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(10, 10, 30, 30), &host, 1000));
    ASSERT_TRUE(middle.Create("", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(40, 10, 60, 30), &host, 1001));
    ASSERT_TRUE(last.Create("", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(70, 10, 90, 30), &host, 1002));
    first.SetFocus();
    ASSERT_EQ(first.m_hWnd, GetFocus());
    middle.EnableWindow(FALSE);
    EXPECT_EQ(last.m_hWnd, GetFocus());

    // Alone on its parent, the focus goes to the parent.
    Host lonely;
    CSkinButton only;
    ASSERT_TRUE(only.Create("", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, CRect(10, 10, 30, 30), &lonely, 1000));
    only.SetFocus();
    only.EnableWindow(FALSE);
    EXPECT_EQ(lonely.m_hWnd, GetFocus());
}

TEST(CSkinButton, HoverFollowsTheMouseUnlessTheButtonIsHeldElsewhere)
{
    struct Case {
        const char* name;
        WPARAM keys;
        bool over;
        bool wasHovering;
        bool hovering;
    };
    const Case cases[] = {
        {"enter", 0, true, false, true},
        {"leave", 0, false, true, false},
        {"held and not hovering", MK_LBUTTON, true, false, false},
        {"held while hovering stays", MK_LBUTTON, true, true, true},
    };
    Host host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
        if (c.wasHovering)
            Hover(button, true);
        const LPARAM at = c.over ? MAKELPARAM(5, 5) : MAKELPARAM(static_cast<WORD>(-20), static_cast<WORD>(-20));
        button.SendMessage(WM_MOUSEMOVE, c.keys, at);
        EXPECT_EQ(c.hovering, button.IsHovering() != FALSE);
    }
    // Focus loss, cancel mode, deactivation and the leave notice end hover.
    for (UINT message : {static_cast<UINT>(WM_MOUSELEAVE), static_cast<UINT>(WM_KILLFOCUS),
                         static_cast<UINT>(WM_CANCELMODE), static_cast<UINT>(WM_ACTIVATE)}) {
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
        Hover(button, true);
        ASSERT_TRUE(button.IsHovering());
        button.SendMessage(message, message == WM_ACTIVATE ? WA_INACTIVE : 0, 0);
        EXPECT_FALSE(button.IsHovering()) << "message " << message;
    }
}

TEST(CSkinButton, TheRealCursorOverTheButtonBringsTheHoverFace)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
    SetCursorPos(0, 0);
    PumpFor(100);
    RECT r = harness::WindowRectOf(button.m_hWnd);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(harness::WaitUntil([&] { return button.IsHovering() != FALSE; }, 3000));
    SetCursorPos(0, 0);
    EXPECT_TRUE(harness::WaitUntil([&] { return button.IsHovering() == FALSE; }, 3000));
}

TEST(CSkinButton, TheTransparentBackgroundIsTheParentsOwnPainting)
{
    struct Case {
        const char* name;
        bool answers;
    };
    for (const Case& c : {Case{"parent paints on request", true}, Case{"screen read as fallback", false}}) {
        SCOPED_TRACE(c.name);
        Host host(c.answers);
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(21, 13, 51, 37), &host, 1000));
        LoadFaces(button);
        button.SetTransparentMode(FALSE);
        button.SetDrawBorder(FALSE, FALSE);
        host.UpdateWindow();
        // Let the window show its own pattern first (the fallback reads it from the screen).
        PumpFor(200);
        button.ShowWindow(SW_HIDE);
        host.Invalidate();
        host.UpdateWindow();
        PumpFor(100);
        button.ShowWindow(SW_SHOW);
        PixelCanvas canvas(30, 24, RGB(0, 0, 0));
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
        button.DrawItem(&item);
        EXPECT_EQ(c.answers, button.BackgroundFromParent() != FALSE);
        if (!c.answers)
            continue;   // what the screen holds under a visible child is the child's own picture
        for (int x : {0, 7, 22, 29})
            for (int y : {0, 4, 19, 23})
                EXPECT_EQ(ScreenColor(Host::PatternAt(21 + x, 13 + y)), canvas.At(x, y)) << x << "," << y;
        EXPECT_EQ(kUncheckedColors[0], canvas.At(15, 12));
        // A change of state paints the parent's pixels again, not the previous face.
        button.SendMessage(BM_SETCHECK, BST_CHECKED);
        DRAWITEMSTRUCT pressed = DrawRequest(button, canvas.Dc(), ODS_SELECTED);
        button.DrawItem(&pressed);
        EXPECT_EQ(kCheckedColors[2], canvas.At(15, 12));
        EXPECT_EQ(ScreenColor(Host::PatternAt(21 + 7, 13 + 4)), canvas.At(7, 4));
    }
}

TEST(CSkinButton, TheLibrarysOwnFacesAreTransparentOutsideTheMark)
{
    const UINT sets[][4] = {
        {IDB_CHECK_NORMAL, IDB_CHECK_HOVER, IDB_CHECK_PRESSED, IDB_CHECK_DISABLED},
        {IDB_CHECK_ON_NORMAL, IDB_CHECK_ON_HOVER, IDB_CHECK_ON_PRESSED, IDB_CHECK_ON_DISABLED},
        {IDB_RADIO_NORMAL, IDB_RADIO_HOVER, IDB_RADIO_PRESSED, IDB_RADIO_DISABLED},
        {IDB_RADIO_ON_NORMAL, IDB_RADIO_ON_HOVER, IDB_RADIO_ON_PRESSED, IDB_RADIO_ON_DISABLED},
    };
    Host host;
    for (const auto& set : sets) {
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 26, 26), &host, 1000));
        ASSERT_EQ(CSkinButton::kBitmapsDone, button.SetBitmaps(set[0], set[1], set[2], set[3]));
        for (int s = 0; s < 4; ++s) {
            EXPECT_EQ(16u, button.GetBitmapEntry(false, s).width);
            EXPECT_EQ(16u, button.GetBitmapEntry(false, s).height);
        }
        SetKnownColors(button);
        PixelCanvas canvas(16, 16, RGB(0, 0, 0));
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
        button.DrawItem(&item);
        EXPECT_EQ(ScreenColor(kBackNormal), canvas.At(0, 0)) << "corner shows the background";
        EXPECT_EQ(ScreenColor(kBackNormal), canvas.At(15, 15));
        EXPECT_NE(ScreenColor(kBackNormal), canvas.At(7, 7)) << "the face is drawn";
    }
}

TEST(CSkinButton, TheTooltipIsMadeOnTheFirstPreTranslatedMessageAndStaysInactive)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 30, 30), &host, 1000));
    EXPECT_EQ(nullptr, button.GetToolTip().m_hWnd);
    MSG msg = {button.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5), 0, {}};
    EXPECT_FALSE(button.PreTranslateMessage(&msg));
    EXPECT_EQ(static_cast<UINT>(WM_LBUTTONDOWN), msg.message);
    ASSERT_NE(nullptr, button.GetToolTip().m_hWnd);
    EXPECT_EQ(0, button.GetToolTip().GetToolCount());
    EXPECT_EQ(CSkinButton::kToolTipMaxWidth, button.GetToolTip().SendMessage(TTM_GETMAXTIPWIDTH));
}

TEST(CSkinButton, TheFlatBorderShowsOnlyPressedOrHovered)
{
    struct Case {
        const char* name;
        bool border;
        UINT state;
        bool hover;
        int corner;      // system colour index at the top-left pixel, or -1 for the background
    };
    const Case cases[] = {
        {"border off", false, ODS_SELECTED, false, -1},
        {"pressed", true, ODS_SELECTED, false, COLOR_BTNSHADOW},
        {"hover", true, 0, true, COLOR_BTNHIGHLIGHT},
        {"idle", true, 0, false, -1},
    };
    Host host;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
        SetKnownColors(button);
        button.SetDrawBorder(c.border, FALSE);
        if (c.hover)
            Hover(button, true);
        PixelCanvas canvas(30, 30, RGB(0, 0, 0));
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), c.state);
        button.DrawItem(&item);
        const COLORREF back = (c.hover || c.state) ? kBackHover : kBackNormal;
        EXPECT_EQ(ScreenColor(c.corner < 0 ? back : GetSysColor(c.corner)), canvas.At(0, 0));
    }
}

TEST(CSkinButton, AFocusedButtonDrawsNoFocusRectangle)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
    SetKnownColors(button);
    PixelCanvas canvas(30, 30, RGB(0, 0, 0));
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), ODS_FOCUS);
    button.DrawItem(&item);
    for (int x = 0; x < 30; ++x)
        for (int y : {2, 3, 4, 26})
            ASSERT_EQ(canvas.At(x, y), ScreenColor(kBackFocus)) << x << "," << y;
}

namespace {

std::vector<std::string> g_sounds;
BOOL WINAPI RecordSound(LPCSTR sound, HMODULE, DWORD flags)
{
    g_sounds.push_back(std::string(sound) + "/" + std::to_string(flags));
    return TRUE;
}

}  // namespace

TEST(CSkinButton, SoundsPlayOnHoverAndOnEachClick)
{
    g_sounds.clear();
    CSkinButton::SetPlaySound(&RecordSound);
    Host host;
    {
        CSkinButton button;
        ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 40, 40), &host, 1000));
        button.SetSound("enter.wav", nullptr, TRUE, SND_ASYNC);
        button.SetSound("click.wav", nullptr, FALSE, SND_ASYNC | SND_NODEFAULT);
        Hover(button, true);
        Hover(button, true);     // still hovering: no second sound
        host.SendMessage(WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
        host.SendMessage(WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
    }
    CSkinButton::SetPlaySound(nullptr);
    const std::vector<std::string> expected = {
        "enter.wav/" + std::to_string(SND_ASYNC),
        "click.wav/" + std::to_string(SND_ASYNC | SND_NODEFAULT),
        "click.wav/" + std::to_string(SND_ASYNC | SND_NODEFAULT),
    };
    EXPECT_EQ(expected, g_sounds);
    EXPECT_EQ(2, host.clicks) << "the parent hears every click too";
}

TEST(CSkinButton, AWebLinkIsOpenedOnClick)
{
    harness::TempFolder folder("link");
    const std::string target = folder / "opened.exe";
    ASSERT_TRUE(harness::InstallRecorder(target));
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
    button.SetURL(target.c_str());
    host.SendMessage(WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
    EXPECT_TRUE(harness::WaitForRecordedCalls(target, 1));
}

TEST(CSkinButton, ACursorOfItsOwnIsSetOverTheButton)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 40, 40), &host, 1000));
    HCURSOR cross = static_cast<HCURSOR>(CopyImage(LoadCursorA(nullptr, IDC_CROSS), IMAGE_CURSOR, 0, 0, 0));
    ASSERT_NE(nullptr, cross);
    button.SetBtnCursor(cross);
    EXPECT_EQ(TRUE, button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(cross, GetCursor());
}

TEST(CSkinButton, IconsAreDrawnByTheIconStep)
{
    Host host;
    OpenSkinButton button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 42, 42), &host, 1000));
    HICON icon = static_cast<HICON>(CopyImage(LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(nullptr, icon);
    button.SetIcons(nullptr, icon);
    PixelCanvas canvas(32, 32, RGB(1, 2, 3));
    CRect item(0, 0, 32, 32), caption = item;
    button.DrawIcon(CDC::FromHandle(canvas.Dc()), FALSE, item, caption);
    int changed = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            changed += canvas.At(x, y) != 0x010203;
    EXPECT_GT(changed, 0);
}

namespace {

int g_menuTicks = 0;

void CALLBACK ChooseFirstMenuItem(HWND, UINT, UINT_PTR, DWORD)
{
    ++g_menuTicks;
    HWND menu = FindWindowA("#32768", nullptr);
    if (g_menuTicks == 3 && menu) {
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    } else if (g_menuTicks > 30) {
        EndMenu();     // never leave the test inside a menu
    }
}

}  // namespace

TEST(CSkinButton, APopupMenuIsTrackedBelowTheButtonAndItsCommandPosted)
{
    Host host;
    CSkinButton button;
    ASSERT_TRUE(button.Create("Menu", WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 10, 80, 40), &host, 1000));
    ASSERT_TRUE(button.SetMenu(IDR_TEST_MENU, host.m_hWnd));
    ASSERT_TRUE(button.GetMenu().IsLoaded());
    button.SetMenuCallback(host.m_hWnd, kMenuCallback, 77);
    // While the menu runs its own loop, a timer chooses its first item with the keyboard.
    g_menuTicks = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &ChooseFirstMenuItem);
    host.SendMessage(WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
    KillTimer(nullptr, timer);
    EXPECT_EQ(reinterpret_cast<WPARAM>(button.GetMenu().GetSubMenuHandle(0)), host.callbackMenu);
    EXPECT_EQ(77, host.callbackParam);
    PumpFor(100);
    EXPECT_EQ(std::vector<UINT>{ID_FILE_OPEN}, host.commands);
}
