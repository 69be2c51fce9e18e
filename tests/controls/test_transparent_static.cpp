// The transparent label: the colour its text is painted in, link hover, the layout its style
// gives, and fitting itself to its text.
#include <gtest/gtest.h>

#include <string>

#include "CTransparentStatic.h"
#include "ControlsFixture.h"
#include "WindowDriver.h"

using namespace harness;

namespace {

constexpr COLORREF kField = RGB(0, 0, 255);

class BigFont {
public:
    BigFont() : m_font(CreateFontA(-36, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial")) {}
    ~BigFont() { DeleteObject(m_font); }
    operator HFONT() const { return m_font; }

private:
    HFONT m_font;
};

bool Shows(HWND label, COLORREF color)
{
    return WaitUntil([&] { return CountColor(label, ScreenColor(color)) > 20; }, 3000);
}

RECT PlaceOf(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE TextExtent(HWND label)
{
    char text[256] = {};
    GetWindowTextA(label, text, sizeof text);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return size;
}

}  // namespace

TEST(CTransparentStatic, ColourFollowsEnabledLinkAndHover)
{
    TestParent parent;
    BigFont font;
    CTransparentStatic label;
    ASSERT_TRUE(label.Create("WWW", WS_VISIBLE, CRect(20, 20, 220, 70), &parent, 600));
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    label.SetFont(font);
    label.SetTextColor(kField);
    label.Invalidate();
    EXPECT_TRUE(Shows(label.m_hWnd, kField));
    EXPECT_EQ(CountColor(label.m_hWnd, ScreenColor(CTransparentStatic::kDisabledColor)), 0);

    label.Enable(FALSE);
    EXPECT_TRUE(Shows(label.m_hWnd, CTransparentStatic::kDisabledColor));
    EXPECT_EQ(CountColor(label.m_hWnd, ScreenColor(kField)), 0);
    label.Enable(TRUE);
    EXPECT_TRUE(Shows(label.m_hWnd, kField)) << "enabling brings the colour back at once";

    // Link mode with the cursor on it: red; disabled wins over hover.
    RECT screen;
    label.GetWindowRect(&screen);
    SetCursorPos((screen.left + screen.right) / 2, (screen.top + screen.bottom) / 2);
    label.SetLinkMode(TRUE);
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(label.IsHovering());
    EXPECT_TRUE(Shows(label.m_hWnd, CTransparentStatic::kLinkHoverColor));
    label.Enable(FALSE);
    EXPECT_TRUE(Shows(label.m_hWnd, CTransparentStatic::kDisabledColor));
    label.Enable(TRUE);
    EXPECT_TRUE(Shows(label.m_hWnd, CTransparentStatic::kLinkHoverColor));

    // Leaving: back to its colour on the next tick of the hover timer.
    SetCursorPos(1200, 1000);
    EXPECT_TRUE(WaitUntil([&] { return !label.IsHovering(); }, 500));
    EXPECT_TRUE(Shows(label.m_hWnd, kField));
}

TEST(CTransparentStatic, WithoutLinkModeTheMouseStartsNoTimer)
{
    TestParent parent;
    CTransparentStatic label;
    ASSERT_TRUE(label.Create("plain", WS_VISIBLE, CRect(20, 20, 120, 40), &parent, 601));
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_FALSE(label.IsHovering());
    EXPECT_FALSE(KillTimer(label.m_hWnd, CTransparentStatic::kHoverTimer)) << "no hover timer was set";
    label.SetLinkMode(TRUE);
    label.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(KillTimer(label.m_hWnd, CTransparentStatic::kHoverTimer));
}

TEST(CTransparentStatic, StyleGivesTheDrawTextFlags)
{
    const struct {
        DWORD style;
        UINT flags;
    } cases[] = {
        {SS_LEFT, DT_WORDBREAK},
        {SS_CENTER, DT_CENTER | DT_WORDBREAK},
        {SS_RIGHT, DT_RIGHT | DT_WORDBREAK},
        {SS_CENTERIMAGE, DT_VCENTER | DT_SINGLELINE},
        {SS_LEFTNOWORDWRAP, 0},
        {SS_SIMPLE, DT_CENTER | DT_RIGHT},
        {SS_NOPREFIX, DT_NOPREFIX | DT_WORDBREAK},
        {SS_ENDELLIPSIS, DT_END_ELLIPSIS},
        {SS_PATHELLIPSIS, DT_PATH_ELLIPSIS},
        {SS_WORDELLIPSIS | SS_CENTER, DT_WORD_ELLIPSIS | DT_CENTER},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CTransparentStatic::DrawTextFlagsFor(c.style), c.flags) << std::hex << c.style;
}

// A left label wraps its words onto a second line; a centred-image label keeps one line in the
// middle of its height.
TEST(CTransparentStatic, LeftLabelsWrapAndCentredImageLabelsStayOnOneMiddleLine)
{
    TestParent parent;
    BigFont font;
    auto textRows = [](HWND label, int& first, int& last) {
        std::vector<DWORD> pixels;
        int width = 0, height = 0;
        first = last = -1;
        if (!CaptureWindow(label, pixels, width, height, true))
            return;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((pixels[y * width + x] & 0xFFFFFF) == ScreenColor(kField)) {
                    if (first < 0)
                        first = y;
                    last = y;
                }
    };
    CTransparentStatic wrapping;
    ASSERT_TRUE(wrapping.Create("WW WW", WS_VISIBLE | SS_LEFT, CRect(10, 10, 130, 130), &parent, 602));
    CTransparentStatic middle;
    ASSERT_TRUE(middle.Create("WW WW", WS_VISIBLE | SS_CENTERIMAGE, CRect(150, 10, 270, 130), &parent, 603));
    for (CTransparentStatic* label : {&wrapping, &middle}) {
        label->SetFont(font);
        label->SetTextColor(kField);
        label->Invalidate();
    }
    ASSERT_TRUE(Shows(wrapping.m_hWnd, kField));
    ASSERT_TRUE(Shows(middle.m_hWnd, kField));
    int first = 0, last = 0;
    textRows(wrapping.m_hWnd, first, last);
    EXPECT_LT(first, 10);
    EXPECT_GT(last, 45) << "the second word is on a second line";
    textRows(middle.m_hWnd, first, last);
    EXPECT_GT(first, 30);
    EXPECT_LT(last, 90);
    EXPECT_LT(last - first, 40) << "one line";
}

// Fitting to the text keeps the left edge of a left label and the right edge of a right one for
// the text, and always adds 8 pixels on the right.
TEST(CTransparentStatic, AutoSizeFitsTheTextPlusEight)
{
    TestParent parent;
    struct Case {
        DWORD style;
        RECT start;
    };
    const Case cases[] = {
        {SS_LEFT, {20, 20, 220, 60}},
        {SS_LEFT | WS_BORDER, {20, 20, 220, 60}},
        {SS_RIGHT, {20, 70, 220, 110}},
        {SS_CENTER, {20, 120, 221, 160}},
        {SS_CENTERIMAGE, {20, 170, 220, 250}},
    };
    int id = 610;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style " << std::hex << c.style);
        CTransparentStatic label;
        ASSERT_TRUE(label.Create("Fit me", WS_VISIBLE | c.style, c.start, &parent, id++));
        const SIZE text = TextExtent(label.m_hWnd);
        RECT client;
        GetClientRect(label.m_hWnd, &client);
        const int frameWidth = (c.start.right - c.start.left) - client.right;
        const int frameHeight = (c.start.bottom - c.start.top) - client.bottom;
        EXPECT_EQ(frameWidth, (c.style & WS_BORDER) ? 2 : 0);
        label.SetAutoSize(TRUE);
        const RECT r = PlaceOf(label.m_hWnd);
        const int w = text.cx + frameWidth;
        const int h = text.cy + frameHeight;
        const int startWidth = c.start.right - c.start.left;
        const int startHeight = c.start.bottom - c.start.top;
        if (c.style & SS_CENTER) {
            const int shrink = (startWidth - w) / 2;
            EXPECT_EQ(r.left, c.start.left + shrink);
            EXPECT_EQ(r.right, c.start.right - shrink + 8);
        } else if (c.style & SS_RIGHT) {
            EXPECT_EQ(r.left, c.start.right - w);
            EXPECT_EQ(r.right, c.start.right + 8);
        } else {
            EXPECT_EQ(r.left, c.start.left);
            EXPECT_EQ(r.right, c.start.left + w + 8);
        }
        if (c.style & SS_CENTERIMAGE) {
            const int shrink = (startHeight - h) / 2;
            EXPECT_EQ(r.top, c.start.top + shrink);
            EXPECT_EQ(r.bottom, c.start.bottom - shrink);
        } else {
            EXPECT_EQ(r.top, c.start.top);
            EXPECT_EQ(r.bottom, c.start.top + h);
        }
        EXPECT_EQ(label.GetWidth(), r.right - r.left);
    }
}
