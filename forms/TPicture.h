#pragma once
// A picture property: holds a bitmap graphic or nothing, and reports every change.
#include "TBitmap.h"

#include <functional>
#include <memory>

class TPicture {
public:
    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // The graphic, or null for an empty picture.
    TBitmap* Graphic() const { return m_bitmap && !m_bitmap->Empty() ? m_bitmap.get() : nullptr; }
    // The bitmap, made (empty) when the picture has none.
    TBitmap& Bitmap();
    int Width() const { return Graphic() ? m_bitmap->Width() : 0; }
    int Height() const { return Graphic() ? m_bitmap->Height() : 0; }

    void Assign(const TPicture* other);
    void Assign(const TBitmap* bitmap);
    void Clear();
    bool LoadFromResourceName(HINSTANCE module, const char* name);
    // Tells the owner the graphic was changed in place.
    void Changed();

    std::function<void()> OnChange;

private:
    std::unique_ptr<TBitmap> m_bitmap;
};
