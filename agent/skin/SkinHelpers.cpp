#include "SkinHelpers.h"

#include "ISkinThemed.h"
#include "SavedDC.h"
#include "TApplication.h"
#include "TCustomEdit.h"
#include "TCustomForm.h"
#include "WindowDC.h"

#include <cmath>

namespace {

// One channel of a gradient step; Round is half-to-even, as nearbyint does by default.
int GradientChannel(int from, int to, int span, int step)
{
    return from + static_cast<int>(std::nearbyint(static_cast<double>(to - from) / span * step));
}

COLORREF GradientColor(TColor from, TColor to, int span, int step)
{
    int fr, fg, fb, tr, tg, tb;
    SplitRGB(from, fr, fg, fb);
    SplitRGB(to, tr, tg, tb);
    return MakeRGB(GradientChannel(fr, tr, span, step), GradientChannel(fg, tg, span, step),
                   GradientChannel(fb, tb, span, step));
}

void FillLine(TCanvas& canvas, const RECT& line, COLORREF color)
{
    canvas.SetBrushColor(color);
    canvas.FillRect(line);
}

}  // namespace

void DrawParentBackground(TCanvas& canvas, TControl* control)
{
    if (!control || !control->Parent())
        return;
    TWinControl* parent = control->Parent();
    HDC dc = canvas.Handle();
    SavedDC saved(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, parent->ClientWidth(), parent->ClientHeight());
    HWND window = parent->Handle();
    SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(window, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

void TilePicture(TCanvas& canvas, TPicture& picture, const RECT& rect)
{
    TBitmap* graphic = picture.Graphic();
    if (!graphic)
        return;
    int w = graphic->Width();
    int h = graphic->Height();
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    for (int x = 0; x < w + width; x += w)
        for (int y = 0; y < h + height; y += h)
            canvas.Draw(x, y, *graphic);
}

bool PointInRect(const POINT& point, const RECT& rect)
{
    return CoordsInRect(point.x, point.y, rect);
}

bool CoordsInRect(int x, int y, const RECT& rect)
{
    return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

RECT GetWorkArea()
{
    RECT area = {0, 0, 0, 0};
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main->HandleAllocated()) {
        MONITORINFO info = {};
        info.cbSize = sizeof info;
        if (GetMonitorInfoA(MonitorFromWindow(main->Handle(), MONITOR_DEFAULTTONEAREST), &info))
            return info.rcWork;
    }
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void SetControlBounds(TControl* control, const RECT& rect)
{
    control->SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void DrawEditBorder(TCustomEdit* edit, TColor color, TColor innerColor, bool drawInner)
{
    if (!edit || !edit->HandleAllocated())
        return;
    WindowDC dc(edit->Handle(), true);
    RECT r;
    GetWindowRect(edit->Handle(), &r);
    OffsetRect(&r, -r.left, -r.top);
    TCanvas canvas(dc.Get());
    canvas.SetBrushColor(color);
    canvas.FrameRect(r);
    if (drawInner) {
        InflateRect(&r, -1, -1);
        canvas.SetBrushColor(innerColor);
        canvas.FrameRect(r);
    }
}

std::string PCharToString(const char* text)
{
    return (text && *text) ? std::string(text) : std::string();
}

void DrawThreePartBitmap(TBitmap& bitmap, TCanvas& canvas, const RECT& rect, COLORREF maskColor, bool masked)
{
    if (bitmap.Empty())
        return;
    int part = bitmap.Width() / 3;
    int height = bitmap.Height();
    int width = rect.right - rect.left;
    auto blit = [&](int dx, int dw, int sx, int sw) {
        if (dw <= 0 || sw <= 0)
            return;
        if (masked)
            GdiTransparentBlt(canvas.Handle(), dx, rect.top, dw, height, bitmap.DC(), sx, 0, sw, height, maskColor);
        else
            StretchBlt(canvas.Handle(), dx, rect.top, dw, height, bitmap.DC(), sx, 0, sw, height, SRCCOPY);
    };
    if (width < part) {
        blit(rect.left, width, 0, width);
        return;
    }
    blit(rect.left, part, 0, part);
    blit(rect.right - part, part, 2 * part, part);
    blit(rect.left + part, width - 2 * part, part, part);
}

COLORREF MakeRGB(int red, int green, int blue)
{
    return static_cast<COLORREF>(red + green * 256 + blue * 65536);
}

void SplitRGB(TColor color, int& red, int& green, int& blue)
{
    COLORREF rgb = ColorToRGB(color);
    red = GetRValue(rgb);
    green = GetGValue(rgb);
    blue = GetBValue(rgb);
}

void DrawHorizontalGradient(TCanvas& canvas, const RECT& rect, TColor from, TColor to)
{
    int span = rect.right - rect.left;
    if (span <= 0)
        return;
    FillLine(canvas, RECT{rect.left, rect.top, rect.left + 1, rect.bottom}, ColorToRGB(from));
    for (int x = rect.left + 1; x <= rect.right - 2; ++x)
        FillLine(canvas, RECT{x, rect.top, x + 1, rect.bottom}, GradientColor(from, to, span, x - rect.left));
    // One column wide, the last column is the first: `to` is drawn over `from`.
    FillLine(canvas, RECT{rect.right - 1, rect.top, rect.right, rect.bottom}, ColorToRGB(to));
}

void DrawVerticalGradient(TCanvas& canvas, const RECT& rect, TColor from, TColor to)
{
    int span = rect.bottom - rect.top;
    if (span <= 0)
        return;
    FillLine(canvas, RECT{rect.left, rect.top, rect.right, rect.top + 1}, ColorToRGB(from));
    // The factor counts from the row below the first, so the second row repeats `from`.
    for (int y = rect.top + 1; y <= rect.bottom - 2; ++y)
        FillLine(canvas, RECT{rect.left, y, rect.right, y + 1}, GradientColor(from, to, span, y - rect.top - 1));
    FillLine(canvas, RECT{rect.left, rect.bottom - 1, rect.right, rect.bottom}, ColorToRGB(to));
}

bool HasProperty(const TComponent* component, const char* name)
{
    return component && name && component->HasPublished(name);
}

void CutBitmapPart(const TBitmap& source, TBitmap& destination, int count, int index)
{
    if (source.Empty() || count <= 0 || index < 1 || index > count) {
        destination.Clear();
        return;
    }
    int part = source.Width() / count;
    if (part <= 0) {
        destination.Clear();
        return;
    }
    int x = index == count ? source.Width() - part : (index - 1) * part;
    destination.SetSize(part, source.Height());
    auto& from = const_cast<TBitmap&>(source);
    BitBlt(destination.DC(), 0, 0, part, source.Height(), from.DC(), x, 0, SRCCOPY);
}

bool IsFormActive(TCustomForm* form)
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (!main)
        return form ? form->Active() : true;
    if (Application && !Application->Active())
        return false;
    if (!form || form == main)
        return true;
    return form->Active();
}

void ApplyThemeToChildren(TCustomForm* form, TskUIStyle style, TskFileTheme* theme)
{
    if (!form)
        return;
    for (int i = 0; i < form->ControlCount(); ++i) {
        TControl* c = form->Controls(i);
        if (!HasProperty(c, "FileTheme") || !HasProperty(c, "UIStyle"))
            continue;
        if (auto* themed = dynamic_cast<ISkinThemed*>(c)) {
            themed->SetFileTheme(theme);
            themed->SetUIStyle(style);
        }
    }
}

std::string EllipsizeText(TCanvas& canvas, const std::string& text, int maxWidth)
{
    if (canvas.TextWidth(text) <= maxWidth)
        return text;
    for (size_t i = 1; i < text.size(); ++i) {
        std::string candidate = text.substr(0, i) + "...";
        if (canvas.TextWidth(candidate) >= maxWidth)
            return candidate;
    }
    return text;
}

void ShowRefusal(const char* text)
{
    MessageBoxA(GetActiveWindow(), text, "Error", MB_OK | MB_ICONERROR);
}
