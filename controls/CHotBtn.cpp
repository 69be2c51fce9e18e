#include "CHotBtn.h"

#include <commctrl.h>

#include "CSelectGuard.h"

BEGIN_MESSAGE_MAP(CHotBtn, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

HBITMAP CHotBtn::ChooseOverlay(UINT itemState, BOOL hovering, HBITMAP normal, HBITMAP pressed, HBITMAP hover,
                               HBITMAP disabled)
{
    if (itemState & ODS_SELECTED)
        return pressed;
    if (itemState & ODS_DISABLED)
        return disabled;
    if (hovering)
        return hover;
    return normal;
}

BOOL CHotBtn::SetBitmaps(HBITMAP normal, HBITMAP pressed, HBITMAP hover, HBITMAP disabled)
{
    if (!normal || !pressed || !hover || !disabled)
        return FALSE;
    m_hNormal = normal;
    m_hPressed = pressed;
    m_hHover = hover;
    m_hDisabled = disabled;
    PreSubclassWindow();
    return TRUE;
}

void CHotBtn::SetRect(int left, int top, int right, int bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
    m_rectSet = true;
    PreSubclassWindow();
}

void CHotBtn::PreSubclassWindow()
{
    if (!m_hWnd)
        return;
    ModifyStyle(0, BS_OWNERDRAW);
    CRect rect;
    GetWindowRect(&rect);
    if (HWND parent = ::GetParent(m_hWnd))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<LPPOINT>(&rect), 2);
    if (!m_rectSet) {
        // Until the owner gives a place, the button keeps the one it was made at.
        m_left = rect.left;
        m_top = rect.top;
        m_right = rect.right;
        m_bottom = rect.bottom;
        m_rectSet = true;
    }
    // Moved only when elsewhere: the owner sets faces and place one after the other, each of
    // which comes here, and a move in place still costs a round of window-position messages.
    if (rect != CRect(m_left, m_top, m_right, m_bottom))
        MoveWindow(m_left, m_top, m_right - m_left, m_bottom - m_top, TRUE);
    CButton::PreSubclassWindow();
}

void CHotBtn::DrawItem(LPDRAWITEMSTRUCT drawItem)
{
    HDC dc = drawItem->hDC;
    const int saved = ::SaveDC(dc);
    const int width = m_right - m_left;
    const int height = m_bottom - m_top;

    auto blit = [&](HBITMAP bitmap) {
        HDC memory = ::CreateCompatibleDC(dc);
        {
            CSelectGuard select(memory, bitmap);
            ::SetBkMode(dc, TRANSPARENT);
            ::BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
        }
        ::DeleteDC(memory);
    };
    blit(m_hNormal);
    HBITMAP overlay = ChooseOverlay(drawItem->itemState, m_bHover, m_hNormal, m_hPressed, m_hHover, m_hDisabled);
    if (overlay != m_hNormal)
        blit(overlay);

    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_crText);
    CRect client;
    GetClientRect(&client);
    client.top += kCaptionTopOffset;
    const CString text = GetWindowText();
    ::DrawTextA(dc, text, text.GetLength(), &client, DT_CENTER);
    ::RestoreDC(dc, saved);
}

BOOL CHotBtn::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CHotBtn::OnMouseMove(UINT flags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, kHoverTimeMs};
        m_bTracking = ::_TrackMouseEvent(&track);
    }
    CButton::OnMouseMove(flags, point);
}

void CHotBtn::OnMouseHover(UINT, CPoint)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        Invalidate(FALSE);
    }
}

void CHotBtn::OnMouseLeave()
{
    m_bTracking = FALSE;
    if (m_bHover) {
        m_bHover = FALSE;
        Invalidate(TRUE);
    }
}
