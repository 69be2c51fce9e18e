#pragma once
#include "CWnd.h"

class CStatic : public CWnd {
public:
    BOOL Create(const char* text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF)
    {
        return CWnd::CreateEx(0, "STATIC", text, style | WS_CHILD, rect, parent, id);
    }
    using CWnd::Create;
};
