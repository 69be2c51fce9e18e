// The title painter: a title record drawn as a caption across (or down the side of) the menu.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "CDrawMenu.h"
#include "CFont.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "DrawMenuPaint.h"

void CDrawMenu::DrawTitleItem(LPDRAWITEMSTRUCT draw)
{
    CDrawMenuItemData* record = ItemDataOf(draw->itemData);
    if (!record)
        return;
    HDC dc = draw->hDC;
    const int style = record->m_nTitleStyle;
    const bool vertical = (style & TITLE_VERTICAL) != 0;

    COLORREF fill = ::GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF face = ::GetSysColor(g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn() ? COLOR_MENUBAR : COLOR_MENU);
    COLORREF second = BlendColors14to86(face, ::GetSysColor(COLOR_WINDOW));
    COLORREF ink = ::GetSysColor(COLOR_CAPTIONTEXT);
    if (auto* title = dynamic_cast<CDrawMenuItemDataTitle*>(record)) {
        if (title->m_clrText != TITLE_COLOR_NONE)
            ink = title->m_clrText;
        if (title->m_clrGradient != TITLE_COLOR_NONE)
            second = title->m_clrGradient;
        if (title->m_clrFill != TITLE_COLOR_NONE)
            fill = title->m_clrFill;
    }

    CRect area = draw->rcItem;
    int imageWidth = 0, imageHeight = 0;
    const bool withImage = record->m_pImageList && record->m_nImageIndex != -1;
    if (withImage) {
        GetImageListIconSize(record->m_pImageList, &imageWidth, &imageHeight);
        imageWidth += 4;
        imageHeight += 4;
    }

    LOGFONTA logFont = g_MenuLogFont;
    logFont.lfEscapement = logFont.lfOrientation = vertical ? 900 : 0;
    CFont font;
    font.CreateFontIndirect(&logFont);
    CSelectGuard selectFont(dc, font.GetSafeHandle());
    const CString text = record->GetDisplayText(m_hAccel);
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);

    int x, y;
    if (vertical) {
        // A side title runs the whole height of the menu window.
        if (HWND window = ::WindowFromDC(dc)) {
            RECT client;
            ::GetClientRect(window, &client);
            area.top = client.top;
            area.bottom = client.bottom;
        } else {
            RECT clip;
            ::GetClipBox(dc, &clip);
            area.top = clip.top;
            area.bottom = clip.bottom;
        }
        area.right += ::GetSystemMetrics(SM_CXMENUCHECK);
        x = area.left + 2;
        y = area.bottom - imageHeight - 4;
        if (style & TITLE_CENTRED)
            y = area.bottom - (area.Height() - (imageHeight + extent.cx)) / 2 - imageHeight;
    } else {
        x = area.left + imageWidth + 2;
        y = area.top;
        if (style & TITLE_CENTRED)
            x = area.left + (area.Width() - (imageWidth + extent.cx)) / 2 + imageWidth;
    }

    if (style & TITLE_GRADIENT) {
        if (vertical)
            FillGradientRect(fill, area, dc, second, FALSE, FALSE);
        else
            FillGradientRect(second, area, dc, fill, TRUE, FALSE);
    } else if (style & TITLE_ROUND) {
        FillSolid(dc, area, second);
        CRect round = area;
        if (vertical) {
            round.left = x - 2;
            round.right = x + metrics.tmHeight + 2;
        } else {
            const int inset = std::min(std::max(0, static_cast<int>(area.Width() - imageWidth - extent.cx) / 2), 10);
            round.left += inset;
            round.right -= inset;
        }
        HBRUSH brush = ::CreateSolidBrush(fill);
        {
            CSelectGuard selectBrush(dc, brush);
            CSelectGuard selectPen(dc, ::GetStockObject(WHITE_PEN));
            ::RoundRect(dc, round.left, round.top, round.right, round.bottom, 10, 10);
        }
        ::DeleteObject(brush);
    } else {
        FillSolid(dc, area, fill);
    }
    if (style & TITLE_SUNKEN)
        Draw3dFrame(dc, area, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));

    const COLORREF oldColor = ::SetTextColor(dc, ink);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::ExtTextOutA(dc, x, y, 0, nullptr, text, static_cast<UINT>(text.GetLength()), nullptr);
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldColor);
    if (withImage) {
        const int iconX = vertical ? x : x - imageWidth;
        const int iconY = vertical ? y + 2 : y + 2;
        if (HICON icon = ImageList_GetIcon(record->m_pImageList->m_hImageList, record->m_nImageIndex, ILD_NORMAL)) {
            ::DrawIconEx(dc, iconX, iconY, icon, imageWidth - 4, imageHeight - 4, 0, nullptr, DI_NORMAL);
            ::DestroyIcon(icon);
        }
    }

    if (style & TITLE_LINES) {
        const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        if (vertical) {
            Draw3dFrame(dc, {area.left + 20, area.top + 5, area.left + 22, area.bottom - 5}, shadow, light);
            Draw3dFrame(dc, {area.left + 23, area.top + 15, area.left + 25, area.bottom - 15}, light, shadow);
        } else {
            Draw3dFrame(dc, {area.left + 2, area.bottom - 7, area.right - 2, area.bottom - 5}, light, shadow);
            Draw3dFrame(dc, {area.left + 12, area.bottom - 4, area.right - 12, area.bottom - 2}, shadow, light);
        }
    }
}
