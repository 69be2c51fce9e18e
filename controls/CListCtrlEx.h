#pragma once
// A list view that shows the text of the cell under the mouse as a tooltip.
#include "CListCtrl.h"

class CListCtrlEx : public CListCtrl {
public:
    static constexpr int kColumnBits = 10;
    static constexpr UINT_PTR kColumnMask = 0x3FF;
    static constexpr int kTipTextMax = 80;                 // the notices' text buffers
    static constexpr int kOtherViewColumnWidth = 100000;   // views without columns: one wide column
    static constexpr UINT_PTR kLastTipId = 0xFFFF;         // tool ids whose text notices are answered

    INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* tool) const override;
    // The row under `point` with its column and cell rectangle, or -1.
    int CellFromPoint(CPoint point, int* column, CRect* cell) const;

    static UINT_PTR ToolIdFor(int row, int column)
    {
        return ((static_cast<UINT_PTR>(row) << kColumnBits) | (static_cast<UINT_PTR>(column) & kColumnMask)) + 1;
    }
    static void CellOfToolId(UINT_PTR id, int& row, int& column)
    {
        row = static_cast<int>((id - 1) >> kColumnBits);
        column = static_cast<int>((id - 1) & kColumnMask);
    }

protected:
    void PreSubclassWindow() override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // TTN_NEEDTEXTA / TTN_NEEDTEXTW: the cell's text; FALSE for tool id 0.
    BOOL OnToolTipText(NMHDR* header, LRESULT* result);
};
