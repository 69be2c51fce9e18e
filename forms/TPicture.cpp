#include "TPicture.h"

TBitmap& TPicture::Bitmap()
{
    if (!m_bitmap)
        m_bitmap = std::make_unique<TBitmap>();
    return *m_bitmap;
}

void TPicture::Assign(const TPicture* other)
{
    Assign(other ? other->Graphic() : nullptr);
}

void TPicture::Assign(const TBitmap* bitmap)
{
    if (bitmap && bitmap == m_bitmap.get())
        return;
    if (bitmap && !bitmap->Empty())
        Bitmap().Assign(*bitmap);
    else
        m_bitmap.reset();
    Changed();
}

void TPicture::Clear()
{
    m_bitmap.reset();
    Changed();
}

bool TPicture::LoadFromResourceName(HINSTANCE module, const char* name)
{
    TBitmap loaded;
    if (!loaded.LoadFromResourceName(module, name))
        return false;
    Assign(&loaded);
    return true;
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange();
}
