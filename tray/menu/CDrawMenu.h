#pragma once
// A menu whose items are drawn by the menu library: one CDrawMenuItemData per item, passed to
// the system as the item's data, measured and drawn by the current theme's painters.
#include <windows.h>

#include <vector>

#include "CDrawMenuItemData.h"
#include "CMenu.h"
#include "CString.h"
#include "DrawMenuColors.h"
#include "DrawMenuSettings.h"
#include "SharedImageList.h"

class CDrawMenu;

// A theme's painters run as operations of the menu they draw for.
typedef void (CDrawMenu::*MeasurePainter)(LPMEASUREITEMSTRUCT measure, BOOL bar);
typedef void (CDrawMenu::*DrawPainter)(LPDRAWITEMSTRUCT draw, BOOL bar);
typedef void (CDrawMenu::*TitlePainter)(LPDRAWITEMSTRUCT draw);

// Draw-state bits of the library beside the system's ODS_ values.
constexpr UINT ODS_BAR_HOT = 0x0800;            // a menu-bar command item shown hot
constexpr UINT ODS_VERTICAL_BAR = 0x8000;       // an item of a vertical menu bar

// System commands the library swaps while a system menu is open, so that the system does not
// draw their own pictures over the owner-drawn items.
constexpr UINT SC_RESTORE_SWAPPED = 0xF121;
constexpr UINT SC_CLOSE_SWAPPED = 0xF061;
constexpr UINT SC_MINIMIZE_SWAPPED = 0xF021;

class CDrawMenu : public CMenu {
public:
    explicit CDrawMenu(HMENU parent = nullptr);
    ~CDrawMenu() override;

    // The CDrawMenu that holds a menu handle, or null (the permanent object, when it is one).
    static CDrawMenu* FromHandleDraw(HMENU menu);

    // Measure and draw requests of the system, handed to the current theme's painters.
    void DrawItem(LPDRAWITEMSTRUCT draw) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measure) override;
    BOOL LoadMenu(UINT id) override;
    BOOL LoadMenu(const char* name) override;
    // Takes a menu and makes every item of it and of its submenus owner-drawn.
    virtual BOOL LoadFromHandle(HMENU menu);
    BOOL DestroyMenu() override;
    virtual void PaintTitleItem(LPDRAWITEMSTRUCT draw);
    virtual BOOL FillMenuBackground(HWND window, HDC dc);
    virtual void OnPopupOpening();
    virtual BOOL OnPopupClosed();

    // Items. Without MF_BYPOSITION `where` is a command id, and the item goes before it in
    // whichever submenu holds it. Position -1 appends.
    BOOL InsertOwnerDrawnItem(UINT where, const char* text, UINT flags, UINT_PTR newId,
                              SharedImageList* images = nullptr, int imageIndex = -1);
    // The menu that holds an item with the id, and its position; null and -1 when none.
    CDrawMenu* LocateCommand(UINT_PTR id, int* position);
    CDrawMenuItemData* LookupItemData(UINT_PTR id);
    BOOL GetItemText(UINT index, CString& text) const;
    BOOL IsBarItem(UINT_PTR id);
    // Makes the items and the item-data array match the menu again, all owner-drawn.
    void RebuildItemData();
    CDrawMenuItemData* CreateItemAt(int position, const char* text, UINT flags, UINT_PTR id);

    // Makes the first theme of the type current; the type current before, or -1 (no change).
    static int SelectTheme(int type);

    // The record at an index of the item-data array (null for an empty entry); an index outside
    // it throws the framework's invalid-argument exception.
    CDrawMenuItemData* GetItemDataAt(int index) const;
    int GetItemDataCount() const { return static_cast<int>(m_itemData.size()); }

    // --- Item painters (their own files) -------------------------------------------------
    void MeasureItemXP(LPMEASUREITEMSTRUCT measure, BOOL bar);
    void MeasureItemWide(LPMEASUREITEMSTRUCT measure, BOOL bar);
    void MeasureItemClassic(LPMEASUREITEMSTRUCT measure, BOOL bar);
    void DrawItem2003(LPDRAWITEMSTRUCT draw, BOOL bar);
    void DrawItemXP(LPDRAWITEMSTRUCT draw, BOOL bar);
    void DrawItemShaded(LPDRAWITEMSTRUCT draw, BOOL bar);
    void DrawItemClassic(LPDRAWITEMSTRUCT draw, BOOL bar);
    void DrawItemFlatBar(LPDRAWITEMSTRUCT draw, BOOL bar);
    void DrawTitleItem(LPDRAWITEMSTRUCT draw);

    // Drawing routines the painters share.
    static void FillGradientRect(COLORREF end, const RECT& rect, HDC dc, COLORREF start, BOOL horizontal,
                                 BOOL paletteMode);
    static void DrawMenuTextAngled(const char* text, HDC dc, const RECT& rect, UINT format);
    static BOOL DrawCheckOrBitmap(HDC dc, HBITMAP unchecked, UINT state, const RECT& rect, HBITMAP checked);
    static void DrawBarSystemGlyph(UINT state, UINT_PTR id, HDC dc, const RECT& rect);
    void DrawSystemGlyph(UINT_PTR id, UINT state, HDC dc, const RECT& rect);
    static void DrawGlyphInRect(HDC dc, UINT state, const RECT& rect, char glyph);
    static void DrawMarlettGlyph(const RECT& rect, char glyph, BOOL bold, HDC dc);

    // --- Painters' block: declarations the painters' owner adds -----------------------------
    // (end of the painters' block)

    // Fields, in the order the painters and the hook read them.
    std::vector<CDrawMenuItemData*> m_itemData;     // entry i belongs to position i; may be null
    std::vector<HMENU> m_subMenus;                  // submenus whose CDrawMenu this menu owns
    int m_nImageWidth = 16;
    int m_nImageHeight = 15;
    HWND m_hMenuWnd = nullptr;                      // the window that shows this popup
    HMENU m_hParentMenu = nullptr;                  // the menu that holds this one
    int m_bPopup = 1;                               // 0 = a menu bar
    RECT m_rcBarItem = {0, 0, 0, 0};                // last bar item drawn, screen coordinates
    int m_nOpenPopups = 0;
    HACCEL m_hAccel = reinterpret_cast<HACCEL>(-1); // -1 = the main window's table

private:
    void DeleteItemData();
    void DeleteSubMenus();
    // The first record with the id whose in-use mark is clear, then marked; null when none.
    CDrawMenuItemData* TakeItemData(UINT_PTR id);
};

// Library routines the menu hook's temporary handler and the themes call.
//
// A popup is about to show in `window`: the pending menu handle, the menu's window, its
// opening, and the parent bar's open-popup count.
void BeginMenuPopup(CMenu* popup, HWND window);
// Gives the item with `oldId` the id `newId`; false when no item has `oldId`.
BOOL SwapItemCommand(UINT_PTR oldId, UINT_PTR newId, CDrawMenu* menu);
// Where a bar item was drawn, kept on the bar for the popup frame's join.
void RememberBarItemRect(HDC dc, CDrawMenu* menu, const RECT* item);
// WM_MENUCHAR: 0x20000 | position of the first item whose text holds "&" + `typed`, or 0.
LRESULT FindMnemonicItem(char typed, CMenu* menu);
// WM_MEASUREITEM of a menu item sent to `window`: measured by the menu that holds the item.
BOOL RouteMeasureItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Depth first: the menu that holds an item with the id and the item data, or null.
CMenu* FindMenuByItem(CMenu* menu, UINT id, ULONG_PTR data);
