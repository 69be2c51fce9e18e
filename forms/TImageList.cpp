#include "TImageList.h"

namespace {

// The common controls are made known once before the first image list.
void EnsureCommonControls()
{
    static bool done = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)done;
}

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), m_width(width), m_height(height)
{
    EnsureCommonControls();
    if (width > 0 && height > 0)
        m_list = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 1, 4);
}

TImageList::~TImageList()
{
    if (m_list)
        ImageList_Destroy(m_list);
}

int TImageList::Count() const
{
    return m_list ? ImageList_GetImageCount(m_list) : 0;
}

int TImageList::AddMasked(TBitmap& bitmap, COLORREF mask)
{
    if (!m_list || bitmap.Empty())
        return -1;
    return ImageList_AddMasked(m_list, bitmap.Handle(), mask);
}

int TImageList::Add(TBitmap& bitmap)
{
    if (!m_list || bitmap.Empty())
        return -1;
    return ImageList_Add(m_list, bitmap.Handle(), nullptr);
}

void TImageList::Clear()
{
    if (m_list)
        ImageList_RemoveAll(m_list);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (!m_list || index < 0 || index >= Count())
        return;
    if (enabled) {
        ImageList_Draw(m_list, index, canvas.Handle(), x, y, ILD_TRANSPARENT);
        return;
    }
    HICON icon = GetIcon(index);
    if (!icon)
        return;
    DrawStateA(canvas.Handle(), nullptr, nullptr, reinterpret_cast<LPARAM>(icon), 0, x, y, m_width, m_height,
               DST_ICON | DSS_DISABLED);
    DestroyIcon(icon);
}

HICON TImageList::GetIcon(int index) const
{
    if (!m_list || index < 0 || index >= Count())
        return nullptr;
    return ImageList_GetIcon(m_list, index, ILD_TRANSPARENT);
}
