#include "MenuHelpers.h"

#include "WindowDC.h"

void HookMenuItems(TMenuItem* item, const TMenuMeasureItemEvent& measure, const TMenuDrawItemEvent& draw)
{
    if (!item)
        return;
    item->OnMeasureItem = measure;
    item->OnAdvancedDrawItem = draw;
    for (int i = 0; i < item->Count(); ++i)
        HookMenuItems(item->Items(i), measure, draw);
}

void FrameRectColor(TCanvas& canvas, const RECT& rect, TColor color)
{
    canvas.SetBrushColor(color);
    canvas.FrameRect(rect);
}

void FillRectColor(TCanvas& canvas, const RECT& rect, TColor color)
{
    canvas.SetBrushColor(color);
    canvas.FillRect(rect);
}

void DrawSeparatorLine(TCanvas& canvas, const RECT& rect, TColor color, bool leftToRight, int barWidth)
{
    canvas.SetPenColor(color);
    int y = rect.top + 2;
    if (leftToRight) {
        canvas.MoveTo(rect.left + barWidth + 4, y);
        canvas.LineTo(rect.right - 2, y);
    } else {
        canvas.MoveTo(rect.left + 2, y);
        canvas.LineTo(rect.right - barWidth - 4, y);
    }
}

void DrawFlatMenuBorder(HWND menuWindow, TColor outerColor, TColor lineColor)
{
    if (!menuWindow)
        return;
    RECT r;
    GetWindowRect(menuWindow, &r);
    WindowDC desktop(nullptr);
    TCanvas canvas(desktop.Get());
    RECT outer = {r.left, r.top + 1, r.right - 1, r.bottom - 1};
    FrameRectColor(canvas, outer, outerColor);
    RECT inner = outer;
    InflateRect(&inner, -1, -1);
    FrameRectColor(canvas, inner, clWhite);
    canvas.SetPenColor(lineColor);
    canvas.MoveTo(inner.left, inner.bottom - 1);
    canvas.LineTo(inner.right - 1, inner.bottom - 1);
    canvas.LineTo(inner.right - 1, inner.top);
    canvas.LineTo(inner.left, inner.top);
}

void UseSystemMenuFont(TFont& font)
{
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    font.SetFromLogFont(metrics.lfMenuFont);
    font.SetColor(clMenuText);
}
