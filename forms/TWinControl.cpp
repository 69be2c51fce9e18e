#include "TWinControl.h"

#include "TCustomForm.h"
#include "TGraphicControl.h"

#include <windowsx.h>

#include <algorithm>
#include <set>

namespace {

const char* const kPublished[] = {"TabStop", "TabOrder", "OnKeyDown", "OnKeyUp", "OnEnter", "OnExit", nullptr};
const char kControlProperty[] = "SequoraFormsControl";

TShiftState MouseShift(WPARAM keys)
{
    TShiftState s = 0;
    if (keys & MK_SHIFT)
        s |= ssShift;
    if (keys & MK_CONTROL)
        s |= ssCtrl;
    if (keys & MK_LBUTTON)
        s |= ssLeft;
    if (keys & MK_RBUTTON)
        s |= ssRight;
    if (keys & MK_MBUTTON)
        s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0)
        s |= ssAlt;
    return s;
}

bool RegisterOwnClass(const std::string& name, UINT style)
{
    static std::set<std::string> registered;
    if (registered.count(name))
        return true;
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name.c_str();
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    registered.insert(name);
    return true;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl()
{
    for (TControl* c : m_controls)
        c->m_parent = nullptr;
    m_controls.clear();
    DestroyHandle();
}

bool TWinControl::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TControl::HasPublished(name);
}

TWinControl* TWinControl::FromHandle(HWND window)
{
    return window ? static_cast<TWinControl*>(GetPropA(window, kControlProperty)) : nullptr;
}

HWND TWinControl::Handle()
{
    if (!m_handle)
        CreateWnd();
    return m_handle;
}

void TWinControl::CreateParams(TCreateParams& params)
{
    params.caption = m_caption;
    params.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (m_parent || m_parentWindow)
        params.style |= WS_CHILD;
    if (m_visible && (m_parent || m_parentWindow))
        params.style |= WS_VISIBLE;
    if (m_tabStop)
        params.style |= WS_TABSTOP;
    if (!m_enabled)
        params.style |= WS_DISABLED;
    params.x = m_left;
    params.y = m_top;
    params.width = m_width;
    params.height = m_height;
    if (m_parent)
        params.parent = m_parent->Handle();
    else
        params.parent = m_parentWindow;
}

void TWinControl::CreateWnd()
{
    if (m_parent && !m_parent->HandleAllocated()) {
        m_parent->Handle();     // makes this one too
        if (m_handle)
            return;
    }
    TCreateParams params;
    CreateParams(params);
    if (m_handle)
        return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const char* className = params.systemClass;
    m_ownClass = className == nullptr;
    if (m_ownClass) {
        if (!RegisterOwnClass(params.className, params.classStyle))
            return;
        className = params.className.c_str();
    }
    HWND window = CreateWindowExA(params.exStyle, className, params.caption.c_str(), params.style, params.x,
                                  params.y, params.width, params.height, params.parent, nullptr, instance, nullptr);
    if (!window)
        return;
    m_handle = window;
    SetPropA(window, kControlProperty, this);
    // Win32 links a new child below its older siblings; a form stacks its controls in form order,
    // later ones on top (a hidden panel shown over edits must cover them).
    if (m_parent) {
        HWND above = HWND_TOP;
        bool after = false;
        for (TControl* c : m_parent->m_controls) {
            if (c == this) {
                after = true;
            } else if (after && c->IsWindowed() && static_cast<TWinControl*>(c)->m_handle) {
                above = static_cast<TWinControl*>(c)->m_handle;
                break;
            }
        }
        SetWindowPos(window, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    m_defaultProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StaticWndProc)));
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Handle()), FALSE);
    if (m_borderWidth)
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // Children in form order.
    for (TControl* c : m_controls)
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->Handle();
    WndCreated();
}

void TWinControl::DestroyHandle()
{
    if (!m_handle)
        return;
    HWND window = m_handle;
    m_handle = nullptr;
    RemovePropA(window, kControlProperty);
    if (m_defaultProc)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_defaultProc));
    DestroyWindow(window);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TWinControl* control = FromHandle(window);
    if (!control)
        return DefWindowProcA(window, message, wParam, lParam);
    // No exception leaves a window procedure.
    try {
        if (message == WM_NCDESTROY) {
            WNDPROC proc = control->m_defaultProc;
            RemovePropA(window, kControlProperty);
            control->m_handle = nullptr;
            control->m_defaultProc = nullptr;
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
            return CallWindowProcA(proc, window, message, wParam, lParam);
        }
        return control->WndProc(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_handle)
        return 0;
    return CallWindowProcA(m_defaultProc ? m_defaultProc : DefWindowProcA, m_handle, message, wParam, lParam);
}

LRESULT TWinControl::Perform(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(Handle(), message, wParam, lParam);
}

TControl* TWinControl::FindReflectTarget(HWND child) const
{
    TWinControl* c = FromHandle(child);
    return (c && c->m_parent == this) ? c : nullptr;
}

LRESULT TWinControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        if (!m_ownClass) {
            LRESULT r = DefaultHandler(message, wParam, lParam);
            return r;
        }
        if (wParam) {
            PaintTo(reinterpret_cast<HDC>(wParam));
        } else {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(m_handle, &ps);
            PaintTo(dc);
            EndPaint(m_handle, &ps);
        }
        return 0;
    case WM_ERASEBKGND:
        if (!m_ownClass)
            return DefaultHandler(message, wParam, lParam);
        return EraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_NCCALCSIZE:
        if (m_borderWidth) {
            LRESULT r = DefaultHandler(message, wParam, lParam);
            RECT* rc = reinterpret_cast<RECT*>(lParam);
            InflateRect(rc, -m_borderWidth, -m_borderWidth);
            return r;
        }
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return HandleMouse(message, wParam, lParam);
    case WM_MOUSELEAVE:
        m_trackingMouse = false;
        DefaultHandler(message, wParam, lParam);
        MouseLeave();
        return 0;
    case WM_CANCELMODE:
        DefaultHandler(message, wParam, lParam);
        m_leftPressed = false;
        CancelMode();
        return 0;
    case WM_CAPTURECHANGED:
        if (!m_releasingCapture && reinterpret_cast<HWND>(lParam) != m_handle && m_leftPressed) {
            m_leftPressed = false;
            CancelMode();
        }
        break;
    case WM_SETFOCUS: {
        LRESULT r = DefaultHandler(message, wParam, lParam);
        FocusEntered();
        if (OnEnter)
            OnEnter(this);
        if (TCustomForm* form = ParentForm())
            form->FocusControlChanged(this);
        return r;
    }
    case WM_KILLFOCUS: {
        LRESULT r = DefaultHandler(message, wParam, lParam);
        FocusLeft();
        if (OnExit)
            OnExit(this);
        return r;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        WORD key = static_cast<WORD>(wParam);
        KeyDown(key, KeyboardShiftState());
        if (!key)
            return 0;
        break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        WORD key = static_cast<WORD>(wParam);
        KeyUp(key, KeyboardShiftState());
        if (!key)
            return 0;
        break;
    }
    case WM_CHAR: {
        char ch = static_cast<char>(wParam);
        KeyPress(ch);
        if (!ch)
            return 0;
        wParam = static_cast<unsigned char>(ch);
        break;
    }
    case WM_COMMAND:
        if (lParam) {
            if (TControl* c = FindReflectTarget(reinterpret_cast<HWND>(lParam))) {
                static_cast<TWinControl*>(c)->CommandNotify(HIWORD(wParam));
                return 0;
            }
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TControl* c = FindReflectTarget(reinterpret_cast<HWND>(lParam)))
            if (HBRUSH brush = static_cast<TWinControl*>(c)->ControlColor(reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType != ODT_MENU)
            if (TControl* c = FindReflectTarget(dis->hwndItem))
                return static_cast<TWinControl*>(c)->WndProc(message, wParam, lParam);
        break;
    }
    case WM_SIZE:
    case WM_MOVE: {
        LRESULT r = DefaultHandler(message, wParam, lParam);
        UpdateWindowBounds();
        return r;
    }
    default:
        break;
    }
    return DefaultHandler(message, wParam, lParam);
}

void TWinControl::UpdateWindowBounds()
{
    if (!m_handle)
        return;
    RECT r;
    GetWindowRect(m_handle, &r);
    HWND parent = GetParent(m_handle);
    if (parent && (GetWindowLongA(m_handle, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    if (r.left == m_left && r.top == m_top && w == m_width && h == m_height)
        return;
    bool resized = w != m_width || h != m_height;
    m_left = r.left;
    m_top = r.top;
    m_width = w;
    m_height = h;
    if (resized) {
        Realign();
        Resized();
    }
}

LRESULT TWinControl::HandleMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    TShiftState shift = MouseShift(wParam);

    // A graphic child under the pointer (or holding the press) takes the mouse.
    TControl* child = m_mouseChild ? m_mouseChild : GraphicChildAt(x, y);
    if (child && message != WM_MOUSEMOVE) {
        int cx = x - child->Left();
        int cy = y - child->Top();
        switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            m_mouseChild = child;
            SetCapture(m_handle);
            child->MouseDown(mbLeft, shift, cx, cy);
            return 0;
        case WM_RBUTTONDOWN:
            child->MouseDown(mbRight, shift, cx, cy);
            return 0;
        case WM_MBUTTONDOWN:
            child->MouseDown(mbMiddle, shift, cx, cy);
            return 0;
        case WM_LBUTTONUP: {
            m_mouseChild = nullptr;
            m_releasingCapture = true;
            if (GetCapture() == m_handle)
                ReleaseCapture();
            m_releasingCapture = false;
            if (cx >= 0 && cy >= 0 && cx < child->Width() && cy < child->Height())
                child->Click();
            child->MouseUp(mbLeft, shift, cx, cy);
            return 0;
        }
        case WM_RBUTTONUP:
            child->MouseUp(mbRight, shift, cx, cy);
            return 0;
        case WM_MBUTTONUP:
            child->MouseUp(mbMiddle, shift, cx, cy);
            return 0;
        default:
            break;
        }
    }
    if (child && message == WM_MOUSEMOVE && m_mouseChild) {
        child->MouseMove(shift, x - child->Left(), y - child->Top());
        return 0;
    }

    switch (message) {
    case WM_MOUSEMOVE:
        DefaultHandler(message, wParam, lParam);
        if (!m_trackingMouse) {
            TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_handle, 0};
            m_trackingMouse = TrackMouseEvent(&track) != FALSE;
            MouseEnter();
        }
        MouseMove(shift, x, y);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        DefaultHandler(message, wParam, lParam);
        if (m_ownClass) {
            m_leftPressed = true;
            SetCapture(m_handle);
        }
        MouseDown(mbLeft, shift, x, y);
        return 0;
    case WM_RBUTTONDOWN:
        DefaultHandler(message, wParam, lParam);
        MouseDown(mbRight, shift, x, y);
        return 0;
    case WM_MBUTTONDOWN:
        DefaultHandler(message, wParam, lParam);
        MouseDown(mbMiddle, shift, x, y);
        return 0;
    case WM_LBUTTONUP: {
        DefaultHandler(message, wParam, lParam);
        bool wasPressed = m_leftPressed;
        m_leftPressed = false;
        if (m_ownClass && GetCapture() == m_handle) {
            m_releasingCapture = true;
            ReleaseCapture();
            m_releasingCapture = false;
        }
        if (wasPressed && x >= 0 && y >= 0 && x < m_width && y < m_height)
            Click();
        MouseUp(mbLeft, shift, x, y);
        return 0;
    }
    case WM_RBUTTONUP:
        DefaultHandler(message, wParam, lParam);
        MouseUp(mbRight, shift, x, y);
        return 0;
    case WM_MBUTTONUP:
        DefaultHandler(message, wParam, lParam);
        MouseUp(mbMiddle, shift, x, y);
        return 0;
    default:
        return DefaultHandler(message, wParam, lParam);
    }
}

TControl* TWinControl::GraphicChildAt(int x, int y) const
{
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->Visible() || !c->Enabled())
            continue;
        RECT r = c->BoundsRect();
        if (x >= r.left && y >= r.top && x < r.right && y < r.bottom)
            return c;
    }
    return nullptr;
}

void TWinControl::PaintTo(HDC dc)
{
    PaintWindow(dc);
    PaintControls(dc);
}

void TWinControl::PaintWindow(HDC dc)
{
    RECT r = ClientRect();
    TCanvas canvas(dc);
    canvas.SetBrushColor(m_color);
    canvas.FillRect(r);
}

LRESULT TWinControl::EraseBackground(HDC dc)
{
    RECT r = ClientRect();
    TCanvas canvas(dc);
    canvas.SetBrushColor(m_color);
    canvas.FillRect(r);
    return 1;
}

void TWinControl::PaintControls(HDC dc)
{
    for (TControl* c : m_controls) {
        if (c->IsWindowed() || !c->Visible())
            continue;
        auto* graphic = dynamic_cast<TGraphicControl*>(c);
        if (graphic)
            graphic->PaintAt(dc);
    }
}

void TWinControl::InsertControl(TControl* control)
{
    m_controls.push_back(control);
    if (m_handle && control->IsWindowed()) {
        // Made later, after the parent link is set by the caller.
    }
}

void TWinControl::RemoveControl(TControl* control)
{
    if (m_mouseChild == control)
        m_mouseChild = nullptr;
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
    if (control->IsWindowed()) {
        auto* w = static_cast<TWinControl*>(control);
        if (w->m_handle && !IsDestroying())
            w->DestroyHandle();
    } else {
        RECT r = control->BoundsRect();
        if (m_handle)
            InvalidateRect(m_handle, &r, FALSE);
    }
}

void TWinControl::Realign()
{
    RECT area = ClientRect();
    const TAlign order[] = {alTop, alBottom, alLeft, alRight, alClient};
    for (TAlign a : order) {
        for (TControl* c : m_controls) {
            if (c->Align() != a || !c->Visible())
                continue;
            int w = c->Width();
            int h = c->Height();
            switch (a) {
            case alTop:
                c->SetBounds(area.left, area.top, area.right - area.left, h);
                area.top += h;
                break;
            case alBottom:
                c->SetBounds(area.left, area.bottom - h, area.right - area.left, h);
                area.bottom -= h;
                break;
            case alLeft:
                c->SetBounds(area.left, area.top, w, area.bottom - area.top);
                area.left += w;
                break;
            case alRight:
                c->SetBounds(area.right - w, area.top, w, area.bottom - area.top);
                area.right -= w;
                break;
            default:
                c->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
                break;
            }
        }
    }
}

void TWinControl::SetTabStop(bool tabStop)
{
    m_tabStop = tabStop;
    if (m_handle) {
        LONG style = GetWindowLongA(m_handle, GWL_STYLE);
        SetWindowLongA(m_handle, GWL_STYLE, tabStop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
}

bool TWinControl::CanFocus() const
{
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

void TWinControl::SetFocus()
{
    if (HWND window = Handle())
        ::SetFocus(window);
}

bool TWinControl::Focused() const
{
    return m_handle && GetFocus() == m_handle;
}

void TWinControl::SetBorderWidth(int width)
{
    m_borderWidth = width;
    if (m_handle)
        SetWindowPos(m_handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    if (m_handle) {
        RECT r;
        GetWindowRect(m_handle, &r);
        SetWindowPos(m_handle, nullptr, m_left, m_top, m_width, m_height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    Realign();
}

RECT TWinControl::ClientRect() const
{
    if (m_handle) {
        RECT r;
        GetClientRect(m_handle, &r);
        return r;
    }
    return RECT{0, 0, m_width - 2 * m_borderWidth, m_height - 2 * m_borderWidth};
}

void TWinControl::SetCaption(const std::string& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    if (m_handle)
        SetWindowTextA(m_handle, caption.c_str());
    TextChanged();
    Invalidate();
}

void TWinControl::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (m_handle)
        EnableWindow(m_handle, enabled);
    EnabledChanged();
    Invalidate();
}

void TWinControl::Invalidate()
{
    if (m_handle)
        InvalidateRect(m_handle, nullptr, FALSE);
}

void TWinControl::FontChanged()
{
    if (m_handle)
        SendMessageA(m_handle, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.Handle()), FALSE);
    for (TControl* c : m_controls)
        c->ParentFontChanged();
    Invalidate();
}

void TWinControl::VisibleChanged()
{
    if (m_handle)
        ShowWindow(m_handle, m_visible ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::KeyDown(WORD& key, TShiftState shift)
{
    if (OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift)
{
    if (OnKeyUp)
        OnKeyUp(this, key, shift);
}

void TWinControl::KeyPress(char& /*key*/) {}

bool TWinControl::BroadcastDialogKey(WORD key, TShiftState shift)
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        TControl* c = m_controls[i];
        if (c->DialogKey(key, shift))
            return true;
        if (c->IsWindowed() && static_cast<TWinControl*>(c)->BroadcastDialogKey(key, shift))
            return true;
    }
    return false;
}

bool TWinControl::BroadcastDialogChar(char ch, TShiftState shift)
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        TControl* c = m_controls[i];
        if (c->DialogChar(ch, shift))
            return true;
        if (c->IsWindowed() && static_cast<TWinControl*>(c)->BroadcastDialogChar(ch, shift))
            return true;
    }
    return false;
}

void TWinControl::BroadcastFocusChanged(TWinControl* focused)
{
    for (size_t i = 0; i < m_controls.size(); ++i) {
        TControl* c = m_controls[i];
        c->FocusChanged(focused);
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->BroadcastFocusChanged(focused);
    }
}

void TWinControl::SetParent(TWinControl* parent)
{
    if (parent == m_parent)
        return;
    if (m_handle && m_parent)
        DestroyHandle();
    TControl::SetParent(parent);
    if (parent && parent->HandleAllocated())
        Handle();
}
