#pragma once
#include "CGdiObject.h"

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int l, int t, int r, int b) { return Attach(::CreateRectRgn(l, t, r, b)); }
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int ellipseWidth, int ellipseHeight)
    {
        return Attach(::CreateRoundRectRgn(l, t, r, b, ellipseWidth, ellipseHeight));
    }
    operator HRGN() const { return static_cast<HRGN>(GetSafeHandle()); }
};
