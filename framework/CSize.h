#pragma once
#include <windows.h>

class CSize : public SIZE {
public:
    CSize() { cx = 0; cy = 0; }
    CSize(int w, int h) { cx = w; cy = h; }
    CSize(SIZE s) { cx = s.cx; cy = s.cy; }
    bool operator==(const CSize& o) const { return cx == o.cx && cy == o.cy; }
};
