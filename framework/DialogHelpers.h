#pragma once
// Helpers every bitmap-skinned dialog shares: its round-corner region, painting its background
// bitmap, dragging it by its body, and re-creating a control with other styles.
#include <windows.h>

#include "CPoint.h"

class CWnd;

// Round-corner region (0, 0, width + 1, height + 1) with a 9 x 9 corner ellipse.
HRGN CreateDialogRegion(int width, int height);

// The background bitmap copied to (0, 0), width x height pixels. With `dc` (WM_PRINTCLIENT, or a
// control that wants the parent's picture under it) it paints there; otherwise it is the window's
// WM_PAINT handler.
void OnPaintBackground(CWnd* wnd, HBITMAP background, int width, int height, HDC dc = nullptr);

// Has the parent paint again (with its background) the area under a child control; nothing
// without a parent.
void InvalidateUnderControl(CWnd* control);

// WM_PAINT of a label drawn straight onto its parent's background: the window text in the window's
// font and `color`, laid out by DrawText `format`, on a transparent background when asked.
void PaintStaticText(CWnd* wnd, COLORREF color, UINT format, BOOL transparent = TRUE);

// WM_LBUTTONDOWN of a borderless window: the press on its body drags it as a caption would.
void OnLButtonDownDrag(CWnd* wnd, UINT flags, CPoint point);

// Destroys the control's window and creates it again on the same object with changed styles,
// keeping its parent, text, font, place and id. When the new window cannot be made the old
// styles are used again, so the dialog never loses the control; the result is then 0.
BOOL RecreateControl(CWnd* control, const char* className, DWORD styleRemove, DWORD styleAdd, DWORD exStyleRemove,
                     DWORD exStyleAdd);
