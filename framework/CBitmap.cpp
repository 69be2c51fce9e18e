#include "CBitmap.h"

#include "CWinApp.h"

BOOL CBitmap::LoadBitmap(UINT id, HINSTANCE instance)
{
    return Attach(::LoadBitmapA(instance ? instance : AfxGetResourceHandle(), MAKEINTRESOURCEA(id)));
}
