#pragma once
// What the menu library's painter, theme and hook tests share: the library's settings saved and
// put back around each test, a popup window standing in for a menu window, and a hook record for
// it made the way the hook makes one.
#include <windows.h>

#include "CDrawMenu.h"
#include "CDrawMenuHook.h"
#include "CMenuTheme.h"
#include "DrawMenuSettings.h"

// Saves the settings a test may change (theme, colour count, flags, entry points) and puts
// them back at the end.
class SavedMenuSettings {
public:
    SavedMenuSettings();
    ~SavedMenuSettings();

    // GradientFill as the hook found it.
    GradientFillProc GradientFill() const { return m_gradientFill; }

private:
    CMenuTheme* m_theme;
    int m_colors, m_highContrast, m_osCode, m_wine;
    IsThemeActiveProc m_isThemeActive;
    GradientFillProc m_gradientFill;
    DWORD m_options;
};

// The first theme of a type in the library's list.
CMenuTheme* ThemeOfType(int type);

// A plain popup window of the given size at (x, y), destroyed with the object; optionally with a
// hook record as the menu hook would keep for a menu window showing `menu`.
class FakeMenuWindow {
public:
    FakeMenuWindow(int x, int y, int width, int height);
    ~FakeMenuWindow();
    FakeMenuWindow(const FakeMenuWindow&) = delete;
    FakeMenuWindow& operator=(const FakeMenuWindow&) = delete;

    HWND hwnd() const { return m_window; }
    CDrawMenuHook::CMenuHookData* AddHookData(HMENU menu, DWORD state = 0);

private:
    HWND m_window;
};
