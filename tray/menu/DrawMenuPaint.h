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
// A bitmap centred in `box` with DrawState (DST_BITMAP | DSS_RIGHT and the extra flags).
void DrawBitmapCentred(HDC dc, HBITMAP bitmap, const RECT& box, UINT extraFlags);
// The check bitmaps of a menu's item (by command), none when it has none or the call fails.
void GetItemCheckBitmaps(const DRAWITEMSTRUCT* draw, HBITMAP* checked, HBITMAP* unchecked);
// Where a painter draws an item: on the memory DC, or (a bar item, a separator) straight on the
// request's DC with the memory DC told not to copy.
class CDrawMemDC;
HDC ItemTargetDC(CDrawMemDC& memory, const DRAWITEMSTRUCT* draw, bool direct);
// An item's text in the DC's text colour, transparent, in the system menu font (bold for the
// default item, turned on a vertical bar): a bar item's at the font's angle, centred; a popup
// item's at the left of `rect` (right to left: the right), its accelerator at the other side.
class CString;
void DrawItemText(HDC dc, const CString& display, const RECT& rect, bool bar, bool vertical, bool rightToLeft,
                  UINT state, UINT extraFormat);
// A 32-bit top-down DIB header of the size.
BITMAPINFO Dib32Info(int width, int height);
// The system's menu font (SPI_GETNONCLIENTMETRICS), the font of every item text.
LOGFONTA SystemMenuLogFont();
// The item record a measure or draw request carries, or null.
class CDrawMenuItemData;
CDrawMenuItemData* ItemDataOf(ULONG_PTR itemData);
