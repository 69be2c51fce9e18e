#include "TCanvas.h"

#include "GdiObject.h"
#include "SelectGuard.h"
#include "TBitmap.h"

int TCanvas::TextWidth(const std::string& text)
{
    SIZE size = {0, 0};
    SelectGuard font(m_dc, m_font.Handle());
    GetTextExtentPoint32A(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int TCanvas::TextHeight(const std::string& text)
{
    SIZE size = {0, 0};
    SelectGuard font(m_dc, m_font.Handle());
    GetTextExtentPoint32A(m_dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cy;
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    SelectGuard font(m_dc, m_font.Handle());
    SetTextColor(m_dc, ColorToRGB(m_font.Color()));
    if (m_brushStyle == bsClear) {
        SetBkMode(m_dc, TRANSPARENT);
    } else {
        SetBkMode(m_dc, OPAQUE);
        SetBkColor(m_dc, ColorToRGB(m_brushColor));
    }
    ::TextOutA(m_dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

int TCanvas::DrawText(const std::string& text, RECT& rect, UINT flags)
{
    SelectGuard font(m_dc, m_font.Handle());
    SetTextColor(m_dc, ColorToRGB(m_font.Color()));
    if (m_brushStyle == bsClear) {
        SetBkMode(m_dc, TRANSPARENT);
    } else {
        SetBkMode(m_dc, OPAQUE);
        SetBkColor(m_dc, ColorToRGB(m_brushColor));
    }
    return ::DrawTextA(m_dc, text.c_str(), static_cast<int>(text.size()), &rect, flags);
}

void TCanvas::FillRect(const RECT& rect)
{
    if (m_brushStyle == bsClear)
        return;
    GdiBrush brush(CreateSolidBrush(ColorToRGB(m_brushColor)));
    ::FillRect(m_dc, &rect, brush.Get());
}

void TCanvas::FrameRect(const RECT& rect)
{
    GdiBrush brush(CreateSolidBrush(ColorToRGB(m_brushColor)));
    ::FrameRect(m_dc, &rect, brush.Get());
}

void TCanvas::DrawFocusRect(const RECT& rect)
{
    // The focus rectangle is an XOR of the pixels under it; text and background colours decide it.
    SetTextColor(m_dc, RGB(0, 0, 0));
    SetBkColor(m_dc, RGB(255, 255, 255));
    ::DrawFocusRect(m_dc, &rect);
}

void TCanvas::MoveTo(int x, int y)
{
    m_penPos = {x, y};
}

void TCanvas::LineTo(int x, int y)
{
    GdiPen pen(CreatePen(PS_SOLID, 1, ColorToRGB(m_penColor)));
    SelectGuard select(m_dc, pen.Get());
    MoveToEx(m_dc, m_penPos.x, m_penPos.y, nullptr);
    ::LineTo(m_dc, x, y);
    m_penPos = {x, y};
}

COLORREF TCanvas::Pixel(int x, int y) const
{
    return GetPixel(m_dc, x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    ::SetPixel(m_dc, x, y, ColorToRGB(color));
}

void TCanvas::Draw(int x, int y, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    bitmap.DrawTo(m_dc, RECT{x, y, x + bitmap.Width(), y + bitmap.Height()});
}

void TCanvas::StretchDraw(const RECT& rect, const TBitmap& bitmap)
{
    if (bitmap.Empty())
        return;
    bitmap.DrawTo(m_dc, rect);
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& sourceRect)
{
    SetStretchBltMode(m_dc, COLORONCOLOR);
    StretchBlt(m_dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source.Handle(),
               sourceRect.left, sourceRect.top, sourceRect.right - sourceRect.left,
               sourceRect.bottom - sourceRect.top, SRCCOPY);
}
