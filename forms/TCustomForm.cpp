#include "TCustomForm.h"

#include "TApplication.h"

#include <algorithm>
#include <vector>

namespace {

const char* const kPublished[] = {"BorderStyle", "Position", "ClientWidth", "ClientHeight", "Constraints",
                                  "Scaled", "ActiveControl", "OnCreate", "OnShow", "OnClose", nullptr};

void CollectTabStops(TWinControl* parent, std::vector<TWinControl*>& out)
{
    std::vector<TWinControl*> level;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i)->IsWindowed())
            level.push_back(static_cast<TWinControl*>(parent->Controls(i)));
    std::stable_sort(level.begin(), level.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder() < b->TabOrder(); });
    for (TWinControl* w : level) {
        if (w->TabStop())
            out.push_back(w);
        CollectTabStops(w, out);
    }
}

struct DisabledWindows {
    DWORD thread;
    HWND keep;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM param)
{
    auto* d = reinterpret_cast<DisabledWindows*>(param);
    if (window != d->keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        d->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner)
{
    m_visible = false;
    m_width = 320;
    m_height = 240;
    if (Application && !Application->MainForm())
        Application->SetMainForm(this);
}

TCustomForm::~TCustomForm()
{
    // The components live in this form's window: they go first.
    MarkDestroying();
    DestroyComponents();
    if (Application && Application->MainForm() == this)
        Application->SetMainForm(nullptr);
    DestroyHandle();
}

bool TCustomForm::HasPublished(const char* name) const
{
    return NameIn(kPublished, name) || TWinControl::HasPublished(name);
}

void TCustomForm::CreateParams(TCreateParams& params)
{
    TWinControl::CreateParams(params);
    params.className = "SequoraFormsForm";
    params.style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    switch (m_borderStyle) {
    case bsNone:
        params.style |= WS_POPUP;
        break;
    case bsSingle:
        params.style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        break;
    case bsDialog:
        params.style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        params.exStyle |= WS_EX_DLGMODALFRAME;
        break;
    case bsToolWindow:
        params.style |= WS_CAPTION | WS_SYSMENU;
        params.exStyle |= WS_EX_TOOLWINDOW;
        break;
    default:
        params.style |= WS_OVERLAPPEDWINDOW;
        break;
    }
    if (!m_enabled)
        params.style |= WS_DISABLED;
    // No hidden application window: the main form carries the taskbar button itself, under the
    // application's title when there is one.
    if (Application && Application->MainForm() == this) {
        params.exStyle |= WS_EX_APPWINDOW;
        if (!Application->Title().empty())
            params.caption = Application->Title();
    } else if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        params.parent = Application->MainForm()->Handle();
}

void TCustomForm::SetClientWidth(int width)
{
    RECT r = {0, 0, width, 10};
    if (m_borderStyle != bsNone)
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetBounds(m_left, m_top, r.right - r.left, m_height);
}

void TCustomForm::SetClientHeight(int height)
{
    RECT r = {0, 0, 10, height};
    if (m_borderStyle != bsNone)
        AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    SetBounds(m_left, m_top, m_width, r.bottom - r.top);
}

void TCustomForm::FinishBuilding()
{
    EndLoading();
    if (OnCreate)
        OnCreate(this);
}

void TCustomForm::PlaceAtShow()
{
    if (m_placed)
        return;
    m_placed = true;
    RECT area;
    if (m_position == poDesktopCenter) {
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    } else if (m_position == poMainFormCenter && Application && Application->MainForm() &&
               Application->MainForm() != this) {
        area = Application->MainForm()->BoundsRect();
    } else {
        return;
    }
    SetBounds(area.left + (area.right - area.left - m_width) / 2, area.top + (area.bottom - area.top - m_height) / 2,
              m_width, m_height);
}

void TCustomForm::DoShow()
{
    if (OnShow)
        OnShow(this);
}

void TCustomForm::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    if (visible) {
        // OnShow runs before the window becomes visible.
        DoShow();
        PlaceAtShow();
        m_visible = true;
        ShowWindow(Handle(), SW_SHOW);
        if (m_activeControl && m_activeControl->CanFocus())
            m_activeControl->SetFocus();
        else
            SelectNext(true);
    } else {
        m_visible = false;
        if (m_handle)
            ShowWindow(m_handle, SW_HIDE);
    }
}

void TCustomForm::Close()
{
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (m_modal) {
        m_modalResult = mrCancel;
    } else if (Application && Application->MainForm() == this) {
        Application->Terminate();
    } else if (action == caMinimize) {
        ShowWindow(Handle(), SW_MINIMIZE);
    } else {
        SetVisible(false);
    }
}

TModalResult TCustomForm::ShowModal()
{
    if (m_modal || m_visible)
        return mrNone;
    DisabledWindows disabled{GetCurrentThreadId(), Handle(), {}};
    EnumThreadWindows(disabled.thread, DisableOne, reinterpret_cast<LPARAM>(&disabled));
    m_modal = true;
    m_modalResult = mrNone;
    SetVisible(true);
    while (m_modalResult == mrNone && Application && !Application->Terminated()) {
        Application->HandleMessage();
        if (m_modalResult != mrNone) {
            TCloseAction action = caHide;
            if (OnClose)
                OnClose(this, action);
            if (action == caNone)
                m_modalResult = mrNone;
        }
    }
    for (HWND w : disabled.windows)
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    SetVisible(false);
    m_modal = false;
    return m_modalResult;
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    m_activeControl = control;
    if (control && m_visible && control->CanFocus())
        control->SetFocus();
}

void TCustomForm::FocusControlChanged(TWinControl* focused)
{
    if (focused != this)
        m_activeControl = focused;
    BroadcastFocusChanged(focused);
}

void TCustomForm::SelectNext(bool forward)
{
    std::vector<TWinControl*> stops;
    CollectTabStops(this, stops);
    stops.erase(std::remove_if(stops.begin(), stops.end(), [](TWinControl* w) { return !w->CanFocus(); }),
                stops.end());
    if (stops.empty())
        return;
    auto it = std::find(stops.begin(), stops.end(), m_activeControl);
    size_t index;
    if (it == stops.end())
        index = forward ? 0 : stops.size() - 1;
    else if (forward)
        index = (static_cast<size_t>(it - stops.begin()) + 1) % stops.size();
    else
        index = (static_cast<size_t>(it - stops.begin()) + stops.size() - 1) % stops.size();
    stops[index]->SetFocus();
}

bool TCustomForm::DialogKeyPressed(WORD key, TShiftState shift)
{
    if (key == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        SelectNext(!(shift & ssShift));
        return true;
    }
    return BroadcastDialogKey(key, shift);
}

bool TCustomForm::DialogCharTyped(char ch, TShiftState shift)
{
    return BroadcastDialogChar(ch, shift);
}

void TCustomForm::Notification(TComponent* component, TOperation operation)
{
    TWinControl::Notification(component, operation);
    if (operation == opRemove && component == m_activeControl)
        m_activeControl = nullptr;
}

LRESULT TCustomForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Application && Application->MainForm() == this) {
        LRESULT result = 0;
        if (Application->RunWindowHooks(message, wParam, lParam, result))
            return result;
    }
    switch (message) {
    case WM_ACTIVATE:
        m_active = LOWORD(wParam) != WA_INACTIVE;
        if (m_active && m_activeControl && m_activeControl->HandleAllocated() && m_activeControl->CanFocus()) {
            DefaultHandler(message, wParam, lParam);
            m_activeControl->SetFocus();
            return 0;
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        if (m_minWidth)
            info->ptMinTrackSize.x = m_minWidth;
        if (m_minHeight)
            info->ptMinTrackSize.y = m_minHeight;
        return 0;
    }
    default:
        break;
    }
    return TWinControl::WndProc(message, wParam, lParam);
}
