#pragma once
// One icon in the notification area for a window: its popup menu on a right-button release and
// the icon put back when the shell's taskbar is rebuilt. It hears the icon's callback messages
// by hooking the window's procedure, not through the window's message map.
#include <windows.h>

#include <shellapi.h>

#include "CCmdTarget.h"
#include "CMenu.h"
#include "CSubclassWnd.h"

class CWnd;

// The callback message of the tray icon.
constexpr UINT WM_TRAY_NOTIFY = 1100;

// "TaskbarCreated": the shell's taskbar was made again and its icons are gone.
extern const UINT g_TaskbarCreatedMsg;

// Copies what fits of `text` into the tip field with its terminator, never half a double-byte
// character of the code page.
void CopyTrayTip(char* field, size_t capacity, const char* text, UINT codePage = CP_ACP);

class CTrayIcon : public CCmdTarget {
public:
    explicit CTrayIcon(CMenu* menu);
    ~CTrayIcon() override;

    // The window that hears the icon's messages (its top-level parent too, for TaskbarCreated).
    void AttachToWindow(CWnd* window);
    // Adds or changes the icon, or with none removes it; 1 when there is nothing to do, else the
    // shell's answer. A tip of none keeps the previous one.
    BOOL ShowIcon(HICON icon, const char* tip);

    virtual LRESULT HandleTrayMessage(WPARAM wParam, LPARAM lParam);
    virtual LRESULT ReAddIcon(WPARAM wParam, LPARAM lParam);

    // The shell's notification call; tests put a recorder in its place.
    static BOOL(WINAPI* NotifyIcon)(DWORD operation, PNOTIFYICONDATAA data);

    class CTrayHook : public CSubclassWnd {
    public:
        CTrayIcon* m_pTrayIcon = nullptr;

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    };

    NOTIFYICONDATAA m_nid;
    CMenu* m_pMenu;                 // not owned
    CTrayHook m_hookNotify;
    CTrayHook m_hookParent;

private:
    UINT TipAndMessageFlags() const;
};
