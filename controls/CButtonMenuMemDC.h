#pragma once
// An off-screen surface for painting one menu item without flicker: drawing goes into a bitmap of
// the item's size, placed so that the item's own coordinates still hold, and the destructor copies
// it to the target in one step. It draws in the target's font, which the system selected for the
// item. A printer DC is drawn on directly.
#include "CDC.h"
#include "CRect.h"

class CButtonMenuMemDC : public CDC {
public:
    CButtonMenuMemDC(HDC target, const RECT& rect);
    ~CButtonMenuMemDC() override;

    bool IsOffScreen() const { return m_offScreen; }

private:
    HDC m_target;
    CRect m_rect;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    HGDIOBJ m_oldFont = nullptr;
    bool m_offScreen = false;
};
