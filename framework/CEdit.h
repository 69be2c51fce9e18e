#pragma once
#include "CWnd.h"

class CEdit : public CWnd {
public:
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
    {
        return CWnd::CreateEx(WS_EX_CLIENTEDGE, "EDIT", nullptr, style | WS_CHILD, rect, parent, id);
    }
    using CWnd::Create;
    void SetLimitText(UINT limit) { SendMessage(EM_LIMITTEXT, limit); }
};
