#pragma once
// A control with a window of its own. The window is made on first need (its parent's first), in
// form order so later controls lie on top. Window messages reach `WndProc`; a WM_PAINT whose
// wParam holds a device context paints into that context (then the graphic children), which is
// how a child draws its parent's background behind itself. Notifications a child sends its
// parent (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM) are handed back to the child.
#include "TControl.h"

#include <string>
#include <vector>

struct TCreateParams {
    std::string caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    HWND parent = nullptr;
    const char* systemClass = nullptr;     // a system window class to subclass, or our own class
    std::string className = "SequoraFormsControl";
    UINT classStyle = 0;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    const char* ClassName() const override { return "TWinControl"; }
    bool HasPublished(const char* name) const override;
    bool IsWindowed() const override { return true; }

    HWND Handle();
    bool HandleAllocated() const { return m_handle != nullptr; }
    void HandleNeeded() { Handle(); }
    // The control of one of our windows (or null).
    static TWinControl* FromHandle(HWND window);

    // A window outside the form layer to live in, in place of a parent control.
    HWND ParentWindow() const { return m_parentWindow; }
    void SetParentWindow(HWND window) { m_parentWindow = window; }

    int ControlCount() const { return static_cast<int>(m_controls.size()); }
    TControl* Controls(int index) const { return m_controls[static_cast<size_t>(index)]; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Lays out the aligned children inside the client area.
    void Realign();

    bool TabStop() const { return m_tabStop; }
    virtual void SetTabStop(bool tabStop);
    int TabOrder() const { return m_tabOrder; }
    void SetTabOrder(int order) { m_tabOrder = order; }
    virtual bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);

    void SetParent(TWinControl* parent) override;
    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetCaption(const std::string& caption) override;
    void SetEnabled(bool enabled) override;
    void Invalidate() override;
    void FontChanged() override;

    // Sends a message to the window (made on demand) and answers its result.
    LRESULT Perform(UINT message, WPARAM wParam, LPARAM lParam);
    // Paints this control into `dc` (own painting, then its graphic children).
    void PaintTo(HDC dc);

    // Dialog keys and characters go to every control of the tree, depth first, until one takes it.
    bool BroadcastDialogKey(WORD key, TShiftState shift);
    bool BroadcastDialogChar(char ch, TShiftState shift);
    void BroadcastFocusChanged(TWinControl* focused);

    // The window procedure of every control; derived classes handle their messages and pass
    // the rest on to this one ("inherited").
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    void DestroyHandle();
    // The window exists and is bound to this control.
    virtual void WndCreated() {}
    // Own painting into `dc`: our own windows fill their Color; system windows paint themselves.
    virtual void PaintWindow(HDC dc);
    virtual LRESULT EraseBackground(HDC dc);
    void PaintControls(HDC dc);
    // A notification this control sent its parent, handed back (WM_COMMAND code).
    virtual void CommandNotify(WORD /*code*/) {}
    // WM_CTLCOLOR* reflected from the parent; null leaves the parent's default.
    virtual HBRUSH ControlColor(HDC /*dc*/) { return nullptr; }
    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(char& key);
    virtual void FocusEntered() {}
    virtual void FocusLeft() {}
    void VisibleChanged() override;
    void UpdateWindowBounds();

    HWND m_handle = nullptr;
    WNDPROC m_defaultProc = nullptr;
    bool m_ownClass = true;

public:
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMouse(UINT message, WPARAM wParam, LPARAM lParam);
    TControl* GraphicChildAt(int x, int y) const;
    TControl* FindReflectTarget(HWND child) const;

    std::vector<TControl*> m_controls;
    HWND m_parentWindow = nullptr;
    bool m_tabStop = false;
    int m_tabOrder = 0;
    int m_borderWidth = 0;
    bool m_trackingMouse = false;
    bool m_leftPressed = false;
    bool m_releasingCapture = false;
    TControl* m_mouseChild = nullptr;       // a graphic child that took the mouse press
};
