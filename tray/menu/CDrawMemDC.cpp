#include "CDrawMemDC.h"

CDrawMemDC::CDrawMemDC(const RECT& rect, HDC target) : m_rect(rect), m_hTargetDC(target)
{
    if (CreateCompatibleDC(target) && m_bitmap.CreateCompatibleBitmap(target, m_rect.Width(), m_rect.Height())) {
        m_hOldBitmap = SelectObject(m_bitmap.GetSafeHandle());
        ::SetWindowOrgEx(m_hDC, m_rect.left, m_rect.top, nullptr);
        return;
    }
    // No memory for the picture: the item is drawn on the target itself.
    DeleteDC();
    m_hDC = target;
    m_owned = false;
    m_bNoCopy = TRUE;
}

CDrawMemDC::~CDrawMemDC()
{
    if (!m_owned) {
        Detach();
        return;
    }
    if (!m_bNoCopy)
        ::BitBlt(m_hTargetDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
                 m_rect.top, SRCCOPY);
    SelectObject(m_hOldBitmap);
    m_bitmap.DeleteObject();
    DeleteDC();
}
