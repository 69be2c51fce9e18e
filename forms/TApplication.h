#pragma once
// The program's application object: its title (the caption of every message box, and the name the
// taskbar shows), the main form (the first form created), the message loop with the form layer's
// keyboard routing, and hooks on the main window's messages.
#include "TComponent.h"
#include "TCustomForm.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>


// Sees a main-window message first; true when it handled it (then `result` is answered).
using TWindowHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const char* ClassName() const override { return "TApplication"; }

    void Initialize() {}
    const std::string& Title() const { return m_title; }
    // The main form carries the taskbar button: while there is a title, its window shows the title
    // in place of the form's caption.
    void SetTitle(const std::string& title)
    {
        m_title = title;
        if (m_mainForm && m_mainForm->HandleAllocated())
            SetWindowTextA(m_mainForm->Handle(), (title.empty() ? m_mainForm->Caption() : title).c_str());
    }
    TCustomForm* MainForm() const { return m_mainForm; }
    void SetMainForm(TCustomForm* form) { m_mainForm = form; }
    bool ShowMainForm() const { return m_showMainForm; }
    void SetShowMainForm(bool show) { m_showMainForm = show; }

    // Creates a form owned by the application; the first becomes the main form. Whatever follows
    // the reference goes to the form's constructor after its owner.
    template <class T, class... Args>
    void CreateForm(T*& reference, Args&... args)
    {
        reference = new T(this, args...);
    }

    // Shows the main form and handles messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return m_terminated; }
    // Waits for one message and handles it.
    void HandleMessage();
    // Handles every message waiting now.
    void ProcessMessages();
    // Keyboard routing and dispatch of one message.
    void ProcessMessage(MSG& msg);
    bool Active() const;

    // A message box owned by the active form, captioned with the title.
    int MessageBox(const std::string& text, const std::string& caption, UINT flags);

    int HookMainWindow(TWindowHook hook);
    void UnhookMainWindow(int id);
    bool RunWindowHooks(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    bool IsKeyMessage(MSG& msg);

    std::string m_title;
    TCustomForm* m_mainForm = nullptr;
    bool m_showMainForm = true;
    bool m_terminated = false;
    std::vector<std::pair<int, TWindowHook>> m_hooks;
    int m_nextHook = 1;
};

// The one application object of the program, while it exists.
extern TApplication* Application;
