#pragma once
// Small drawing steps the painters and themes of the menu library share.
#include <windows.h>

// A solid rectangle in one colour (the DC's brush and background colour stay as they were).
void FillSolid(HDC dc, const RECT& rect, COLORREF color);
// A one-pixel outline just inside the rectangle.
void FrameSolid(HDC dc, const RECT& rect, COLORREF color);
// A one-pixel 3D frame: the top and left sides in one colour, the bottom and right in the other.
void Draw3dFrame(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight);
// The colour the device shows for `color`.
COLORREF NearestColor(HDC dc, COLORREF color);
// The client rectangle in window coordinates (0, 0 = the window's top-left corner).
RECT ClientRectInWindow(HWND window);
// Fills with the menu's own background brush, its pattern joined to the frame window's; false
// when the menu has none.
bool FillWithMenuBrush(HDC dc, const RECT& rect, HMENU menu);
// The system's menu font (SPI_GETNONCLIENTMETRICS), the font of every item text.
LOGFONTA SystemMenuLogFont();
// The item record a measure or draw request carries, or null.
class CDrawMenuItemData;
CDrawMenuItemData* ItemDataOf(ULONG_PTR itemData);
