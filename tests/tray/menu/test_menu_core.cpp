// The menu core on real menus: where inserted items land and which become owner-drawn, a whole
// menu made owner-drawn from a resource (records freed again), display texts with accelerator
// keys, popups opening and closing, the mnemonic and measure lookups, the version code.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "CDrawMenu.h"
#include "CDrawMenuHook.h"
#include "CMenuTheme.h"
#include "ChildProcess.h"
#include "Framework.h"
#include "Paths.h"
#include "Registry.h"
#include "test_menu_core.h"

namespace {

MENUITEMINFOA ItemInfo(HMENU menu, int position)
{
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    EXPECT_TRUE(::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) << "position " << position;
    return info;
}

std::string PlainText(HMENU menu, int position)
{
    char text[64] = {};
    ::GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    return text;
}

bool IsOwnerDrawn(HMENU menu, int position) { return (ItemInfo(menu, position).fType & MFT_OWNERDRAW) != 0; }

}  // namespace

TEST(CDrawMenuInsert, TheTraysPositionsBeyondTheEndStayPlainItemsInOrder)
{
    CDrawMenu menu;
    ASSERT_TRUE(menu.Attach(::CreatePopupMenu()));
    const UINT positions[] = {2, 3, 7, 9, 12};
    const char* texts[] = {"Create", "Mount", "Dismount", "Start with Windows", "Exit"};
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(menu.InsertOwnerDrawnItem(positions[i], texts[i], MF_BYPOSITION | MF_STRING, 100 + i))
            << texts[i];
    ASSERT_EQ(menu.GetMenuItemCount(), 5);
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(PlainText(menu, p), texts[p]);
        EXPECT_FALSE(IsOwnerDrawn(menu, p));
        EXPECT_EQ(menu.GetMenuItemID(p), static_cast<UINT>(100 + p));
    }
    ASSERT_EQ(menu.GetItemDataCount(), 13);
    for (int i = 0; i < 13; ++i) {
        const CDrawMenuItemData* record = menu.GetItemDataAt(i);
        const UINT* at = std::find(std::begin(positions), std::end(positions), static_cast<UINT>(i));
        if (at == std::end(positions)) {
            EXPECT_EQ(record, nullptr) << "entry " << i;
            continue;
        }
        ASSERT_NE(record, nullptr) << "entry " << i;
        EXPECT_STREQ(record->m_strText, texts[at - positions]);
        EXPECT_EQ(record->m_nFlags, static_cast<UINT>(MF_BYPOSITION | MF_STRING | MF_OWNERDRAW));
    }
    CString text;
    EXPECT_FALSE(menu.GetItemText(0, text));        // an empty entry
    EXPECT_TRUE(menu.GetItemText(12, text));
    EXPECT_STREQ(text, "Exit");
    EXPECT_FALSE(menu.GetItemText(13, text));
    EXPECT_FALSE(menu.GetItemText(static_cast<UINT>(-1), text));
    EXPECT_THROW(menu.GetItemDataAt(13), std::invalid_argument);

    // Closing the tray's popup on a system of code 7 finds no system command and no parent.
    const int savedCode = g_nOsVersionCode;
    g_nOsVersionCode = OSCODE_XP;
    EXPECT_FALSE(menu.OnPopupClosed());
    g_nOsVersionCode = savedCode;
    for (int p = 0; p < 5; ++p)
        EXPECT_EQ(menu.GetMenuItemID(p), static_cast<UINT>(100 + p));
}

TEST(CDrawMenuInsert, ValidPositionsCommandsSeparatorsAndFailures)
{
    const int liveBefore = CDrawMenuItemData::GetLiveCount();
    {
        CDrawMenu menu;
        ASSERT_TRUE(menu.Attach(::CreatePopupMenu()));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "B", MF_BYPOSITION, 2));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(0, "A", MF_BYPOSITION, 1));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "D", MF_BYPOSITION, 4));
        // A separator is exactly that, whatever else was asked for.
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(2, "ignored", MF_BYPOSITION | MF_CHECKED | MF_GRAYED | MF_POPUP, 0));
        ASSERT_EQ(menu.GetMenuItemCount(), 4);
        const UINT_PTR ids[] = {1, 2, 0, 4};
        for (int p = 0; p < 4; ++p) {
            const MENUITEMINFOA info = ItemInfo(menu, p);
            EXPECT_TRUE(info.fType & MFT_OWNERDRAW) << p;
            EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.GetItemDataAt(p))) << p;
            EXPECT_EQ(menu.GetItemDataAt(p)->m_nID, ids[p]);
        }
        EXPECT_EQ(menu.GetItemDataAt(2)->m_nFlags, 0xD00u);
        EXPECT_TRUE(ItemInfo(menu, 2).fType & MFT_SEPARATOR);

        // By command: the new item goes before the item with the id, in the submenu holding it.
        auto* sub = new CDrawMenu();
        ASSERT_TRUE(sub->Attach(::CreatePopupMenu()));
        EXPECT_TRUE(sub->InsertOwnerDrawnItem(static_cast<UINT>(-1), "Inner", MF_BYPOSITION, 20));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Sub", MF_BYPOSITION | MF_POPUP,
                                              reinterpret_cast<UINT_PTR>(sub->m_hMenu)));
        EXPECT_EQ(sub->m_hParentMenu, menu.m_hMenu);
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(20, "Before inner", MF_STRING, 19));
        ASSERT_EQ(sub->GetMenuItemCount(), 2);
        EXPECT_EQ(sub->GetMenuItemID(0), 19u);
        EXPECT_EQ(sub->GetItemDataAt(0)->m_nID, 19u);
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(4, "Before D", MF_STRING, 3));
        EXPECT_EQ(menu.GetMenuItemID(3), 3u);
        int position = -1;
        EXPECT_EQ(menu.LocateCommand(20, &position), sub);
        EXPECT_EQ(position, 1);
        EXPECT_EQ(menu.LookupItemData(20), sub->GetItemDataAt(1));
        // An id no item has: nothing changes.
        EXPECT_FALSE(menu.InsertOwnerDrawnItem(999, "Nowhere", MF_STRING, 5));
        EXPECT_EQ(menu.GetMenuItemCount(), 6);
        EXPECT_EQ(menu.GetItemDataCount(), 6);
        EXPECT_EQ(menu.LocateCommand(999, &position), nullptr);
        EXPECT_EQ(position, -1);

        // The system refuses the item (here: a menu gone behind the object's back): no record
        // stays behind, so entry i would still belong to position i.
        CDrawMenu gone;
        ASSERT_TRUE(gone.Attach(::CreatePopupMenu()));
        ::DestroyMenu(gone.m_hMenu);
        const int live = CDrawMenuItemData::GetLiveCount();
        EXPECT_FALSE(gone.InsertOwnerDrawnItem(0, "Refused", MF_BYPOSITION, 1));
        EXPECT_FALSE(gone.InsertOwnerDrawnItem(5, "Refused", MF_BYPOSITION, 2));
        EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), live);
        EXPECT_EQ(gone.GetItemDataCount(), 0);
        gone.Detach();

        // The sub menu object is the item's, not the parent's: it goes with its own owner.
        delete sub;
    }
    EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), liveBefore);
}

TEST(CDrawMenuInsert, ImageListsRaiseTheImageSizeAndAreShared)
{
    const int holdersBefore = SharedImageList::GetHolderCount();
    {
        CDrawMenu menu;
        ASSERT_TRUE(menu.Attach(::CreatePopupMenu()));
        SharedImageList* images = SharedImageList::Create(ImageList_Create(24, 20, ILC_COLOR24, 3, 0));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Picture", MF_BYPOSITION, 1, images, 0));
        EXPECT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "No index", MF_BYPOSITION, 2, images, -1));
        EXPECT_EQ(images->m_nRefCount, 3);
        EXPECT_EQ(menu.m_nImageWidth, 24);
        EXPECT_EQ(menu.m_nImageHeight, 20);
        EXPECT_EQ(menu.GetItemDataAt(0)->m_nImageIndex, 0);
        EXPECT_EQ(menu.GetItemDataAt(1)->m_nImageIndex, -1);
        ReleaseImageListHolder(images);         // ours; the items keep theirs
        EXPECT_EQ(images, nullptr);
        EXPECT_EQ(SharedImageList::GetHolderCount(), holdersBefore + 1);
    }
    EXPECT_EQ(SharedImageList::GetHolderCount(), holdersBefore);
}

namespace {

// Checks every item of a menu tree is owner-drawn with its own record, entry i for position i.
void ExpectOwnerDrawnTree(CDrawMenu& menu, int* records)
{
    const int count = menu.GetMenuItemCount();
    ASSERT_EQ(menu.GetItemDataCount(), count);
    for (int p = 0; p < count; ++p) {
        SCOPED_TRACE(testing::Message() << "position " << p);
        const MENUITEMINFOA info = ItemInfo(menu, p);
        CDrawMenuItemData* record = menu.GetItemDataAt(p);
        ASSERT_NE(record, nullptr);
        ++*records;
        if (info.fType & MFT_BITMAP) {
            EXPECT_EQ(record->m_nID, info.wID);
            continue;
        }
        EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(record));
        if (info.hSubMenu) {
            EXPECT_EQ(record->m_nID, reinterpret_cast<UINT_PTR>(info.hSubMenu));
            EXPECT_TRUE(record->m_nFlags & MF_POPUP);
            // The submenu's item count is no flag of the item (no column break, no separator).
            EXPECT_FALSE(record->m_nFlags & (MF_MENUBARBREAK | MF_MENUBREAK | MF_SEPARATOR));
            CDrawMenu* sub = CDrawMenu::FromHandleDraw(info.hSubMenu);
            ASSERT_NE(sub, nullptr);
            EXPECT_EQ(sub->m_hParentMenu, menu.m_hMenu);
            EXPECT_EQ(sub->m_bPopup, 1);
            ExpectOwnerDrawnTree(*sub, records);
        } else {
            EXPECT_EQ(record->m_nID, info.wID);
        }
    }
}

}  // namespace

TEST(CDrawMenuLoad, AResourceMenuBecomesOwnerDrawnThroughoutAndIsFreedAgain)
{
    const int liveBefore = CDrawMenuItemData::GetLiveCount();
    HBITMAP picture = ::CreateBitmap(16, 16, 1, 1, nullptr);
    HMENU handles[3] = {};
    {
        CDrawMenu menu;
        HMENU loaded = ::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDM_TEST_MENU));
        ASSERT_TRUE(loaded);
        ::AppendMenuA(::GetSubMenu(loaded, 0), MF_BITMAP, ID_TEST_PICTURE, reinterpret_cast<const char*>(picture));
        ASSERT_TRUE(menu.LoadFromHandle(loaded));
        EXPECT_EQ(menu.m_bPopup, 0);
        EXPECT_EQ(menu.m_subMenus.size(), 2u);
        int records = 0;
        ExpectOwnerDrawnTree(menu, &records);
        EXPECT_EQ(records, 10);     // bar 2, File 5, Recent 2, Help 1
        EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), liveBefore + 10);

        CDrawMenu* file = CDrawMenu::FromHandleDraw(::GetSubMenu(menu, 0));
        ASSERT_NE(file, nullptr);
        handles[0] = menu.m_hMenu;
        handles[1] = file->m_hMenu;
        handles[2] = ::GetSubMenu(*file, 2);
        EXPECT_STREQ(file->GetItemDataAt(0)->m_strText, "&Open\tCtrl+O");
        EXPECT_EQ(file->GetItemDataAt(1)->m_nFlags & (MF_SEPARATOR | MF_OWNERDRAW), static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
        EXPECT_TRUE(file->GetItemDataAt(3)->m_nFlags & MF_GRAYED);
        EXPECT_STREQ(menu.GetItemDataAt(1)->m_strText, "&Help");

        // Rebuilt again, the records are the same ones, still one per position.
        CDrawMenuItemData* open = file->GetItemDataAt(0);
        file->RebuildItemData();
        EXPECT_EQ(file->GetItemDataAt(0), open);
        EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), liveBefore + 10);
        // An item gone from the menu takes its record with it at the next rebuild.
        ::DeleteMenu(*file, ID_TEST_EXIT, MF_BYCOMMAND);
        file->RebuildItemData();
        EXPECT_EQ(file->GetItemDataCount(), 4);
        EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), liveBefore + 9);

        // Lookups across the tree.
        int position = -1;
        CDrawMenu* recent = menu.LocateCommand(ID_TEST_SECOND, &position);
        ASSERT_NE(recent, nullptr);
        EXPECT_EQ(recent->m_hParentMenu, file->m_hMenu);
        EXPECT_EQ(position, 1);
        EXPECT_EQ(menu.LookupItemData(ID_TEST_SECOND), recent->GetItemDataAt(1));
        EXPECT_TRUE(menu.IsBarItem(reinterpret_cast<UINT_PTR>(file->m_hMenu)));
        EXPECT_FALSE(file->IsBarItem(ID_TEST_OPEN));
        EXPECT_TRUE(file->IsBarItem(0x4321));                   // unknown here: the parent is a bar
        EXPECT_FALSE(recent->IsBarItem(0x4321));
        EXPECT_EQ(FindMnemonicItem('X', file), 0);              // Exit is gone
        EXPECT_EQ(FindMnemonicItem('R', file), MAKELRESULT(2, MNC_EXECUTE));
        EXPECT_EQ(FindMnemonicItem('s', recent), MAKELRESULT(1, MNC_EXECUTE));
        EXPECT_EQ(FindMenuByItem(&menu, ID_TEST_SECOND, reinterpret_cast<ULONG_PTR>(recent->GetItemDataAt(1))), recent);
        EXPECT_EQ(FindMenuByItem(&menu, ID_TEST_SECOND, 0), nullptr);
    }
    EXPECT_EQ(CDrawMenuItemData::GetLiveCount(), liveBefore);
    for (HMENU handle : handles)
        EXPECT_FALSE(::IsMenu(handle));
    ::DeleteObject(picture);

    CDrawMenu byId;
    EXPECT_TRUE(byId.LoadMenu(IDM_TEST_MENU));
    EXPECT_EQ(byId.GetItemDataCount(), 2);
    CDrawMenu notAMenu;
    EXPECT_FALSE(notAMenu.LoadFromHandle(reinterpret_cast<HMENU>(0x5678)));
    EXPECT_FALSE(notAMenu.LoadMenu(9999));
    // A menu that already has an object of its own is not taken twice.
    CDrawMenu again;
    EXPECT_FALSE(again.LoadFromHandle(byId.m_hMenu));
}

TEST(CDrawMenuPopup, SystemCommandsAreSwappedWhileOpenAndTheBarCountsItsPopups)
{
    const int savedCode = g_nOsVersionCode;
    g_nOsVersionCode = OSCODE_XP;
    CDrawMenu bar;
    HMENU barHandle = ::CreateMenu();
    HMENU system = ::CreatePopupMenu();
    ::AppendMenuA(system, MF_STRING, SC_RESTORE, "&Restore");
    ::AppendMenuA(system, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    ::AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(system, MF_STRING, SC_CLOSE, "&Close\tAlt+F4");
    ::AppendMenuA(barHandle, MF_POPUP, reinterpret_cast<UINT_PTR>(system), "&System");
    ASSERT_TRUE(bar.LoadFromHandle(barHandle));
    CDrawMenu* popup = CDrawMenu::FromHandleDraw(system);
    ASSERT_NE(popup, nullptr);

    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP | WS_VISIBLE, CRect(10, 10, 110, 60), nullptr, 0));
    BeginMenuPopup(popup, window.m_hWnd);
    EXPECT_EQ(g_hPendingMenu, system);
    g_hPendingMenu = nullptr;
    EXPECT_EQ(popup->m_hMenuWnd, window.m_hWnd);
    EXPECT_EQ(bar.m_nOpenPopups, 1);
    EXPECT_EQ(popup->GetMenuItemID(0), SC_RESTORE_SWAPPED);
    EXPECT_EQ(popup->GetMenuItemID(1), SC_MINIMIZE_SWAPPED);
    EXPECT_EQ(popup->GetMenuItemID(3), SC_CLOSE_SWAPPED);
    EXPECT_EQ(popup->GetItemDataAt(3)->m_nID, SC_CLOSE_SWAPPED);
    EXPECT_TRUE(IsOwnerDrawn(system, 3));

    EXPECT_TRUE(popup->OnPopupClosed());        // its parent is a bar
    EXPECT_EQ(bar.m_nOpenPopups, 0);
    EXPECT_EQ(popup->GetMenuItemID(0), static_cast<UINT>(SC_RESTORE));
    EXPECT_EQ(popup->GetMenuItemID(1), static_cast<UINT>(SC_MINIMIZE));
    EXPECT_EQ(popup->GetMenuItemID(3), static_cast<UINT>(SC_CLOSE));
    EXPECT_FALSE(SwapItemCommand(SC_CLOSE_SWAPPED, SC_CLOSE, popup));

    // Before code 7 nothing is swapped.
    g_nOsVersionCode = OSCODE_WIN2000;
    BeginMenuPopup(popup, window.m_hWnd);
    g_hPendingMenu = nullptr;
    EXPECT_EQ(popup->GetMenuItemID(0), static_cast<UINT>(SC_RESTORE));
    g_nOsVersionCode = savedCode;

    // Where a bar item was drawn is kept in screen coordinates.
    bar.m_bPopup = 0;
    HDC dc = ::GetDC(window);
    const RECT item = {5, 2, 40, 20};
    RememberBarItemRect(dc, &bar, &item);
    ::ReleaseDC(window, dc);
    CRect frame;
    window.GetWindowRect(&frame);
    EXPECT_EQ(bar.m_rcBarItem.left, frame.left + 5);
    EXPECT_EQ(bar.m_rcBarItem.top, frame.top + 2);
    RememberBarItemRect(nullptr, popup, &item);             // a popup keeps none
    EXPECT_TRUE(::IsRectEmpty(&popup->m_rcBarItem));
}

namespace {

// A measure through the router reaches the menu object that holds the item.
class MeasuringMenu : public CDrawMenu {
public:
    int measured = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT measure) override
    {
        ++measured;
        measure->itemHeight = 33;
    }
};

}  // namespace

TEST(CDrawMenuRoute, MeasureRequestsFindTheirMenuThroughTheWindowsMenus)
{
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    MeasuringMenu bar;
    ASSERT_TRUE(bar.Attach(::CreateMenu()));
    ASSERT_TRUE(bar.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Item", MF_BYPOSITION, 77));
    // Set on the window, the bar is measured through the framework's default handling already.
    ::SetMenu(window, bar);
    EXPECT_GE(bar.measured, 1);
    bar.measured = 0;
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 77, 0, 0, reinterpret_cast<ULONG_PTR>(bar.GetItemDataAt(0))};
    EXPECT_TRUE(RouteMeasureItem(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(bar.measured, 1);
    EXPECT_EQ(measure.itemHeight, 33u);
    measure.itemData = 0;                                       // another item with that id
    EXPECT_FALSE(RouteMeasureItem(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    measure.CtlType = ODT_BUTTON;
    EXPECT_FALSE(RouteMeasureItem(window, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_FALSE(RouteMeasureItem(window, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    ::SetMenu(window, nullptr);
}

TEST(CDrawMenuItemData, DisplayTextsWithAndWithoutAcceleratorTables)
{
    ACCEL keys[] = {
        {FVIRTKEY | FCONTROL, 'S', 7},
        {FVIRTKEY | FALT | FSHIFT, VK_F4, 7},
        {FVIRTKEY | FCONTROL, 'Q', 8},
        {0, 'k', 9},
    };
    HACCEL table = ::CreateAcceleratorTableA(keys, 4);
    ASSERT_TRUE(table);
    struct Case {
        const char* text;
        UINT flags;
        UINT_PTR id;
        HACCEL accel;
        const char* shown;
    };
    const HACCEL mainTable = reinterpret_cast<HACCEL>(-1);
    const Case cases[] = {
        {"Save\tCtrl+S", MF_STRING, 7, nullptr, "Save"},
        {"Save", MF_STRING, 7, nullptr, "Save"},
        {"", MF_STRING, 7, nullptr, ""},
        {"Save", MF_STRING, 7, table, "Save\tCtrl+S, Alt+Shift+F4"},
        {"Save\tF2", MF_STRING, 7, table, "Save\tF2"},                  // a text with its own keys
        {"Letter", MF_STRING, 9, table, "Letter\tk"},
        {"Other", MF_STRING, 10, table, "Other"},
        {"Menu\tx", MF_POPUP, 7, table, "Menu"},                       // a popup has no keys
        {"Save", MF_STRING, 7, mainTable, "Save"},                     // no frame window here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CDrawMenuItemData record;
        record.SetText(c.text);
        record.m_nFlags = c.flags;
        record.m_nID = c.id;
        EXPECT_STREQ(record.GetDisplayText(c.accel), c.shown);
    }
    CDrawMenuItemData none;
    none.SetText(nullptr);
    EXPECT_STREQ(none.m_strText, "");

    CDrawMenu menu;
    ASSERT_TRUE(menu.Attach(::CreatePopupMenu()));
    menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Quit", MF_BYPOSITION, 8);
    menu.m_hAccel = table;
    CString shown;
    EXPECT_TRUE(menu.GetItemText(0, shown));
    EXPECT_STREQ(shown, "Quit\tCtrl+Q");
    ::DestroyAcceleratorTable(table);
}

TEST(CDrawMenuSettings, VersionCodeOfThisSystemAndUnderWinesVersionSettings)
{
    EXPECT_EQ(g_nOsVersionCode, GetWindowsVersionCode());
    EXPECT_EQ(GetWindowsVersionCode(), OSCODE_XP);          // Wine's default is a 6.x system

    const std::string helper = harness::JoinPath(harness::TestBinDir(), "menuversion.exe");
    const std::string key = "Software\\Wine\\AppDefaults\\menuversion.exe";
    struct Case {
        const char* version;
        int code;
    };
    const Case cases[] = {
        {"win98", OSCODE_WIN98}, {"winme", OSCODE_WINME}, {"nt40", OSCODE_NT4}, {"win2k", OSCODE_WIN2000},
        {"winxp", OSCODE_XP},    {"win10", OSCODE_XP},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        ASSERT_TRUE(harness::WriteRegistryString(HKEY_CURRENT_USER, key, "Version", c.version));
        const DWORD exit = harness::RunAndWait(helper, "");
        // Computed before the program's entry, and the same when asked again.
        EXPECT_EQ(exit, static_cast<DWORD>(c.code * 100 + c.code));
    }
    harness::DeleteRegistryTree(HKEY_CURRENT_USER, key);
}

TEST(CDrawMenuSettings, ScreenColorCountIsAskedOnceAndManyColoursAre64000)
{
    const int saved = g_nScreenColorCount;
    g_nScreenColorCount = 0;
    EXPECT_EQ(GetScreenColorCount(), 64000);
    g_nScreenColorCount = 256;                  // cached: the device is not asked again
    EXPECT_EQ(GetScreenColorCount(), 256);
    g_nScreenColorCount = saved;
}

TEST(CDrawMenuSettings, VersionCodeTable)
{
    struct Case {
        DWORD version, major, minor;
        int code;
    };
    const Case cases[] = {
        {0x00000A03, 3, 10, OSCODE_NT3},      {0x05650004, 4, 0, OSCODE_NT4},   {0x08930005, 5, 0, OSCODE_WIN2000},
        {0x0A280105, 5, 1, OSCODE_XP},        {0x0ECE0205, 5, 2, OSCODE_XP},    {0x1DB10106, 6, 1, OSCODE_XP},
        {0x80000A03, 3, 10, OSCODE_WIN32S},   {0xC3B60004, 4, 0, OSCODE_WIN95}, {0xC0000A04, 4, 10, OSCODE_WIN98},
        {0xC0005A04, 4, 90, OSCODE_WINME},    {0xC0000004, 4, 3, OSCODE_WIN95}, {0xC0000005, 5, 0, OSCODE_WIN95},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionCodeOf(c.version, c.major, c.minor), c.code) << std::hex << c.version;
}

TEST(CDrawMenuTheme, SelectThemeFromTheListTheHookBuiltAtStartUp)
{
    // The hook object was built before the program's entry, with the XP look current.
    EXPECT_NE(CDrawMenuHook::s_hHook, nullptr);
    ASSERT_NE(g_pMenuThemes, nullptr);
    EXPECT_EQ(g_pMenuThemes->size(), 12u);
    ASSERT_NE(g_pCurrentMenuTheme, nullptr);
    CMenuTheme* const atStart = g_pCurrentMenuTheme;
    struct Step {
        int type, before, currentAfter;
    };
    const Step steps[] = {
        {9, atStart->m_nType, 9},
        {9, 9, 9},
        {42, -1, 9},            // no such theme: nothing changes
        {-1, -1, 9},
        {0, 9, 0},
        {atStart->m_nType, 0, atStart->m_nType},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(CDrawMenu::SelectTheme(s.type), s.before) << "type " << s.type;
        EXPECT_EQ(g_pCurrentMenuTheme->m_nType, s.currentAfter) << "type " << s.type;
    }
    EXPECT_EQ(atStart->m_nType, 2);
    EXPECT_EQ(g_pCurrentMenuTheme, atStart);
}

TEST(CDrawMenuTheme, MeasureAndDrawRequestsGoToTheCurrentThemesPainters)
{
    const int before = CDrawMenu::SelectTheme(9);
    CDrawMenu menu;
    ASSERT_TRUE(menu.Attach(::CreatePopupMenu()));
    ASSERT_TRUE(menu.InsertOwnerDrawnItem(static_cast<UINT>(-1), "Create a disk", MF_BYPOSITION, 32771));
    CDrawMenuItemData* record = menu.GetItemDataAt(0);
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 32771, 0, 0, reinterpret_cast<ULONG_PTR>(record)};
    menu.MeasureItem(&measure);
    MEASUREITEMSTRUCT direct = measure;
    direct.itemWidth = direct.itemHeight = 0;
    menu.MeasureItemXP(&direct, FALSE);             // the painter of type 9
    EXPECT_GT(measure.itemWidth, 0u);
    EXPECT_EQ(measure.itemWidth, direct.itemWidth);
    EXPECT_EQ(measure.itemHeight, direct.itemHeight);

    // Drawn into a bitmap of the item's size: something other than the black it started as.
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 120, 24);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT item = {0, 0, 120, 24};
    ::FillRect(dc, &item, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    DRAWITEMSTRUCT draw = {ODT_MENU, 0, 32771, ODA_DRAWENTIRE, 0, reinterpret_cast<HWND>(menu.m_hMenu), dc, item,
                           reinterpret_cast<ULONG_PTR>(record)};
    menu.DrawItem(&draw);
    EXPECT_NE(::GetPixel(dc, 60, 2), RGB(0, 0, 0));
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    CDrawMenu::SelectTheme(before);
}
