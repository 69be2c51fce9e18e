#pragma once
// Selects a GDI object into a device context for one scope and puts the previous one back.
#include <windows.h>

class CSelectGuard {
public:
    CSelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? ::SelectObject(dc, object) : nullptr) {}
    ~CSelectGuard()
    {
        if (m_old)
            ::SelectObject(m_dc, m_old);
    }
    CSelectGuard(const CSelectGuard&) = delete;
    CSelectGuard& operator=(const CSelectGuard&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_old;
};
