#include "CButtonMenuMemDC.h"

CButtonMenuMemDC::CButtonMenuMemDC(HDC target, const RECT& rect) : m_target(target), m_rect(rect)
{
    const bool printer = ::GetDeviceCaps(target, TECHNOLOGY) == DT_RASPRINTER;
    if (!printer && CreateCompatibleDC(target)) {
        m_bitmap = ::CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height());
        if (m_bitmap) {
            m_oldBitmap = ::SelectObject(m_hDC, m_bitmap);
            // A new DC starts with the system font; the item's label is measured in the target's.
            if (HGDIOBJ font = ::GetCurrentObject(target, OBJ_FONT))
                m_oldFont = ::SelectObject(m_hDC, font);
            ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
            m_offScreen = true;
            return;
        }
        DeleteDC();
    }
    // A printer, or no memory for the picture: draw on the target itself.
    m_hDC = target;
    m_owned = false;
}

CButtonMenuMemDC::~CButtonMenuMemDC()
{
    if (m_offScreen) {
        ::BitBlt(m_target, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left, m_rect.top,
                 SRCCOPY);
        if (m_oldFont)
            ::SelectObject(m_hDC, m_oldFont);
        ::SelectObject(m_hDC, m_oldBitmap);
        ::DeleteObject(m_bitmap);
    } else {
        Detach();
    }
}
