#pragma once
// A device context from GetDC / GetWindowDC, released with its owner.
#include <windows.h>

class WindowDC {
public:
    explicit WindowDC(HWND window, bool wholeWindow = false)
        : m_window(window), m_dc(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDC()
    {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_window;
    HDC m_dc;
};
