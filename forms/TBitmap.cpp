#include "TBitmap.h"

#include "MemoryDC.h"
#include "SelectGuard.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr WORD kBitmapFileMagic = 0x4D42;   // "BM"
constexpr int kLargestSide = 16384;

// Pictures are device-independent sections: 32 bits a pixel, the layout of a true-colour screen,
// or 24 when asked for. Under Wine a screen-compatible bitmap is made through the display driver
// (about twenty times slower than a section), which a form of some thirty skin pictures pays at
// every start; blitting either to a window costs the same.
HBITMAP CreatePictureBitmap(int width, int height, TPixelFormat format)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = format == pf24bit ? 24 : 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

}  // namespace

TBitmap::TBitmap() : m_dc(CreateCompatibleDC(nullptr))
{
    m_canvas.SetHandle(m_dc);
}

TBitmap::~TBitmap()
{
    Deselect();
    if (m_dc)
        DeleteDC(m_dc);
}

void TBitmap::Select() const
{
    if (!m_selected && m_bitmap) {
        m_oldBitmap = SelectObject(m_dc, m_bitmap.Get());
        m_selected = true;
    }
}

void TBitmap::Deselect() const
{
    if (m_selected) {
        SelectObject(m_dc, m_oldBitmap);
        m_selected = false;
    }
}

void TBitmap::Clear()
{
    Deselect();
    m_bitmap.Reset();
    m_width = m_height = 0;
}

void TBitmap::SetSize(int width, int height)
{
    if (width == m_width && height == m_height && m_bitmap)
        return;
    Clear();
    if (width <= 0 || height <= 0)
        return;
    m_bitmap.Reset(CreatePictureBitmap(width, height, m_format));
    if (!m_bitmap)
        return;
    m_width = width;
    m_height = height;
    Select();
    PatBlt(m_dc, 0, 0, width, height, WHITENESS);
}

void TBitmap::SetHeight(int height)
{
    if (height == m_height)
        return;
    if (Empty() || height <= 0) {
        SetSize(m_width, height);
        return;
    }
    TBitmap old;
    old.Assign(*this);
    SetSize(m_width, height);
    Select();
    old.Select();
    BitBlt(m_dc, 0, 0, m_width, height < old.m_height ? height : old.m_height, old.m_dc, 0, 0, SRCCOPY);
}

COLORREF TBitmap::TransparentColor() const
{
    if (Empty())
        return 0;
    Select();
    return GetPixel(m_dc, 0, 0);
}

void TBitmap::Assign(const TBitmap& other)
{
    if (&other == this)
        return;
    m_transparent = other.m_transparent;
    if (other.Empty()) {
        Clear();
        return;
    }
    m_format = other.m_format;
    SetSize(other.m_width, other.m_height);
    if (Empty())
        return;
    Select();
    other.Select();
    BitBlt(m_dc, 0, 0, m_width, m_height, other.m_dc, 0, 0, SRCCOPY);
}

bool TBitmap::TakeBitmap(HBITMAP bitmap)
{
    GdiBitmap source(bitmap);
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0)
        return false;
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    Clear();
    SetSize(info.bmWidth, height);
    if (Empty())
        return false;
    MemoryDC from;
    SelectGuard select(from.Get(), source.Get());
    Select();
    BitBlt(m_dc, 0, 0, m_width, m_height, from.Get(), 0, 0, SRCCOPY);
    return true;
}

bool TBitmap::LoadFromResourceName(HINSTANCE module, const char* name)
{
    if (!module)
        module = GetModuleHandleA(nullptr);
    HBITMAP loaded = static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return loaded && TakeBitmap(loaded);
}

bool TBitmap::LoadFromBitmapFile(const void* data, size_t size)
{
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (!data || size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPFILEHEADER file;
    std::memcpy(&file, bytes, sizeof file);
    BITMAPINFOHEADER info;
    std::memcpy(&info, bytes + sizeof file, sizeof info);
    if (file.bfType != kBitmapFileMagic || info.biSize < sizeof info ||
        info.biSize > size - sizeof file || info.biWidth <= 0 || info.biWidth > kLargestSide ||
        info.biHeight == 0 || info.biHeight > kLargestSide || info.biHeight < -kLargestSide ||
        info.biPlanes != 1)
        return false;
    const WORD bpp = info.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return false;
    size_t colors = info.biClrUsed ? info.biClrUsed : (bpp <= 8 ? (size_t{1} << bpp) : 0);
    if (bpp <= 8 && colors > (size_t{1} << bpp))
        return false;
    size_t masks = (info.biCompression == BI_BITFIELDS && info.biSize == sizeof info) ? 12 : 0;
    size_t headerEnd = sizeof file + info.biSize + masks + colors * sizeof(RGBQUAD);
    if (headerEnd > size || file.bfOffBits < sizeof file + info.biSize || file.bfOffBits >= size)
        return false;
    size_t rows = static_cast<size_t>(info.biHeight < 0 ? -info.biHeight : info.biHeight);
    size_t stride = ((static_cast<size_t>(info.biWidth) * bpp + 31) / 32) * 4;
    size_t available = size - file.bfOffBits;
    if (info.biCompression == BI_RGB || info.biCompression == BI_BITFIELDS) {
        if (stride * rows > available)
            return false;
    } else if (info.biCompression == BI_RLE8 || info.biCompression == BI_RLE4) {
        if (info.biSizeImage == 0 || info.biSizeImage > available || info.biHeight < 0)
            return false;
    } else {
        return false;
    }
    // A copy of the header and colour table that cannot be read past.
    std::vector<unsigned char> header(bytes + sizeof file, bytes + headerEnd);
    GdiBitmap made(CreatePictureBitmap(info.biWidth, static_cast<int>(rows), m_format));
    if (!made || !SetDIBits(m_dc, made.Get(), 0, static_cast<UINT>(rows), bytes + file.bfOffBits,
                            reinterpret_cast<BITMAPINFO*>(header.data()), DIB_RGB_COLORS))
        return false;
    Clear();
    m_bitmap = std::move(made);
    m_width = info.biWidth;
    m_height = static_cast<int>(rows);
    Select();
    return true;
}

TCanvas& TBitmap::Canvas()
{
    Select();
    return m_canvas;
}

HDC TBitmap::DC()
{
    Select();
    return m_dc;
}

HBITMAP TBitmap::Handle()
{
    Deselect();
    return m_bitmap.Get();
}

void TBitmap::DrawTo(HDC dc, const RECT& dest) const
{
    if (Empty())
        return;
    Select();
    int w = dest.right - dest.left;
    int h = dest.bottom - dest.top;
    if (m_transparent) {
        // gdi32's own see-through copy: msimg32's TransparentBlt only forwards to it, and binding
        // msimg32 would load one more DLL at every start.
        GdiTransparentBlt(dc, dest.left, dest.top, w, h, m_dc, 0, 0, m_width, m_height, TransparentColor());
    } else if (w == m_width && h == m_height) {
        BitBlt(dc, dest.left, dest.top, w, h, m_dc, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, dest.left, dest.top, w, h, m_dc, 0, 0, m_width, m_height, SRCCOPY);
    }
}
