#include "CMenuTheme.h"

#include <vector>

#include "CBrush.h"
#include "CDrawMenuHook.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "DrawMenuPaint.h"

namespace {

constexpr DWORD EX_STYLE_MENU_EDGES = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;

// Each channel scaled by factor / 255, rounded as MulDiv rounds.
DWORD ShadePixel(DWORD pixel, int factor)
{
    const int b = ::MulDiv(pixel & 0xFF, factor, 255);
    const int g = ::MulDiv((pixel >> 8) & 0xFF, factor, 255);
    const int r = ::MulDiv((pixel >> 16) & 0xFF, factor, 255);
    return static_cast<DWORD>((r << 16) | (g << 8) | b);
}

// A DIB pixel (0x00RRGGBB) from a COLORREF (0x00BBGGRR).
DWORD PixelOf(COLORREF color)
{
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

// Shade factor of column k (1 = outermost) of the right edge at row `row` of a window `height`
// high; 255 keeps the saved pixel.
int RightEdgeFactor(int k, int row, int height)
{
    if (row >= height - 4)
        return 255 - 24 * k + 6 * k * (row - (height - 4));
    if (row < 4)
        return 255;
    if (row < 8)
        return 249 - 6 * (k - 1) - 6 * k * (row - 4);
    return 225 - 30 * (k - 1);
}

// Shade factor of row j (1 = outermost) of the bottom edge at column `column`.
int BottomEdgeFactor(int j, int column)
{
    if (column < 4)
        return 255;
    if (column < 8)
        return 249 - 6 * (j - 1) - 6 * j * (column - 4);
    return 225 - 30 * (j - 1);
}

// A 32-bit top-down copy of a bitmap.
bool ReadBitmapPixels(HBITMAP bitmap, int width, int height, std::vector<DWORD>& pixels)
{
    BITMAPINFO info = Dib32Info(width, height);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return rows == height;
}

void WritePixels(HDC dc, int x, int y, int width, int height, const std::vector<DWORD>& pixels)
{
    const BITMAPINFO info = Dib32Info(width, height);
    ::SetDIBitsToDevice(dc, x, y, width, height, 0, 0, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace

CMenuTheme::CMenuTheme(int type, int frameFlag, MeasurePainter measure, DrawPainter draw, TitlePainter title)
    : m_nType(type), m_nFrameFlag(frameFlag), m_pfnMeasureItem(measure), m_pfnDrawItem(draw), m_pfnDrawTitle(title)
{
    UpdateSysColors();
    UpdateFrameSizes();
}

CMenuTheme::~CMenuTheme() = default;

int CMenuTheme::OnInitWnd(HWND window)
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!data || !data->m_bActive || !HasFrame())
        return 0;
    // The frame is ours: the system's border and edges go while the theme holds the window.
    data->m_dwState |= CDrawMenuHook::HOOKSTATE_STYLES_CHANGED;
    ::SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(data->m_dwStyle & ~WS_BORDER));
    ::SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(data->m_dwExStyle & ~EX_STYLE_MENU_EDGES));
    return 1;
}

int CMenuTheme::OnUnInitWnd(HWND window)
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!data)
        return 0;
    if (data->m_dwState & CDrawMenuHook::HOOKSTATE_ESCAPE) {
        ::KillTimer(window, MENU_LAYER_TIMER);
        data->m_dwState &= ~CDrawMenuHook::HOOKSTATE_ESCAPE;
    }
    if (CDrawMenu* menu = CDrawMenu::FromHandleDraw(data->m_hMenu))
        menu->OnPopupClosed();
    if (data->m_dwState & CDrawMenuHook::HOOKSTATE_STYLES_CHANGED) {
        DWORD style = data->m_dwStyle;
        if (data->m_dwState & CDrawMenuHook::HOOKSTATE_BY_SIZEWINDOW)
            style |= WS_VISIBLE;
        ::SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));
        ::SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(data->m_dwExStyle));
    }
    return 1;
}

BOOL CMenuTheme::HasFrame() const
{
    return (m_nFrameFlag & 1) != 0;
}

void CMenuTheme::UpdateSysColors()
{
    m_clrBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_clrBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_clrBtnHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_clrBtnText = ::GetSysColor(COLOR_BTNTEXT);
    m_clrWindowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
}

void CMenuTheme::UpdateFrameSizes()
{
    BOOL dropShadow = FALSE;
    const bool system = ::SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &dropShadow, 0) && dropShadow;
    m_nFrameLeft = 2;
    m_nFrameTop = 2;
    m_nFrameRight = system ? 2 : 5;
    m_nFrameBottom = system ? 2 : 6;
}

void CMenuTheme::FillFrameBands(HDC dc, const RECT& outer, const RECT& client, COLORREF color)
{
    FillSolid(dc, {outer.left, outer.top, outer.right, client.top}, color);
    FillSolid(dc, {outer.left, client.bottom, outer.right, outer.bottom}, color);
    FillSolid(dc, {outer.left, outer.top, client.left, outer.bottom}, color);
    FillSolid(dc, {client.right - 1, outer.top, outer.right, outer.bottom}, color);
}

void CMenuTheme::CaptureShade(HWND window)
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!data || data->m_bmpShade.GetSafeHandle())
        return;
    CRect frame;
    if (!::GetWindowRect(window, &frame))
        return;
    int x = data->m_nLastX, y = data->m_nLastY;
    if (x == 0 && y == 0) {
        x = frame.left;
        y = frame.top;
    }
    const int width = frame.Width() + 10, height = frame.Height() + 10;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    if (memory && data->m_bmpShade.CreateCompatibleBitmap(screen, width, height)) {
        CSelectGuard select(memory, data->m_bmpShade.GetSafeHandle());
        ::BitBlt(memory, 0, 0, width, height, screen, x, y, SRCCOPY);
    }
    if (memory)
        ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

void CMenuTheme::DrawOwnShade(HWND window, HDC dc, int width, int height) const
{
    CDrawMenuHook::CMenuHookData* data = CDrawMenuHook::FindHookData(window);
    if (!data || !data->m_bmpShade.GetSafeHandle() || width < 8 || height < 8)
        return;
    BITMAP saved = {};
    data->m_bmpShade.GetBitmap(&saved);
    std::vector<DWORD> image;
    if (saved.bmWidth < width || saved.bmHeight < height ||
        !ReadBitmapPixels(static_cast<HBITMAP>(data->m_bmpShade.GetSafeHandle()), saved.bmWidth, saved.bmHeight, image))
        return;
    auto savedAt = [&](int x, int y) { return image[static_cast<size_t>(y) * saved.bmWidth + x] & 0xFFFFFF; };

    const bool fewColors = GetScreenColorCount() <= 256;
    const DWORD shadow = PixelOf(m_clrBtnShadow);
    // The right band (the last 4 columns, every row) and the bottom band (the last 4 rows, every
    // column left of the right band).
    std::vector<DWORD> right(static_cast<size_t>(4) * height), bottom(static_cast<size_t>(width - 4) * 4);
    for (int row = 0; row < height; ++row) {
        for (int k = 1; k <= 4; ++k) {
            const int x = width - k;
            DWORD pixel = savedAt(x, row);
            if (!fewColors)
                pixel = ShadePixel(pixel, RightEdgeFactor(k, row, height));
            else if (k >= 3 && row >= 4 && row < height - 2)
                pixel = shadow;
            right[static_cast<size_t>(row) * 4 + (4 - k)] = pixel;
        }
    }
    for (int j = 1; j <= 4; ++j) {
        const int y = height - j;
        for (int column = 0; column < width - 4; ++column) {
            DWORD pixel = savedAt(column, y);
            if (!fewColors)
                pixel = ShadePixel(pixel, BottomEdgeFactor(j, column));
            else if (j >= 3 && column >= 4)
                pixel = shadow;
            bottom[static_cast<size_t>(4 - j) * (width - 4) + column] = pixel;
        }
    }
    WritePixels(dc, width - 4, 0, 4, height, right);
    WritePixels(dc, 0, height - 4, width - 4, 4, bottom);
}

CMenuTheme::FrameGeometry CMenuTheme::BeginFramePaint(HWND window)
{
    CaptureShade(window);
    FrameGeometry geometry = {};
    ::GetWindowRect(window, &geometry.frame);
    geometry.client = ClientRectInWindow(window);
    geometry.width = geometry.frame.right - geometry.frame.left;
    geometry.height = geometry.frame.bottom - geometry.frame.top;
    return geometry;
}

int CMenuTheme::PaintFrame(HWND window, HDC dc, BOOL after)
{
    if (!HasFrame() || !CDrawMenuHook::FindHookData(window))
        return 0;
    const FrameGeometry geometry = BeginFramePaint(window);
    const RECT& client = geometry.client;
    const int w = geometry.width, h = geometry.height;
    const COLORREF outline = ::GetSysColor(g_bHighContrast ? COLOR_BTNTEXT : COLOR_HIGHLIGHT);
    if (HasSystemShadow()) {
        if (!after)
            FillFrameBands(dc, CRect(1, 1, w - 1, h - 1), client, GetMenuBackColor(nullptr));
        FrameSolid(dc, CRect(0, 0, w, h), outline);
    } else {
        if (!after)
            FillFrameBands(dc, CRect(1, 1, w - 5, h - 5), client, GetMenuBackColor(nullptr));
        FrameSolid(dc, CRect(0, 0, w - 4, h - 4), outline);
        if (!g_bHighContrast)
            DrawOwnShade(window, dc, w, h);
    }
    return 1;
}

RECT CMenuTheme::BackgroundRect(HWND window) const
{
    // From under the system's left edge; a frame of ours keeps its right column.
    CRect client;
    ::GetClientRect(window, &client);
    client.left -= 2;
    if (HasFrame())
        client.right -= 1;
    return client;
}

BOOL CMenuTheme::EraseBackground(HWND window, HDC dc)
{
    const RECT client = BackgroundRect(window);
    const bool bar = g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn();
    FillSolid(dc, client, ::GetSysColor(bar ? COLOR_MENUBAR : COLOR_MENU));
    return TRUE;
}

BOOL CMenuTheme::OnNcCalcSize(HWND, RECT* rect)
{
    if (HasFrame() && rect) {
        const int d = HasSystemShadow() ? 1 : 5;
        rect->left += 2;
        rect->top += 2;
        rect->right -= d;
        rect->bottom -= d + 1;
    }
    return 0;
}

BOOL CMenuTheme::OnWindowPosChanging(HWND, WINDOWPOS* pos)
{
    if (!HasFrame() || !pos)
        return 0;
    if (g_bWine) {
        // Wine's menu windows have no border of their own for the frame to take the place of:
        // they grow by the whole frame, so that the client area keeps the room of every item.
        const int d = HasSystemShadow() ? 1 : 5;
        pos->cx += 2 + d;
        pos->cy += 2 + d + 1;
    } else {
        const int grow = HasSystemShadow() ? -2 : 2;
        pos->cx += grow;
        pos->cy += grow;
    }
    pos->y -= 1;
    return 1;
}

BOOL CMenuTheme::GetFrameRect(HWND window, RECT* rect)
{
    if (!::GetWindowRect(window, rect))
        return 0;
    if (HasFrame()) {
        const int farEdge = HasSystemShadow() ? 3 : 7;
        rect->left += 2;
        rect->top += 2;
        rect->right -= farEdge;
        rect->bottom -= farEdge;
    }
    return 1;
}

namespace {

constexpr DWORD BAR_STYLE_GRIPPER = 0x400000;
constexpr DWORD BAR_STYLE_FLOATING = 0x1;
constexpr DWORD BAR_STYLE_VERTICAL = 0xA000;

bool BarWantsDecoration(DWORD barStyle)
{
    return (barStyle & BAR_STYLE_GRIPPER) && !(barStyle & BAR_STYLE_FLOATING);
}

}  // namespace

void CMenuTheme::DrawGripper(HDC dc, const RECT& rect, DWORD barStyle, int left, int top, int right, int bottom)
{
    if (!BarWantsDecoration(barStyle))
        return;
    const bool horizontal = !(barStyle & BAR_STYLE_VERTICAL);
    // The gripper runs across the bar at its start: a column on a horizontal bar, a row on a
    // vertical one.
    CRect area(rect.left + left, rect.top + top, rect.right - right, rect.bottom - bottom);
    if (area.IsRectEmpty())
        return;
    switch (m_nType) {
    case 2:
    case 3: {
        const COLORREF color = DimColorToBlue(GetClassicMenuFaceColor());
        if (horizontal)
            for (int y = area.top; y < area.bottom; y += 2)
                FillSolid(dc, {area.left, y, area.left + 3, y + 1}, color);
        else
            for (int x = area.left; x < area.right; x += 2)
                FillSolid(dc, {x, area.top, x + 1, area.top + 3}, color);
        break;
    }
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11: {
        COLORREF dot = 0, c1, c2, c3;
        const bool office = m_nType >= 8;
        if (office)
            Get2003BarColors(&c1, &c2, &c3, &dot);
        else
            dot = ScaleColorDown(GetMenuBackColor(nullptr), 100);
        const COLORREF light = ::GetSysColor(COLOR_WINDOW);
        const int steps = horizontal ? area.Height() : area.Width();
        for (int i = 0; i + 2 <= steps; i += 4) {
            const int x = horizontal ? area.left : area.left + i;
            const int y = horizontal ? area.top + i : area.top;
            if (office)
                FillSolid(dc, {x + 1, y + 1, x + 3, y + 3}, light);
            FillSolid(dc, {x, y, x + 2, y + 2}, dot);
        }
        break;
    }
    default: {
        const COLORREF highlight = ::GetSysColor(COLOR_BTNHIGHLIGHT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
        const RECT bar = horizontal ? RECT{area.left, area.top, area.left + 3, area.bottom}
                                    : RECT{area.left, area.top, area.right, area.top + 3};
        FillSolid(dc, bar, highlight);
        FillSolid(dc, {bar.left + 1, bar.top + 1, bar.right, bar.bottom}, shadow);
        FillSolid(dc, {bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1}, ::GetSysColor(COLOR_BTNFACE));
        break;
    }
    }
}

void CMenuTheme::DrawCorners(HDC dc, const RECT& rect, DWORD barStyle)
{
    if (!BarWantsDecoration(barStyle))
        return;
    COLORREF color;
    if (m_nType == 6 || m_nType == 7) {
        color = ::GetSysColor(COLOR_3DLIGHT);
    } else if (m_nType >= 8 && m_nType <= 11) {
        COLORREF lighter;
        GetBarColorPair(&color, &lighter, TRUE);
    } else {
        return;
    }
    const int l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    const POINT corners[][3] = {
        {{l, t}, {l + 1, t}, {l, t + 1}},
        {{r, t}, {r - 1, t}, {r, t + 1}},
        {{l, b}, {l + 1, b}, {l, b - 1}},
        {{r, b}, {r - 1, b}, {r, b - 1}},
    };
    for (const auto& corner : corners)
        for (const POINT& p : corner)
            ::SetPixel(dc, p.x, p.y, color);
}

void CMenuTheme::Get2003BarColors(COLORREF* c1, COLORREF* c2, COLORREF* c3, COLORREF* c4)
{
    COLORREF a, b;
    if (IsVisualStyleActive()) {
        GetBarColorPair(&a, &b, TRUE);
        struct KnownLook {
            COLORREF base, c1, c2, c3, c4;
        };
        static constexpr KnownLook looks[] = {
            {0xAADADA, 0xDEF7F4, 0xACDED1, 0x91C6B7, 0x588060},
            {0xE5D7D7, 0xFAF4F3, 0xECE2E1, 0xB59799, 0x947C7C},
            {0xF5C2A3, 0xFEECDD, 0xF9DBC4, 0xE2A981, 0x9C613B},
        };
        for (const KnownLook& look : looks) {
            if (look.base == a) {
                *c1 = look.c1;
                *c2 = look.c2;
                *c3 = look.c3;
                *c4 = look.c4;
                return;
            }
        }
        *c1 = FadeColorToWhite(140, a);
        *c2 = FadeColorToWhite(115, a);
        *c3 = ScaleColorDown(a, 40);
        *c4 = ScaleColorDown(a, 110);
        return;
    }
    GetBarColorPair(&a, &b, TRUE);
    *c1 = a;
    *c3 = b;
    *c2 = AlphaBlendColors(a, b, 100);
    *c4 = ScaleColorDown(b, 50);
}
