#pragma once
// A white top-level window on the display for the controls under test, and pixel helpers.
#include <windows.h>

#include <vector>

#include "CWnd.h"
#include "WindowDriver.h"

class TestParent : public CWnd {
public:
    TestParent();
    ~TestParent() override;
};

// 0x00RRGGBB, as captured pixels are, of a COLORREF.
DWORD ScreenColor(COLORREF color);

using harness::SolidBitmap;

// A 32-bit top-down DIB selected into a memory DC, filled with one colour.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, COLORREF fill);
    ~PixelCanvas();
    HDC Dc() const { return m_dc; }
    DWORD At(int x, int y) const;          // 0x00RRGGBB
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits = nullptr;
};

// How many captured pixels of the window's client area have exactly this colour.
int CountColor(HWND window, DWORD screenColor);
