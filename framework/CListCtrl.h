#pragma once
// A list view. With tooltips enabled it asks OnToolHitTest at every mouse move which tool lies
// under the cursor and keeps one tooltip tool for it, so a derived class can give a tip per cell.
#include <windows.h>

#include <commctrl.h>

#include "CToolTipCtrl.h"
#include "CWnd.h"

class CListCtrl : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    using CWnd::Create;

    int InsertColumn(int column, const char* heading, int format = LVCFMT_LEFT, int width = -1);
    int InsertItem(int item, const char* text);
    BOOL SetItemText(int item, int subItem, const char* text);
    CString GetItemText(int item, int subItem) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    int GetColumnWidth(int column) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, column)); }
    BOOL GetItemRect(int item, LPRECT rect, UINT code) const;
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    BOOL EnsureVisible(int item, BOOL partialOk)
    {
        return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, item, partialOk));
    }

    BOOL EnableToolTips(BOOL enable = TRUE);
    // The tool under `point` (client coordinates) filled into `tool`, or -1 for none.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* tool) const;
    // The tooltip the control made for its tips (no window until the first mouse message).
    CToolTipCtrl& GetToolTip() { return m_tip; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FilterToolTipMessage(UINT message, WPARAM wParam, LPARAM lParam);
    CToolTipCtrl m_tip;
    BOOL m_toolTips = FALSE;
    INT_PTR m_lastTool = -1;
};
