#include "MenuCanvas.h"

#include "DrawMenuPaint.h"

MenuCanvas::MenuCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    const BITMAPINFO info = Dib32Info(width, height);
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    m_bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    m_bits = static_cast<DWORD*>(bits);
    m_old = ::SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

MenuCanvas::~MenuCanvas()
{
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

COLORREF MenuCanvas::At(int x, int y) const
{
    ::GdiFlush();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return CLR_INVALID;
    return ColorOfPixel(m_bits[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF);
}

void MenuCanvas::Fill(COLORREF color)
{
    RECT all = {0, 0, m_width, m_height};
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(m_dc, &all, brush);
    ::DeleteObject(brush);
    ::GdiFlush();
}

int MenuCanvas::CountOtherThan(const RECT& rect, COLORREF color) const
{
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            if (At(x, y) != color)
                ++count;
    return count;
}

int MenuCanvas::Count(const RECT& rect, COLORREF color) const
{
    return (rect.right - rect.left) * (rect.bottom - rect.top) - CountOtherThan(rect, color);
}

std::vector<DWORD> MenuCanvas::Pixels() const
{
    ::GdiFlush();
    std::vector<DWORD> out(m_bits, m_bits + static_cast<size_t>(m_width) * m_height);
    for (DWORD& p : out)
        p &= 0xFFFFFF;
    return out;
}
