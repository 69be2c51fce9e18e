#include "CMenuThemeXP.h"

#include "CDrawMenuHook.h"
#include "CRect.h"
#include "DrawMenuPaint.h"

namespace {

// The frame line where a popup opened from a bar item touches that item is overdrawn in the
// item's colour, so that item and popup read as one shape.
void DrawJoinGap(HDC dc, HMENU menu, const RECT& frame)
{
    CDrawMenu* popup = CDrawMenu::FromHandleDraw(menu);
    CDrawMenu* bar = popup ? CDrawMenu::FromHandleDraw(popup->m_hParentMenu) : nullptr;
    if (!bar || bar->m_bPopup || ::IsRectEmpty(&bar->m_rcBarItem))
        return;
    RECT overlap;
    RECT touching = bar->m_rcBarItem;
    ::InflateRect(&touching, 1, 1);
    if (!::IntersectRect(&overlap, &frame, &touching))
        return;
    ::OffsetRect(&overlap, -frame.left, -frame.top);
    const COLORREF color = GetScreenColorCount() <= 256
                               ? ::GetSysColor(COLOR_BTNFACE)
                               : BlendColors14to86(::GetSysColor(COLOR_WINDOW), GetBarBackColor(nullptr));
    if (overlap.right - overlap.left >= overlap.bottom - overlap.top) {
        const int y = overlap.top == 0 ? 0 : overlap.bottom - 1;
        FillSolid(dc, {overlap.left + 1, y, overlap.right - 1, y + 1}, color);
    } else {
        const int x = overlap.left == 0 ? 0 : overlap.right - 1;
        FillSolid(dc, {x, overlap.top + 1, x + 1, overlap.bottom - 1}, color);
    }
}

}  // namespace

int CMenuThemeXP::PaintFrame(HWND window, HDC dc, BOOL after)
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!HasFrame() || !data)
        return 0;
    const FrameGeometry geometry = BeginFramePaint(window);
    const RECT& client = geometry.client;
    const int w = geometry.width, h = geometry.height;

    const COLORREF m = GetMenuBackColor(data->m_hMenu);
    const COLORREF win = ::GetSysColor(COLOR_WINDOW);
    COLORREF light = BlendColors14to86(m, win);
    const COLORREF dark = ScaleColorDown(m, 128);
    COLORREF face = GetScreenColorCount() <= 256 ? ::GetSysColor(COLOR_BTNFACE) : BlendColors14to86(win, m);
    if (NearestColor(dc, light) == NearestColor(dc, face)) {
        light = win;
        face = m;
    }
    // Without the system's drop shadow the frame ends 4 pixels early and our shade fills the rest.
    const int edge = HasSystemShadow() ? 0 : 4;
    const CRect outer(0, 0, w - edge, h - edge);
    const CRect inner(1, 1, w - edge - 1, h - edge - 1);
    if (g_bHighContrast) {
        FrameSolid(dc, outer, ::GetSysColor(COLOR_BTNTEXT));
    } else {
        if (!after)
            FillFrameBands(dc, inner, client, light);
        FrameSolid(dc, inner, light);
        const COLORREF column = m_nType == 8 || m_nType == 9 ? win : face;
        FillSolid(dc, {1, 2, 2, 2 + inner.Height() - 2}, column);
        FrameSolid(dc, outer, dark);
        if (edge)
            DrawOwnShade(window, dc, w, h);
    }
    DrawJoinGap(dc, data->m_hMenu, geometry.frame);
    return 1;
}

BOOL CMenuThemeXP::EraseBackground(HWND window, HDC dc)
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!data || !data->m_hMenu)
        return CMenuTheme::EraseBackground(window, dc);
    FillSolid(dc, BackgroundRect(window), GetBarBackColor(data->m_hMenu));
    return TRUE;
}
