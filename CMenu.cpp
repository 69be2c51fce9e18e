#include "CMenu.h"

#include <unordered_map>

#include "CWinApp.h"

namespace {

std::unordered_map<HMENU, CMenu*>& PermanentMenus()
{
    static thread_local std::unordered_map<HMENU, CMenu*> map;
    return map;
}

}  // namespace

CMenu::~CMenu()
{
    if (m_hMenu)
        ::DestroyMenu(Detach());
}

BOOL CMenu::Attach(HMENU menu)
{
    if (!menu || m_hMenu)
        return FALSE;
    m_hMenu = menu;
    PermanentMenus()[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU menu = m_hMenu;
    if (menu) {
        auto it = PermanentMenus().find(menu);
        if (it != PermanentMenus().end() && it->second == this)
            PermanentMenus().erase(it);
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
