#include "TImageList.h"

#include "SystemFunction.h"

namespace {

// comctl32 is looked up at the first image list, not bound at load: its attach registers the
// common control classes and sets up theming, a cost every start would pay before the first paint
// for lists that only menus and the tray use later.
template <typename Fn>
Fn CommonControl(const char* name)
{
    return SystemFunction<Fn>("comctl32.dll", name);
}

struct ImageListCalls {
    decltype(&::ImageList_Create) create = CommonControl<decltype(create)>("ImageList_Create");
    decltype(&::ImageList_Destroy) destroy = CommonControl<decltype(destroy)>("ImageList_Destroy");
    decltype(&::ImageList_GetImageCount) count = CommonControl<decltype(count)>("ImageList_GetImageCount");
    decltype(&::ImageList_AddMasked) addMasked = CommonControl<decltype(addMasked)>("ImageList_AddMasked");
    decltype(&::ImageList_Add) add = CommonControl<decltype(add)>("ImageList_Add");
    decltype(&::ImageList_Remove) remove = CommonControl<decltype(remove)>("ImageList_Remove");
    decltype(&::ImageList_Draw) draw = CommonControl<decltype(draw)>("ImageList_Draw");
    decltype(&::ImageList_GetIcon) getIcon = CommonControl<decltype(getIcon)>("ImageList_GetIcon");

    ImageListCalls()
    {
        // The common controls are made known once before the first image list.
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES};
        if (auto initialize = CommonControl<decltype(&::InitCommonControlsEx)>("InitCommonControlsEx"))
            initialize(&init);
    }
};

// A list exists only where every call was found.
const ImageListCalls& Calls()
{
    static const ImageListCalls calls;
    return calls;
}

bool Complete(const ImageListCalls& c)
{
    return c.create && c.destroy && c.count && c.addMasked && c.add && c.remove && c.draw && c.getIcon;
}

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), m_width(width), m_height(height)
{
    if (width > 0 && height > 0 && Complete(Calls()))
        m_list = Calls().create(width, height, ILC_COLOR24 | ILC_MASK, 1, 4);
}

TImageList::~TImageList()
{
    if (m_list)
        Calls().destroy(m_list);
}

int TImageList::Count() const
{
    return m_list ? Calls().count(m_list) : 0;
}

int TImageList::AddMasked(TBitmap& bitmap, COLORREF mask)
{
    if (!m_list || bitmap.Empty())
        return -1;
    return Calls().addMasked(m_list, bitmap.Handle(), mask);
}

int TImageList::Add(TBitmap& bitmap)
{
    if (!m_list || bitmap.Empty())
        return -1;
    return Calls().add(m_list, bitmap.Handle(), nullptr);
}

void TImageList::Clear()
{
    if (m_list)
        Calls().remove(m_list, -1);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const
{
    if (!m_list || index < 0 || index >= Count())
        return;
    if (enabled) {
        Calls().draw(m_list, index, canvas.Handle(), x, y, ILD_TRANSPARENT);
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
    return Calls().getIcon(m_list, index, ILD_TRANSPARENT);
}
