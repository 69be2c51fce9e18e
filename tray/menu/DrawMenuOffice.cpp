// The 2003 and XP draw painters: one layout (an icon column at the item's start, a light
// selection with a frame, bar items with a shadow while their popup is open), two colour sets.
#include <windows.h>

#include <commctrl.h>

#include "CBrush.h"
#include "CDrawMemDC.h"
#include "CDrawMenu.h"
#include "CFont.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "CMenuTheme.h"
#include "DrawMenuPaint.h"

namespace {

constexpr char MARLETT_CHECK = 0x62;
constexpr char MARLETT_BULLET = 0x69;
constexpr UINT_PTR SYSTEM_COMMAND_FIRST = 0xF000;
constexpr UINT_PTR SYSTEM_COMMAND_LAST = 0xF150;

struct OfficeLook {
    bool gradients;
    COLORREF light;              // m: top of a pressed bar item, and greyed bar text on few colours
    COLORREF background;         // o
    COLORREF columnStart;        // the icon column, from the item's edge ...
    COLORREF columnEnd;          // ... to the text
    COLORREF bar;                // A
    COLORREF selection;          // v
    COLORREF checkSelected;      // u
    COLORREF checkNormal;        // k
    COLORREF frame;              // p
    bool iconShadow;             // a selected picture raised over its shadow
    COLORREF iconShadowColor;
};

bool FewColors()
{
    return GetScreenColorCount() <= 256;
}

COLORREF MenuFaceColor()
{
    return ::GetSysColor(g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn() ? COLOR_MENUBAR : COLOR_MENU);
}

// The shadow a pressed bar item casts on the bar along its far edge (the 4 pixels the item left).
void DrawBarShadow(HDC dc, const RECT& item, bool vertical)
{
    const int length = vertical ? item.right - item.left : item.bottom - item.top;
    auto put = [&](int across, int along, COLORREF color) {
        // `across` counts from the far edge inwards, `along` from the item's start.
        if (vertical)
            ::SetPixel(dc, item.left + along, item.bottom - 1 - across, color);
        else
            ::SetPixel(dc, item.right - 1 - across, item.top + along, color);
    };
    if (FewColors()) {
        const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        for (int across = 2; across < 4; ++across)
            for (int along = 4; along < length; ++along)
                put(across, along, shadow);
        return;
    }
    const COLORREF c = vertical ? ::GetPixel(dc, item.left, item.bottom - 1) : ::GetPixel(dc, item.right - 1, item.top);
    for (int across = 0; across < 4; ++across) {
        const int factor = 225 - 30 * across, step = 6 * (across + 1);
        for (int along = 0; along < length; ++along) {
            COLORREF color = c;
            if (along >= 4 && along < 8)
                color = ScaleColorDown(c, (along - 3) * step);
            else if (along >= 8)
                color = RGB(::MulDiv(GetRValue(c), factor, 255), ::MulDiv(GetGValue(c), factor, 255),
                            ::MulDiv(GetBValue(c), factor, 255));
            put(across, along, color);
        }
    }
}

void DrawOfficeItem(CDrawMenu* menu, LPDRAWITEMSTRUCT draw, BOOL bar, const OfficeLook& look)
{
    CDrawMenuItemData* record = ItemDataOf(draw->itemData);
    if (!record)
        return;
    CDrawMemDC memory(draw->rcItem, draw->hDC);
    const bool separator = (record->m_nFlags & MF_SEPARATOR) != 0;
    const HDC dc = ItemTargetDC(memory, draw, bar || separator);
    const bool rightToLeft = (record->m_nFlags & MFT_RIGHTORDER) != 0;
    const bool fewColors = FewColors();
    const bool vertical = (draw->itemState & ODS_VERTICAL_BAR) != 0;

    UINT state = draw->itemState;
    COLORREF o = look.background, v = look.selection, p = look.frame;
    if (bar) {
        const bool opensPopup = ::IsMenu(reinterpret_cast<HMENU>(static_cast<UINT_PTR>(draw->itemID))) != FALSE;
        if (!opensPopup && (state & ODS_BAR_HOT)) {
            state = (state & ~(ODS_BAR_HOT | ODS_SELECTED)) | ODS_HOTLIGHT;
        } else if ((state & ODS_SELECTED) && menu->m_nOpenPopups == 0) {
            // Selected while no popup of the bar is open: the mouse is over it, nothing is pressed.
            state = (state & ~ODS_SELECTED) | ODS_HOTLIGHT;
        }
        o = look.bar;
        if (!(state & ODS_HOTLIGHT))
            v = look.bar;
    }
    const bool hot = (state & ODS_HOTLIGHT) != 0;
    if (state & (ODS_HOTLIGHT | ODS_INACTIVE))
        state |= ODS_SELECTED;
    const bool selected = (state & ODS_SELECTED) != 0;
    const bool active = !(state & ODS_INACTIVE);

    const CRect item = draw->rcItem;
    CRect area = item;                           // a bar item leaves 4 pixels at its far edge
    CRect column, text;
    if (bar) {
        if (vertical)
            area.bottom -= 4;
        else
            area.right -= 4;
        if (selected && look.gradients && !fewColors)
            CDrawMenu::FillGradientRect(look.bar, area, dc, look.bar, FALSE, TRUE);
        else if (selected || !FillWithMenuBrush(dc, area, menu->m_hMenu))
            FillSolid(dc, area, look.bar);
    } else {
        const int width = menu->m_nImageWidth + 8;
        column = rightToLeft ? CRect(item.right - width, item.top, item.right, item.bottom)
                             : CRect(item.left, item.top, item.left + width, item.bottom);
        CRect rest = rightToLeft ? CRect(item.left, item.top, column.left, item.bottom)
                                 : CRect(column.right, item.top, item.right, item.bottom);
        if (look.columnStart == look.columnEnd)
            FillSolid(dc, column, look.columnStart);
        else if (rightToLeft)
            CDrawMenu::FillGradientRect(look.columnStart, column, dc, look.columnEnd, TRUE, FALSE);
        else
            CDrawMenu::FillGradientRect(look.columnEnd, column, dc, look.columnStart, TRUE, FALSE);
        FillSolid(dc, rest, o);
        text = rest;
        if (rightToLeft) {
            text.right -= 4;
            text.left += 15;
        } else {
            text.left += 4;
            text.right -= 15;
        }
    }

    if (bar && selected && active) {
        RememberBarItemRect(dc, menu, &item);
        if (!hot) {
            p = g_bHighContrast ? ::GetSysColor(COLOR_BTNTEXT) : ScaleColorDown(GetBarBackColor(nullptr), 128);
            DrawBarShadow(dc, item, vertical);
        }
    }

    if (separator) {
        if (record->m_nTitleStyle & TITLE_RECORD) {
            menu->PaintTitleItem(draw);
            return;
        }
        const int y = item.top + item.Height() / 2;
        const RECT line = rightToLeft ? RECT{item.left, y, text.right, y + 1} : RECT{text.left, y, item.right, y + 1};
        FillSolid(dc, line, ::GetSysColor(COLOR_GRAYTEXT));
        return;
    }

    if (selected && active) {
        if (!bar)
            FillSolid(dc, item, v);
        else if (look.gradients && !fewColors)
            CDrawMenu::FillGradientRect(v, area, dc, look.light, FALSE, TRUE);
        else
            FillSolid(dc, area, look.light);
        FrameSolid(dc, bar ? area : item, p);
    }

    COLORREF color;
    if ((state & ODS_GRAYED) || (bar && (state & ODS_INACTIVE)))
        color = bar && fewColors ? look.light : ::GetSysColor(COLOR_GRAYTEXT);
    else if (g_bHighContrast && !bar && !selected)
        color = ::GetSysColor(COLOR_WINDOWTEXT);
    else
        color = ::GetSysColor(COLOR_MENUTEXT);
    const COLORREF oldColor = ::SetTextColor(dc, color);
    DrawItemText(dc, record->GetDisplayText(menu->m_hAccel), bar ? item : text, bar, vertical, rightToLeft, state, 0);
    ::SetTextColor(dc, oldColor);
    if (bar)
        return;

    // The picture in the icon column: the item's image, or its check mark or check bitmaps.
    const bool checked = (state & ODS_CHECKED) != 0;
    const CRect box(column.left + (rightToLeft ? 2 : 1), item.top + 1, column.right - (rightToLeft ? 1 : 2),
                    item.bottom - 1);
    auto drawCheckBox = [&] {
        FillSolid(dc, box, selected ? look.checkSelected : look.checkNormal);
        FrameSolid(dc, box, p);
    };
    if (record->m_pImageList && record->m_nImageIndex != -1) {
        if (checked)
            drawCheckBox();
        int iconWidth = 0, iconHeight = 0;
        GetImageListIconSize(record->m_pImageList, &iconWidth, &iconHeight);
        int x = column.left + 3;
        if (iconWidth < menu->m_nImageWidth)
            x += (menu->m_nImageWidth - iconWidth) / 2;
        int y = item.top + (item.Height() - iconHeight) / 2;
        HIMAGELIST images = record->m_pImageList->m_hImageList;
        if (state & ODS_DISABLED) {
            if (HICON icon = ImageList_GetIcon(images, record->m_nImageIndex + 2, ILD_NORMAL)) {
                ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, iconWidth, iconHeight,
                             DST_ICON);
                ::DestroyIcon(icon);
            }
        } else {
            const int index = selected || !g_nGloom ? record->m_nImageIndex : record->m_nImageIndex + 1;
            if (HICON icon = ImageList_GetIcon(images, index, ILD_NORMAL)) {
                if (selected && look.iconShadow) {
                    CBrush shade(look.iconShadowColor);
                    ::DrawStateA(dc, shade, nullptr, reinterpret_cast<LPARAM>(icon), 0, x + 1, y + 1, iconWidth,
                                 iconHeight, DST_ICON | DSS_MONO);
                    --x;
                    --y;
                    ::DrawIconEx(dc, x, y, icon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
                } else {
                    ::DrawIconEx(dc, x, y, icon, iconWidth, iconHeight, 0, nullptr, DI_NORMAL);
                }
                ::DestroyIcon(icon);
            }
        }
        return;
    }
    HBITMAP checkedBitmap, uncheckedBitmap;
    GetItemCheckBitmaps(draw, &checkedBitmap, &uncheckedBitmap);
    if (checked || uncheckedBitmap) {
        drawCheckBox();
        if (checked) {
            CRect mark(column.left - 2, 0, column.right + 2, 0);
            mark.top = item.top + (item.Height() - (menu->m_nImageHeight + 4)) / 2;
            mark.bottom = mark.top + menu->m_nImageHeight + 4;
            if (checkedBitmap && uncheckedBitmap)
                DrawBitmapCentred(dc, checkedBitmap, column, 0);
            else
                CDrawMenu::DrawGlyphInRect(dc, state, mark, checkedBitmap ? MARLETT_BULLET : MARLETT_CHECK);
        } else {
            DrawBitmapCentred(dc, uncheckedBitmap, column, state & ODS_DISABLED ? DSS_DISABLED : 0);
        }
    } else if (draw->itemID > SYSTEM_COMMAND_FIRST && draw->itemID <= SYSTEM_COMMAND_LAST) {
        menu->DrawSystemGlyph(draw->itemID, state, dc, column);
    }
}

}  // namespace

void CDrawMenu::DrawItem2003(LPDRAWITEMSTRUCT draw, BOOL bar)
{
    OfficeLook look = {};
    look.gradients = true;
    const COLORREF m = ScaleColorDown(::GetSysColor(COLOR_WINDOW), 10);
    const COLORREF base = bar ? GetBarBackColor(nullptr) : MenuFaceColor();
    look.light = m;
    look.background = BlendColors14to86(base, m);
    look.selection = 0xC2EEFF;
    look.checkSelected = 0x3E80FE;
    look.checkNormal = 0x6FC0FF;
    const int type = g_pCurrentMenuTheme ? g_pCurrentMenuTheme->m_nType : -1;
    if (!IsVisualStyleActive() && type != 10 && type != 11) {
        look.selection = GetSelectionColor();
        look.checkSelected = look.checkNormal = BlendColors14to86(::GetSysColor(COLOR_HIGHLIGHT), look.selection);
    }
    COLORREF lighter;
    GetBarColorPair(&look.bar, &lighter, TRUE);
    look.frame = ::GetSysColor(g_bHighContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    if (NearestColor(draw->hDC, look.background) == NearestColor(draw->hDC, look.bar))
        look.background = m;
    look.columnStart = look.background;
    look.columnEnd = look.bar;
    DrawOfficeItem(this, draw, bar, look);
}

void CDrawMenu::DrawItemXP(LPDRAWITEMSTRUCT draw, BOOL bar)
{
    OfficeLook look = {};
    const COLORREF b = GetBarBackColor(m_hMenu), window = ::GetSysColor(COLOR_WINDOW);
    look.background = BlendColors14to86(b, window);
    COLORREF column = GetScreenColorCount() <= 256 ? ::GetSysColor(COLOR_BTNFACE) : BlendColors14to86(window, b);
    if (NearestColor(draw->hDC, look.background) == NearestColor(draw->hDC, column)) {
        look.background = window;
        column = b;
    }
    look.columnStart = look.columnEnd = column;
    look.light = column;
    look.bar = b;
    look.selection = GetSelectionColor();
    look.checkNormal = look.selection;
    look.checkSelected = ScaleColorDown(look.selection, 30);
    look.frame = ::GetSysColor(g_bHighContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    look.iconShadow = true;
    look.iconShadowColor = DimColorToBlue(b);
    DrawOfficeItem(this, draw, bar, look);
}
