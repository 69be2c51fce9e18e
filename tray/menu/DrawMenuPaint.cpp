#include "DrawMenuPaint.h"

#include <cstddef>

void FillSolid(HDC dc, const RECT& rect, COLORREF color)
{
    const COLORREF old = ::SetBkColor(dc, color);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color)
{
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    FillSolid(dc, {rect.left, rect.top, rect.right, rect.top + 1}, color);
    FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
    FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, color);
    FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

COLORREF NearestColor(HDC dc, COLORREF color)
{
    return ::GetNearestColor(dc, color);
}

RECT ClientRectInWindow(HWND window)
{
    RECT client = {}, frame = {};
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &frame);
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&client, origin.x - frame.left, origin.y - frame.top);
    return client;
}

LOGFONTA SystemMenuLogFont()
{
    // The record of the older systems' size: the menu font sits in it at the same place.
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof(LOGFONTA);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        LOGFONTA font = {};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        return font;
    }
    return metrics.lfMenuFont;
}

CDrawMenuItemData* ItemDataOf(ULONG_PTR itemData)
{
    return reinterpret_cast<CDrawMenuItemData*>(itemData);
}

// Fills with the menu's own background brush, its pattern joined to the frame window's.
bool FillWithMenuBrush(HDC dc, const RECT& rect, HMENU menu)
{
    MENUINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    if (!::GetMenuInfo(menu, &info) || !info.hbrBack)
        return false;
    POINT origin = {0, 0};
    if (HWND window = ::WindowFromDC(dc)) {
        RECT own = {}, frame = {};
        ::GetWindowRect(window, &own);
        ::GetWindowRect(::GetAncestor(window, GA_ROOT), &frame);
        origin = {frame.left - own.left, frame.top - own.top};
    }
    POINT old;
    ::SetBrushOrgEx(dc, origin.x, origin.y, &old);
    ::FillRect(dc, &rect, info.hbrBack);
    ::SetBrushOrgEx(dc, old.x, old.y, nullptr);
    return true;
}

void Draw3dFrame(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight)
{
    FillSolid(dc, {rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
    FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
    FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
    FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
}
