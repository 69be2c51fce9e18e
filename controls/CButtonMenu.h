#pragma once
// An owner-drawn menu: loads a menu template, turns every item into an owner-drawn item with a
// record of its own (text, flags, command id, image) and measures and paints the items itself,
// in a classic look or in the flat look of Windows XP with visual styles. Images come from bitmap
// or toolbar resources into one image list that every such menu of the process shares.
#include <memory>
#include <string>
#include <vector>

#include "CImageList.h"
#include "CMenu.h"

class CButtonMenu : public CMenu {
public:
    static constexpr int kDefaultImageWidth = 16;
    static constexpr int kDefaultImageHeight = 15;
    static constexpr COLORREF kDefaultBitmapBackground = 0x00C0C0C0;
    static constexpr int kGap = 4;
    static constexpr int kGapXpShaded = 7;
    static constexpr int kXpTextExtra = 8;
    static constexpr int kRadioDot = 6;
    static constexpr int kTickSize = 7;
    static constexpr double kLighterFactor = 0.30;
    static constexpr double kShadowFactor = 0.49;
    static constexpr int kThemeValueMax = 260;

    // Version codes of the Windows the program runs on.
    enum VersionCode {
        kWin32s = 0,
        kOtherNt = 1,
        kWin95 = 2,
        kWin98 = 3,
        kWinMe = 4,
        kWinNt4 = 5,
        kWin2000 = 6,
        kWinXp = 7,
    };
    // Drawing styles.
    static constexpr int kClassicLook = 0;
    static constexpr int kXpLook = 1;

    // One per owner-drawn item; its address is the item's data.
    struct ItemRecord {
        std::wstring text;
        int ownImage = -1;               // into ownList
        int sharedImage = -1;            // into the shared image list
        int reserved = 0;
        int ownImage2 = -1;
        UINT flags = 0;
        UINT id = 0;
        BOOL matched = FALSE;
        std::unique_ptr<CImageList> ownList;
        int reserved2 = 0;
    };

    CButtonMenu();
    ~CButtonMenu() override;

    BOOL LoadMenu(UINT id) override;
    BOOL LoadMenu(const char* name) override;
    BOOL DestroyMenu() override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;

    // Appends an owner-drawn item: command id 0 makes a separator, MF_POPUP takes the pop-up's
    // handle as id. A bitmap id (a toolbar or bitmap resource, or an icon handle with icon items
    // on) gives the item its image; without one it takes the image registered for its command.
    BOOL AppendODMenu(const wchar_t* text, UINT flags, UINT_PTR id, UINT_PTR bitmapId = 0);

    // WM_MENUCHAR: the item whose text holds "&" and the key, as (position, MNC_EXECUTE); else 0.
    LRESULT MenuChar(UINT key, UINT flags, HMENU menu) const;

    // Lookups.
    static BOOL IsMenu(HMENU menu);
    static BOOL IsMenu(const CMenu* menu) { return menu && IsMenu(menu->m_hMenu); }
    // The menu (this one or a pop-up below it) holding the command, with its position; null if none.
    HMENU FindCommand(UINT id, int& position) const;
    // The text of an item (by position, or by command with MF_BYCOMMAND); false when it has none.
    BOOL GetMenuText(UINT item, std::wstring& text, UINT flags = MF_BYPOSITION) const;
    static const ItemRecord* RecordOf(HMENU menu, UINT item, UINT flags = MF_BYPOSITION);
    static BOOL IsRecord(ULONG_PTR itemData);

    BOOL IsLoaded() const { return m_loaded; }
    int GetRecordCount() const { return static_cast<int>(m_records.size()); }
    const std::vector<HMENU>& GetSubMenus() const { return m_subMenuHandles; }

    // Settings the class gives fields for.
    void SetBitmapBackground(COLORREF color) { m_bitmapBackground = color; m_useBitmapBackground = TRUE; }
    void SetDisabledImageMethod(int method) { m_disabledMethod = method; }
    void SetIconItems(BOOL iconItems) { m_iconItems = iconItems; }
    // Images for checked items; with `owns` the menu destroys the list.
    void SetCheckMarkImages(HIMAGELIST list, BOOL owns, int checkedIndex, int uncheckedIndex);
    int GetImageWidth() const { return m_imageWidth; }
    int GetImageHeight() const { return m_imageHeight; }

    // Process-wide state.
    static int GetVersionCode();
    static int VersionCodeFor(const OSVERSIONINFOA& version);
    static bool IsClassicTheme(const char* themeValue);
    static bool XpLookFor(int versionCode, const char* themeValue);
    static bool IsXpLookInForce();
    static void SetDrawingStyles(int xpStyle, int otherStyle);
    static void SetShadedImages(BOOL shaded);
    static int CurrentStyle();
    static int GapFor(int style, BOOL shaded) { return style == kXpLook && shaded ? kGapXpShaded : kGap; }
    // Moves each of red, green and blue toward white by `factor` (0..1), truncated.
    static COLORREF Lighten(COLORREF color, double factor);
    static CImageList& SharedImages();
    static const std::vector<UINT_PTR>& SharedImageIds();
    static int SharedImageFor(UINT_PTR id);

private:
    BOOL LoadFromTemplate(const BYTE* data, DWORD size);
    void LineUpLabels();
    int AddSharedImages(UINT_PTR bitmapId, UINT_PTR commandId);
    int AddOneImage(HBITMAP bitmap, COLORREF maskColor, UINT_PTR commandId, int count);
    COLORREF ImageMaskColor() const;
    void ReleaseRecords();
    void DrawClassic(const DRAWITEMSTRUCT& item, const ItemRecord& record);
    void DrawXp(const DRAWITEMSTRUCT& item, const ItemRecord& record);
    void DrawImage(HDC dc, const ItemRecord& record, int x, int y, UINT state, bool xp) const;
    void DrawDisabledImage(HDC dc, HIMAGELIST list, int index, int x, int y) const;
    void DrawCheckMark(HDC dc, const RECT& cell, const ItemRecord& record, COLORREF color) const;
    void DrawLabel(HDC dc, const ItemRecord& record, RECT rect, UINT state, COLORREF color, bool embossed) const;

    std::vector<std::unique_ptr<ItemRecord>> m_records;
    std::vector<HMENU> m_subMenuHandles;
    std::vector<std::unique_ptr<CButtonMenu>> m_subMenuObjects;
    int m_imageWidth = kDefaultImageWidth;
    int m_imageHeight = kDefaultImageHeight;
    COLORREF m_bitmapBackground = kDefaultBitmapBackground;
    BOOL m_useBitmapBackground = FALSE;
    int m_disabledMethod = 0;
    HIMAGELIST m_checkMarks = nullptr;
    BOOL m_ownsCheckMarks = FALSE;
    int m_checkedIndex = -1;
    int m_uncheckedIndex = -1;
    BOOL m_iconItems = FALSE;
    BOOL m_loaded = FALSE;
};
