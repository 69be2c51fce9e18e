#include "TTrayNotifyIcon.h"

#include "HelperWindow.h"
#include "SystemFunction.h"

#include "TApplication.h"
#include "TCustomForm.h"

#include <shlwapi.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr char kHandlerClass[] = "TTrayIconHandler";
constexpr UINT kExitTimerMs = 20;
constexpr DWORD kTaskbarCreatedShell = 0x40046;     // comctl32 4.70: older shells never restart the tray
constexpr UINT kVersionOlder = 0;                   // the behaviour Agent announces (mouse messages only)

// Icon ids are 32-bit while components may lie anywhere in a 64-bit address space: ids are handed
// out here and mapped back to their icons.
struct IconHandler {
    HWND window = nullptr;
    std::vector<std::pair<UINT, TTrayNotifyIcon*>> icons;
    UINT nextId = 1;
};

IconHandler& Handler()
{
    static IconHandler handler;
    return handler;
}

TTrayNotifyIcon* IconOf(UINT id)
{
    for (auto& entry : Handler().icons)
        if (entry.first == id)
            return entry.second;
    return nullptr;
}

DWORD CommonControlsVersion()
{
    HMODULE module = GetModuleHandleA("comctl32.dll");
    if (!module)
        module = LoadLibraryA("comctl32.dll");
    auto getVersion = module ? reinterpret_cast<DLLGETVERSIONPROC>(
                                   reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")))
                             : nullptr;
    DLLVERSIONINFO info = {};
    info.cbSize = sizeof info;
    if (!getVersion || FAILED(getVersion(&info)))
        return 0;
    return MAKELONG(info.dwMinorVersion, info.dwMajorVersion);
}

// Asked only when the broadcast arrives: the version check loads comctl32, which Agent otherwise
// never needs before its first paint.
bool ShellRestartsTray()
{
    static const bool restarts = CommonControlsVersion() > kTaskbarCreatedShell;
    return restarts;
}

LRESULT CALLBACK HandlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == TTrayNotifyIcon::kCallbackMessage) {
            if (TTrayNotifyIcon* icon = IconOf(static_cast<UINT>(wParam)))
                icon->HandleIconMessage(static_cast<UINT>(lParam));
            return 0;
        }
        if (message == TTrayNotifyIcon::TaskbarCreatedMessage() && message && ShellRestartsTray()) {
            const auto icons = Handler().icons;
            for (auto& entry : icons)
                entry.second->TaskbarCreated();
            return 0;
        }
    } catch (...) {
        return 0;
    }
    switch (message) {
    case WM_DESTROY:
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_QUIT:
    case WM_ENDSESSION:
    case WM_NCDESTROY:
        return 1;   // the forms decide about closing and ending, not this helper window
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND HandlerWindow()
{
    IconHandler& handler = Handler();
    if (!handler.window)
        handler.window = CreateHelperWindow(kHandlerClass, HandlerProc);
    return handler.window;
}

void CopyCut(char* target, size_t capacity, const std::string& text)
{
    const size_t n = text.size() < capacity ? text.size() : capacity;
    std::memcpy(target, text.data(), n);
    target[n] = '\0';
}

TCustomForm* OwnerForm(TComponent* owner) { return dynamic_cast<TCustomForm*>(owner); }

}  // namespace

namespace {

// shell32 loads at the first call into the tray, which comes only once a disk is open.
BOOL WINAPI ShellNotifyIcon(DWORD message, PNOTIFYICONDATAA data)
{
    const auto notify = SystemFunction<decltype(&::Shell_NotifyIconA)>("shell32.dll", "Shell_NotifyIconA");
    return notify ? notify(message, data) : FALSE;
}

}  // namespace

BOOL(WINAPI* TTrayNotifyIcon::NotifyIcon)(DWORD, PNOTIFYICONDATAA) = ShellNotifyIcon;

UINT TTrayNotifyIcon::TaskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

TTrayNotifyIcon::TTrayNotifyIcon(TComponent* owner)
    : TComponent(owner),
      m_id(Handler().nextId++),
      m_cycleTimer(TSimpleTimer::kDefaultInterval, [this](TObject* s) { CycleTimerTick(s); }),
      m_clickTimer(TSimpleTimer::kDefaultInterval, [this](TObject* s) { ClickTimerTick(s); }),
      m_exitTimer(kExitTimerMs, [this](TObject* s) { ExitTimerTick(s); })
{
    Handler().icons.emplace_back(m_id, this);
    HandlerWindow();
    TaskbarCreatedMessage();
    if (Application)
        m_hook = Application->HookMainWindow(
            [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
                return AppWindowHook(message, wParam, lParam, result);
            });
}

TTrayNotifyIcon::~TTrayNotifyIcon()
{
    RemoveTrayIcon();
    if (m_hook && Application)
        Application->UnhookMainWindow(m_hook);
    if (m_listIcon)
        DestroyIcon(m_listIcon);
    IconHandler& handler = Handler();
    for (auto it = handler.icons.begin(); it != handler.icons.end(); ++it)
        if (it->second == this) {
            handler.icons.erase(it);
            break;
        }
    if (handler.icons.empty() && handler.window) {
        DestroyWindow(handler.window);
        handler.window = nullptr;
    }
}

void TTrayNotifyIcon::Loaded()
{
    TComponent::Loaded();
    bool show = true;
    if (OnStartup)
        OnStartup(this, show);
    if (!show) {
        if (Application)
            Application->SetShowMainForm(false);
        HideOwnerForm();
    }
    UpdateTrayIcon();
    SetTrayIconShown(m_iconVisible);
    SetCycleIcons(m_cycleIcons);
    SetWantEnterExitEvents(m_wantEnterExit);
    // The shell applies a version to an icon it holds; a hidden icon (Agent's until its first
    // minimise) has none, and the older behaviour announced here is what an icon gets anyway.
    // Not asking spares a call into the shell's process before the first paint.
    if (m_iconVisible) {
        NOTIFYICONDATAA data;
        FillData(data);
        data.uVersion = kVersionOlder;
        NotifyIcon(NIM_SETVERSION, &data);
    }
}

void TTrayNotifyIcon::FillData(NOTIFYICONDATAA& data) const
{
    data = {};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = HandlerWindow();
    data.uID = m_id;
    data.uFlags = kDefaultFlags;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = m_iconList ? m_listIcon : m_icon;
    if (m_showHint && !m_hint.empty())
        CopyCut(data.szTip, sizeof data.szTip - 1, m_hint);
}

BOOL TTrayNotifyIcon::Send(DWORD message, DWORD extraFlags)
{
    NOTIFYICONDATAA data;
    FillData(data);
    data.uFlags |= extraFlags;
    if (extraFlags & NIF_INFO) {
        CopyCut(data.szInfo, sizeof data.szInfo - 1, m_balloonText);
        CopyCut(data.szInfoTitle, sizeof data.szInfoTitle - 1, m_balloonTitle);
        data.uTimeout = m_balloonTimeout;
        data.dwInfoFlags = m_balloonIcon;
    }
    return NotifyIcon(message, &data);
}

BOOL TTrayNotifyIcon::AddTrayIcon()
{
    m_iconVisible = true;
    return IsLoading() ? FALSE : Send(NIM_ADD);
}

BOOL TTrayNotifyIcon::RemoveTrayIcon()
{
    const bool wasShown = m_iconVisible && !IsLoading();
    m_iconVisible = false;
    return wasShown ? Send(NIM_DELETE) : FALSE;
}

BOOL TTrayNotifyIcon::UpdateTrayIcon()
{
    return m_iconVisible && !IsLoading() ? Send(NIM_MODIFY) : FALSE;
}

void TTrayNotifyIcon::SetTrayIconShown(bool shown)
{
    if (shown)
        AddTrayIcon();
    else
        RemoveTrayIcon();
}

void TTrayNotifyIcon::SetIconVisible(bool visible)
{
    if (IsLoading())
        m_iconVisible = visible;
    else if (visible != m_iconVisible)
        SetTrayIconShown(visible);
}

void TTrayNotifyIcon::SetIcon(HICON icon)
{
    m_icon = icon;
    UpdateTrayIcon();
}

void TTrayNotifyIcon::SetIconList(TImageList* list)
{
    if (m_iconList)
        m_iconList->RemoveFreeNotification(this);
    m_iconList = list;
    if (list)
        list->FreeNotification(this);
    SetIconIndex(0);
}

void TTrayNotifyIcon::SetIconIndex(int index)
{
    if (m_listIcon) {
        DestroyIcon(m_listIcon);
        m_listIcon = nullptr;
    }
    if (m_iconList && m_iconList->Count() > 0) {
        if (index >= m_iconList->Count())
            index = m_iconList->Count() - 1;
        if (index < 0)
            index = 0;
        m_listIcon = m_iconList->GetIcon(index);
    } else {
        index = 0;
    }
    m_iconIndex = index;
    UpdateTrayIcon();
}

void TTrayNotifyIcon::SetCycleIcons(bool cycle)
{
    m_cycleIcons = cycle;
    if (IsLoading())
        return;
    if (cycle) {
        SetIconIndex(0);
        m_cycleTimer.SetInterval(m_cycleInterval);
        m_cycleTimer.SetEnabled(true);
    } else {
        m_cycleTimer.SetEnabled(false);
    }
}

void TTrayNotifyIcon::SetCycleInterval(UINT interval)
{
    if (interval == m_cycleInterval)
        return;
    m_cycleInterval = interval;
    SetCycleIcons(m_cycleIcons);
}

void TTrayNotifyIcon::SetHint(const std::string& hint)
{
    m_hint = hint;
    UpdateTrayIcon();
}

void TTrayNotifyIcon::SetShowHint(bool show)
{
    m_showHint = show;
    UpdateTrayIcon();
}

void TTrayNotifyIcon::SetPopupMenu(TPopupMenu* menu)
{
    if (m_popupMenu)
        m_popupMenu->RemoveFreeNotification(this);
    m_popupMenu = menu;
    if (menu)
        menu->FreeNotification(this);
}

void TTrayNotifyIcon::SetWantEnterExitEvents(bool want)
{
    m_wantEnterExit = want;
    if (!IsLoading())
        m_exitTimer.SetEnabled(want);
}

void TTrayNotifyIcon::HideOwnerForm()
{
    if (!OwnerForm(Owner()) || !Application || !Application->MainForm())
        return;
    Application->MainForm()->SetVisible(false);
}

BOOL TTrayNotifyIcon::ClearBalloon()
{
    m_balloonText.clear();
    return UpdateTrayIcon() ? Send(NIM_MODIFY, NIF_INFO) : FALSE;
}

BOOL TTrayNotifyIcon::PopBalloon(const std::string& title, const std::string& text, TBalloonHintIcon icon,
                                 int seconds)
{
    ClearBalloon();
    m_balloonText = text;
    m_balloonTitle = title;
    m_balloonTimeout = static_cast<UINT>(seconds) * 1000;
    m_balloonIcon = static_cast<DWORD>(icon);
    return Send(NIM_MODIFY, NIF_INFO);
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
    // The menu closes properly when the user clicks elsewhere next time.
    if (TCustomForm* owner = OwnerForm(Owner()))
        PostMessageA(owner->Handle(), WM_NULL, 0, 0);
}

void TTrayNotifyIcon::DoMinimizeToTray()
{
    if (OnMinimizeToTray)
        OnMinimizeToTray(this);
    HideOwnerForm();
    AddTrayIcon();
}

void TTrayNotifyIcon::MouseEvent(const TMouseEvent& event, TMouseButton button)
{
    if (!event)
        return;
    POINT at = {};
    GetCursorPos(&at);
    TShiftState shift = KeyboardShiftState();
    shift |= button == mbLeft ? ssLeft : button == mbRight ? ssRight : ssMiddle;
    event(this, button, shift, at.x, at.y);
}

void TTrayNotifyIcon::HandleIconMessage(UINT message)
{
    const bool balloon = message >= NIN_BALLOONSHOW && message <= NIN_BALLOONUSERCLICK;
    if (!m_enabled && !balloon)
        return;
    const bool autoPopup = m_popupMenu && m_popupMenu->AutoPopup();
    switch (message) {
    case WM_MOUSEMOVE: {
        POINT at = {};
        GetCursorPos(&at);
        if (m_wantEnterExit && m_exited) {
            m_exited = false;
            if (OnMouseEnter)
                OnMouseEnter(this);
        }
        if (OnMouseMove)
            OnMouseMove(this, KeyboardShiftState(), at.x, at.y);
        m_lastPoint = at;
        break;
    }
    case WM_LBUTTONDOWN:
        if (OnDblClick) {
            m_clickTimer.SetInterval(GetDoubleClickTime());
            m_clickTimer.SetEnabled(true);
        }
        MouseEvent(OnMouseDown, mbLeft);
        m_clickStart = true;
        if (m_leftPopup && autoPopup) {
            SetForegroundWindow(HandlerWindow());
            ShowTrayMenu();
        }
        break;
    case WM_LBUTTONUP:
        if (m_clickStart)
            m_clickReady = true;
        if (m_clickStart && !m_clickTimer.Running()) {
            m_clickStart = false;
            m_clickReady = false;
            if (OnClick)
                OnClick(this);
        }
        m_clickStart = false;
        MouseEvent(OnMouseUp, mbLeft);
        break;
    case WM_LBUTTONDBLCLK:
        m_clickReady = false;
        m_doubleClick = true;
        if (OnDblClick)
            OnDblClick(this);
        if (autoPopup && !m_leftPopup) {
            TMenuItem* items = m_popupMenu->Items();
            for (int i = 0; i < items->Count(); ++i)
                if (items->Items(i)->Default()) {
                    items->Items(i)->Click();
                    break;
                }
        }
        break;
    case WM_RBUTTONDOWN:
        MouseEvent(OnMouseDown, mbRight);
        if (autoPopup) {
            SetForegroundWindow(HandlerWindow());
            ShowTrayMenu();
        }
        break;
    case WM_RBUTTONUP:
        MouseEvent(OnMouseUp, mbRight);
        break;
    case WM_MBUTTONDOWN:
        MouseEvent(OnMouseDown, mbMiddle);
        break;
    case WM_MBUTTONUP:
        MouseEvent(OnMouseUp, mbMiddle);
        break;
    case NIN_BALLOONSHOW:
        if (OnBalloonHintShow)
            OnBalloonHintShow(this);
        break;
    case NIN_BALLOONHIDE:
        if (OnBalloonHintHide)
            OnBalloonHintHide(this);
        break;
    case NIN_BALLOONTIMEOUT:
        if (OnBalloonHintTimeout)
            OnBalloonHintTimeout(this);
        break;
    case NIN_BALLOONUSERCLICK:
        if (OnBalloonHintClick)
            OnBalloonHintClick(this);
        break;
    default:
        break;
    }
}

void TTrayNotifyIcon::ClickTimerTick(TObject*)
{
    m_clickTimer.SetEnabled(false);
    if (!m_doubleClick && m_clickReady) {
        m_clickReady = false;
        if (OnClick)
            OnClick(this);
    }
    m_doubleClick = false;
}

void TTrayNotifyIcon::ExitTimerTick(TObject*)
{
    if (m_exited)
        return;
    POINT at = {};
    GetCursorPos(&at);
    if (at.x != m_lastPoint.x || at.y != m_lastPoint.y) {
        m_exited = true;
        if (OnMouseExit)
            OnMouseExit(this);
    }
}

void TTrayNotifyIcon::CycleTimerTick(TObject*)
{
    if (!m_iconList || m_iconList->Count() == 0)
        return;
    const int next = m_iconIndex + 1 < m_iconList->Count() ? m_iconIndex + 1 : 0;
    SetIconIndex(m_iconIndex);
    if (OnCycle)
        OnCycle(this, next);
    SetIconIndex(next);
}

void TTrayNotifyIcon::TaskbarCreated()
{
    if (m_iconVisible)
        AddTrayIcon();
}

// No application window stands apart from the main form here: the application's hook and the
// owner's window procedure both see the main form's messages, the application's first.
inline bool TTrayNotifyIcon::AppWindowHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED && m_minimizeToTray)
            DoMinimizeToTray();
        return false;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_RESTORE && main && main->HandleAllocated()) {
            ShowWindow(main->Handle(), SW_RESTORE);
            main->SetVisible(true);
            return false;
        }
        break;
    default:
        break;
    }
    return OwnerWindowProc(message, wParam, lParam, result);
}

inline bool TTrayNotifyIcon::OwnerWindowProc(UINT message, WPARAM wParam, LPARAM, LRESULT& result)
{
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    if (message == WM_SHOWWINDOW && wParam && main && main->HandleAllocated() && main == OwnerForm(Owner()))
        SetForegroundWindow(main->Handle());
    if (message == WM_SYSCOMMAND && wParam == SC_MINIMIZE && m_minimizeToTray && OnMinimizeToTray &&
        main == OwnerForm(Owner())) {
        DoMinimizeToTray();
        result = 1;
        return true;
    }
    return false;
}

void TTrayNotifyIcon::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation != opRemove)
        return;
    if (component == m_popupMenu)
        m_popupMenu = nullptr;
    if (component == m_iconList) {
        m_iconList = nullptr;
        SetIconIndex(0);
    }
}
