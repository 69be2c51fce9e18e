#include "CBitComboBox.h"

#include <algorithm>

#include "CBitmap.h"
#include "CFont.h"
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
    FitToBitmaps();
}

void CBitComboBox::FitToBitmaps()
{
    CBitmap left;
    BITMAP info = {};
    if (!m_hWnd || !m_nLeft || !left.LoadBitmap(m_nLeft) || !left.GetBitmap(&info) || info.bmHeight <= 0)
        return;
    // The box is its selection field plus a frame of the control's own. The field is set, and set
    // again by what the box came out too high or low, until the box is the bitmaps' height (the
    // field's height read back is the font's, not what was set).
    const LRESULT current = SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(-1));
    if (current == CB_ERR)
        return;
    int field = static_cast<int>(current);
    for (int round = 0; round < 3; ++round) {
        CRect window;
        GetWindowRect(&window);
        const int excess = window.Height() - info.bmHeight;
        if (excess == 0 || field - excess <= 0)
            return;
        field -= excess;
        SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

void CBitComboBox::RepaintNow()
{
    if (m_hWnd && ::IsWindowVisible(m_hWnd))
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT CBitComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CComboBox::WindowProc(message, wParam, lParam);
    switch (message) {
    // The native control paints its selection field straight onto the screen on these, in its own
    // colours (grey while disabled, the highlight while focused), outside any WM_PAINT.
    case CB_SETCURSEL:
    case CB_SELECTSTRING:
    case CB_RESETCONTENT:
    case CB_DELETESTRING:
    case CB_SHOWDROPDOWN:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_MOUSEWHEEL:
    case WM_SETFONT:
        RepaintNow();
        break;
    // Moved or sized by its owner: the native control takes back its own height.
    case WM_WINDOWPOSCHANGED:
        if (!m_bFitting) {
            m_bFitting = true;
            FitToBitmaps();
            m_bFitting = false;
        }
        break;
    default:
        break;
    }
    return result;
}

BOOL CBitComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    // Told after the native control has drawn its field: a choice made in the list, the list closed.
    if (message == WM_COMMAND) {
        switch (HIWORD(wParam)) {
        case CBN_SELCHANGE:
        case CBN_CLOSEUP:
        case CBN_SELENDOK:
        case CBN_SELENDCANCEL:
        case CBN_SETFOCUS:
        case CBN_KILLFOCUS:
            RepaintNow();
            break;
        default:
            break;
        }
    }
    return CComboBox::OnChildNotify(message, wParam, lParam, result);
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
    // The control's font, drawn without smoothing: a font this small comes out in faint greys
    // when smoothed onto the white field.
    HFONT controlFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!controlFont)
        controlFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA face = {};
    CFont sharp;
    if (::GetObjectA(controlFont, sizeof face, &face)) {
        face.lfQuality = NONANTIALIASED_QUALITY;
        sharp.CreateFontIndirect(&face);
    }
    CSelectGuard font(dc, sharp.GetSafeHandle() ? static_cast<HFONT>(sharp) : controlFont);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    // The field's own text colour on the field: a DC the control is handed may carry another.
    const COLORREF oldColor = ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    CRect textRect = client;
    textRect.left += kTextIndent;
    ::DrawTextA(dc, text, text.GetLength(), &textRect, DT_VCENTER | DT_SINGLELINE);
    ::SetTextColor(dc, oldColor);
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
