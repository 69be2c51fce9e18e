#pragma once
#include <windows.h>

class CPoint : public POINT {
public:
    CPoint() { x = 0; y = 0; }
    CPoint(int px, int py) { x = px; y = py; }
    CPoint(POINT p) { x = p.x; y = p.y; }
    // The point packed in a message parameter (low word x, high word y, both signed).
    explicit CPoint(LPARAM lp)
    {
        x = static_cast<short>(LOWORD(lp));
        y = static_cast<short>(HIWORD(lp));
    }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};
