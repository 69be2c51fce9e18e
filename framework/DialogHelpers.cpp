#include "DialogHelpers.h"

#include "CDC.h"
#include "CRect.h"
#include "CSelectGuard.h"
#include "CWnd.h"
#include "MemoryDC.h"

namespace {

constexpr int kCornerEllipse = 9;

void PaintBitmap(HDC dc, HBITMAP background, int width, int height)
{
    const MemoryDC memory(dc);
    if (!memory.Get())
        return;
    const CSelectGuard select(memory.Get(), background);
    ::BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
}

}  // namespace

HRGN CreateDialogRegion(int width, int height)
{
    return ::CreateRoundRectRgn(0, 0, width + 1, height + 1, kCornerEllipse, kCornerEllipse);
}

void OnPaintBackground(CWnd* wnd, HBITMAP background, int width, int height, HDC dc)
{
    if (dc) {
        PaintBitmap(dc, background, width, height);
        return;
    }
    CPaintDC paint(wnd);
    PaintBitmap(paint, background, width, height);
}

void OnLButtonDownDrag(CWnd* wnd, UINT, CPoint point)
{
    wnd->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    wnd->Default();
}

BOOL RecreateControl(CWnd* control, const char* className, DWORD styleRemove, DWORD styleAdd, DWORD exStyleRemove,
                     DWORD exStyleAdd)
{
    if (!control || !control->m_hWnd)
        return FALSE;
    CWnd* parent = control->GetParent();
    HFONT font = reinterpret_cast<HFONT>(control->SendMessage(WM_GETFONT));
    const CString text = control->GetWindowText();
    CRect rect;
    control->GetWindowRect(&rect);
    if (parent)
        parent->ScreenToClient(&rect);
    const DWORD oldStyle = control->GetStyle();
    const DWORD oldExStyle = control->GetExStyle();
    const UINT id = static_cast<UINT>(control->GetDlgCtrlID());
    HWND after = ::GetWindow(control->m_hWnd, GW_HWNDPREV);   // keep the tab order
    char oldClass[256] = {};
    ::GetClassNameA(control->m_hWnd, oldClass, sizeof oldClass);

    const DWORD style = (oldStyle & ~styleRemove) | styleAdd;
    const DWORD exStyle = (oldExStyle & ~exStyleRemove) | exStyleAdd;

    control->ShowWindow(SW_HIDE);
    control->DestroyWindow();
    BOOL created = control->CreateEx(exStyle, className, text, style, rect, parent, id);
    if (!created) {
        // Put the old control back rather than leave the dialog without it.
        control->CreateEx(oldExStyle, oldClass, text, oldStyle, rect, parent, id);
    }
    if (control->m_hWnd) {
        ::SetWindowPos(control->m_hWnd, after ? after : HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        control->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    return created;
}

void PaintStaticText(CWnd* wnd, COLORREF color, UINT format, BOOL transparent)
{
    CPaintDC dc(wnd);
    CRect client;
    wnd->GetClientRect(&client);
    const CString text = wnd->GetWindowText();
    CSelectGuard font(dc, reinterpret_cast<HFONT>(wnd->SendMessage(WM_GETFONT)));
    if (transparent)
        dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(color);
    dc.DrawText(text, &client, format);
}

void InvalidateUnderControl(CWnd* control)
{
    CWnd* parent = control->GetParent();
    if (!parent)
        return;
    CRect rect;
    control->GetWindowRect(&rect);
    parent->ScreenToClient(&rect);
    parent->InvalidateRect(&rect, TRUE);
}
