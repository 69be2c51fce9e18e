#pragma once
// A 32-bit DIB section selected into a memory DC: what the painters and themes draw on in the
// tests, read back pixel by pixel.
#include <windows.h>

#include <string>
#include <vector>

class MenuCanvas {
public:
    MenuCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
    ~MenuCanvas();
    MenuCanvas(const MenuCanvas&) = delete;
    MenuCanvas& operator=(const MenuCanvas&) = delete;

    HDC dc() const { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The pixel as a COLORREF (0x00BBGGRR), for comparing with system and computed colours.
    COLORREF At(int x, int y) const;
    void Fill(COLORREF color);
    // Pixels of a rectangle that differ from `color`.
    int CountOtherThan(const RECT& rect, COLORREF color) const;
    // Pixels of a rectangle that are `color`.
    int Count(const RECT& rect, COLORREF color) const;
    // Top-down 0x00RRGGBB copy, as the PNG writer takes it.
    std::vector<DWORD> Pixels() const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    DWORD* m_bits = nullptr;
    int m_width, m_height;
};

// A COLORREF as a DIB pixel and back.
inline COLORREF ColorOfPixel(DWORD pixel)
{
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}
