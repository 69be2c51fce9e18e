#include "TPopupMenu.h"

#include "TControl.h"
#include "WindowDC.h"

#include <vector>

namespace {

const char* const kPublished[] = {"AutoPopup", "BiDiMode", "OnPopup", nullptr};
const char kPopupListClass[] = "SequoraFormsPopupList";

LRESULT CALLBACK PopupListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_MEASUREITEM) {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (mis->CtlType == ODT_MENU && mis->itemData) {
                auto* item = reinterpret_cast<TMenuItem*>(mis->itemData);
                WindowDC screen(nullptr);
                TCanvas canvas(screen.Get());
                NONCLIENTMETRICSA metrics = {};
                metrics.cbSize = sizeof metrics;
                if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
                    canvas.Font().SetFromLogFont(metrics.lfMenuFont);
                int width = static_cast<int>(mis->itemWidth);
                int height = static_cast<int>(mis->itemHeight);
                item->MeasureItem(canvas, width, height);
                mis->itemWidth = static_cast<UINT>(width > 0 ? width : 0);
                mis->itemHeight = static_cast<UINT>(height > 0 ? height : 0);
                return TRUE;
            }
        } else if (message == WM_DRAWITEM) {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (dis->CtlType == ODT_MENU && dis->itemData) {
                auto* item = reinterpret_cast<TMenuItem*>(dis->itemData);
                TCanvas canvas(dis->hDC);
                item->DrawItem(canvas, dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
                return TRUE;
            }
        }
    } catch (...) {
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Builds the system menu for `parent`'s visible items; `commands` maps ids (index + 1) to items.
HMENU BuildMenu(TMenuItem* parent, bool ownerDraw, std::vector<TMenuItem*>& commands)
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Visible())
            continue;
        UINT flags = 0;
        if (!item->Enabled())
            flags |= MF_GRAYED;
        if (item->Checked())
            flags |= MF_CHECKED;
        UINT_PTR id;
        if (item->Count() > 0) {
            flags |= MF_POPUP;
            id = reinterpret_cast<UINT_PTR>(BuildMenu(item, ownerDraw, commands));
        } else {
            commands.push_back(item);
            id = commands.size();
        }
        if (ownerDraw) {
            AppendMenuA(menu, flags | MF_OWNERDRAW, id, reinterpret_cast<LPCSTR>(item));
        } else if (item->IsLine()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            std::string text = item->Caption();
            std::string shortcut = item->ShortCutText();
            if (!shortcut.empty())
                text += "\t" + shortcut;
            AppendMenuA(menu, flags | MF_STRING, id, text.c_str());
        }
        if (item->Default() && !(flags & MF_POPUP))
            SetMenuDefaultItem(menu, static_cast<UINT>(id), FALSE);
    }
    return menu;
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

bool TPopupMenu::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TMenu::HasPublished(name);
}

HWND TPopupMenu::PopupListWindow()
{
    static HWND window = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PopupListProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kPopupListClass;
        RegisterClassA(&wc);
        return CreateWindowExA(0, kPopupListClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    }();
    return window;
}

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup)
        OnPopup(this);
    PopupMenuItems(Items(), OwnerDraw(), x, y, m_biDiMode == bdRightToLeft ? TPM_RIGHTALIGN : TPM_LEFTALIGN);
}

void PopupMenuItems(TMenuItem* parent, bool ownerDraw, int x, int y, UINT align)
{
    std::vector<TMenuItem*> commands;
    HMENU menu = BuildMenu(parent, ownerDraw, commands);
    HWND owner = TPopupMenu::PopupListWindow();
    // A menu opened for a window in the background closes properly only from the foreground.
    SetForegroundWindow(owner);
    UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, align | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (command >= 1 && command <= commands.size())
        commands[command - 1]->Click();
}
