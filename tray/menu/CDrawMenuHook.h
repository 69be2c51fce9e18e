#pragma once
// The menu library's one process-wide hook object. Built before the program's main entry, it
// reads the system's flags, loads the optional theme and gradient libraries, builds the menu
// themes and hooks the thread's window procedure calls, so that each popup-menu window whose menu
// is a CDrawMenu is subclassed and painted by the current theme.
#include <windows.h>

#include <map>

#include "CBitmap.h"

class CMenuTheme;

// Menu messages the hook listens for beside WM_CREATE.
constexpr UINT MN_GETHMENU_MESSAGE = 0x01E1;    // MN_GETHMENU: the menu a menu window shows
constexpr UINT MN_SIZEWINDOW_MESSAGE = 0x01E2;  // sent by the system before a menu window shows
// The layered-window timer of a subclassed menu window (nothing in the library sets it).
constexpr UINT_PTR MENU_LAYER_TIMER = 0x1234;

// Option flags of the hook; 0 in the programs.
enum : DWORD {
    MENU_OPTION_TEMP_HANDLER = 0x01,             // dialogs get a CDrawMenuTempHandler
    MENU_OPTION_ADOPT_SYSMENU = 0x02,            // which adopts the dialog's system menu
};
extern DWORD g_dwDrawMenuOptions;

class CDrawMenuHook {
public:
    // What the hook keeps about one subclassed menu window.
    class CMenuHookData {
    public:
        // Takes the pending menu handle as its menu and clears it.
        CMenuHookData(HWND window, DWORD state);
        ~CMenuHookData();
        CMenuHookData(const CMenuHookData&) = delete;
        CMenuHookData& operator=(const CMenuHookData&) = delete;

        DWORD m_dwStyle;
        DWORD m_dwExStyle;
        int m_nLastX = 0;                        // 0, 0 = not yet known
        int m_nLastY = 0;
        DWORD m_dwState;                         // HOOKSTATE_* bits
        BOOL m_bFramePainted = FALSE;
        HMENU m_hMenu;
        CBitmap m_bmpShade;                      // the screen under the window and its shade
        HRGN m_hUpdateRgn = NO_SAVED_REGION;
        BOOL m_bActive = TRUE;

        static inline const HRGN NO_SAVED_REGION = reinterpret_cast<HRGN>(1);
    };

    enum : DWORD {
        HOOKSTATE_BY_SIZEWINDOW = 0x01,          // subclassed on MN_SIZEWINDOW, not WM_CREATE
        HOOKSTATE_STYLES_CHANGED = 0x02,         // the theme changed the styles: put them back
        HOOKSTATE_ESCAPE = 0x04,                 // Esc was pressed in the menu
        HOOKSTATE_PRINTING = 0x08,
    };

    CDrawMenuHook();
    ~CDrawMenuHook();
    CDrawMenuHook(const CDrawMenuHook&) = delete;
    CDrawMenuHook& operator=(const CDrawMenuHook&) = delete;

    // Appends a theme to the list (made on first use); 0 when it is there already.
    static BOOL AddTheme(CMenuTheme* theme);
    static CMenuHookData* FindHookData(HWND window);
    // 1 when the window was subclassed now.
    static BOOL SubclassMenuWindow(HWND window, BOOL bySizeWindow);
    static void UnsubclassMenuWindow(HWND window);

    static LRESULT CALLBACK MenuHookProc(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static HHOOK s_hHook;

private:
    static LRESULT PaintFrame(HWND window, CMenuHookData* data, WNDPROC oldProc, WPARAM wParam, LPARAM lParam);
    static LRESULT PrintFrame(HWND window, CMenuHookData* data, WNDPROC oldProc, HDC target, LPARAM flags);

    HMODULE m_hUxTheme = nullptr;
    HMODULE m_hMsImg32 = nullptr;
};

// The subclassed menu windows and their records (owned).
typedef std::map<HWND, CDrawMenuHook::CMenuHookData*> CMenuHookDataMap;
extern CMenuHookDataMap g_MenuHookDataMap;

// The window property that holds a menu window's previous procedure.
extern const char* const OLD_MENU_PROC_PROPERTY;
