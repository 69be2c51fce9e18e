#include "CheckMarkImages.h"

namespace {
constexpr int kCheckMarkSize = 16;
const char kCheckMarkResource[] = "MENU_CHECKED";
}

TImageList& CheckMarkImages()
{
    static TImageList list(nullptr, kCheckMarkSize, kCheckMarkSize);
    static const bool filled = [] {
        TBitmap picture;
        if (picture.LoadFromResourceName(nullptr, kCheckMarkResource))
            list.AddMasked(picture, RGB(255, 255, 255));
        return true;
    }();
    (void)filled;
    return list;
}
