#include "CDrawMenu.h"

#include <algorithm>

#include "AfxException.h"
#include "CMenuTheme.h"
#include "CWinApp.h"

namespace {

// Records are handed to the system as item data.
const char* AsItemData(CDrawMenuItemData* record) { return reinterpret_cast<const char*>(record); }

CString MenuString(HMENU menu, int position)
{
    char text[256] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return CString(text);
}

// The bar's item rectangle, widened to cover its shadow, in the window's client coordinates.
void RedrawBarItem(const RECT& barItem, HWND window)
{
    if (::IsRectEmpty(&barItem) || !window)
        return;
    RECT rect = barItem;
    rect.right += 10;
    rect.bottom += 10;
    POINT origin = {0, 0};
    ::ClientToScreen(window, &origin);
    ::OffsetRect(&rect, -origin.x, -origin.y);
    ::RedrawWindow(window, &rect, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

bool HoldsSubMenu(HMENU menu, HMENU sub)
{
    const int count = menu ? ::GetMenuItemCount(menu) : 0;
    for (int p = 0; p < count; ++p)
        if (::GetSubMenu(menu, p) == sub)
            return true;
    return false;
}

}  // namespace

CDrawMenu::CDrawMenu(HMENU parent) : m_hParentMenu(parent)
{
}

CDrawMenu::~CDrawMenu()
{
    DestroyMenu();
}

CDrawMenu* CDrawMenu::FromHandleDraw(HMENU menu)
{
    return menu ? dynamic_cast<CDrawMenu*>(CMenu::FromHandlePermanent(menu)) : nullptr;
}

void CDrawMenu::DeleteSubMenus()
{
    for (auto it = m_subMenus.rbegin(); it != m_subMenus.rend(); ++it) {
        CDrawMenu* sub = FromHandleDraw(*it);
        // A submenu still in this menu goes with this menu's handle, which destroys its submenus.
        if (sub && HoldsSubMenu(m_hMenu, *it))
            sub->Detach();
        delete sub;
    }
    m_subMenus.clear();
}

void CDrawMenu::DeleteItemData()
{
    for (auto it = m_itemData.rbegin(); it != m_itemData.rend(); ++it)
        delete *it;
    m_itemData.clear();
}

BOOL CDrawMenu::DestroyMenu()
{
    DeleteSubMenus();
    DeleteItemData();
    return CMenu::DestroyMenu();
}

CDrawMenuItemData* CDrawMenu::GetItemDataAt(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_itemData.size()))
        AfxThrowInvalidArgException();
    return m_itemData[static_cast<size_t>(index)];
}

// --- Items --------------------------------------------------------------------------------

BOOL CDrawMenu::InsertOwnerDrawnItem(UINT where, const char* text, UINT flags, UINT_PTR newId,
                                     SharedImageList* images, int imageIndex)
{
    if (!(flags & MF_BYPOSITION)) {
        int position = -1;
        CDrawMenu* holder = LocateCommand(where, &position);
        if (!holder)
            return FALSE;
        return holder->InsertOwnerDrawnItem(static_cast<UINT>(position), text, flags | MF_BYPOSITION, newId, images,
                                            imageIndex);
    }
    if (newId == 0)
        flags = MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW;
    else
        flags |= MF_OWNERDRAW;
    if (flags & MF_POPUP) {
        if (CDrawMenu* sub = FromHandleDraw(reinterpret_cast<HMENU>(newId)))
            sub->m_hParentMenu = m_hMenu;
    }
    const int position = where == static_cast<UINT>(-1) ? GetMenuItemCount() : static_cast<int>(where);
    if (position < 0)
        return FALSE;

    // Entry i belongs to position i; a position beyond the end grows the array with empty
    // entries.
    auto* record = new CDrawMenuItemData();
    const size_t oldSize = m_itemData.size();
    const size_t at = static_cast<size_t>(position);
    if (at <= oldSize) {
        m_itemData.insert(m_itemData.begin() + static_cast<std::ptrdiff_t>(at), record);
    } else {
        m_itemData.resize(at, nullptr);
        m_itemData.push_back(record);
    }
    record->SetText(text);
    if (images) {
        images->AddRef();
        ReleaseImageListHolder(record->m_pImageList);
        record->m_pImageList = images;
    }
    record->m_nFlags = flags;
    record->m_nID = newId;
    if (images && imageIndex >= 0) {
        record->m_nImageIndex = imageIndex;
        int width = 0, height = 0;
        GetImageListIconSize(images, &width, &height);
        m_nImageWidth = std::max(m_nImageWidth, width);
        m_nImageHeight = std::max(m_nImageHeight, height);
    } else {
        record->m_nImageIndex = -1;
    }

    // The item enters as plain text, then becomes owner-drawn with the record as its data.
    if (!::InsertMenuA(m_hMenu, static_cast<UINT>(position), flags & ~MF_OWNERDRAW, newId, record->m_strText)) {
        // Not in the menu: nor in the array, so that entry i stays position i.
        if (at < oldSize)
            m_itemData.erase(m_itemData.begin() + static_cast<std::ptrdiff_t>(at));
        else
            m_itemData.resize(oldSize);
        delete record;
        return FALSE;
    }
    // Beyond the item count the system appended the item, and there is no item at `position`
    // to modify: it stays a plain item drawn by the system.
    return ::ModifyMenuA(m_hMenu, static_cast<UINT>(position), flags | MF_BYPOSITION, newId, AsItemData(record));
}

CDrawMenu* CDrawMenu::LocateCommand(UINT_PTR id, int* position)
{
    const int count = GetMenuItemCount();
    for (int p = 0; p < count; ++p) {
        if (CDrawMenu* sub = FromHandleDraw(::GetSubMenu(m_hMenu, p))) {
            if (CDrawMenu* found = sub->LocateCommand(id, position))
                return found;
        }
        if (static_cast<UINT_PTR>(::GetMenuItemID(m_hMenu, p)) == id) {
            *position = p;
            return this;
        }
    }
    *position = -1;
    return nullptr;
}

CDrawMenuItemData* CDrawMenu::LookupItemData(UINT_PTR id)
{
    for (CDrawMenuItemData* record : m_itemData)
        if (record && record->m_nID == id)
            return record;
    int position = -1;
    CDrawMenu* holder = LocateCommand(id, &position);
    return holder && holder != this ? holder->LookupItemData(id) : nullptr;
}

BOOL CDrawMenu::GetItemText(UINT index, CString& text) const
{
    if (index >= m_itemData.size() || !m_itemData[index])
        return FALSE;
    text = m_itemData[index]->GetDisplayText(m_hAccel);
    return TRUE;
}

BOOL CDrawMenu::IsBarItem(UINT_PTR id)
{
    if (LookupItemData(id))
        return !m_hParentMenu && m_bPopup == 0;
    if (!m_hParentMenu)
        return m_bPopup == 0;
    if (CDrawMenu* parent = FromHandleDraw(m_hParentMenu))
        return parent->m_bPopup == 0;
    return FALSE;
}

// --- Theme and drawing ----------------------------------------------------------------------

int CDrawMenu::SelectTheme(int type)
{
    if (!g_pMenuThemes)
        return -1;
    for (CMenuTheme* theme : *g_pMenuThemes) {
        if (theme && theme->m_nType == type) {
            const int before = g_pCurrentMenuTheme ? g_pCurrentMenuTheme->m_nType : -1;
            g_pCurrentMenuTheme = theme;
            return before;
        }
    }
    return -1;
}

void CDrawMenu::MeasureItem(LPMEASUREITEMSTRUCT measure)
{
    if (!g_pCurrentMenuTheme || !g_pCurrentMenuTheme->m_pfnMeasureItem)
        return;
    const BOOL bar = IsBarItem(measure->itemID);
    CDrawMenu* parent = FromHandleDraw(m_hParentMenu);
    CDrawMenu* target = this;
    BOOL targetBar = bar;
    if (!bar && m_hParentMenu && !LookupItemData(measure->itemID) && parent) {
        target = parent;
        targetBar = FALSE;
    }
    (target->*g_pCurrentMenuTheme->m_pfnMeasureItem)(measure, targetBar);
}

void CDrawMenu::DrawItem(LPDRAWITEMSTRUCT draw)
{
    if (!g_pCurrentMenuTheme || !g_pCurrentMenuTheme->m_pfnDrawItem)
        return;
    const BOOL bar = m_hParentMenu ? FALSE : m_bPopup == 0;
    (this->*g_pCurrentMenuTheme->m_pfnDrawItem)(draw, bar);
}

void CDrawMenu::PaintTitleItem(LPDRAWITEMSTRUCT draw)
{
    if (g_pCurrentMenuTheme && g_pCurrentMenuTheme->m_pfnDrawTitle)
        (this->*g_pCurrentMenuTheme->m_pfnDrawTitle)(draw);
}

BOOL CDrawMenu::FillMenuBackground(HWND window, HDC dc)
{
    RECT client = {};
    ::GetClientRect(window, &client);
    const int color = g_nOsVersionCode == OSCODE_XP && IsFlatMenuOn() ? COLOR_MENUBAR : COLOR_MENU;
    ::FillRect(dc, &client, ::GetSysColorBrush(color));
    return TRUE;
}

// --- Loading and conversion -----------------------------------------------------------------

BOOL CDrawMenu::LoadMenu(UINT id)
{
    return LoadMenu(MAKEINTRESOURCEA(id));
}

BOOL CDrawMenu::LoadMenu(const char* name)
{
    return LoadFromHandle(::LoadMenuA(AfxGetResourceHandle(), name));
}

BOOL CDrawMenu::LoadFromHandle(HMENU menu)
{
    if (!menu || !::IsMenu(menu) || !Attach(menu))
        return FALSE;
    m_bPopup = 0;
    const int count = GetMenuItemCount();
    for (int p = 0; p < count; ++p) {
        HMENU subHandle = ::GetSubMenu(m_hMenu, p);
        if (!subHandle)
            continue;
        auto* sub = new CDrawMenu(m_hMenu);
        if (!sub->LoadFromHandle(subHandle)) {
            delete sub;     // the submenu already has an object of its own
            continue;
        }
        m_subMenus.push_back(subHandle);
        sub->m_bPopup = 1;
    }
    RebuildItemData();
    return TRUE;
}

CDrawMenuItemData* CDrawMenu::TakeItemData(UINT_PTR id)
{
    for (CDrawMenuItemData* record : m_itemData) {
        if (record && !record->m_bInUse && record->m_nID == id) {
            record->m_bInUse = 1;
            return record;
        }
    }
    return nullptr;
}

void CDrawMenu::RebuildItemData()
{
    for (CDrawMenuItemData* record : m_itemData)
        if (record)
            record->m_bInUse = 0;
    std::vector<CDrawMenuItemData*> rebuilt;
    for (int p = 0; p < GetMenuItemCount(); ++p) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
        if (!::GetMenuItemInfoA(m_hMenu, static_cast<UINT>(p), TRUE, &info))
            break;
        UINT flags = ::GetMenuState(m_hMenu, static_cast<UINT>(p), MF_BYPOSITION);
        if (flags == static_cast<UINT>(-1))
            break;
        // For a submenu the high byte is its item count, not flags.
        if (flags & MF_POPUP)
            flags &= 0xFF;
        if (!(flags & MFT_RIGHTORDER))
            flags |= info.fType & (MFT_RIGHTJUSTIFY | MFT_RIGHTORDER);

        CDrawMenuItemData* record = nullptr;
        if (flags & MF_BITMAP) {
            record = TakeItemData(info.wID);
            if (!record) {
                record = new CDrawMenuItemData();
                record->m_nFlags = flags;
                record->m_nID = info.wID;
                record->m_bInUse = 1;
            }
        } else if (flags & MF_POPUP) {
            HMENU sub = ::GetSubMenu(m_hMenu, p);
            const UINT_PTR subId = reinterpret_cast<UINT_PTR>(sub);
            const CString text = MenuString(m_hMenu, p);
            record = TakeItemData(subId);
            if (record) {
                if (!text.IsEmpty())
                    record->SetText(text);
            } else {
                record = CreateItemAt(p, text,
                                      (flags & ~(MF_SEPARATOR | MFT_RADIOCHECK)) | MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP,
                                      subId);
            }
            if (CDrawMenu* subMenu = FromHandleDraw(sub))
                subMenu->m_hParentMenu = m_hMenu;
        } else if (flags & MF_SEPARATOR) {
            flags |= MF_BYPOSITION | MF_OWNERDRAW;
            record = TakeItemData(0);
            if (record) {
                record->m_nFlags = flags;
                ::ModifyMenuA(m_hMenu, static_cast<UINT>(p), flags, 0, AsItemData(record));
            } else {
                record = CreateItemAt(p, "", flags, 0);
            }
        } else {
            const CString text = MenuString(m_hMenu, p);
            flags |= MF_BYPOSITION | MF_OWNERDRAW;
            record = TakeItemData(info.wID);
            if (record) {
                record->m_nFlags = flags;
                if (!text.IsEmpty())
                    record->SetText(text);
                ::ModifyMenuA(m_hMenu, static_cast<UINT>(p), record->m_nFlags, info.wID, AsItemData(record));
            } else {
                record = CreateItemAt(p, text, flags, info.wID);
            }
        }
        record->m_bInUse = 1;
        rebuilt.push_back(record);
    }
    for (CDrawMenuItemData* record : m_itemData)
        if (record && !record->m_bInUse)
            delete record;
    m_itemData = std::move(rebuilt);
}

CDrawMenuItemData* CDrawMenu::CreateItemAt(int position, const char* text, UINT flags, UINT_PTR id)
{
    auto* record = new CDrawMenuItemData();
    record->m_nFlags = flags;
    record->m_nID = id;
    if (!(flags & MF_BITMAP))
        record->SetText(text);
    if (flags & MF_POPUP) {
        if (CDrawMenu* sub = FromHandleDraw(reinterpret_cast<HMENU>(id)))
            sub->m_hParentMenu = m_hMenu;
    }
    ::ModifyMenuA(m_hMenu, static_cast<UINT>(position), flags, id, AsItemData(record));
    return record;
}

// --- Popup opening and closing --------------------------------------------------------------

void CDrawMenu::OnPopupOpening()
{
    m_bPopup = 1;
    RebuildItemData();
    if (g_nOsVersionCode == OSCODE_XP) {
        SwapItemCommand(SC_RESTORE, SC_RESTORE_SWAPPED, this);
        SwapItemCommand(SC_CLOSE, SC_CLOSE_SWAPPED, this);
        SwapItemCommand(SC_MINIMIZE, SC_MINIMIZE_SWAPPED, this);
    }
}

BOOL CDrawMenu::OnPopupClosed()
{
    if (g_nOsVersionCode == OSCODE_XP) {
        SwapItemCommand(SC_MINIMIZE_SWAPPED, SC_MINIMIZE, this);
        SwapItemCommand(SC_RESTORE_SWAPPED, SC_RESTORE, this);
        if (SwapItemCommand(SC_CLOSE_SWAPPED, SC_CLOSE, this) && m_hMenuWnd)
            ::SetWindowPos(m_hMenuWnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE);
    }
    CDrawMenu* parent = FromHandleDraw(m_hParentMenu);
    if (!parent)
        return FALSE;
    --parent->m_nOpenPopups;
    if (parent->m_bPopup)
        return FALSE;
    parent->m_nOpenPopups = 0;
    RedrawBarItem(parent->m_rcBarItem, m_hMenuWnd);
    return TRUE;
}

void BeginMenuPopup(CMenu* popup, HWND window)
{
    if (!popup)
        return;
    g_hPendingMenu = popup->m_hMenu;
    CDrawMenu* menu = dynamic_cast<CDrawMenu*>(popup);
    if (!menu || !::IsMenu(menu->m_hMenu))
        return;
    menu->m_hMenuWnd = window;
    menu->OnPopupOpening();
    CDrawMenu* parent = CDrawMenu::FromHandleDraw(menu->m_hParentMenu);
    if (!parent)
        return;
    if (++parent->m_nOpenPopups == 1 && parent->m_bPopup == 0)
        RedrawBarItem(parent->m_rcBarItem, window);
}

BOOL SwapItemCommand(UINT_PTR oldId, UINT_PTR newId, CDrawMenu* menu)
{
    int position = -1;
    CDrawMenu* holder = menu ? menu->LocateCommand(oldId, &position) : nullptr;
    if (!holder)
        return FALSE;
    CDrawMenuItemData* record = holder->GetItemDataAt(position);
    if (!record)
        return FALSE;       // a plain item: nothing of ours to carry the new id
    record->m_nID = newId;
    return ::ModifyMenuA(holder->m_hMenu, static_cast<UINT>(position), record->m_nFlags | MF_BYPOSITION | MF_OWNERDRAW,
                         newId, reinterpret_cast<const char*>(record));
}

void RememberBarItemRect(HDC dc, CDrawMenu* menu, const RECT* item)
{
    if (!menu || menu->m_bPopup != 0 || !item)
        return;
    HWND window = ::WindowFromDC(dc);
    if (!window)
        return;
    RECT frame = {};
    ::GetWindowRect(window, &frame);
    menu->m_rcBarItem = *item;
    ::OffsetRect(&menu->m_rcBarItem, frame.left, frame.top);
}

// --- Lookups for the temporary handler ------------------------------------------------------

LRESULT FindMnemonicItem(char typed, CMenu* menu)
{
    CDrawMenu* drawMenu = dynamic_cast<CDrawMenu*>(menu);
    if (!drawMenu)
        return 0;
    CString key("&");
    key += typed;
    key.MakeLower();
    if (drawMenu->GetMenuItemCount() != drawMenu->GetItemDataCount())
        drawMenu->RebuildItemData();
    const int count = drawMenu->GetMenuItemCount();
    for (int p = 0; p < count; ++p) {
        CString text;
        if (!drawMenu->GetItemText(static_cast<UINT>(p), text))
            continue;
        text.MakeLower();
        if (text.Find(key) >= 0)
            return MAKELRESULT(p, MNC_EXECUTE);
    }
    return 0;
}

CMenu* FindMenuByItem(CMenu* menu, UINT id, ULONG_PTR data)
{
    return menu ? CMenu::FindPopupMenuFromID(menu->m_hMenu, id, data) : nullptr;
}

BOOL RouteMeasureItem(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_MEASUREITEM)
        return FALSE;
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!measure || measure->CtlType != ODT_MENU)
        return FALSE;
    HMENU itemMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(measure->itemID));
    CMenu* found = ::IsMenu(itemMenu) ? CMenu::FromHandlePermanent(itemMenu)
                                      : CMenu::FindMenuOfWindowItem(window, measure->itemID, measure->itemData);
    if (!found)
        return FALSE;
    found->MeasureItem(measure);
    return TRUE;
}
