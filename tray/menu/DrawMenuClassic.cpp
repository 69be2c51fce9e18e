// The classic, flat-bar and shaded draw painters: the picture in a column at the item's start,
// the text beside it, 3D edges where the classic look has them.
#include <windows.h>

#include <commctrl.h>

#include "CDrawMemDC.h"
#include "CDrawMenu.h"
#include "CFont.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "DrawMenuPaint.h"

namespace {

constexpr UINT DRAW_HIDE_PREFIX = 0x100000;     // DT_HIDEPREFIX
constexpr UINT_PTR SYSTEM_COMMAND_FIRST = 0xF000;
constexpr UINT_PTR SYSTEM_COMMAND_END = 0xF151;

bool IsSystemCommand(UINT_PTR id)
{
    return id > SYSTEM_COMMAND_FIRST && id < SYSTEM_COMMAND_END;
}

COLORREF MenuFaceColor()
{
    return ::GetSysColor(g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn() ? COLOR_MENUBAR : COLOR_MENU);
}

// The surface and the facts of the item a classic or shaded painter draws.
struct ItemPaint {
    CDrawMemDC memory;
    bool separator, selected, hot, rightToLeft;
    HDC dc;

    ItemPaint(const DRAWITEMSTRUCT* draw, const CDrawMenuItemData* record, BOOL bar)
        : memory(draw->rcItem, draw->hDC),
          separator((record->m_nFlags & MF_SEPARATOR) != 0),
          selected((draw->itemState & ODS_SELECTED) != 0),
          hot((draw->itemState & (ODS_HOTLIGHT | ODS_BAR_HOT)) != 0),
          rightToLeft((record->m_nFlags & MFT_RIGHTORDER) != 0),
          dc(ItemTargetDC(memory, draw, bar || separator))
    {
    }
};

// Where the picture and the text of a popup item go, in the layout the wide and classic
// measures leave room for: an image's width on each side of the text.
struct ClassicLayout {
    CRect column;
    CRect text;
};

ClassicLayout LayoutPopupItem(const CDrawMenu* menu, const RECT& item, bool rightToLeft)
{
    ClassicLayout layout;
    const int width = menu->m_nImageWidth + 4;
    if (rightToLeft) {
        layout.column = CRect(item.right - width, item.top, item.right, item.bottom);
        layout.text = CRect(item.left + menu->m_nImageWidth - 4, item.top, layout.column.left - 2, item.bottom);
    } else {
        layout.column = CRect(item.left, item.top, item.left + width, item.bottom);
        layout.text = CRect(layout.column.right + 2, item.top, item.right - menu->m_nImageWidth + 4, item.bottom);
    }
    return layout;
}

// The picture of a popup item: its image, its check mark or check bitmaps, or a system
// command's picture. `framed`: the classic 3D frame around an image of a checked or selected item.
void DrawItemPicture(CDrawMenu* menu, LPDRAWITEMSTRUCT draw, CDrawMenuItemData* record, HDC dc, const RECT& column,
                     UINT state, bool framed)
{
    const bool selected = (state & ODS_SELECTED) != 0, disabled = (state & ODS_DISABLED) != 0;
    if (record->m_pImageList && record->m_nImageIndex != -1) {
        int width = 0, height = 0;
        GetImageListIconSize(record->m_pImageList, &width, &height);
        const int x = (column.left + column.right - width) / 2, y = (column.top + column.bottom - height) / 2;
        if (framed && g_nOsVersionCode > OSCODE_NT3 && ((state & ODS_CHECKED) || (selected && !disabled))) {
            const RECT around = {x - 2, y - 2, x + width + 2, y + height + 2};
            const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
            if (state & ODS_CHECKED)
                Draw3dFrame(dc, around, shadow, light);
            else
                Draw3dFrame(dc, around, light, shadow);
        }
        const int index = disabled ? record->m_nImageIndex + 2 : record->m_nImageIndex;
        if (HICON icon = ImageList_GetIcon(record->m_pImageList->m_hImageList, index, ILD_NORMAL)) {
            ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, width, height, DST_ICON);
            ::DestroyIcon(icon);
        }
        return;
    }
    HBITMAP checked, unchecked;
    GetItemCheckBitmaps(draw, &checked, &unchecked);
    RECT box = column;
    const int middle = (column.top + column.bottom) / 2;
    box.top = middle - (menu->m_nImageHeight + 4) / 2;
    box.bottom = box.top + menu->m_nImageHeight + 4;
    if (!CDrawMenu::DrawCheckOrBitmap(dc, unchecked, state, box, checked) &&
        IsSystemCommand(draw->itemID))
        menu->DrawSystemGlyph(draw->itemID, state, dc, column);
}

}  // namespace

void CDrawMenu::DrawItemClassic(LPDRAWITEMSTRUCT draw, BOOL bar)
{
    CDrawMenuItemData* record = ItemDataOf(draw->itemData);
    if (!record)
        return;
    ItemPaint paint(draw, record, bar);
    const HDC dc = paint.dc;
    const UINT state = draw->itemState;
    const bool separator = paint.separator, selected = paint.selected, hot = paint.hot;
    const bool rightToLeft = paint.rightToLeft;
    const CRect item = draw->rcItem;
    const COLORREF face = bar ? GetBarBackColor(m_hMenu) : ::GetSysColor(COLOR_MENU);

    if (separator) {
        FillSolid(dc, item, face);
        if (record->m_nTitleStyle & TITLE_RECORD) {
            PaintTitleItem(draw);
            return;
        }
        RECT line = {item.left + 1, item.top + 1, item.right, item.bottom};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const CString display = record->GetDisplayText(m_hAccel);
    if (bar) {
        FillSolid(dc, item, face);
        if (selected || hot) {
            RememberBarItemRect(dc, this, &item);
            const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
            if (selected && !hot)
                Draw3dFrame(dc, item, shadow, light);
            else
                Draw3dFrame(dc, item, light, shadow);
        }
        if (IsSystemCommand(draw->itemID)) {
            DrawBarSystemGlyph(state, draw->itemID, dc, item);
            return;
        }
        const COLORREF old = ::SetTextColor(dc, ::GetSysColor(state & (ODS_GRAYED | ODS_INACTIVE) ? COLOR_GRAYTEXT
                                                                                               : COLOR_MENUTEXT));
        DrawItemText(dc, display, item, true, (state & ODS_VERTICAL_BAR) != 0, rightToLeft, state, 0);
        ::SetTextColor(dc, old);
        return;
    }

    const ClassicLayout layout = LayoutPopupItem(this, item, rightToLeft);
    FillSolid(dc, item, face);
    const bool withImage = record->m_pImageList && record->m_nImageIndex != -1;
    if (selected) {
        // An image keeps the menu colour behind it, so its frame shows.
        CRect fill = item;
        if (withImage) {
            if (rightToLeft)
                fill.right = layout.column.left;
            else
                fill.left = layout.column.right;
        }
        FillSolid(dc, fill, ::GetSysColor(COLOR_HIGHLIGHT));
    }
    int textColor = selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
    if (state & ODS_GRAYED)
        textColor = COLOR_GRAYTEXT;
    const COLORREF old = ::SetTextColor(dc, ::GetSysColor(textColor));
    DrawItemText(dc, display, layout.text, false, false, rightToLeft, state, 0);
    DrawItemPicture(this, draw, record, dc, layout.column, state, true);
    ::SetTextColor(dc, old);
}

void CDrawMenu::DrawItemFlatBar(LPDRAWITEMSTRUCT draw, BOOL bar)
{
    if (!bar) {
        DrawItemClassic(draw, FALSE);
        return;
    }
    CDrawMenuItemData* record = ItemDataOf(draw->itemData);
    if (!record)
        return;
    HDC dc = draw->hDC;
    const UINT state = draw->itemState;
    const CRect item = draw->rcItem;
    const bool lit = (state & (ODS_SELECTED | ODS_HOTLIGHT | ODS_BAR_HOT)) != 0;
    if (lit) {
        FillSolid(dc, item, ::GetSysColor(COLOR_HIGHLIGHT));
        RememberBarItemRect(dc, this, &item);
    } else {
        FillSolid(dc, item, GetBarBackColor(nullptr));
    }
    int color = COLOR_MENUTEXT;
    if (state & ODS_GRAYED)
        color = COLOR_GRAYTEXT;
    else if (lit)
        color = COLOR_HIGHLIGHTTEXT;
    UINT extra = 0;
    if (state & ODS_NOACCEL) {
        BOOL cues = FALSE;
        const bool cuesOn = g_nOsVersionCode > OSCODE_NT4 && ::SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &cues, 0) &&
                            cues;
        if (!cuesOn)
            extra = DRAW_HIDE_PREFIX;
    }
    const COLORREF old = ::SetTextColor(dc, ::GetSysColor(color));
    DrawItemText(dc, record->GetDisplayText(m_hAccel), item, true, (state & ODS_VERTICAL_BAR) != 0,
                 (record->m_nFlags & MFT_RIGHTORDER) != 0, state, extra);
    ::SetTextColor(dc, old);
}

void CDrawMenu::DrawItemShaded(LPDRAWITEMSTRUCT draw, BOOL bar)
{
    CDrawMenuItemData* record = ItemDataOf(draw->itemData);
    if (!record)
        return;
    ItemPaint paint(draw, record, bar);
    const HDC dc = paint.dc;
    const UINT state = draw->itemState;
    const bool separator = paint.separator, selected = paint.selected, hot = paint.hot;
    const bool rightToLeft = paint.rightToLeft;
    const CRect item = draw->rcItem;

    const COLORREF g = bar ? GetBarBackColor(m_hMenu) : MenuFaceColor();
    const COLORREF dark = ScaleColorDown(g, 60), light = FadeColorToWhite(60, g), darker = ScaleColorDown(g, 100);
    const COLORREF frame = g_bHighContrast ? ::GetSysColor(COLOR_BTNSHADOW) : NearestColor(dc, ScaleColorDown(dark, 70));
    // A surface of colour c: lighter at the top, darker at the bottom (solid in high contrast).
    auto surface = [&](const RECT& rect, COLORREF c) {
        if (g_bHighContrast)
            FillSolid(dc, rect, c);
        else
            FillGradientRect(ScaleColorDown(c, 30), rect, dc, FadeColorToWhite(30, c), FALSE, TRUE);
    };

    if (separator) {
        surface(item, g);
        if (record->m_nTitleStyle & TITLE_RECORD) {
            PaintTitleItem(draw);
            return;
        }
        const int middle = item.top + item.Height() / 2;
        RECT line = {item.left + 1, middle, item.right - 1, item.bottom};
        ::DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const CString display = record->GetDisplayText(m_hAccel);
    const COLORREF textOf = g_bHighContrast ? ::GetSysColor(COLOR_BTNTEXT) : ::GetSysColor(COLOR_MENUTEXT);
    if (bar) {
        if (selected || hot) {
            surface(item, GetMenuBackColor(nullptr));
            RememberBarItemRect(dc, this, &item);
            if (selected && !hot)
                Draw3dFrame(dc, item, dark, light);
            else
                Draw3dFrame(dc, item, light, dark);
        } else if (!FillWithMenuBrush(dc, item, m_hMenu)) {
            FillSolid(dc, item, g);
        }
        if (IsSystemCommand(draw->itemID)) {
            DrawBarSystemGlyph(state, draw->itemID, dc, item);
            return;
        }
        const COLORREF old = ::SetTextColor(dc, state & (ODS_GRAYED | ODS_INACTIVE) ? darker : textOf);
        DrawItemText(dc, display, item, true, (state & ODS_VERTICAL_BAR) != 0, rightToLeft, state, 0);
        ::SetTextColor(dc, old);
        return;
    }

    const ClassicLayout layout = LayoutPopupItem(this, item, rightToLeft);
    if (selected) {
        surface(item, ::GetSysColor(COLOR_HIGHLIGHT));
        FrameSolid(dc, item, frame);
        CRect inner = item;
        inner.InflateRect(-1, -1);
        Draw3dFrame(dc, inner, FadeColorToWhite(60, ::GetSysColor(COLOR_HIGHLIGHT)),
                    ScaleColorDown(::GetSysColor(COLOR_HIGHLIGHT), 60));
    } else {
        surface(item, g);
    }
    COLORREF color = selected && !g_bHighContrast ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : textOf;
    if (state & ODS_GRAYED)
        color = selected ? light : darker;
    const COLORREF old = ::SetTextColor(dc, color);
    DrawItemText(dc, display, layout.text, false, false, rightToLeft, state, 0);
    DrawItemPicture(this, draw, record, dc, layout.column, state, false);
    ::SetTextColor(dc, old);
}
