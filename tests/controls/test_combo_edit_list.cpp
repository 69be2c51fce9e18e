// The bitmap combo box read from the pixels it paints, the white edit against a parent's colours,
// and the list control's cells and tips.
#include <gtest/gtest.h>

#include <string>

#include "CBitComboBox.h"
#include "CBrush.h"
#include "CEditEx.h"
#include "CImageList.h"
#include "CListCtrlEx.h"
#include "ControlsArt.h"
#include "ControlsFixture.h"
#include "TestFaceColors.h"
#include "WindowDriver.h"
#include "test_controls_lib.h"

namespace {

// A plain drop-down list made as a dialog template would, then attached.
HWND MakeDropDownList(HWND parent, int width)
{
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, width, 100, parent,
                                 reinterpret_cast<HMENU>(1026), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(combo, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return combo;
}

struct ComboPixels {
    int width = 0, height = 0;
    DWORD left = 0, middle = 0, right = 0;
};

ComboPixels Paint(CBitComboBox& combo, COLORREF fill = RGB(1, 2, 3))
{
    RECT client;
    combo.GetClientRect(&client);
    PixelCanvas canvas(client.right, client.bottom, fill);
    combo.PaintTo(canvas.Dc());
    ComboPixels p;
    p.width = client.right;
    p.height = client.bottom;
    const int y = std::min<int>(7, client.bottom - 1);
    p.left = canvas.At(0, y);
    p.middle = canvas.At(client.right / 2, y);
    p.right = canvas.At(client.right - 1, y);
    return p;
}

}  // namespace

TEST(CBitComboBox, PiecesAndTheArrowFollowTheState)
{
    TestParent parent;
    CBitComboBox combo;
    ASSERT_TRUE(combo.SubclassWindow(MakeDropDownList(parent.m_hWnd, 120)));
    combo.SetBitmaps(IDB_TCOMBO_LEFT, IDB_TCOMBO_MIDDLE, IDB_TCOMBO_ARROW_NORMAL, IDB_TCOMBO_ARROW_HOVER,
                     IDB_TCOMBO_ARROW_PRESSED, IDB_TCOMBO_ARROW_DISABLED);
    RECT client;
    combo.GetClientRect(&client);
    const int w = client.right;
    struct Case {
        const char* name;
        int pressX;         // -1: no press
        bool enabled;
        unsigned arrow;
    };
    // No message sets hover, so the hover arrow never shows.
    const Case cases[] = {
        {"normal", -1, true, kArrowColors[0]},
        {"press on the arrow", w - 5, true, kArrowColors[2]},
        {"press at the arrow area's left edge", w - 20, true, kArrowColors[2]},
        {"press left of the arrow area", w - 21, true, kArrowColors[0]},
        {"disabled wins over pressed", w - 5, false, kArrowColors[3]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.pressX >= 0)
            combo.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.pressX, 5));
        combo.EnableWindow(c.enabled);
        const ComboPixels p = Paint(combo);
        EXPECT_EQ(kComboLeftColor, p.left);
        EXPECT_EQ(kComboMiddleColor, p.middle);
        EXPECT_EQ(c.arrow, p.right);
        combo.EnableWindow(TRUE);
        if (c.pressX >= 0) {
            combo.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(c.pressX, 5));
            combo.SendMessage(CB_SHOWDROPDOWN, FALSE);
            EXPECT_FALSE(combo.IsPressed()) << "released";
            EXPECT_EQ(kArrowColors[0], Paint(combo).right);
        }
        combo.SendMessage(WM_MOUSELEAVE);
        EXPECT_EQ(kArrowColors[0], Paint(combo).right) << "leaving changes nothing";
    }
}

TEST(CBitComboBox, TheMiddleStretchesBetweenTheEndsAndNeverMirrors)
{
    struct Case {
        int width;
        UINT middle;
        bool middleDrawn;
    };
    // Left 5 and arrow 18 pixels: a 20-pixel control has no room for the middle.
    const Case cases[] = {{120, IDB_TCOMBO_MIDDLE, true}, {60, IDB_TCOMBO_MIDDLE, true}, {20, IDB_TCOMBO_MIDDLE, false},
                          {120, 0, false}};
    TestParent parent;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "width " << c.width << " middle " << c.middle);
        CBitComboBox combo;
        ASSERT_TRUE(combo.SubclassWindow(MakeDropDownList(parent.m_hWnd, c.width)));
        combo.SetBitmaps(IDB_TCOMBO_LEFT, c.middle, IDB_TCOMBO_ARROW_NORMAL, 0, IDB_TCOMBO_ARROW_PRESSED,
                         IDB_TCOMBO_ARROW_DISABLED);
        RECT client;
        combo.GetClientRect(&client);
        PixelCanvas canvas(client.right, client.bottom, RGB(1, 2, 3));
        combo.PaintTo(canvas.Dc());
        int middle = 0, firstMiddle = 1000, lastMiddle = -1;
        for (int x = 0; x < client.right; ++x)
            if (canvas.At(x, 7) == kComboMiddleColor) {
                ++middle;
                firstMiddle = std::min(firstMiddle, x);
                lastMiddle = x;
            }
        if (c.middleDrawn) {
            EXPECT_EQ(kComboLeftWidth, firstMiddle);
            EXPECT_EQ(client.right - kComboArrowWidth - 1, lastMiddle);
            EXPECT_EQ(client.right - kComboArrowWidth - kComboLeftWidth, middle);
        } else {
            EXPECT_EQ(0, middle);
        }
        EXPECT_EQ(kArrowColors[0], canvas.At(client.right - 1, 7));
        EXPECT_EQ(kComboLeftColor, canvas.At(0, 7));
        combo.DestroyWindow();
        if (!c.middle && c.width > 40) {
            EXPECT_EQ(0x010203u, canvas.At(client.right / 2, 7)) << "nothing covers the gap";
        }
    }
}

TEST(CBitComboBox, TheSelectedTextIsDrawnThreePixelsIn)
{
    TestParent parent;
    CBitComboBox combo;
    ASSERT_TRUE(combo.SubclassWindow(MakeDropDownList(parent.m_hWnd, 120)));
    combo.AddString("WWW");
    combo.SetCurSel(0);
    RECT client;
    combo.GetClientRect(&client);
    PixelCanvas canvas(client.right, client.bottom, RGB(255, 255, 255));
    combo.PaintTo(canvas.Dc());
    int first = 1000;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if (canvas.At(x, y) != 0xFFFFFF)
                first = std::min(first, x);
    EXPECT_GE(first, 3);
    EXPECT_LE(first, 5);
}

TEST(CBitComboBox, TheLibrarysPiecesFitARow)
{
    TestParent parent;
    CBitComboBox combo;
    ASSERT_TRUE(combo.SubclassWindow(MakeDropDownList(parent.m_hWnd, 106)));
    combo.SetBitmaps(IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, 0, IDB_COMBO_ARROW_PRESSED,
                     IDB_COMBO_ARROW_DISABLED);
    for (UINT id : {IDB_COMBO_LEFT, IDB_COMBO_MIDDLE, IDB_COMBO_ARROW_NORMAL, IDB_COMBO_ARROW_PRESSED,
                    IDB_COMBO_ARROW_DISABLED}) {
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
        ASSERT_NE(nullptr, bitmap) << id;
        BITMAP info = {};
        GetObjectA(bitmap, sizeof info, &info);
        EXPECT_EQ(15, info.bmHeight) << id;
        EXPECT_LE(info.bmWidth, CBitComboBox::kArrowAreaWidth);
        DeleteObject(bitmap);
    }
    const ComboPixels normal = Paint(combo);
    combo.EnableWindow(FALSE);
    const ComboPixels disabled = Paint(combo);
    EXPECT_NE(normal.right, disabled.right);
    EXPECT_EQ(normal.left, disabled.left);
}

TEST(CBitComboBox, CreateMakesAnOwnerDrawnListWithStrings)
{
    TestParent parent;
    CBitComboBox combo;
    ASSERT_TRUE(combo.Create(WS_VISIBLE | CBS_DROPDOWN | 0xC, CRect(10, 10, 130, 110), &parent, 1030));
    const DWORD style = combo.GetStyle();
    EXPECT_EQ(CBitComboBox::kCreateStyleAdd, style & CBitComboBox::kCreateStyleAdd);
    EXPECT_EQ(0u, style & CBitComboBox::kCreateStyleRemove);
    combo.SetExtraBitmaps(223, 223, 224, 224);
    EXPECT_EQ(224u, combo.GetExtraBitmaps()[3]);
}

namespace {

class BrushParent : public TestParent {
public:
    CBrush red{RGB(255, 0, 0)};
    int asked = 0;
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT)
    {
        ++asked;
        return red;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BrushParent, TestParent)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST(CBitComboBox, TheParentIsNotAskedForTheDropDownsColours)
{
    BrushParent parent;
    CBitComboBox combo;
    ASSERT_TRUE(combo.SubclassWindow(MakeDropDownList(parent.m_hWnd, 120)));
    HDC dc = GetDC(combo.m_hWnd);
    const LRESULT brush = combo.SendMessage(WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(combo.m_hWnd, dc);
    EXPECT_EQ(0, parent.asked);
    EXPECT_NE(reinterpret_cast<LRESULT>(static_cast<HBRUSH>(parent.red)), brush);
}

TEST(CEditEx, ItsWhiteBackgroundWinsOverTheParentsBrush)
{
    BrushParent parent;
    CEditEx edit;
    CEdit plain;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 110, 34), &parent, 1040));
    ASSERT_TRUE(plain.Create(WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 50, 110, 74), &parent, 1041));
    parent.UpdateWindow();
    edit.Invalidate();
    plain.Invalidate();
    harness::WaitUntil([] { return false; }, 200);
    const int area = [&] {
        RECT r;
        edit.GetClientRect(&r);
        return r.right * r.bottom;
    }();
    EXPECT_GT(CountColor(edit.m_hWnd, 0xFFFFFF), area * 9 / 10);
    EXPECT_EQ(0, CountColor(edit.m_hWnd, 0xFF0000));
    EXPECT_GT(CountColor(plain.m_hWnd, 0xFF0000), area / 2) << "the parent's brush reaches a plain edit";

    HDC dc = GetDC(edit.m_hWnd);
    EXPECT_EQ(reinterpret_cast<LRESULT>(edit.GetBackgroundBrush()),
              parent.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit.m_hWnd)));
    ReleaseDC(edit.m_hWnd, dc);
    EXPECT_EQ(TRUE, edit.SendMessage(WM_ERASEBKGND, 0));
}

namespace {

struct ListFixture {
    TestParent parent;
    CListCtrlEx list;
    explicit ListFixture(DWORD view, int rows, int width = 150, int height = 100)
    {
        EXPECT_TRUE(list.Create(WS_VISIBLE | view, CRect(10, 10, 10 + width, 10 + height), &parent, 1050));
        list.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        const int widths[] = {50, 60, 70};
        for (int c = 0; c < 3; ++c)
            list.InsertColumn(c, "col", LVCFMT_LEFT, widths[c]);
        for (int r = 0; r < rows; ++r) {
            const std::string text = "r" + std::to_string(r);
            list.InsertItem(r, text.c_str());
            for (int c = 1; c < 3; ++c)
                list.SetItemText(r, c, (text + "c" + std::to_string(c)).c_str());
        }
    }
};

}  // namespace

TEST(CListCtrlEx, CellsUnderPointsInReportView)
{
    ListFixture f(LVS_REPORT, 20);
    f.list.EnsureVisible(15, FALSE);
    const int top = f.list.GetTopIndex();
    ASSERT_GT(top, 0) << "the list is scrolled";
    CRect row;
    ASSERT_TRUE(f.list.GetItemRect(top + 1, &row, LVIR_BOUNDS));
    CRect client;
    f.list.GetClientRect(&client);
    const int y = (row.top + row.bottom) / 2;
    struct Case {
        const char* name;
        int x;
        int column;
        int right;
    };
    const Case cases[] = {
        {"first column", row.left + 10, 0, row.left + 50},
        {"boundary belongs to the left column", row.left + 50, 0, row.left + 50},
        {"second column", row.left + 51, 1, row.left + 110},
        {"third column, clipped to the client", row.left + 120, 2, std::min<int>(client.right, row.left + 180)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int column = -1;
        CRect cell;
        EXPECT_EQ(top + 1, f.list.CellFromPoint(CPoint(c.x, y), &column, &cell));
        EXPECT_EQ(c.column, column);
        EXPECT_EQ(c.right, cell.right);
        EXPECT_EQ(row.top, cell.top);
        EXPECT_EQ(row.bottom, cell.bottom);
        TOOLINFOA tool = {};
        const INT_PTR id = f.list.OnToolHitTest(CPoint(c.x, y), &tool);
        EXPECT_EQ(static_cast<INT_PTR>(CListCtrlEx::ToolIdFor(top + 1, c.column)), id);
        EXPECT_EQ(f.list.m_hWnd, tool.hwnd);
        EXPECT_EQ(LPSTR_TEXTCALLBACKA, tool.lpszText);
        EXPECT_EQ(cell, CRect(tool.rect));
        int r = -1, col = -1;
        CListCtrlEx::CellOfToolId(static_cast<UINT_PTR>(id), r, col);
        EXPECT_EQ(top + 1, r);
        EXPECT_EQ(c.column, col);
    }
}

TEST(CListCtrlEx, NoCellBelowTheLastRowOrBesideTheColumns)
{
    ListFixture f(LVS_REPORT, 3, 300, 120);
    CRect last;
    ASSERT_TRUE(f.list.GetItemRect(2, &last, LVIR_BOUNDS));
    TOOLINFOA tool = {};
    EXPECT_EQ(-1, f.list.OnToolHitTest(CPoint(last.left + 10, last.bottom + 5), &tool));
    EXPECT_EQ(-1, f.list.OnToolHitTest(CPoint(last.left + 250, last.top + 2), &tool)) << "right of every column";
    EXPECT_EQ(2, f.list.CellFromPoint(CPoint(last.left + 10, last.top + 1), nullptr, nullptr));
}

TEST(CListCtrlEx, OtherViewsHaveOneColumnReachingTheRightEdge)
{
    ListFixture f(LVS_ICON, 3, 200, 150);
    // Icons of their own size, so the icon and the label are two places.
    CImageList icons;
    ASSERT_TRUE(icons.Create(32, 32, ILC_COLOR24 | ILC_MASK, 1, 1));
    HBITMAP picture = SolidBitmap(32, 32, RGB(0, 128, 0));
    icons.Add(picture, RGB(255, 255, 255));
    DeleteObject(picture);
    f.list.SendMessage(LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(icons.m_hImageList));
    f.list.SendMessage(LVM_ARRANGE, LVA_DEFAULT);
    CRect icon, label;
    ASSERT_TRUE(f.list.GetItemRect(0, &icon, LVIR_ICON));
    ASSERT_TRUE(f.list.GetItemRect(0, &label, LVIR_LABEL));
    CRect client;
    f.list.GetClientRect(&client);
    int column = -1;
    CRect cell;
    EXPECT_EQ(0, f.list.CellFromPoint(icon.CenterPoint(), &column, &cell));
    EXPECT_EQ(0, column);
    EXPECT_EQ(CRect(icon.left, icon.top, client.right, icon.bottom), cell);
    EXPECT_EQ(0, f.list.CellFromPoint(label.CenterPoint(), &column, &cell));
    EXPECT_EQ(CRect(label.left, label.top, client.right, label.bottom), cell);
    // The list view would destroy a list it owns; this one stays the test's.
    f.list.SendMessage(LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
}

TEST(CListCtrlEx, TipTextsAreTheCellsTextCutInsideTheBuffer)
{
    ListFixture f(LVS_REPORT, 3);
    const std::string longText(100, 'x');
    const std::string exact(79, 'y');
    f.list.SetItemText(1, 2, (longText.substr(0, 50) + "Z" + longText.substr(51)).c_str());
    f.list.SetItemText(2, 1, exact.c_str());
    struct Case {
        int row, column;
        std::string expected;
    };
    const Case cases[] = {
        {0, 0, "r0"},
        {0, 2, "r0c2"},
        {1, 2, (longText.substr(0, 50) + "Z" + longText.substr(51)).substr(0, 79)},
        {2, 1, exact},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.row << "," << c.column);
        NMTTDISPINFOA a = {};
        a.hdr.hwndFrom = f.list.m_hWnd;
        a.hdr.idFrom = CListCtrlEx::ToolIdFor(c.row, c.column);
        a.hdr.code = TTN_NEEDTEXTA;
        a.hinst = reinterpret_cast<HINSTANCE>(0x1234);
        f.list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&a));
        EXPECT_EQ(c.expected, std::string(a.szText));
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x1234), a.hinst) << "nothing written past the text";

        NMTTDISPINFOW w = {};
        w.hdr = a.hdr;
        w.hdr.code = TTN_NEEDTEXTW;
        w.hinst = reinterpret_cast<HINSTANCE>(0x1234);
        f.list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&w));
        EXPECT_EQ(std::wstring(c.expected.begin(), c.expected.end()), std::wstring(w.szText));
        EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x1234), w.hinst);
    }
    // Tool id 0 is not answered.
    NMTTDISPINFOA none = {};
    none.hdr.hwndFrom = f.list.m_hWnd;
    none.hdr.code = TTN_NEEDTEXTA;
    lstrcpyA(none.szText, "untouched");
    f.list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&none));
    EXPECT_STREQ("untouched", none.szText);
}

TEST(CListCtrlEx, MovingTheMouseOverACellGivesTheTooltipThatCellsTool)
{
    ListFixture f(LVS_REPORT, 5);
    CRect row;
    ASSERT_TRUE(f.list.GetItemRect(1, &row, LVIR_BOUNDS));
    const int y = (row.top + row.bottom) / 2;
    for (int column : {0, 1, 2}) {
        SCOPED_TRACE(column);
        const int x = row.left + (column == 0 ? 10 : column == 1 ? 70 : 120);
        f.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        CToolTipCtrl& tip = f.list.GetToolTip();
        ASSERT_NE(nullptr, tip.m_hWnd);
        ASSERT_EQ(1, tip.GetToolCount());
        TOOLINFOA tool = {};
        ASSERT_TRUE(tip.GetToolAt(0, &tool));
        EXPECT_EQ(CListCtrlEx::ToolIdFor(1, column), tool.uId);
        EXPECT_EQ(f.list.m_hWnd, tool.hwnd);
    }
    f.list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 10, 95));
    EXPECT_EQ(0, f.list.GetToolTip().GetToolCount()) << "no cell, no tool";
}
