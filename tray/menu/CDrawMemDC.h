#pragma once
// The off-screen surface a menu item is composed on: a bitmap of the item's size whose window
// origin sits at the item's corner, so painters keep the target's coordinates; the destructor
// copies the item to the target in one step, unless the painter drew on the target itself.
#include "CBitmap.h"
#include "CDC.h"
#include "CRect.h"

class CDrawMemDC : public CDC {
public:
    CDrawMemDC(const RECT& rect, HDC target);
    ~CDrawMemDC() override;

    HGDIOBJ m_hOldBitmap = nullptr;
    CRect m_rect;
    CBitmap m_bitmap;
    BOOL m_bNoCopy = FALSE;                      // set when the painter drew straight on the target
    HDC m_hTargetDC;
};
