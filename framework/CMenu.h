#pragma once
// A menu. The object destroys the menu it created or was given with Attach; owner-drawn menus
// override MeasureItem and DrawItem, which their owner window forwards.
#include <windows.h>

#include "CObject.h"

class CMenu : public CObject {
public:
    CMenu() = default;
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL Attach(HMENU menu);
    HMENU Detach();
    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(const char* name);
    virtual BOOL DestroyMenu();

    // `item` is the text, or the item data of an MF_OWNERDRAW item.
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const char* item = nullptr)
    {
        return ::AppendMenuA(m_hMenu, flags, id, item);
    }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT item, UINT flags) const { return ::GetMenuState(m_hMenu, item, flags); }
    HMENU GetSubMenuHandle(int position) const { return ::GetSubMenu(m_hMenu, position); }

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    // The object that holds a menu handle, or null.
    static CMenu* FromHandlePermanent(HMENU menu);
};
