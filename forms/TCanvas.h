#pragma once
// Drawing on a device context the canvas does not own, with a brush, a pen and a font of its own.
// Every operation selects what it needs for its own duration, so a handle can be swapped at any
// time and no GDI object stays selected in a context it outlives.
#include "Colors.h"
#include "TFont.h"

#include <string>

class TBitmap;

enum TBrushStyle { bsSolid, bsClear };

class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : m_dc(dc) {}
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle() const { return m_dc; }
    void SetHandle(HDC dc) { m_dc = dc; }

    TColor BrushColor() const { return m_brushColor; }
    void SetBrushColor(TColor color) { m_brushColor = color; m_brushStyle = bsSolid; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    void SetBrushStyle(TBrushStyle style) { m_brushStyle = style; }
    TColor PenColor() const { return m_penColor; }
    void SetPenColor(TColor color) { m_penColor = color; }
    TFont& Font() { return m_font; }

    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    void TextOut(int x, int y, const std::string& text);
    int DrawText(const std::string& text, RECT& rect, UINT flags);

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void DrawFocusRect(const RECT& rect);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    COLORREF Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    void Draw(int x, int y, const TBitmap& bitmap);
    void StretchDraw(const RECT& rect, const TBitmap& bitmap);
    void CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect);

private:
    HDC m_dc = nullptr;
    TColor m_brushColor = clWhite;
    TBrushStyle m_brushStyle = bsSolid;
    TColor m_penColor = clBlack;
    POINT m_penPos = {0, 0};
    TFont m_font;
};
