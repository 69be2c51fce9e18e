#pragma once
// Saves a device context's state (origin, clipping, selected objects) for one scope.
#include <windows.h>

class SavedDC {
public:
    explicit SavedDC(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
    ~SavedDC()
    {
        if (m_saved)
            RestoreDC(m_dc, m_saved);
    }
    SavedDC(const SavedDC&) = delete;
    SavedDC& operator=(const SavedDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};
