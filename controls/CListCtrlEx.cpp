#include "CListCtrlEx.h"

#include <algorithm>
#include <string>

void CListCtrlEx::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    EnableToolTips(TRUE);
}

int CListCtrlEx::CellFromPoint(CPoint point, int* column, CRect* cell) const
{
    const bool report = (GetStyle() & LVS_TYPEMASK) == LVS_REPORT;
    int columns = 1;
    if (report) {
        HWND header = ::GetDlgItem(m_hWnd, 0);
        columns = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    }
    const int first = GetTopIndex();
    const int last = std::min(first + GetCountPerPage(), GetItemCount());
    CRect client;
    GetClientRect(&client);
    for (int row = first; row <= last; ++row) {
        CRect a, b;
        if (report) {
            if (!GetItemRect(row, &a, LVIR_BOUNDS))
                continue;
        } else {
            if (!GetItemRect(row, &a, LVIR_ICON))
                a = CRect();
            if (!GetItemRect(row, &b, LVIR_LABEL))
                b = CRect();
        }
        if (!a.PtInRect(point) && !b.PtInRect(point))
            continue;
        const bool inA = a.PtInRect(point);
        for (int j = 0; j < columns; ++j) {
            const int width = report ? GetColumnWidth(j) : kOtherViewColumnWidth;
            // Both ends of a column's range count, so a boundary belongs to the left column.
            if ((point.x >= a.left && point.x <= a.left + width) || (point.x >= b.left && point.x <= b.left + width)) {
                const CRect& chosen = inA ? a : b;
                if (column)
                    *column = j;
                if (cell)
                    *cell = CRect(chosen.left, chosen.top, std::min<LONG>(client.right, chosen.left + width), chosen.bottom);
                return row;
            }
            a.left += width;
            b.left += width;
        }
    }
    return -1;
}

INT_PTR CListCtrlEx::OnToolHitTest(CPoint point, TOOLINFOA* tool) const
{
    int column = 0;
    CRect cell;
    const int row = CellFromPoint(point, &column, &cell);
    if (row == -1)
        return -1;
    const UINT_PTR id = ToolIdFor(row, column);
    tool->hwnd = m_hWnd;
    tool->uId = id;
    tool->lpszText = LPSTR_TEXTCALLBACKA;
    tool->rect = cell;
    return static_cast<INT_PTR>(id);
}

BOOL CListCtrlEx::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (header && (header->code == TTN_NEEDTEXTA || header->code == TTN_NEEDTEXTW) && header->idFrom <= kLastTipId &&
        OnToolTipText(header, result))
        return TRUE;
    return CListCtrl::OnNotify(wParam, lParam, result);
}

BOOL CListCtrlEx::OnToolTipText(NMHDR* header, LRESULT* result)
{
    const UINT_PTR id = header->idFrom;
    if (id == 0)
        return FALSE;
    int row = 0, column = 0;
    CellOfToolId(id, row, column);
    const CString text = GetItemText(row, column);
    if (header->code == TTN_NEEDTEXTA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
        ::lstrcpynA(info->szText, text, kTipTextMax);
        info->lpszText = info->szText;
    } else {
        // Converted whole, then cut like the ANSI text so it always ends inside the buffer.
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
        std::wstring wide;
        const int needed = ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, text.GetLength(), nullptr, 0);
        if (needed > 0) {
            wide.resize(static_cast<size_t>(needed));
            ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, text.GetLength(), &wide[0], needed);
        }
        const size_t count = std::min(wide.size(), static_cast<size_t>(kTipTextMax - 1));
        std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(count), info->szText);
        info->szText[count] = L'\0';
        info->lpszText = info->szText;
    }
    *result = 0;
    return TRUE;
}
