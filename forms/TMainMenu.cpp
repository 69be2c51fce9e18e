#include "TMainMenu.h"

#include "TPopupMenu.h"

namespace {

const char* const kPublished[] = {"AutoHotkeys", nullptr};

char UpperCase(char ch)
{
    return static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(static_cast<BYTE>(ch)))));
}

// The access key of a caption, upper-cased: the character after its '&' ("&&" is a plain '&').
char AccessKeyOf(const std::string& caption)
{
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] != '&')
            return UpperCase(caption[i + 1]);
        ++i;
    }
    return 0;
}

// Gives each item of `parent` that has no access key the first letter or digit of its caption
// that no sibling's key takes yet, and the items of its sub-menus alike.
void GiveAccessKeys(TMenuItem* parent)
{
    std::string taken;
    for (int i = 0; i < parent->Count(); ++i)
        if (char key = AccessKeyOf(parent->Items(i)->Caption()))
            taken += key;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        std::string caption = item->Caption();
        if (!item->IsLine() && !AccessKeyOf(caption)) {
            for (size_t at = 0; at < caption.size(); ++at) {
                char key = UpperCase(caption[at]);
                if (caption[at] == '&' || !IsCharAlphaNumericA(caption[at]) || taken.find(key) != std::string::npos)
                    continue;
                taken += key;
                item->SetCaption(caption.insert(at, 1, '&'));
                break;
            }
        }
        if (item->Count() > 0)
            GiveAccessKeys(item);
    }
}

// While a drop-down is open, the keys typed in it come to its owner window: the menu itself knows
// no access key of an owner-drawn item, which draws its caption itself. The owner window of every
// popped-up menu answers with the item whose key it is, for as long as this lives.
class DropDownKeys {
public:
    DropDownKeys() : m_window(TPopupMenu::PopupListWindow())
    {
        if (!m_window || reinterpret_cast<WNDPROC>(GetWindowLongPtrA(m_window, GWLP_WNDPROC)) == &OwnerProc)
            return;     // a drop-down opened by a command of another: its keys are heard already
        s_listProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerProc)));
        m_hooked = s_listProc != nullptr;
    }
    ~DropDownKeys()
    {
        if (m_hooked)
            SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_listProc));
    }
    DropDownKeys(const DropDownKeys&) = delete;
    DropDownKeys& operator=(const DropDownKeys&) = delete;

private:
    static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_MENUCHAR) {
            auto menu = reinterpret_cast<HMENU>(lParam);
            char key = UpperCase(static_cast<char>(LOWORD(wParam)));
            for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                MENUITEMINFOA info = {};
                info.cbSize = sizeof info;
                info.fMask = MIIM_DATA;
                if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) || !info.dwItemData)
                    continue;
                auto* item = reinterpret_cast<TMenuItem*>(info.dwItemData);
                if (item->Enabled() && AccessKeyOf(item->Caption()) == key)
                    return MAKELRESULT(i, MNC_EXECUTE);
            }
        }
        return CallWindowProcA(s_listProc, window, message, wParam, lParam);
    }

    static WNDPROC s_listProc;
    HWND m_window;
    bool m_hooked = false;
};

WNDPROC DropDownKeys::s_listProc = nullptr;

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
    // A top-level item hears its click as its drop-down opens. Its handler may take it out of the
    // menu and free it: then there is nothing left to drop down.
    item->Click();
    const TMenuItem* top = Items();
    int i = 0;
    while (i < top->Count() && top->Items(i) != item)
        ++i;
    if (i == top->Count() || item->Count() == 0)
        return;
    if (m_autoHotkeys == maAutomatic)
        GiveAccessKeys(item);
    const DropDownKeys keys;
    PopupMenuItems(item, OwnerDraw(), x, y, TPM_LEFTALIGN | TPM_TOPALIGN);
}
