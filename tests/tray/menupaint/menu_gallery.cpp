// Paints the items of every menu theme, in each state, side by side into menu_gallery.png in the
// build folder, so that the looks can be judged by eye; a framed theme's popup gets the frame and
// shade the theme paints round its menu windows. Only the writing of the picture is checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CMenuTheme.h"
#include "MemoryDC.h"
#include "MenuCanvas.h"
#include "MenuTestSupport.h"
#include "Paths.h"
#include "PngFile.h"
#include "SelectGuard.h"
#include "WindowDC.h"
#include "WindowDriver.h"

namespace {

struct Sample {
    const char* text;
    UINT flags;
    UINT state;
    bool bar;
    UINT_PTR id;
};

const Sample kSamples[] = {
    {"&File", MF_STRING, 0, true, 200},
    {"&File", MF_STRING, ODS_SELECTED | ODS_HOTLIGHT, true, 200},
    {"&File", MF_STRING, ODS_SELECTED, true, 200},
    {"Open the disk\tCtrl+O", MF_STRING, ODS_DEFAULT, false, 100},
    {"Mount a disk", MF_STRING, ODS_SELECTED, false, 101},
    {"", MF_SEPARATOR, 0, false, 0},
    {"Start with Windows", MF_STRING, ODS_CHECKED, false, 102},
    {"Start with Windows", MF_STRING, ODS_CHECKED | ODS_SELECTED, false, 102},
    {"Dismount all", MF_STRING, ODS_GRAYED | ODS_DISABLED, false, 103},
    {"Close", MF_STRING, 0, false, SC_CLOSE},
};

// A stand-in menu window for a framed theme's frame: its client area the popup's place on the
// canvas, its frame round it as the theme computes it.
LRESULT CALLBACK FramedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto previous = reinterpret_cast<WNDPROC>(::GetPropA(window, "GalleryPreviousProc"));
    const LRESULT result = ::CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_NCCALCSIZE && g_pCurrentMenuTheme)
        g_pCurrentMenuTheme->OnNcCalcSize(window, reinterpret_cast<RECT*>(lParam));
    return result;
}

// The current theme's frame and shade round `popup` (canvas coordinates), over what the canvas
// shows there.
void PaintFrameRound(MenuCanvas& canvas, const RECT& popup, HMENU menu)
{
    FakeMenuWindow window(0, 0, popup.right - popup.left, popup.bottom - popup.top);
    ::SetPropA(window.hwnd(), "GalleryPreviousProc",
               reinterpret_cast<HANDLE>(::GetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC)));
    ::SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FramedWindowProc));
    // The window as big as the popup plus its frame, the client area where the popup is.
    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, 100, 100, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {};
    ::GetClientRect(window.hwnd(), &client);
    const int width = 100 + (popup.right - popup.left) - client.right;
    const int height = 100 + (popup.bottom - popup.top) - client.bottom;
    ::SetWindowPos(window.hwnd(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    POINT origin = {0, 0};
    ::ClientToScreen(window.hwnd(), &origin);
    const RECT frame = harness::WindowRectOf(window.hwnd());
    const int left = popup.left - (origin.x - frame.left), top = popup.top - (origin.y - frame.top);

    // The screen under the window, which the shade darkens, is the canvas.
    CDrawMenuHook::CMenuHookData* data = window.AddHookData(menu);
    {
        const WindowDC screen(nullptr);
        const MemoryDC memory(screen.Get());
        HBITMAP under = ::CreateCompatibleBitmap(screen.Get(), width + 10, height + 10);
        data->m_bmpShade.Attach(under);
        const SelectGuard select(memory.Get(), under);
        ::BitBlt(memory.Get(), 0, 0, width + 10, height + 10, canvas.dc(), left, top, SRCCOPY);
    }

    POINT before = {};
    ::SetViewportOrgEx(canvas.dc(), left, top, &before);
    g_pCurrentMenuTheme->PaintFrame(window.hwnd(), canvas.dc(), FALSE);
    ::SetViewportOrgEx(canvas.dc(), before.x, before.y, nullptr);
    ::SetWindowLongPtrA(window.hwnd(), GWLP_WNDPROC,
                        reinterpret_cast<LONG_PTR>(::RemovePropA(window.hwnd(), "GalleryPreviousProc")));
}

const char* LookName(int type)
{
    switch (type) {
    case 0: case 1: return "classic";
    case 2: case 3: return "XP";
    case 4: case 5: return "flat bar";
    case 6: case 7: return "shaded";
    case 8: case 9: return "2003";
    default: return "2003 blue";
    }
}

TEST(MenuGallery, PaintsEveryThemesItemsIntoAPicture)
{
    SavedMenuSettings saved;
    ASSERT_NE(g_pMenuThemes, nullptr);
    // frameRoom: between the bar and the popup, for a framed theme's frame.
    constexpr int columnWidth = 190, gap = 12, labelHeight = 20, barHeight = 22, frameRoom = 4;
    const int columns = static_cast<int>(g_pMenuThemes->size());
    const int perRow = 6;
    const int rows = (columns + perRow - 1) / perRow;

    // The title font the tray dialog sets: a 10-point sans serif.
    g_MenuLogFont = LOGFONTA{};
    g_MenuLogFont.lfHeight = -13;
    strcpy(g_MenuLogFont.lfFaceName, "Microsoft Sans Serif");
    CDrawMenuItemDataTitle title;
    title.SetText("Sequora");
    title.m_nFlags = MF_OWNERDRAW | MF_SEPARATOR;
    title.m_nTitleStyle = TITLE_RECORD | TITLE_GRADIENT;
    constexpr int titleHeight = 20;

    CDrawMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    ::AppendMenuA(popup, MF_STRING, 100, "Open the disk");
    ::SetMenuDefaultItem(popup, 100, FALSE);
    CDrawMenu bar;
    ASSERT_TRUE(bar.CreateMenu());
    bar.m_bPopup = 0;
    bar.m_nOpenPopups = 1;

    // Heights of the popup column, from the XP measure (the same for every look here).
    std::vector<std::unique_ptr<CDrawMenuItemData>> records;
    for (const Sample& s : kSamples) {
        records.push_back(std::make_unique<CDrawMenuItemData>());
        records.back()->SetText(s.text);
        records.back()->m_nFlags = s.flags | MF_OWNERDRAW;
        records.back()->m_nID = s.id;
    }
    int columnHeight = labelHeight + titleHeight + frameRoom;
    std::vector<int> heights;
    for (size_t i = 0; i < records.size(); ++i) {
        MEASUREITEMSTRUCT measure = {};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(records[i].get());
        popup.MeasureItemXP(&measure, kSamples[i].bar);
        const int h = kSamples[i].bar ? barHeight : static_cast<int>(measure.itemHeight);
        heights.push_back(h);
        columnHeight += h + (kSamples[i].bar ? 2 : 0);
    }
    columnHeight += gap;

    const int width = perRow * (columnWidth + gap) + gap, height = rows * columnHeight + gap;
    MenuCanvas canvas(width, height, RGB(236, 236, 236));
    ::SetBkMode(canvas.dc(), TRANSPARENT);
    HFONT labelFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (int c = 0; c < columns; ++c) {
        CMenuTheme* theme = (*g_pMenuThemes)[c];
        g_pCurrentMenuTheme = theme;
        const int left = gap + (c % perRow) * (columnWidth + gap);
        int top = gap + (c / perRow) * columnHeight;
        const std::string label = "type " + std::to_string(theme->m_nType) + ": " + LookName(theme->m_nType) +
                                  (theme->HasFrame() ? ", framed" : "");
        HGDIOBJ oldFont = ::SelectObject(canvas.dc(), labelFont);
        ::SetTextColor(canvas.dc(), RGB(0, 0, 0));
        RECT labelRect = {left, top, left + columnWidth, top + labelHeight};
        ::DrawTextA(canvas.dc(), label.c_str(), -1, &labelRect, DT_SINGLELINE | DT_VCENTER);
        ::SelectObject(canvas.dc(), oldFont);
        top += labelHeight;
        int barLeft = left;
        bool titleDrawn = false;
        RECT popupPlace = {left, 0, left + columnWidth, 0};
        for (size_t i = 0; i < records.size(); ++i) {
            const Sample& s = kSamples[i];
            CDrawMenu& owner = s.bar ? bar : popup;
            if (!s.bar && !titleDrawn) {
                top += frameRoom;
                popupPlace.top = top;
                // The popup starts with a title record, as the title painter draws it.
                DRAWITEMSTRUCT head = {};
                head.CtlType = ODT_MENU;
                head.hwndItem = reinterpret_cast<HWND>(popup.m_hMenu);
                head.hDC = canvas.dc();
                head.rcItem = {left, top, left + columnWidth, top + titleHeight};
                head.itemData = reinterpret_cast<ULONG_PTR>(&title);
                (popup.*theme->m_pfnDrawTitle)(&head);
                top += titleHeight;
                titleDrawn = true;
            }
            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_MENU;
            draw.itemID = static_cast<UINT>(records[i]->m_nID);
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = s.state;
            draw.hwndItem = reinterpret_cast<HWND>(owner.m_hMenu);
            draw.hDC = canvas.dc();
            draw.itemData = reinterpret_cast<ULONG_PTR>(records[i].get());
            if (s.bar) {
                // The bar's three items side by side: plain, hot, pressed (its popup open).
                draw.rcItem = {barLeft, top, barLeft + 60, top + barHeight};
                barLeft += 62;
            } else {
                draw.rcItem = {left, top, left + columnWidth, top + heights[i]};
            }
            (owner.*theme->m_pfnDrawItem)(&draw, s.bar);
            if (!s.bar || (i + 1 < records.size() && !kSamples[i + 1].bar))
                top += heights[i] + (s.bar ? 2 : 0);
        }
        popupPlace.bottom = top;
        if (theme->HasFrame())
            PaintFrameRound(canvas, popupPlace, popup.m_hMenu);
    }
    const std::string path = harness::JoinPath(harness::BuildDir(), "menu_gallery.png");
    EXPECT_TRUE(SavePngFile(path, canvas.Pixels(), width, height)) << path;
}

}  // namespace
