#pragma once
// A tooltip control owned by a window; the object destroys the tooltip it created.
#include <commctrl.h>

#include "CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    // Tool records of the size every comctl32 version takes.
    static constexpr UINT kToolInfoSize = TTTOOLINFOA_V2_SIZE;

    BOOL Create(CWnd* owner, DWORD style = 0);
    using CWnd::Create;
    void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
    int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
    void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
    BOOL AddTool(TOOLINFOA* tool);
    void DelTool(HWND window, UINT_PTR id);
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
    // The tool at `index` (its window, id and rectangle); false when there is none.
    BOOL GetToolAt(int index, TOOLINFOA* tool) const;
};
