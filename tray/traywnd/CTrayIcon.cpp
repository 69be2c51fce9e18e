#include "CTrayIcon.h"

#include <cstring>

#include "CWinApp.h"
#include "CWnd.h"
#include "SystemFunction.h"

const UINT g_TaskbarCreatedMsg = ::RegisterWindowMessageA("TaskbarCreated");

namespace {

// shell32 loads at the first call into the tray.
BOOL WINAPI ShellNotifyIcon(DWORD operation, PNOTIFYICONDATAA data)
{
    const auto notify = SystemFunction<decltype(&::Shell_NotifyIconA)>("shell32.dll", "Shell_NotifyIconA");
    return notify ? notify(operation, data) : FALSE;
}

}  // namespace

BOOL(WINAPI* CTrayIcon::NotifyIcon)(DWORD, PNOTIFYICONDATAA) = ShellNotifyIcon;

void CopyTrayTip(char* field, size_t capacity, const char* text, UINT codePage)
{
    size_t n = 0;
    while (text[n]) {
        const size_t width = ::IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[n])) && text[n + 1] ? 2 : 1;
        if (n + width > capacity - 1)
            break;
        n += width;
    }
    std::memcpy(field, text, n);
    field[n] = '\0';
}

CTrayIcon::CTrayIcon(CMenu* menu) : m_pMenu(menu)
{
    std::memset(&m_nid, 0, sizeof m_nid);
    m_nid.cbSize = sizeof m_nid;
    m_nid.uID = 0;
    m_hookNotify.m_pTrayIcon = this;
    m_hookParent.m_pTrayIcon = this;
}

CTrayIcon::~CTrayIcon()
{
    if (m_nid.hIcon) {
        m_nid.uFlags = TipAndMessageFlags();
        NotifyIcon(NIM_DELETE, &m_nid);
        m_nid.hIcon = nullptr;
    }
    if (m_hookParent.IsHooked())
        m_hookParent.Hook(nullptr);
    if (m_hookNotify.IsHooked())
        m_hookNotify.Hook(nullptr);
}

UINT CTrayIcon::TipAndMessageFlags() const
{
    UINT flags = 0;
    if (m_nid.szTip[0])
        flags |= NIF_TIP;
    if (m_nid.uCallbackMessage && m_nid.hWnd)
        flags |= NIF_MESSAGE;
    return flags;
}

void CTrayIcon::AttachToWindow(CWnd* window)
{
    m_nid.hWnd = window ? window->m_hWnd : nullptr;
    m_nid.uCallbackMessage = WM_TRAY_NOTIFY;
    m_hookNotify.Hook(m_nid.hWnd);
    CWnd* top = window ? window->GetTopLevelParent() : nullptr;
    if (top && top->m_hWnd != m_nid.hWnd)
        m_hookParent.Hook(top->m_hWnd);
    else if (m_hookParent.IsHooked())
        m_hookParent.Hook(nullptr);
}

BOOL CTrayIcon::ShowIcon(HICON icon, const char* tip)
{
    m_nid.uFlags = 0;
    DWORD operation;
    if (icon) {
        operation = m_nid.hIcon ? NIM_MODIFY : NIM_ADD;
        m_nid.hIcon = icon;
        m_nid.uFlags = NIF_ICON;
    } else {
        if (!m_nid.hIcon)
            return 1;
        operation = NIM_DELETE;
    }
    if (tip)
        CopyTrayTip(m_nid.szTip, sizeof m_nid.szTip, tip);
    m_nid.uFlags |= TipAndMessageFlags();
    const BOOL result = NotifyIcon(operation, &m_nid);
    if (operation == NIM_DELETE || !result)
        m_nid.hIcon = nullptr;
    return result;
}

LRESULT CTrayIcon::HandleTrayMessage(WPARAM wParam, LPARAM lParam)
{
    if (wParam != m_nid.uID || (lParam != WM_RBUTTONUP && lParam != WM_LBUTTONDBLCLK))
        return 0;
    if (!m_pMenu)
        return 0;
    if (lParam == WM_LBUTTONDBLCLK)
        return 1;       // the window's own handler acts on it
    ::SetMenuDefaultItem(m_pMenu->m_hMenu, 0, TRUE);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(m_nid.hWnd);
    CWnd* owner = AfxGetThread() ? AfxGetMainWnd() : nullptr;
    m_pMenu->TrackPopupMenu(TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, owner);
    // The menu then closes when the user clicks elsewhere.
    ::PostMessageA(m_nid.hWnd, WM_NULL, 0, 0);
    return 1;
}

LRESULT CTrayIcon::ReAddIcon(WPARAM, LPARAM)
{
    if (!m_nid.hIcon)
        return 0;
    m_nid.uFlags = NIF_ICON | TipAndMessageFlags();
    if (!NotifyIcon(NIM_ADD, &m_nid))
        m_nid.hIcon = nullptr;
    return 0;
}

LRESULT CTrayIcon::CTrayHook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == m_pTrayIcon->m_nid.uCallbackMessage && m_hWnd == m_pTrayIcon->m_nid.hWnd)
        m_pTrayIcon->HandleTrayMessage(wParam, lParam);
    else if (message == g_TaskbarCreatedMsg)
        m_pTrayIcon->ReAddIcon(wParam, lParam);
    return CSubclassWnd::WindowProc(message, wParam, lParam);
}
