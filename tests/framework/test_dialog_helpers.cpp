// The skinned dialogs' helpers: template reading, the font scaler, control re-creation, the
// background painter and the round-corner region.
#include <gtest/gtest.h>

#include <vector>

#include "Framework.h"
#include "test_framework.h"
#include "WindowDriver.h"

using harness::SolidBitmap;

namespace {

struct ExpectedItem {
    WORD id;
    short x, y, cx, cy;
};

std::vector<DialogTemplateItem> ItemsOf(const std::vector<BYTE>& bytes)
{
    std::vector<DialogTemplateItem> items;
    const BYTE* item = GetFirstDlgTemplateItem(bytes.data());
    for (int i = 0; i < GetDlgTemplateItemCount(bytes.data()); ++i) {
        DialogTemplateItem entry;
        item = ReadDialogTemplateItem(item, IsExtendedDialogTemplate(bytes.data()), entry);
        items.push_back(entry);
    }
    return items;
}

RECT RectInParent(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class BackgroundWindow : public CWnd {
public:
    HBITMAP background = nullptr;
    LRESULT OnPrintClient(WPARAM wParam, LPARAM)
    {
        OnPaintBackground(this, background, 40, 30, reinterpret_cast<HDC>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BackgroundWindow, CWnd)
    ON_MESSAGE(WM_PRINTCLIENT, BackgroundWindow::OnPrintClient)
END_MESSAGE_MAP()

}  // namespace

TEST(DialogTemplate, ReadsPlainAndExtendedTemplatesWithAndWithoutAFont)
{
    struct Case {
        bool extended;
        const char* face;
    };
    const Case cases[] = {{false, nullptr}, {false, "Verdana"}, {true, nullptr}, {true, "Verdana"}};
    const ExpectedItem items[] = {{11, 1, 2, 30, 10}, {12, 5, 20, 40, 14}, {13, 7, 40, 50, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.extended ? "extended" : "plain") + (c.face ? " with font" : " without font"));
        DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION, 0, 0, 0, 120, 80, "Title", 10, c.face, c.extended, 700);
        builder.AddItem(WS_CHILD | SS_LEFT, 1, 2, 30, 10, 11, "STATIC", "one");
        builder.AddItem(WS_CHILD | BS_PUSHBUTTON, 5, 20, 40, 14, 12, "BUTTON", "two, longer");
        builder.AddItem(WS_CHILD, 7, 40, 50, 12, 13, "EDIT", "");
        const std::vector<BYTE> bytes = builder.Bytes();

        EXPECT_EQ(IsExtendedDialogTemplate(bytes.data()), c.extended);
        EXPECT_EQ(GetDlgTemplateItemCount(bytes.data()), 3);
        const std::vector<DialogTemplateItem> read = ItemsOf(bytes);
        ASSERT_EQ(read.size(), 3u);
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].id, items[i].id);
            EXPECT_EQ(read[i].x, items[i].x);
            EXPECT_EQ(read[i].y, items[i].y);
            EXPECT_EQ(read[i].cx, items[i].cx);
            EXPECT_EQ(read[i].cy, items[i].cy);
        }
        const CDlgFontScaler::TemplateFont font = CDlgFontScaler::GetTemplateFont(bytes.data());
        if (c.face) {
            EXPECT_EQ(font.pointSize, 10);
            EXPECT_EQ(font.face, L"Verdana");
            EXPECT_EQ(font.weight, c.extended ? 700 : 400);
        } else {
            EXPECT_EQ(font.pointSize, 8);
            EXPECT_EQ(font.face, L"Tahoma");
            EXPECT_EQ(font.weight, 400);
        }
        EXPECT_FALSE(font.italic);
        EXPECT_FALSE(font.hasMenu);
    }
}

TEST(DialogTemplate, ChildTemplateLosesCaptionPopupAndVisibility)
{
    DialogTemplateBuilder builder(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 0, 50, 50, "", 8,
                                  "MS Shell Dlg", true);
    std::vector<BYTE> bytes = builder.Bytes();
    MakeChildDialogTemplate(bytes);
    const DialogTemplateInfo info = ReadDialogTemplateInfo(bytes.data(), bytes.size());
    EXPECT_EQ(info.style & (WS_POPUP | WS_CAPTION | WS_VISIBLE), 0u);
    EXPECT_EQ(info.style & (WS_CHILD | DS_CONTROL), static_cast<DWORD>(WS_CHILD | DS_CONTROL));
}

TEST(DlgFontScaler, AverageCharacterWidthFromTheAlphabetsExtent)
{
    const struct {
        int extent, width;
    } cases[] = {{364, 7}, {0, 0}, {25, 0}, {26, 1}, {52, 1}, {78, 2}, {300, 6}, {338, 7}, {390, 8}};
    for (const auto& c : cases)
        EXPECT_EQ(AverageCharWidthFromExtent(c.extent), c.width) << c.extent;
    EXPECT_EQ(ScaleDialogUnits(10, 7, 4), 18);     // 17.5 rounds up
    EXPECT_EQ(ScaleDialogUnits(30, 13, 8), 49);    // 48.75
}

// The template's own font at 96 DPI lays the dialog and its children out; afterwards the old
// fonts come back and the geometry stays.
TEST(DlgFontScaler, PlacesChildrenInDialogUnitsOfTheTemplateFont)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_SCALE, nullptr));
    const HFONT dialogFont = reinterpret_cast<HFONT>(dialog.SendMessage(WM_GETFONT));

    // What the scaler should measure: 9-point Tahoma, bold, at 96 DPI.
    HFONT measured = CreateFontW(-12, 0, 0, 0, 700, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    HDC dc = GetDC(dialog.m_hWnd);
    const SIZE base = GetAverageCharSize(dc, measured);
    ReleaseDC(dialog.m_hWnd, dc);
    DeleteObject(measured);
    ASSERT_GT(base.cx, 0);

    const ExpectedItem items[] = {{IDC_SCALE_FIRST, 10, 10, 40, 10}, {IDC_SCALE_SECOND, 20, 30, 60, 14},
                                  {IDC_SCALE_THIRD, 30, 60, 80, 12}};
    {
        CDlgFontScaler scaler;
        scaler.Apply(GetModuleHandleA(nullptr), dialog.m_hWnd, IDD_SCALE, 96.0);
        for (const ExpectedItem& item : items) {
            SCOPED_TRACE(item.id);
            const RECT r = RectInParent(dialog.GetDlgItemHwnd(item.id));
            EXPECT_EQ(r.left, ScaleDialogUnits(item.x, base.cx, 4));
            EXPECT_EQ(r.top, ScaleDialogUnits(item.y, base.cy, 8));
            EXPECT_EQ(r.right - r.left, ScaleDialogUnits(item.cx, base.cx, 4));
            EXPECT_EQ(r.bottom - r.top, ScaleDialogUnits(item.cy, base.cy, 8));
            EXPECT_NE(reinterpret_cast<HFONT>(::SendMessageA(dialog.GetDlgItemHwnd(item.id), WM_GETFONT, 0, 0)),
                      dialogFont);
        }
        RECT client;
        dialog.GetClientRect(&client);
        EXPECT_EQ(client.right, ScaleDialogUnits(180, base.cx, 4));
        EXPECT_EQ(client.bottom, ScaleDialogUnits(100, base.cy, 8));
    }
    const RECT kept = RectInParent(dialog.GetDlgItemHwnd(IDC_SCALE_SECOND));
    EXPECT_EQ(kept.left, ScaleDialogUnits(20, base.cx, 4));
    for (const ExpectedItem& item : items)
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(dialog.GetDlgItemHwnd(item.id), WM_GETFONT, 0, 0)), dialogFont);
    EXPECT_EQ(reinterpret_cast<HFONT>(dialog.SendMessage(WM_GETFONT)), dialogFont);
    dialog.DestroyWindow();
}

TEST(DlgFontScaler, AChildTheDialogLacksEndsTheWalk)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_SCALE, nullptr));
    const RECT third = RectInParent(dialog.GetDlgItemHwnd(IDC_SCALE_THIRD));
    const RECT first = RectInParent(dialog.GetDlgItemHwnd(IDC_SCALE_FIRST));
    ::DestroyWindow(dialog.GetDlgItemHwnd(IDC_SCALE_SECOND));
    CDlgFontScaler scaler;
    // Twice the usual DPI, so that a child the walk reaches surely moves.
    scaler.Apply(GetModuleHandleA(nullptr), dialog.m_hWnd, IDD_SCALE, 192.0);
    const RECT firstAfter = RectInParent(dialog.GetDlgItemHwnd(IDC_SCALE_FIRST));
    const RECT thirdAfter = RectInParent(dialog.GetDlgItemHwnd(IDC_SCALE_THIRD));
    EXPECT_FALSE(EqualRect(&first, &firstAfter)) << "the first child is laid out anew";
    EXPECT_TRUE(EqualRect(&third, &thirdAfter)) << "the walk stopped before the third";
    scaler.Restore();
    dialog.DestroyWindow();
}

TEST(RecreateControl, FlipsStylesKeepingTextFontPlaceAndId)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, "STATIC", "parent", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, "Edit", "secret", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                              CRect(10, 20, 150, 44), &parent, 77));
    HFONT font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    edit.SetFont(font, FALSE);

    ASSERT_TRUE(RecreateControl(&edit, "Edit", 0, ES_PASSWORD, 0, 0));
    EXPECT_TRUE(edit.GetStyle() & ES_PASSWORD);
    EXPECT_TRUE(edit.GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(edit.GetWindowText(), "secret");
    EXPECT_EQ(edit.GetDlgCtrlID(), 77);
    EXPECT_EQ(reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT)), font);
    const RECT r = RectInParent(edit.m_hWnd);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right, 150);
    EXPECT_EQ(r.bottom, 44);
    EXPECT_EQ(::GetDlgItem(parent.m_hWnd, 77), edit.m_hWnd);

    ASSERT_TRUE(RecreateControl(&edit, "Edit", ES_PASSWORD, 0, 0, 0));
    EXPECT_FALSE(edit.GetStyle() & ES_PASSWORD);

    // A window that cannot be made leaves the old control in place.
    EXPECT_FALSE(RecreateControl(&edit, "NoSuchWindowClass", 0, ES_PASSWORD, 0, 0));
    ASSERT_NE(::GetDlgItem(parent.m_hWnd, 77), nullptr);
    EXPECT_EQ(CWnd::FromHandle(::GetDlgItem(parent.m_hWnd, 77))->GetWindowText(), "secret");
    parent.DestroyWindow();
}

TEST(OnPaintBackground, PaintsTheBitmapIntoTheDcItIsGiven)
{
    BackgroundWindow window;
    window.background = SolidBitmap(40, 30, RGB(10, 200, 30));
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 60, 50), nullptr, 0));

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 60;
    info.bmiHeader.biHeight = -50;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    window.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    GdiFlush();
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_EQ(pixels[29 * 60 + 39] & 0xFFFFFF, 0x0AC81Eu);
    EXPECT_EQ(pixels[29 * 60 + 40] & 0xFFFFFF, 0u) << "only width x height is copied";
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    window.DestroyWindow();
    DeleteObject(window.background);
}

TEST(CreateDialogRegion, IsTheRoundRectangleOneLargerThanTheDialog)
{
    HRGN region = CreateDialogRegion(200, 100);
    HRGN expected = CreateRoundRectRgn(0, 0, 201, 101, 9, 9);
    EXPECT_TRUE(EqualRgn(region, expected));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_TRUE(PtInRegion(region, 100, 50));
    DeleteObject(region);
    DeleteObject(expected);
}

namespace {

// Records the caption press the drag handler turns a body press into, instead of letting the
// system start moving the window.
class DraggedWindow : public CWnd {
public:
    WPARAM hit = 0;
    LPARAM point = 0;
    int presses = 0;
    void OnLButtonDown(UINT flags, CPoint p) { OnLButtonDownDrag(this, flags, p); }
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
    {
        ++presses;
        hit = wParam;
        point = lParam;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DraggedWindow, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_NCLBUTTONDOWN, DraggedWindow::OnNcLButtonDown)
END_MESSAGE_MAP()

}  // namespace

TEST(OnLButtonDownDrag, TurnsABodyPressIntoACaptionPress)
{
    DraggedWindow window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE | SS_NOTIFY, CRect(100, 100, 300, 200),
                                nullptr, 0));
    window.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 34));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    EXPECT_EQ(window.presses, 1);
    EXPECT_EQ(window.hit, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(window.point, MAKELPARAM(12, 34));    // the client point, as received
    window.DestroyWindow();
}
