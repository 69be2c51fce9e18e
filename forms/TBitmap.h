#pragma once
// A bitmap with a canvas to draw on it. Pictures are kept as 32-bit sections (a true-colour
// screen's layout) unless 24 bits are asked for; the pixel at (0,0) is the colour made
// see-through when the bitmap is drawn transparent.
#include "GdiObject.h"
#include "TCanvas.h"

#include <cstddef>
#include <string>

enum TPixelFormat { pfDevice, pf24bit };

class TBitmap {
public:
    TBitmap();
    ~TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool Empty() const { return !m_bitmap || m_width <= 0 || m_height <= 0; }
    TPixelFormat PixelFormat() const { return m_format; }
    void SetPixelFormat(TPixelFormat format) { m_format = format; }
    // A new picture of this size, filled white; (0,0) gives an empty bitmap.
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, m_height); }
    // Keeps the top `height` rows (a taller size is filled white below).
    void SetHeight(int height);

    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool transparent) { m_transparent = transparent; }
    COLORREF TransparentColor() const;

    void Assign(const TBitmap& other);
    void Clear();

    // Loads a bitmap resource of `module` (the program when null); false leaves the bitmap as it was.
    bool LoadFromResourceName(HINSTANCE module, const char* name);
    // Loads a Windows bitmap file image held in memory, checking every size and offset in it.
    bool LoadFromBitmapFile(const void* data, size_t size);
    // Takes over a bitmap handle, converting it to the picture format.
    bool TakeBitmap(HBITMAP bitmap);

    TCanvas& Canvas();
    HDC DC();
    // The bitmap handle, not selected into any device context while the caller uses it.
    HBITMAP Handle();

    // Draws into `dc` over `dest` (stretched when sizes differ), see-through where the pixel equals
    // the transparent colour when Transparent is on.
    void DrawTo(HDC dc, const RECT& dest) const;

private:
    void Select() const;
    void Deselect() const;

    GdiBitmap m_bitmap;
    HDC m_dc = nullptr;
    mutable HGDIOBJ m_oldBitmap = nullptr;
    mutable bool m_selected = false;
    int m_width = 0;
    int m_height = 0;
    TPixelFormat m_format = pfDevice;
    bool m_transparent = false;
    TCanvas m_canvas;
};
