#include "TMainMenu.h"

#include "TPopupMenu.h"

namespace {

const char* const kPublished[] = {"AutoHotkeys", nullptr};

// The shortcut code of a key: the virtual key with 0x2000 for Shift, 0x4000 Ctrl, 0x8000 Alt.
WORD ShortCutOf(WORD key, TShiftState shift)
{
    WORD code = key & 0xFF;
    if (shift & ssShift)
        code |= 0x2000;
    if (shift & ssCtrl)
        code |= 0x4000;
    if (shift & ssAlt)
        code |= 0x8000;
    return code;
}

TMenuItem* FindShortCut(TMenuItem* parent, WORD code)
{
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible() || !item->Enabled())
            continue;
        if (item->Count() == 0 && item->ShortCut() == code)
            return item;
        if (TMenuItem* found = FindShortCut(item, code))
            return found;
    }
    return nullptr;
}

}  // namespace

bool TMainMenu::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TMenu::HasPublished(name);
}

bool TMainMenu::IsShortCut(WORD key, TShiftState shift)
{
    WORD code = ShortCutOf(key, shift);
    if ((code & 0xFF) == 0)
        return false;
    TMenuItem* item = FindShortCut(Items(), code);
    if (!item)
        return false;
    item->Click();
    return true;
}

void TMainMenu::DropDown(TMenuItem* item, int x, int y)
{
    if (!item || item->GetParentMenu() != this)
        return;
    // A top-level item hears its click as its drop-down opens.
    item->Click();
    if (item->Count() > 0)
        PopupMenuItems(item, OwnerDraw(), x, y, TPM_LEFTALIGN | TPM_TOPALIGN);
}
