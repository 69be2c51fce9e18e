#include "DrawMenuPaint.h"

#include <cstddef>

#include "CDrawMemDC.h"
#include "CDrawMenu.h"
#include "CFont.h"
#include "CSelectGuard.h"

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

void DrawBitmapCentred(HDC dc, HBITMAP bitmap, const RECT& box, UINT extraFlags)
{
    BITMAP info = {};
    if (!bitmap || !::GetObjectA(bitmap, sizeof info, &info))
        return;
    const int x = (box.left + box.right - info.bmWidth) / 2, y = (box.top + box.bottom - info.bmHeight) / 2;
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, x, y, info.bmWidth, info.bmHeight,
                 DST_BITMAP | DSS_RIGHT | extraFlags);
}

void GetItemCheckBitmaps(const DRAWITEMSTRUCT* draw, HBITMAP* checked, HBITMAP* unchecked)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_CHECKMARKS;
    if (!::GetMenuItemInfoA(reinterpret_cast<HMENU>(draw->hwndItem), draw->itemID, FALSE, &info))
        info.hbmpChecked = info.hbmpUnchecked = nullptr;
    *checked = info.hbmpChecked;
    *unchecked = info.hbmpUnchecked;
}

HDC ItemTargetDC(CDrawMemDC& memory, const DRAWITEMSTRUCT* draw, bool direct)
{
    if (!direct)
        return memory.GetSafeHdc();
    memory.m_bNoCopy = TRUE;
    return draw->hDC;
}

BITMAPINFO Dib32Info(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

// The item's text (and accelerator) in the current colour, or a bar item's text at its angle.
void DrawItemText(HDC dc, const CString& display, const RECT& rect, bool bar, bool vertical, bool rightToLeft,
                  UINT state, UINT extraFormat)
{
    if (display.IsEmpty())
        return;
    LOGFONTA logFont = SystemMenuLogFont();
    if (state & ODS_DEFAULT)
        logFont.lfWeight = FW_BOLD;
    if (bar && vertical)
        logFont.lfEscapement = logFont.lfOrientation = -900;
    CFont font;
    font.CreateFontIndirect(&logFont);
    CSelectGuard select(dc, font.GetSafeHandle());
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    // The text before the first tab; the accelerator after the last one.
    const int tab = display.Find('\t');
    const CString label = tab >= 0 ? display.Left(tab) : display;
    const CString accel = tab >= 0 ? display.Mid(display.ReverseFind('\t') + 1) : CString();
    if (bar) {
        CDrawMenu::DrawMenuTextAngled(label, dc, rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | extraFormat);
    } else {
        RECT box = rect;
        ::DrawTextA(dc, label, label.GetLength(), &box,
                    DT_SINGLELINE | DT_VCENTER | (rightToLeft ? DT_RTLREADING | DT_RIGHT : 0) | extraFormat);
        if (!accel.IsEmpty()) {
            box = rect;
            ::DrawTextA(dc, accel, accel.GetLength(), &box,
                        DT_SINGLELINE | DT_VCENTER | (rightToLeft ? 0 : DT_RIGHT) | extraFormat);
        }
    }
    ::SetBkMode(dc, oldMode);
}
