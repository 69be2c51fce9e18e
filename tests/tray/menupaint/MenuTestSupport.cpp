#include "MenuTestSupport.h"

SavedMenuSettings::SavedMenuSettings()
    : m_theme(g_pCurrentMenuTheme),
      m_colors(g_nScreenColorCount),
      m_highContrast(g_bHighContrast),
      m_osCode(g_nOsVersionCode),
      m_wine(g_bWine),
      m_isThemeActive(g_pfnIsThemeActive),
      m_gradientFill(g_pfnGradientFill),
      m_options(g_dwDrawMenuOptions)
{
}

SavedMenuSettings::~SavedMenuSettings()
{
    g_pCurrentMenuTheme = m_theme;
    g_nScreenColorCount = m_colors;
    g_bHighContrast = m_highContrast;
    g_nOsVersionCode = m_osCode;
    g_bWine = m_wine;
    g_pfnIsThemeActive = m_isThemeActive;
    g_pfnGradientFill = m_gradientFill;
    g_dwDrawMenuOptions = m_options;
}

CMenuTheme* ThemeOfType(int type)
{
    if (!g_pMenuThemes)
        return nullptr;
    for (CMenuTheme* theme : *g_pMenuThemes)
        if (theme->m_nType == type)
            return theme;
    return nullptr;
}

FakeMenuWindow::FakeMenuWindow(int x, int y, int width, int height)
{
    m_window = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, x, y, width, height, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
}

FakeMenuWindow::~FakeMenuWindow()
{
    auto it = g_MenuHookDataMap.find(m_window);
    if (it != g_MenuHookDataMap.end()) {
        delete it->second;
        g_MenuHookDataMap.erase(it);
    }
    ::DestroyWindow(m_window);
}

CDrawMenuHook::CMenuHookData* FakeMenuWindow::AddHookData(HMENU menu, DWORD state)
{
    g_hPendingMenu = menu;
    auto* data = new CDrawMenuHook::CMenuHookData(m_window, state);
    g_MenuHookDataMap[m_window] = data;
    return data;
}
