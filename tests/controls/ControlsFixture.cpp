#include "ControlsFixture.h"

#include "WindowDriver.h"

namespace {

const char kParentClass[] = "SequoraControlsTestParent";

void RegisterParentClass()
{
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kParentClass;
    RegisterClassA(&wc);
    registered = true;
}

}  // namespace

TestParent::TestParent()
{
    RegisterParentClass();
    CreateEx(WS_EX_TOPMOST, kParentClass, "controls", WS_POPUP | WS_VISIBLE, CRect(40, 40, 440, 300), nullptr, 0);
}

TestParent::~TestParent()
{
    DestroyWindow();
}

DWORD ScreenColor(COLORREF color)
{
    return (static_cast<DWORD>(GetRValue(color)) << 16) | (static_cast<DWORD>(GetGValue(color)) << 8) | GetBValue(color);
}

PixelCanvas::PixelCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_dc = CreateCompatibleDC(nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    RECT all = {0, 0, width, height};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(m_dc, &all, brush);
    DeleteObject(brush);
}

PixelCanvas::~PixelCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

DWORD PixelCanvas::At(int x, int y) const
{
    GdiFlush();
    return m_bits[y * m_width + x] & 0xFFFFFF;
}

int CountColor(HWND window, DWORD screenColor)
{
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (!harness::CaptureWindow(window, pixels, width, height, true))
        return -1;
    int count = 0;
    for (DWORD p : pixels)
        count += (p & 0xFFFFFF) == screenColor;
    return count;
}
