#pragma once
// Owning wrapper of one GDI object (bitmap, brush, pen, font, region): deleted with its owner.
#include <windows.h>

#include <utility>

template <class H>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(H handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(std::exchange(other.m_handle, nullptr));
        return *this;
    }

    H Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(H handle = nullptr)
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    H Release() { return std::exchange(m_handle, nullptr); }

private:
    H m_handle = nullptr;
};

using GdiBitmap = GdiObject<HBITMAP>;
using GdiBrush = GdiObject<HBRUSH>;
using GdiPen = GdiObject<HPEN>;
using GdiFont = GdiObject<HFONT>;
using GdiRegion = GdiObject<HRGN>;
