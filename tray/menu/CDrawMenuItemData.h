#pragma once
// The record of one owner-drawn menu item, handed to the system as the item's data.
#include <windows.h>

#include "CObject.h"
#include "CString.h"

class SharedImageList;

class CDrawMenuItemData : public CObject {
public:
    CDrawMenuItemData();
    ~CDrawMenuItemData() override;
    CDrawMenuItemData(const CDrawMenuItemData&) = delete;
    CDrawMenuItemData& operator=(const CDrawMenuItemData&) = delete;

    // The text to show: the item's text with its accelerator keys after a tab. `accel` -1 is the
    // main window's table, null none.
    virtual CString GetDisplayText(HACCEL accel) const;
    virtual void SetText(const char* text);

    CString m_strText;                      // may hold a tab and an accelerator text
    int m_nTitleStyle = 0;                  // TITLE_* bits; TITLE_RECORD marks a title
    UINT m_nFlags = 0;                      // MF_ flags as inserted
    UINT_PTR m_nID = 0;                     // command id, submenu handle, 0 for a separator
    int m_bInUse = 0;                       // only during RebuildItemData
    SharedImageList* m_pImageList = nullptr;
    int m_nImageIndex = -1;                 // -1 = no image

    // Live records in the process, so tests can see that a menu frees what it made.
    static int GetLiveCount();
};

// Title style bits.
enum : int {
    TITLE_RECORD = 0x01,
    TITLE_VERTICAL = 0x02,
    TITLE_GRADIENT = 0x04,
    TITLE_SUNKEN = 0x08,
    TITLE_LINES = 0x10,
    TITLE_ROUND = 0x20,
    TITLE_CENTRED = 0x40,
};

// A title item's record with its own colours; TITLE_COLOR_NONE leaves the painter's own.
constexpr COLORREF TITLE_COLOR_NONE = 0xFF000000;

class CDrawMenuItemDataTitle : public CDrawMenuItemData {
public:
    COLORREF m_clrText = TITLE_COLOR_NONE;
    COLORREF m_clrGradient = TITLE_COLOR_NONE;
    COLORREF m_clrFill = TITLE_COLOR_NONE;
};
