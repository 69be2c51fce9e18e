#pragma once
// A menu. The object destroys the menu it created or was given with Attach; owner-drawn menus
// override MeasureItem and DrawItem, which their owner window forwards.
#include <windows.h>

#include "CObject.h"

class CWnd;

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
    // The submenu at a position: its own object, or a borrowed one; null when there is none.
    CMenu* GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }

    BOOL InsertMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* item = nullptr)
    {
        return ::InsertMenuA(m_hMenu, position, flags, id, item);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id = 0, const char* item = nullptr)
    {
        return ::ModifyMenuA(m_hMenu, position, flags, id, item);
    }
    BOOL DeleteMenu(UINT position, UINT flags) { return ::DeleteMenu(m_hMenu, position, flags); }
    UINT EnableMenuItem(UINT item, UINT enable) { return ::EnableMenuItem(m_hMenu, item, enable); }
    DWORD CheckMenuItem(UINT item, UINT check) { return ::CheckMenuItem(m_hMenu, item, check); }
    BOOL SetDefaultItem(UINT item, BOOL byPosition = FALSE)
    {
        return ::SetMenuDefaultItem(m_hMenu, item, byPosition);
    }
    UINT GetDefaultItem(UINT flags = 0, BOOL byPosition = FALSE) const
    {
        return ::GetMenuDefaultItem(m_hMenu, byPosition, flags);
    }
    int GetMenuString(UINT item, char* text, int maxCount, UINT flags) const
    {
        return ::GetMenuStringA(m_hMenu, item, text, maxCount, flags);
    }
    BOOL GetMenuItemInfo(UINT item, LPMENUITEMINFOA info, BOOL byPosition = FALSE) const
    {
        return ::GetMenuItemInfoA(m_hMenu, item, byPosition, info);
    }

    // Shows the popup; the menu and `owner` are recorded for this thread (the owner's measure
    // requests are answered from that menu).
    BOOL TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, LPCRECT rect = nullptr);
    // The menu this thread last tracked and the window it was tracked for.
    static HMENU GetLastTrackedMenu(HWND* window = nullptr);

    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    // The object that holds a menu handle, or null.
    static CMenu* FromHandlePermanent(HMENU menu);
    // The object that holds a menu handle, or a borrowed one that lives until the UI thread goes
    // idle; null for a null handle.
    static CMenu* FromHandle(HMENU menu);
    static void DeleteTempMap();
    // Depth first from `root`: the object of the menu that holds an item with the id (and, for
    // an owner-drawn item, the item data), or null.
    static CMenu* FindPopupMenuFromID(HMENU root, UINT id, ULONG_PTR itemData);
    // The object of the menu that holds an item the system asks `window` to measure: searched in
    // the menu this thread last tracked for the window, then the window's menu, then its system
    // menu.
    static CMenu* FindMenuOfWindowItem(HWND window, UINT id, ULONG_PTR itemData);
};
