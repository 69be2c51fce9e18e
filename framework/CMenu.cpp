#include "CMenu.h"

#include <memory>
#include <unordered_map>

#include "CWinApp.h"
#include "CWnd.h"

namespace {

std::unordered_map<HMENU, CMenu*>& PermanentMenus()
{
    static thread_local std::unordered_map<HMENU, CMenu*> map;
    return map;
}

std::unordered_map<HMENU, std::unique_ptr<CMenu>>& TemporaryMenus()
{
    static thread_local std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
    return map;
}

thread_local HMENU g_trackingMenu = nullptr;
thread_local HWND g_trackingWindow = nullptr;

}  // namespace

CMenu::~CMenu()
{
    DestroyMenu();
}

BOOL CMenu::Attach(HMENU menu)
{
    if (!menu || m_hMenu || FromHandlePermanent(menu))
        return FALSE;
    m_hMenu = menu;
    PermanentMenus()[menu] = this;
    // A borrowed wrapper of the same menu would now be stale.
    auto& temps = TemporaryMenus();
    auto it = temps.find(menu);
    if (it != temps.end()) {
        it->second->m_hMenu = nullptr;
        temps.erase(it);
    }
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    if (menu) {
        auto it = PermanentMenus().find(menu);
        if (it != PermanentMenus().end() && it->second == this)
            PermanentMenus().erase(it);
        if (g_trackingMenu == menu)
            g_trackingMenu = nullptr;
    }
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::LoadMenu(UINT id)
{
    return LoadMenu(MAKEINTRESOURCEA(id));
}

BOOL CMenu::LoadMenu(const char* name)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), name));
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT)
{
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT)
{
}

CMenu* CMenu::FromHandlePermanent(HMENU menu)
{
    auto it = PermanentMenus().find(menu);
    return it == PermanentMenus().end() ? nullptr : it->second;
}

CMenu* CMenu::FromHandle(HMENU menu)
{
    if (!menu)
        return nullptr;
    if (CMenu* permanent = FromHandlePermanent(menu))
        return permanent;
    auto& temps = TemporaryMenus();
    auto it = temps.find(menu);
    if (it != temps.end())
        return it->second.get();
    auto wrapper = std::make_unique<CMenu>();
    wrapper->m_hMenu = menu;            // borrowed: not in the permanent map, never destroyed
    CMenu* result = wrapper.get();
    temps.emplace(menu, std::move(wrapper));
    return result;
}

void CMenu::DeleteTempMap()
{
    for (auto& entry : TemporaryMenus())
        entry.second->m_hMenu = nullptr;
    TemporaryMenus().clear();
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect)
{
    HWND window = owner ? owner->m_hWnd : nullptr;
    g_trackingWindow = window;
    g_trackingMenu = m_hMenu;
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, window, rect);
}

HMENU CMenu::GetLastTrackedMenu(HWND* window)
{
    if (window)
        *window = g_trackingWindow;
    return g_trackingMenu;
}

CMenu* CMenu::FindPopupMenuFromID(HMENU root, UINT id, ULONG_PTR itemData)
{
    const int count = ::GetMenuItemCount(root);
    for (int position = 0; position < count; ++position) {
        if (HMENU sub = ::GetSubMenu(root, position)) {
            if (CMenu* found = FindPopupMenuFromID(sub, id, itemData))
                return found;
            continue;
        }
        if (::GetMenuItemID(root, position) != id)
            continue;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_FTYPE;
        if (!::GetMenuItemInfoA(root, static_cast<UINT>(position), TRUE, &info))
            continue;
        if ((info.fType & MFT_OWNERDRAW) && info.dwItemData != itemData)
            continue;
        if (CMenu* menu = FromHandlePermanent(root))
            return menu;
    }
    return nullptr;
}

CMenu* CMenu::FindMenuOfWindowItem(HWND window, UINT id, ULONG_PTR itemData)
{
    const HMENU roots[] = {g_trackingWindow == window ? g_trackingMenu : nullptr, ::GetMenu(window),
                           ::GetSystemMenu(window, FALSE)};
    for (HMENU root : roots) {
        if (CMenu* menu = root ? FindPopupMenuFromID(root, id, itemData) : nullptr)
            return menu;
    }
    return nullptr;
}
