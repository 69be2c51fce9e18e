#include "TTrayNotifyIcon.h"

#include "TApplication.h"
#include "TCustomForm.h"

#include <cwchar>
#include <map>

namespace {

constexpr char kHandlerClass[] = "TTrayIconHandler";
constexpr size_t kTipChars = 127;
constexpr size_t kBalloonChars = 255;
constexpr size_t kTitleChars = 63;

// The icon ids are 32-bit while components may lie anywhere in a 64-bit address space: ids are
// handed out here and mapped back to their icons.
std::map<UINT, TTrayNotifyIcon*>& Icons()
{
    static std::map<UINT, TTrayNotifyIcon*> icons;
    return icons;
}

UINT g_nextId = 1;
UINT g_taskbarCreated = 0;
HWND g_handler = nullptr;

LRESULT CALLBACK HandlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTrayNotifyIcon::kCallbackMessage) {
        auto found = Icons().find(static_cast<UINT>(wParam));
        if (found != Icons().end())
            found->second->HandleIconMessage(lParam);
        return 0;
    }
    if (g_taskbarCreated && message == g_taskbarCreated) {
        for (auto& icon : Icons())
            icon.second->TaskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
        return 1;   // the forms decide about ending, not this helper window
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND HandlerWindow()
{
    if (!g_handler) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HandlerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHandlerClass;
        RegisterClassA(&wc);
        g_handler = CreateWindowExA(WS_EX_TOOLWINDOW, kHandlerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    wc.hInstance, nullptr);
        g_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    }
    return g_handler;
}

void CopyCut(wchar_t* target, size_t capacity, const std::wstring& text)
{
    const size_t n = text.size() < capacity ? text.size() : capacity;
    wmemcpy(target, text.data(), n);
    target[n] = L'\0';
}

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

}  // namespace

TTrayNotifyIcon::TTrayNotifyIcon(TComponent* owner) : TComponent(owner), m_id(g_nextId++)
{
    Icons()[m_id] = this;
    HandlerWindow();
}

TTrayNotifyIcon::~TTrayNotifyIcon()
{
    SetIconVisible(false);
    Icons().erase(m_id);
}

BOOL TTrayNotifyIcon::NotifyIcon(DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data); }

void TTrayNotifyIcon::FillData(NOTIFYICONDATAW& data) const
{
    data = {};
    data.cbSize = NOTIFYICONDATAW_V2_SIZE;
    data.hWnd = HandlerWindow();
    data.uID = m_id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = m_icon;
    CopyCut(data.szTip, kTipChars, m_tip);
}

void TTrayNotifyIcon::SetIconVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    NOTIFYICONDATAW data;
    FillData(data);
    NotifyIcon(visible ? NIM_ADD : NIM_DELETE, data);
}

void TTrayNotifyIcon::SetIcon(HICON icon)
{
    m_icon = icon;
    if (m_visible) {
        NOTIFYICONDATAW data;
        FillData(data);
        NotifyIcon(NIM_MODIFY, data);
    }
}

void TTrayNotifyIcon::SetHint(const std::string& hint)
{
    m_tip = Wide(hint);
    if (m_visible) {
        NOTIFYICONDATAW data;
        FillData(data);
        NotifyIcon(NIM_MODIFY, data);
    }
}

void TTrayNotifyIcon::HideOwnerForm()
{
    if (auto* form = dynamic_cast<TCustomForm*>(Owner()))
        form->SetVisible(false);
}

void TTrayNotifyIcon::PopBalloon(const std::string& text, const std::string& title, TBalloonIcon icon, int seconds)
{
    NOTIFYICONDATAW data;
    FillData(data);
    data.uFlags |= NIF_INFO;
    CopyCut(data.szInfo, kBalloonChars, Wide(text));
    CopyCut(data.szInfoTitle, kTitleChars, Wide(title));
    data.uTimeout = static_cast<UINT>(seconds) * 1000;
    data.dwInfoFlags = static_cast<DWORD>(icon);
    NotifyIcon(NIM_MODIFY, data);
}

void TTrayNotifyIcon::ShowTrayMenu()
{
    if (!m_popupMenu)
        return;
    SetForegroundWindow(HandlerWindow());
    if (Application)
        Application->ProcessMessages();
    m_popupMenu->SetPopupComponent(this);
    POINT at = {};
    GetCursorPos(&at);
    m_popupMenu->Popup(at.x, at.y);
    // Lets the menu close when the user clicks elsewhere afterwards.
    PostMessageA(HandlerWindow(), WM_NULL, 0, 0);
}

void TTrayNotifyIcon::HandleIconMessage(LPARAM mouseMessage)
{
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
        if (OnDblClick)
            OnDblClick(this);
        break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
        ShowTrayMenu();
        break;
    default:
        break;
    }
}

void TTrayNotifyIcon::TaskbarCreated()
{
    if (!m_visible)
        return;
    NOTIFYICONDATAW data;
    FillData(data);
    NotifyIcon(NIM_ADD, data);
}

void TTrayNotifyIcon::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_popupMenu)
        m_popupMenu = nullptr;
}
