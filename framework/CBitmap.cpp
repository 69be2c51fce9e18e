#include "CBitmap.h"

#include "CWinApp.h"

BOOL CBitmap::LoadBitmap(UINT id, HINSTANCE instance)
{
    // As a DIB section: a device-dependent bitmap first asks the display for its format, which
    // under Wine costs each bitmap a few server round trips (the wizard loads some thirty before
    // its first paint). Copied to a window, both show the same pixels.
    return Attach(::LoadImageA(instance ? instance : AfxGetResourceHandle(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0,
                               0, LR_CREATEDIBSECTION));
}
