// Paints the items of every menu theme, in each state, side by side into menu_gallery.png in the
// build folder, so that the looks can be judged by eye. Only the writing of the picture is checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CMenuTheme.h"
#include "MenuCanvas.h"
#include "MenuTestSupport.h"
#include "Paths.h"
#include "PngFile.h"

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
    constexpr int columnWidth = 190, gap = 12, labelHeight = 20, barHeight = 22;
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
    int columnHeight = labelHeight + titleHeight;
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
        for (size_t i = 0; i < records.size(); ++i) {
            const Sample& s = kSamples[i];
            CDrawMenu& owner = s.bar ? bar : popup;
            if (!s.bar && !titleDrawn) {
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
    }
    const std::string path = harness::JoinPath(harness::BuildDir(), "menu_gallery.png");
    EXPECT_TRUE(SavePngFile(path, canvas.Pixels(), width, height)) << path;
}

}  // namespace
