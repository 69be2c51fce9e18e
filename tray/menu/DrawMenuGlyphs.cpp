// The drawing routines the item painters share: the two-colour gradient, text at the font's
// angle with its mnemonic underline, and the check marks and system-command pictures.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "CDrawMenu.h"
#include "CFont.h"
#include "CPen.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "DrawMenuPaint.h"

namespace {

constexpr char MARLETT_CHECK = 0x62;
constexpr char MARLETT_BULLET = 0x69;
constexpr UINT DRAW_HIDE_PREFIX = 0x100000;     // DT_HIDEPREFIX

// The Marlett character of a system command's picture, or 0.
char SystemCommandGlyph(UINT_PTR id)
{
    switch (id & 0xFFF0) {
    case SC_MINIMIZE:
        return '0';
    case SC_MAXIMIZE:
        return '1';
    case SC_RESTORE:
        return '2';
    case SC_CLOSE:
        return 'r';
    default:
        return 0;
    }
}

int ChannelAt(COLORREF start, COLORREF end, int shift, int k, int n)
{
    const int s = static_cast<int>((start >> shift) & 0xFF), e = static_cast<int>((end >> shift) & 0xFF);
    return (s + ::MulDiv(e - s, k, n)) & 0xFF;
}

COLORREF StripColor(COLORREF start, COLORREF end, int k, int n)
{
    return RGB(ChannelAt(start, end, 0, k, n), ChannelAt(start, end, 8, k, n), ChannelAt(start, end, 16, k, n));
}

// The symbol font's pictures drawn as lines in the text colour, centred in `box`.
void DrawGlyphShape(HDC dc, const RECT& box, char glyph, BOOL bold)
{
    const COLORREF ink = ::GetTextColor(dc);
    const int size = std::min(box.right - box.left, box.bottom - box.top) * 2 / 3;
    if (size < 4)
        return;
    const int left = (box.left + box.right - size) / 2, top = (box.top + box.bottom - size) / 2;
    const int right = left + size, bottom = top + size;
    const int stroke = bold ? 3 : 2;
    auto line = [&](int x0, int y0, int x1, int y1) {
        // Strokes as stacked one-pixel lines: crisp on any device.
        CPen pen(PS_SOLID, 1, ink);
        CSelectGuard select(dc, pen.GetSafeHandle());
        for (int i = 0; i < stroke; ++i) {
            ::MoveToEx(dc, x0, y0 + i, nullptr);
            ::LineTo(dc, x1, y1 + i);
        }
    };
    auto box3d = [&](int l, int t, int r, int b) {
        FrameSolid(dc, {l, t, r, b}, ink);
        FillSolid(dc, {l, t + 1, r, t + 2}, ink);
    };
    switch (glyph) {
    case MARLETT_CHECK: {
        // A tick a little smaller than the box, its short stroke down to the low point.
        const int inset = size / 6;
        const int x0 = left + inset - 1, y0 = top + size / 2 - 2;
        const int x1 = left + size / 2 - 2, y1 = bottom - inset - stroke - 1;
        line(x0, y0, x1, y1);
        line(x1, y1, right - inset - 1, top + inset - 2);
        break;
    }
    case MARLETT_BULLET: {
        const int d = std::max(4, size / 2), x = (box.left + box.right - d) / 2, y = (box.top + box.bottom - d) / 2;
        HBRUSH brush = ::CreateSolidBrush(ink);
        CPen pen(PS_SOLID, 1, ink);
        {
            CSelectGuard selectBrush(dc, brush);
            CSelectGuard selectPen(dc, pen.GetSafeHandle());
            ::Ellipse(dc, x, y, x + d, y + d);
        }
        ::DeleteObject(brush);
        break;
    }
    case '0':
        FillSolid(dc, {left + 1, bottom - stroke, right - 1, bottom}, ink);
        break;
    case '1':
        box3d(left, top, right, bottom);
        break;
    case '2': {
        const int step = size / 3;
        box3d(left + step, top, right, bottom - step);
        box3d(left, top + step, right - step, bottom);
        break;
    }
    case 'r':
        line(left, top, right, bottom - stroke + 1);
        line(left, bottom - stroke, right, top - 1);
        break;
    default:
        break;
    }
}

}  // namespace

void CDrawMenu::FillGradientRect(COLORREF end, const RECT& rect, HDC dc, COLORREF start, BOOL horizontal,
                                 BOOL paletteMode)
{
    if (::GetDeviceCaps(dc, NUMCOLORS) == -1)
        paletteMode = FALSE;
    if (!paletteMode && g_pfnGradientFill) {
        TRIVERTEX vertices[2] = {};
        vertices[0].x = rect.left;
        vertices[0].y = rect.top;
        vertices[0].Red = static_cast<COLOR16>(GetRValue(start) << 8);
        vertices[0].Green = static_cast<COLOR16>(GetGValue(start) << 8);
        vertices[0].Blue = static_cast<COLOR16>(GetBValue(start) << 8);
        vertices[1].x = rect.right;
        vertices[1].y = rect.bottom;
        vertices[1].Red = static_cast<COLOR16>(GetRValue(end) << 8);
        vertices[1].Green = static_cast<COLOR16>(GetGValue(end) << 8);
        vertices[1].Blue = static_cast<COLOR16>(GetBValue(end) << 8);
        GRADIENT_RECT mesh = {0, 1};
        g_pfnGradientFill(dc, vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
        return;
    }
    auto shown = [&](COLORREF color) { return paletteMode ? ::GetNearestColor(dc, color) : color; };
    FillSolid(dc, rect, shown(end));
    // Strips two pixels wide; a rectangle too narrow for a step is left in the end colour.
    const int n = (horizontal ? rect.right - rect.left : rect.bottom - rect.top) - 2;
    if (n <= 0)
        return;
    for (int k = 0; k <= n; k += 2) {
        RECT strip = rect;
        if (horizontal) {
            strip.left = rect.left + k;
            strip.right = strip.left + 2;
        } else {
            strip.top = rect.top + k;
            strip.bottom = strip.top + 2;
        }
        FillSolid(dc, strip, shown(StripColor(start, end, k, n)));
    }
}

void CDrawMenu::DrawMenuTextAngled(const char* text, HDC dc, const RECT& rect, UINT format)
{
    if (!text)
        return;
    HFONT current = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    LOGFONTA logFont = {};
    ::GetObjectA(current, sizeof logFont, &logFont);
    TEXTMETRICA metrics = {};
    ::GetTextMetricsA(dc, &metrics);
    // A raster font cannot turn: the same font from Arial's outlines can.
    CFont turnable;
    const bool outline = (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0;
    if (!outline && (logFont.lfEscapement || logFont.lfOrientation)) {
        LOGFONTA arial = logFont;
        std::strcpy(arial.lfFaceName, "Arial");
        arial.lfOutPrecision = OUT_TT_ONLY_PRECIS;
        turnable.CreateFontIndirect(&arial);
    }
    CSelectGuard selectFont(dc, turnable.GetSafeHandle());
    if (turnable.GetSafeHandle())
        ::GetTextMetricsA(dc, &metrics);

    const bool rightToLeft = (::GetLayout(dc) & LAYOUT_RTL) != 0;
    const UINT oldAlign = ::SetTextAlign(dc, TA_UPDATECP | (rightToLeft ? TA_RIGHT : 0));
    POINT start = {rect.left, rect.top};
    int escapement = logFont.lfEscapement;
    if (format & DT_VCENTER) {
        escapement = ((escapement % 3600) + 3600) % 3600;
        escapement = (escapement + 450) / 900 % 4 * 900;
        const int height = metrics.tmHeight;
        switch (escapement) {
        case 0:
            start = {rightToLeft ? rect.right - 4 : rect.left + 4, (rect.top + rect.bottom - height) / 2};
            break;
        case 900:
            start = {(rect.left + rect.right - height) / 2, rightToLeft ? rect.top + 4 : rect.bottom - 4};
            break;
        case 1800:
            start = {rightToLeft ? rect.left + 4 : rect.right - 4, (rect.top + rect.bottom + height) / 2};
            break;
        default:
            start = {(rect.left + rect.right + height) / 2, rightToLeft ? rect.bottom - 4 : rect.top + 4};
            break;
        }
    }
    POINT oldPosition;
    ::MoveToEx(dc, start.x, start.y, &oldPosition);

    // The underline runs along the text's baseline direction, tmAscent + 1 below its top.
    const double angle = escapement * 3.14159265358979 / 1800.0;
    const double alongX = std::cos(angle), alongY = -std::sin(angle);
    const double downX = -alongY, downY = alongX;
    const COLORREF ink = ::GetTextColor(dc);

    const size_t length = std::strlen(text);
    size_t i = 0;
    while (i < length) {
        size_t piece = i;
        while (piece < length && text[piece] != '&')
            ++piece;
        if (piece > i)
            ::ExtTextOutA(dc, 0, 0, ETO_CLIPPED, &rect, text + i, static_cast<UINT>(piece - i), nullptr);
        if (piece >= length)
            break;
        if (piece + 1 < length && text[piece + 1] == '&') {
            ::ExtTextOutA(dc, 0, 0, ETO_CLIPPED, &rect, "&", 1, nullptr);
            i = piece + 2;
            continue;
        }
        if (piece + 1 >= length)
            break;
        // The mnemonic: its width from the current position, then the bar under it.
        const char mnemonic = text[piece + 1];
        POINT before;
        ::GetCurrentPositionEx(dc, &before);
        SIZE size = {};
        ::GetTextExtentPoint32A(dc, &mnemonic, 1, &size);
        ::ExtTextOutA(dc, 0, 0, ETO_CLIPPED, &rect, &mnemonic, 1, nullptr);
        if (!(format & DRAW_HIDE_PREFIX)) {
            const int width = size.cx - metrics.tmOverhang / 2;
            const double offset = metrics.tmAscent + 1;
            const double sign = rightToLeft ? -1.0 : 1.0;
            const double x0 = before.x + downX * offset, y0 = before.y + downY * offset;
            const double x1 = x0 + sign * alongX * width, y1 = y0 + sign * alongY * width;
            if (escapement % 1800 == 0) {
                RECT bar = {static_cast<int>(x0 < x1 ? x0 : x1), static_cast<int>(y0),
                            static_cast<int>(x0 < x1 ? x1 : x0), static_cast<int>(y0) + 1};
                if (escapement == 1800)
                    ::OffsetRect(&bar, 0, -1);
                ::IntersectRect(&bar, &bar, &rect);
                FillSolid(dc, bar, ink);
            } else {
                RECT bar = {static_cast<int>(x0), static_cast<int>(y0 < y1 ? y0 : y1), static_cast<int>(x0) + 1,
                            static_cast<int>(y0 < y1 ? y1 : y0)};
                if (escapement == 2700)
                    ::OffsetRect(&bar, -1, 0);
                ::IntersectRect(&bar, &bar, &rect);
                FillSolid(dc, bar, ink);
            }
        }
        i = piece + 2;
    }
    ::MoveToEx(dc, oldPosition.x, oldPosition.y, nullptr);
    ::SetTextAlign(dc, oldAlign);
}

void CDrawMenu::DrawMarlettGlyph(const RECT& rect, char glyph, BOOL bold, HDC dc)
{
    CFont font;
    font.CreateFont(rect.bottom - rect.top - 4, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    CSelectGuard select(dc, font.GetSafeHandle());
    RECT inner = rect;
    ::InflateRect(&inner, -2, -2);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, sizeof face, face);
    if (_stricmp(face, "Marlett") != 0) {
        // A system without the symbol font would show the letter itself.
        DrawGlyphShape(dc, inner, glyph, bold);
        return;
    }
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextA(dc, &glyph, 1, &inner, DT_CENTER | DT_SINGLELINE);
    ::SetBkMode(dc, oldMode);
}

void CDrawMenu::DrawGlyphInRect(HDC dc, UINT state, const RECT& rect, char glyph)
{
    const COLORREF old =
        ::SetTextColor(dc, ::GetSysColor(state & (ODS_GRAYED | ODS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    DrawMarlettGlyph(rect, glyph, (state & ODS_DEFAULT) != 0, dc);
    ::SetTextColor(dc, old);
}

void CDrawMenu::DrawBarSystemGlyph(UINT state, UINT_PTR id, HDC dc, const RECT& rect)
{
    const char glyph = SystemCommandGlyph(id);
    if (!glyph)
        return;
    int color = COLOR_MENUTEXT;
    if (state & (ODS_GRAYED | ODS_INACTIVE))
        color = COLOR_GRAYTEXT;
    else if (state & ODS_SELECTED)
        color = COLOR_HIGHLIGHTTEXT;
    const COLORREF old = ::SetTextColor(dc, ::GetSysColor(color));
    DrawMarlettGlyph(rect, glyph, FALSE, dc);
    ::SetTextColor(dc, old);
}

void CDrawMenu::DrawSystemGlyph(UINT_PTR id, UINT state, HDC dc, const RECT& rect)
{
    const char glyph = SystemCommandGlyph(id);
    if (!glyph)
        return;
    // The picture as high as the menu's images, around the rectangle's middle.
    RECT box = rect;
    const int middle = (rect.top + rect.bottom) / 2;
    box.top = middle - m_nImageHeight / 2;
    box.bottom = box.top + m_nImageHeight;
    const COLORREF old = ::GetTextColor(dc);
    if (state & ODS_GRAYED) {
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        DrawMarlettGlyph(box, glyph, FALSE, dc);
    } else if (state & ODS_SELECTED) {
        RECT shadow = box;
        ::OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, DimColorToBlue(GetSelectionColor()));
        DrawMarlettGlyph(shadow, glyph, FALSE, dc);
        RECT raised = box;
        ::OffsetRect(&raised, -1, -1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
        DrawMarlettGlyph(raised, glyph, FALSE, dc);
    } else {
        ::SetTextColor(dc, ::GetSysColor(COLOR_MENUTEXT));
        DrawMarlettGlyph(box, glyph, FALSE, dc);
    }
    ::SetTextColor(dc, old);
}

BOOL CDrawMenu::DrawCheckOrBitmap(HDC dc, HBITMAP unchecked, UINT state, const RECT& rect, HBITMAP checked)
{
    const bool isChecked = (state & ODS_CHECKED) != 0;
    if (!isChecked && !unchecked)
        return FALSE;
    RECT box = rect;
    ::InflateRect(&box, -1, -1);
    if (g_nOsVersionCode > OSCODE_NT3)
        ::DrawEdge(dc, &box, BDR_SUNKENOUTER, BF_RECT);
    ::InflateRect(&box, 2, 2);
    if (!isChecked) {
        DrawBitmapCentred(dc, unchecked, box, state & ODS_DISABLED ? DSS_DISABLED : 0);
    } else if (!checked) {
        RECT mark = box;
        ::OffsetRect(&mark, 1, 2);
        DrawGlyphInRect(dc, state, mark, MARLETT_CHECK);
    } else if (unchecked) {
        DrawBitmapCentred(dc, checked, box, 0);
    } else {
        DrawGlyphInRect(dc, state, box, MARLETT_BULLET);
    }
    return TRUE;
}
