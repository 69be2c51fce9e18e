#include "CWnd.h"

#include <exception>
#include <memory>
#include <unordered_map>

#include "CMenu.h"
#include "CWinApp.h"

namespace {

// Windows live on the UI thread; each thread keeps its own maps.
std::unordered_map<HWND, CWnd*>& PermanentMap()
{
    static thread_local std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::unordered_map<HWND, std::unique_ptr<CWnd>>& TemporaryMap()
{
    static thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

// Modal loops running on this thread; only the outermost frees borrowed wrappers, since a handler
// that runs a nested loop may still hold one.
thread_local int g_modalDepth = 0;

// The message being dispatched on this thread (what Default() passes on).
thread_local MSG g_currentMessage = {};

// The object whose window CreateEx is making: bound at the window's first message.
thread_local CWnd* g_pWndInit = nullptr;
thread_local HHOOK g_createHook = nullptr;

// A failure the Parts name as an exception ends the message it happened in, reported, rather
// than unwinding through the system's code.
LRESULT ReportFailedMessage(HWND hwnd, UINT message, const char* what)
{
    char trace[256];
    wsprintfA(trace, "Sequora: message 0x%04X of window %p failed: %s\n", message, static_cast<void*>(hwnd),
              what ? what : "unknown exception");
    ::OutputDebugStringA(trace);
    return 0;
}

}  // namespace

MSG* AfxGetCurrentMessage()
{
    return &g_currentMessage;
}

CWnd::~CWnd()
{
    if (!m_hWnd)
        return;
    if (m_ownsWindow && ::IsWindow(m_hWnd)) {
        ::DestroyWindow(m_hWnd);
    } else {
        UnsubclassWindow();
    }
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    auto it = PermanentMap().find(hwnd);
    return it == PermanentMap().end() ? nullptr : it->second;
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd))
        return permanent;
    auto& temps = TemporaryMap();
    auto it = temps.find(hwnd);
    if (it != temps.end())
        return it->second.get();
    auto wrapper = std::make_unique<CWnd>();
    wrapper->m_hWnd = hwnd;
    CWnd* result = wrapper.get();
    temps.emplace(hwnd, std::move(wrapper));
    return result;
}

void CWnd::DeleteTempMap()
{
    for (auto& entry : TemporaryMap())
        entry.second->m_hWnd = nullptr;     // borrowed: never destroyed or unsubclassed
    TemporaryMap().clear();
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
    CMenu::DeleteTempMap();
}

BOOL CWnd::Attach(HWND hwnd)
{
    if (!hwnd || m_hWnd)
        return FALSE;
    // One object per window: a second one would take the first one's procedure for the
    // window's own and lose the class procedure behind it.
    if (FromHandlePermanent(hwnd))
        return FALSE;
    m_hWnd = hwnd;
    PermanentMap()[hwnd] = this;
    // A borrowed wrapper of the same window would now be stale.
    auto& temps = TemporaryMap();
    auto it = temps.find(hwnd);
    if (it != temps.end()) {
        it->second->m_hWnd = nullptr;
        temps.erase(it);
    }
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND hwnd = m_hWnd;
    if (hwnd) {
        auto it = PermanentMap().find(hwnd);
        if (it != PermanentMap().end() && it->second == this)
            PermanentMap().erase(it);
    }
    m_hWnd = nullptr;
    m_ownsWindow = false;
    return hwnd;
}

BOOL CWnd::HookWindowProc()
{
    WNDPROC current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC));
    if (current == &CWnd::StdWndProc)
        return TRUE;
    m_pfnSuper = current;
    return ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)) != 0;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!Attach(hwnd))
        return FALSE;
    PreSubclassWindow();
    if (!HookWindowProc()) {
        Detach();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    HWND item = parent ? ::GetDlgItem(parent->m_hWnd, static_cast<int>(id)) : nullptr;
    return item ? SubclassWindow(item) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    // Only while ours is still the window's procedure: a hook put in front of it later keeps
    // its place (and still ends with the procedure we saved).
    if (m_hWnd && m_pfnSuper && ::IsWindow(m_hWnd) &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &CWnd::StdWndProc)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&)
{
    return TRUE;
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id);
}

BOOL CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, const RECT& rect,
                    CWnd* parent, UINT id, void* param)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTA cs = {};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->m_hWnd : nullptr;
    cs.hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs))
        return FALSE;
    // Bound before the window's first message, so that WM_NCCREATE, WM_CREATE and what the
    // window's creation sends (WM_SETFONT of a dialog item) reach this object.
    CWnd* const outerInit = g_pWndInit;
    HHOOK const outerHook = g_createHook;
    g_pWndInit = this;
    g_createHook = ::SetWindowsHookExA(WH_CBT, &CWnd::CreateHookProc, nullptr, ::GetCurrentThreadId());
    HWND hwnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (g_createHook)
        ::UnhookWindowsHookEx(g_createHook);
    g_pWndInit = outerInit;
    g_createHook = outerHook;
    if (!hwnd)
        return FALSE;
    if (m_hWnd != hwnd && !SubclassWindow(hwnd)) {
        ::DestroyWindow(hwnd);
        return FALSE;
    }
    m_ownsWindow = true;
    return TRUE;
}

LRESULT CALLBACK CWnd::CreateHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    HHOOK const hook = g_createHook;
    if (code == HCBT_CREATEWND && g_pWndInit) {
        CWnd* const wnd = g_pWndInit;
        g_pWndInit = nullptr;               // only the first window made: not its children
        wnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(hook, code, wParam, lParam);
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    HWND hwnd = m_hWnd;
    const BOOL ok = ::DestroyWindow(hwnd);
    // Our procedure detaches at WM_NCDESTROY; a window we never hooked is detached here.
    if (m_hWnd == hwnd && !::IsWindow(hwnd))
        Detach();
    return ok;
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandlePermanent(hwnd);
    if (!wnd)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    try {
        result = wnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& failure) {
        // Nothing may unwind through the system's code.
        result = ReportFailedMessage(hwnd, message, failure.what());
    } catch (...) {
        result = ReportFailedMessage(hwnd, message, nullptr);
    }
    if (message == WM_NCDESTROY && FromHandlePermanent(hwnd) == wnd) {
        WNDPROC super = wnd->m_pfnSuper;
        wnd->m_pfnSuper = nullptr;
        // A hook put in front of ours later restores its own saved procedure (ours) itself.
        if (super && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &CWnd::StdWndProc)
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
        wnd->Detach();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    struct Restore {
        MSG saved = g_currentMessage;
        ~Restore() { g_currentMessage = saved; }
    } restore;
    g_currentMessage.hwnd = m_hWnd;
    g_currentMessage.message = message;
    g_currentMessage.wParam = wParam;
    g_currentMessage.lParam = lParam;
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A child without border or scroll bars has nothing outside its client area; the system's
    // handling would still fetch and free a window DC for it, which under Wine costs every
    // control a good part of a millisecond each time it is painted.
    if (message == WM_NCPAINT && HasNoNonClientArea())
        return 0;
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(g_currentMessage.message, g_currentMessage.wParam, g_currentMessage.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND stop, MSG* msg)
{
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        CWnd* wnd = FromHandlePermanent(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hwnd == stop)
            break;
    }
    return FALSE;
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*)
{
    return FALSE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (OnCmdMsg(id, code))
        return TRUE;
    // Commands the main window does not take go to the application, as its help command does.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this && app->OnCmdMsg(id, code))
        return TRUE;
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    const AFX_MSGMAP_ENTRY* entry =
        FindMessageEntry(GetMessageMap(), WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom));
    if (!entry)
        return FALSE;
    entry->pfn(this, AfxMessage{0, lParam, 0, result});
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    *result = 0;
    {
        // Owner-drawn controls draw themselves, and a control may handle its own notifications
        // and colours: the parent reflects those to the control first; what it takes stops here.
        // A menu item's request names a menu, not a child window (its control id is 0, which
        // may well be a child's id).
        HWND item = nullptr;
        if (message == WM_DRAWITEM) {
            const DRAWITEMSTRUCT* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (draw->CtlType != ODT_MENU)
                item = draw->hwndItem;
        } else if (message == WM_MEASUREITEM) {
            const MEASUREITEMSTRUCT* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (measure->CtlType != ODT_MENU)
                item = ::GetDlgItem(m_hWnd, static_cast<int>(measure->CtlID));
        }
        else if ((message == WM_COMMAND && lParam) || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC))
            item = reinterpret_cast<HWND>(lParam);
        CWnd* child = item ? FromHandlePermanent(item) : nullptr;
        if (child && child != this && child->OnChildNotify(message, wParam, lParam, result))
            return TRUE;
    }
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam);
    if (message == WM_NOTIFY)
        return OnNotify(wParam, lParam, result);

    UINT lookup = message;
    UINT ctlColor = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        lookup = WM_CTLCOLOR;
        ctlColor = message - WM_CTLCOLORMSGBOX;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), lookup, 0, 0);
    if (!entry) {
        // Menu items a window's map does not take still reach their menu's object.
        if (message == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            CWnd::OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            *result = TRUE;
            return TRUE;
        }
        if (message == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            CWnd::OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            *result = TRUE;
            return TRUE;
        }
        return FALSE;
    }
    entry->pfn(this, AfxMessage{wParam, lParam, ctlColor, result});
    return TRUE;
}

void CWnd::PrepareModalLoop()
{
    m_modalDone = false;
    m_modalResult = -1;
}

int CWnd::RunModalLoop()
{
    if (m_modalDone)
        return m_modalResult;       // ended during its initialisation
    m_modalRunning = true;
    ++g_modalDepth;
    if (m_hWnd && !(GetStyle() & WS_VISIBLE)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
    }
    MSG msg;
    while (!m_modalDone && m_hWnd) {
        if (g_modalDepth == 1 && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            DeleteTempMap();                        // idle: borrowed wrappers go
        // GetMessage also delivers what other threads send, so workers never block on us.
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!WalkPreTranslateTree(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    --g_modalDepth;
    m_modalRunning = false;
    return m_modalResult;
}

void CWnd::EndModalLoop(int result)
{
    m_modalResult = result;
    m_modalDone = true;
    if (m_modalRunning)
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);      // wake the loop
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (!m_hWnd)
        return nullptr;
    HWND top = ::GetAncestor(m_hWnd, GA_ROOT);
    return FromHandle(top ? top : m_hWnd);
}

CWnd* CWnd::GetWindow(UINT command) const
{
    return FromHandle(::GetWindow(m_hWnd, command));
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(rect), 2);
}

void CWnd::CenterWindow(CWnd* alternateOwner)
{
    CRect window;
    GetWindowRect(&window);
    CRect area;
    HWND owner = alternateOwner ? alternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::MapWindowPoints(parent, nullptr, reinterpret_cast<LPPOINT>(&area), 2);
    } else if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    }
    int x = area.left + (area.Width() - window.Width()) / 2;
    int y = area.top + (area.Height() - window.Height()) / 2;
    if (GetStyle() & WS_CHILD) {
        POINT p = {x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &p);
        x = p.x;
        y = p.y;
    }
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    SetFont(font ? static_cast<HFONT>(*font) : nullptr, redraw);
}

void CWnd::SetFont(HFONT font, BOOL redraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::GetWindowText(CString& text) const
{
    text = GetWindowText();
}

CString CWnd::GetWindowText() const
{
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, &buffer[0], length + 1);
    buffer.resize(static_cast<size_t>(got > 0 ? got : 0));
    return CString(buffer);
}

bool CWnd::HasNoNonClientArea() const
{
    if (!(GetStyle() & WS_CHILD))
        return false;
    RECT window = {}, client = {};
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    return window.right - window.left == client.right && window.bottom - window.top == client.bottom;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags)
{
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrA(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
BOOL CWnd::OnDeviceChange(UINT, DWORD_PTR) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
int CWnd::OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }

void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT measure)
{
    if (measure->CtlType == ODT_MENU) {
        if (CMenu* menu = CMenu::FindMenuOfWindowItem(m_hWnd, measure->itemID, measure->itemData)) {
            menu->MeasureItem(measure);
            return;
        }
    }
    Default();
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT draw)
{
    if (draw->CtlType == ODT_MENU) {
        if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(draw->hwndItem))) {
            menu->DrawItem(draw);
            return;
        }
    }
    Default();
}
