#include "CTransparentStatic.h"

#include "CDC.h"
#include "CSelectGuard.h"
#include "DialogHelpers.h"

namespace {

constexpr DWORD kEllipsisMask = 0xC000;          // SS_ENDELLIPSIS / SS_PATHELLIPSIS / SS_WORDELLIPSIS
// No word wrap with an ellipsis, a vertically centred line, or the no-wrap and simple types.
constexpr DWORD kNoWordBreakMask = 0xC20C;

}  // namespace

BEGIN_MESSAGE_MAP(CTransparentStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

COLORREF CTransparentStatic::TextColorFor(BOOL enabled, BOOL linkMode, BOOL hovering, COLORREF field)
{
    if (!enabled)
        return kDisabledColor;
    if (linkMode && hovering)
        return kLinkHoverColor;
    return field;
}

UINT CTransparentStatic::DrawTextFlagsFor(DWORD style)
{
    UINT flags = 0;
    if (style & SS_RIGHT)
        flags |= DT_RIGHT;
    if (style & SS_CENTER)
        flags |= DT_CENTER;
    if (style & SS_CENTERIMAGE)
        flags |= DT_VCENTER | DT_SINGLELINE;
    if (style & SS_NOPREFIX)
        flags |= DT_NOPREFIX;
    switch (style & kEllipsisMask) {
    case SS_ENDELLIPSIS:
        flags |= DT_END_ELLIPSIS;
        break;
    case SS_PATHELLIPSIS:
        flags |= DT_PATH_ELLIPSIS;
        break;
    case SS_WORDELLIPSIS:
        flags |= DT_WORD_ELLIPSIS;
        break;
    default:
        break;
    }
    if (!(style & kNoWordBreakMask))
        flags |= DT_WORDBREAK;
    return flags;
}

void CTransparentStatic::PreSubclassWindow()
{
    // Mouse messages and STN_CLICKED to the parent, for the link mode.
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(GetStyle() | SS_NOTIFY));
    CStatic::PreSubclassWindow();
}

void CTransparentStatic::Enable(BOOL enable)
{
    EnableWindow(enable);
    InvalidateUnderControl(this);
}

void CTransparentStatic::SetAutoSize(BOOL autoSize)
{
    m_bAutoSize = autoSize;
    if (m_hWnd)
        AutoSize();
}

void CTransparentStatic::AutoSize()
{
    if (!m_hWnd || !m_bAutoSize)
        return;
    CWnd* parent = GetParent();
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(&client), 2);
    if (parent) {
        parent->ScreenToClient(&window);
        parent->ScreenToClient(&client);
    }

    const CString text = GetWindowText();
    SIZE extent = {};
    // Measured on a memory DC: the label's own window DC measures the same and costs far more
    // under Wine, where each label of a page is sized at start.
    CDC measure;
    if (measure.CreateCompatibleDC(static_cast<HDC>(nullptr))) {
        CSelectGuard font(measure, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        ::GetTextExtentPoint32A(measure, text, text.GetLength(), &extent);
    }

    const int height = extent.cy + (window.Height() - client.Height());
    const int width = extent.cx + (window.Width() - client.Width());
    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        const int shrink = (window.Height() - height) / 2;
        window.InflateRect(0, -shrink);
    } else {
        window.bottom = window.top + height;
    }
    if (style & SS_CENTER) {
        const int shrink = (window.Width() - width) / 2;
        window.InflateRect(-shrink, 0);
    } else if (style & SS_RIGHT) {
        window.left = window.right - width;
    } else {
        window.right = window.left + width;
    }
    SetWindowPos(nullptr, window.left, window.top, window.Width() + kAutoSizeExtraWidth, window.Height(),
                 SWP_NOZORDER);
}

void CTransparentStatic::SetLinkMode(BOOL linkMode)
{
    m_bLinkMode = linkMode;
    HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
    SendMessage(STM_SETIMAGE, IMAGE_CURSOR, reinterpret_cast<LPARAM>(hand));
}

int CTransparentStatic::GetWidth() const
{
    CRect rect;
    GetWindowRect(&rect);
    return rect.Width();
}

void CTransparentStatic::OnPaint()
{
    PaintStaticText(this, TextColorFor(IsWindowEnabled(), m_bLinkMode, m_bHover, m_crText), DrawTextFlagsFor(GetStyle()),
                    m_bTransparent);
}

HBRUSH CTransparentStatic::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    return CStatic::OnCtlColor(dc, wnd, ctlColor);
}

void CTransparentStatic::OnMouseMove(UINT flags, CPoint point)
{
    if (m_bLinkMode && !m_bHover) {
        m_bHover = TRUE;
        Invalidate(TRUE);
        SetTimer(kHoverTimer, kHoverTimerMs);
    }
    CStatic::OnMouseMove(flags, point);
}

void CTransparentStatic::OnTimer(UINT_PTR id)
{
    if (id == kHoverTimer) {
        if (m_bLinkMode && m_bHover) {
            const DWORD at = ::GetMessagePos();
            POINT cursor = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
            ScreenToClient(&cursor);
            CRect client;
            GetClientRect(&client);
            if (!client.PtInRect(cursor)) {
                KillTimer(kHoverTimer);
                m_bHover = FALSE;
                Invalidate(TRUE);
            }
        } else {
            KillTimer(kHoverTimer);
        }
    }
    CStatic::OnTimer(id);
}
