#include "TApplication.h"

#include "TCustomForm.h"
#include "TWinControl.h"

TApplication* Application = nullptr;

namespace {

// The control of a window of ours, or of the nearest ancestor window that is ours.
TWinControl* ControlOfWindow(HWND window)
{
    for (; window; window = GetParent(window))
        if (TWinControl* c = TWinControl::FromHandle(window))
            return c;
    return nullptr;
}

}  // namespace

TApplication::TApplication() : TComponent(nullptr)
{
    Application = this;
}

TApplication::~TApplication()
{
    MarkDestroying();
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::Run()
{
    if (m_mainForm && m_showMainForm)
        m_mainForm->Show();
    while (!m_terminated)
        HandleMessage();
}

void TApplication::Terminate()
{
    if (!m_terminated) {
        m_terminated = true;
        PostQuitMessage(0);
    }
}

void TApplication::HandleMessage()
{
    MSG msg;
    BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got <= 0) {
        m_terminated = true;
        return;
    }
    ProcessMessage(msg);
}

void TApplication::ProcessMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            m_terminated = true;
            return;
        }
        ProcessMessage(msg);
    }
}

void TApplication::ProcessMessage(MSG& msg)
{
    if (IsKeyMessage(msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool TApplication::IsKeyMessage(MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN && msg.message != WM_CHAR &&
        msg.message != WM_SYSCHAR)
        return false;
    TWinControl* control = ControlOfWindow(msg.hwnd);
    TCustomForm* form = control ? control->ParentForm() : nullptr;
    if (!form)
        return false;
    LRESULT code = SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    TShiftState shift = KeyboardShiftState();
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        WORD key = static_cast<WORD>(msg.wParam);
        if (key != VK_RETURN && key != VK_ESCAPE && key != VK_TAB)
            return false;
        if (code & DLGC_WANTALLKEYS)
            return false;
        if (key == VK_TAB && (code & DLGC_WANTTAB))
            return false;
        return form->DialogKeyPressed(key, shift);
    }
    char ch = static_cast<char>(msg.wParam);
    if (msg.message == WM_SYSCHAR)
        return form->DialogCharTyped(ch, shift | ssAlt);
    // A plain character may be an accelerator only where the focused window takes no characters.
    if ((code & DLGC_WANTCHARS) || ch == '\r' || ch == '\x1b' || ch == '\t')
        return false;
    return form->DialogCharTyped(ch, shift);
}

bool TApplication::Active() const
{
    HWND active = GetActiveWindow();
    return active && TWinControl::FromHandle(active) != nullptr;
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    if (!owner && m_mainForm && m_mainForm->HandleAllocated())
        owner = m_mainForm->Handle();
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

int TApplication::HookMainWindow(TWindowHook hook)
{
    int id = m_nextHook++;
    m_hooks.emplace_back(id, std::move(hook));
    return id;
}

void TApplication::UnhookMainWindow(int id)
{
    for (auto it = m_hooks.begin(); it != m_hooks.end(); ++it)
        if (it->first == id) {
            m_hooks.erase(it);
            return;
        }
}

bool TApplication::RunWindowHooks(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    for (size_t i = 0; i < m_hooks.size(); ++i)
        if (m_hooks[i].second(message, wParam, lParam, result))
            return true;
    return false;
}
