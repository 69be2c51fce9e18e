// The hot button: its face, the overlay its state chooses, its place and its caption, read from
// the pixels it paints.
#include <gtest/gtest.h>

#include "CHotBtn.h"
#include "ControlsFixture.h"

namespace {

constexpr COLORREF kNormal = RGB(200, 40, 40);
constexpr COLORREF kPressed = RGB(40, 180, 40);
constexpr COLORREF kHover = RGB(40, 40, 200);
constexpr COLORREF kDisabled = RGB(120, 120, 120);
constexpr COLORREF kMarker = RGB(1, 2, 3);

struct Faces {
    HBITMAP normal = SolidBitmap(85, 26, kNormal);
    HBITMAP pressed = SolidBitmap(85, 26, kPressed);
    HBITMAP hover = SolidBitmap(85, 26, kHover);
    HBITMAP disabled = SolidBitmap(85, 26, kDisabled);
    ~Faces()
    {
        for (HBITMAP b : {normal, pressed, hover, disabled})
            DeleteObject(b);
    }
};

DRAWITEMSTRUCT DrawRequest(CHotBtn& button, HDC dc, UINT state)
{
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(button.GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = button.m_hWnd;
    item.hDC = dc;
    ::GetClientRect(button.m_hWnd, &item.rcItem);
    return item;
}

RECT PlaceOf(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

}  // namespace

TEST(CHotBtn, StateChoosesTheOverlay)
{
    TestParent parent;
    Faces faces;
    CHotBtn button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(10, 10, 95, 36), &parent, 500));
    ASSERT_TRUE(button.SetBitmaps(faces.normal, faces.pressed, faces.hover, faces.disabled));
    button.SetRect(10, 10, 95, 36);

    struct Case {
        UINT state;
        bool hovering;
        COLORREF shown;
    };
    const Case cases[] = {
        {ODS_SELECTED | ODS_DISABLED, false, kPressed},    // pressed wins over disabled
        {ODS_SELECTED, true, kPressed},
        {ODS_DISABLED, true, kDisabled},                   // disabled wins over hover
        {0, true, kHover},
        {0, false, kNormal},
        {ODS_FOCUS, false, kNormal},                       // focus is never drawn
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "state " << c.state << (c.hovering ? " hovering" : ""));
        button.SendMessage(c.hovering ? WM_MOUSEHOVER : WM_MOUSELEAVE);
        EXPECT_EQ(button.IsHovering() != FALSE, c.hovering);
        PixelCanvas canvas(100, 40, kMarker);
        DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), c.state);
        button.DrawItem(&item);
        EXPECT_EQ(canvas.At(0, 0), ScreenColor(c.shown));
        EXPECT_EQ(canvas.At(84, 25), ScreenColor(c.shown));
        EXPECT_EQ(canvas.At(85, 26), ScreenColor(kMarker));
    }
}

TEST(CHotBtn, SitsAtItsRectangleAndBlitsOnlyThatMuch)
{
    TestParent parent;
    Faces faces;
    CHotBtn button;
    ASSERT_TRUE(button.Create("", WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 501));
    ASSERT_TRUE(button.SetBitmaps(faces.normal, faces.pressed, faces.hover, faces.disabled));
    button.SetRect(30, 40, 70, 50);
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    const RECT place = PlaceOf(button.m_hWnd);
    EXPECT_EQ(place.left, 30);
    EXPECT_EQ(place.top, 40);
    EXPECT_EQ(place.right, 70);
    EXPECT_EQ(place.bottom, 50);

    // A rectangle smaller than the bitmaps shows their top-left part only.
    PixelCanvas canvas(100, 40, kMarker);
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
    item.rcItem = {0, 0, 100, 40};   // the stored rectangle decides, not the item's
    button.DrawItem(&item);
    EXPECT_EQ(canvas.At(39, 9), ScreenColor(kNormal));
    EXPECT_EQ(canvas.At(40, 5), ScreenColor(kMarker));
    EXPECT_EQ(canvas.At(5, 10), ScreenColor(kMarker));

    // One missing bitmap: refused, and nothing changes.
    EXPECT_FALSE(button.SetBitmaps(faces.hover, nullptr, faces.hover, faces.hover));
    const RECT still = PlaceOf(button.m_hWnd);
    EXPECT_TRUE(EqualRect(&place, &still));
    PixelCanvas again(100, 40, kMarker);
    DRAWITEMSTRUCT second = DrawRequest(button, again.Dc(), 0);
    button.DrawItem(&second);
    EXPECT_EQ(again.At(0, 0), ScreenColor(kNormal));
}

TEST(CHotBtn, CaptionStartsSixPixelsDownInItsColour)
{
    TestParent parent;
    Faces faces;
    CHotBtn button;
    ASSERT_TRUE(button.Create("Wg", WS_VISIBLE, CRect(10, 10, 95, 46), &parent, 502));
    ASSERT_TRUE(button.SetBitmaps(faces.normal, faces.pressed, faces.hover, faces.disabled));
    button.SetRect(10, 10, 95, 46);
    button.SetTextColor(RGB(255, 255, 0));
    PixelCanvas canvas(85, 36, kMarker);
    DRAWITEMSTRUCT item = DrawRequest(button, canvas.Dc(), 0);
    HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
    HGDIOBJ old = SelectObject(canvas.Dc(), font);
    button.DrawItem(&item);
    SelectObject(canvas.Dc(), old);
    DeleteObject(font);
    int firstRow = -1;
    for (int y = 0; y < canvas.Height() && firstRow < 0; ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.At(x, y) == ScreenColor(RGB(255, 255, 0))) {
                firstRow = y;
                break;
            }
    EXPECT_GE(firstRow, 6);
    EXPECT_LT(firstRow, 20);
}
