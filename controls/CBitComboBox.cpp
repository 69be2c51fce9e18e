#include "CBitComboBox.h"

#include <algorithm>

#include "CBitmap.h"
#include "CSelectGuard.h"

BEGIN_MESSAGE_MAP(CBitComboBox, CComboBox)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSELEAVE()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

void CBitComboBox::SetBitmaps(UINT left, UINT middle, UINT arrowNormal, UINT arrowHover, UINT arrowPressed,
                              UINT arrowDisabled)
{
    m_nLeft = left;
    m_nMiddle = middle;
    m_nArrowNormal = arrowNormal;
    m_nArrowHover = arrowHover;
    m_nArrowPressed = arrowPressed;
    m_nArrowDisabled = arrowDisabled;
}

void CBitComboBox::SetExtraBitmaps(UINT a, UINT b, UINT c, UINT d)
{
    m_extra[0] = a;
    m_extra[1] = b;
    m_extra[2] = c;
    m_extra[3] = d;
}

BOOL CBitComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CComboBox::Create((style & ~kCreateStyleRemove) | kCreateStyleAdd, rect, parent, id);
}

void CBitComboBox::DrawItem(LPDRAWITEMSTRUCT)
{
    // The whole control is painted in WM_PAINT.
}

UINT CBitComboBox::ArrowId(BOOL enabled) const
{
    if (!enabled)
        return m_nArrowDisabled;
    if (m_bPressed)
        return m_nArrowPressed;
    if (m_bHovering)
        return m_nArrowHover;
    return m_nArrowNormal;
}

CRect CBitComboBox::ArrowArea() const
{
    CRect window;
    GetWindowRect(&window);
    ScreenToClient(&window);
    return CRect(window.right - kArrowAreaWidth, window.top, window.right, window.bottom);
}

void CBitComboBox::PaintTo(HDC dc)
{
    CRect client;
    GetClientRect(&client);
    HDC memory = ::CreateCompatibleDC(dc);
    if (!memory)
        return;
    // The bitmap the memory DC was made with goes back in before the loaded ones are freed.
    HGDIOBJ original = ::GetCurrentObject(memory, OBJ_BITMAP);
    auto blit = [&](UINT id, CBitmap& bitmap, BITMAP& info) {
        info = BITMAP();
        if (!id || !bitmap.LoadBitmap(id) || !bitmap.GetBitmap(&info))
            return false;
        ::SelectObject(memory, bitmap);
        return true;
    };
    CBitmap left, arrow, middle;
    BITMAP leftInfo = {}, arrowInfo = {}, middleInfo = {};
    int leftWidth = 0;
    int arrowWidth = 0;
    if (blit(m_nLeft, left, leftInfo)) {
        leftWidth = leftInfo.bmWidth;
        ::BitBlt(dc, client.left, client.top, leftInfo.bmWidth, leftInfo.bmHeight, memory, 0, 0, SRCCOPY);
    }
    if (blit(ArrowId(IsWindowEnabled()), arrow, arrowInfo)) {
        arrowWidth = arrowInfo.bmWidth;
        ::BitBlt(dc, client.right - arrowInfo.bmWidth, client.top, arrowInfo.bmWidth, arrowInfo.bmHeight, memory, 0,
                 0, SRCCOPY);
    }
    if (blit(m_nMiddle, middle, middleInfo)) {
        // A control narrower than its two ends leaves no room for the middle, never a mirrored one.
        const int width = std::max<int>(0, client.right - arrowWidth - leftWidth - client.left);
        if (width > 0)
            ::StretchBlt(dc, client.left + leftWidth, client.top, width, middleInfo.bmHeight, memory, 0, 0,
                         middleInfo.bmWidth, middleInfo.bmHeight, SRCCOPY);
    }
    ::SelectObject(memory, original);
    ::DeleteDC(memory);

    const CString text = GetWindowText();
    CSelectGuard font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    CRect textRect = client;
    textRect.left += kTextIndent;
    ::DrawTextA(dc, text, text.GetLength(), &textRect, DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(dc, oldMode);
}

void CBitComboBox::OnPaint()
{
    CPaintDC dc(this);
    PaintTo(dc);
}

void CBitComboBox::OnLButtonDown(UINT flags, CPoint point)
{
    const BOOL pressed = ArrowArea().PtInRect(point);
    if (pressed != m_bPressed) {
        m_bPressed = pressed;
        Invalidate(TRUE);
    }
    CComboBox::OnLButtonDown(flags, point);
}

void CBitComboBox::OnLButtonUp(UINT flags, CPoint point)
{
    CComboBox::OnLButtonUp(flags, point);
    if (m_bPressed) {
        m_bPressed = FALSE;
        Invalidate(TRUE);
    }
}

void CBitComboBox::OnMouseLeave()
{
    CComboBox::OnMouseLeave();
    if (m_bHovering) {
        m_bHovering = FALSE;
        Invalidate(TRUE);
    }
}

HBRUSH CBitComboBox::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    if (ctlColor == CTLCOLOR_LISTBOX) {
        // The drop-down list keeps the system's colours; the parent is not asked.
        return reinterpret_cast<HBRUSH>(::DefWindowProcA(m_hWnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc->m_hDC),
                                                         reinterpret_cast<LPARAM>(wnd ? wnd->m_hWnd : nullptr)));
    }
    return CComboBox::OnCtlColor(dc, wnd, ctlColor);
}
