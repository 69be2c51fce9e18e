#pragma once
// A memory device context compatible with the screen, deleted with its owner.
#include <windows.h>

class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC()
    {
        if (m_dc)
            DeleteDC(m_dc);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};
