#pragma once
// A hook on another object's window procedure. Any number of hooks may sit on one window: they
// form a chain, newest first, in front of the procedure the window had before the first of them.
#include <windows.h>

#include "CObject.h"

class CSubclassWnd : public CObject {
public:
    CSubclassWnd() = default;
    ~CSubclassWnd() override;
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Hooks the window (the newest of its chain), or with none unhooks. A hook that is already on
    // a window leaves it first. Returns TRUE.
    BOOL Hook(HWND window);
    BOOL IsHooked() const { return m_hWnd != nullptr; }

    HWND m_hWnd = nullptr;
    WNDPROC m_pOldWndProc = nullptr;    // the window's procedure before its first hook
    CSubclassWnd* m_pNext = nullptr;    // the hook made before this one on the same window

protected:
    // Handles a message and passes it on down the chain (the default only passes it on).
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    friend LRESULT CALLBACK HookWndProc(HWND, UINT, WPARAM, LPARAM);
    friend class CSubclassWndMap;
};

// The procedure every hooked window has.
LRESULT CALLBACK HookWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
