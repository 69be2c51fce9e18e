#include "CListCtrl.h"

#include <climits>
#include <vector>

BOOL CListCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    // The class is registered on first use, also in a program that did not ask for it at start.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    return CWnd::CreateEx(0, WC_LISTVIEWA, nullptr, style | WS_CHILD, rect, parent, id);
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width)
{
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_FMT | (width >= 0 ? LVCF_WIDTH : 0);
    col.fmt = format;
    col.cx = width;
    col.pszText = const_cast<char*>(heading);
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)));
}

int CListCtrl::InsertItem(int item, const char* text)
{
    LVITEMA row = {};
    row.mask = LVIF_TEXT;
    row.iItem = item;
    row.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, const char* text)
{
    LVITEMA cell = {};
    cell.iSubItem = subItem;
    cell.pszText = const_cast<char*>(text);
    return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
}

CString CListCtrl::GetItemText(int item, int subItem) const
{
    // Grow the buffer until the text fits: the control gives no length of its own.
    for (size_t size = 256;; size *= 4) {
        std::vector<char> buffer(size, '\0');
        LVITEMA cell = {};
        cell.iSubItem = subItem;
        cell.pszText = buffer.data();
        cell.cchTextMax = static_cast<int>(size);
        const int got = static_cast<int>(SendMessage(LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell)));
        if (got < static_cast<int>(size) - 1 || size >= (1u << 20))
            return CString(cell.pszText ? cell.pszText : "");
    }
}

BOOL CListCtrl::GetItemRect(int item, LPRECT rect, UINT code) const
{
    rect->left = static_cast<LONG>(code);
    return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(rect)));
}

BOOL CListCtrl::EnableToolTips(BOOL enable)
{
    const BOOL was = m_toolTips;
    m_toolTips = enable;
    if (!enable && m_tip.m_hWnd && m_lastTool != -1) {
        m_tip.DelTool(m_hWnd, static_cast<UINT_PTR>(m_lastTool));
        m_lastTool = -1;
    }
    return was;
}

INT_PTR CListCtrl::OnToolHitTest(CPoint, TOOLINFOA*) const
{
    return -1;
}

void CListCtrl::FilterToolTipMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_tip.m_hWnd) {
        if (!m_tip.Create(this, TTS_ALWAYSTIP))
            return;
        m_tip.SetMaxTipWidth(SHRT_MAX);
    }
    if (message == WM_MOUSEMOVE) {
        TOOLINFOA tool = {};
        tool.cbSize = CToolTipCtrl::kToolInfoSize;
        const INT_PTR hit = OnToolHitTest(CPoint(lParam), &tool);
        if (hit != m_lastTool) {
            if (m_lastTool != -1)
                m_tip.DelTool(m_hWnd, static_cast<UINT_PTR>(m_lastTool));
            m_lastTool = -1;
            if (hit != -1) {
                if (m_tip.AddTool(&tool))
                    m_lastTool = hit;
            }
        }
    }
    MSG msg = {m_hWnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const DWORD at = ::GetMessagePos();
    msg.pt.x = static_cast<short>(LOWORD(at));
    msg.pt.y = static_cast<short>(HIWORD(at));
    m_tip.RelayEvent(&msg);
}

LRESULT CListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_toolTips && m_hWnd && (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                                 message == WM_RBUTTONDOWN || message == WM_RBUTTONUP))
        FilterToolTipMessage(message, wParam, lParam);
    return CWnd::WindowProc(message, wParam, lParam);
}
