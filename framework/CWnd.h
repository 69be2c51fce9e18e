#pragma once
// A window. The object binds itself to its window when it creates it or subclasses an existing
// one (a dialog item), dispatches the window's messages through its message map and passes the
// rest to the window's own procedure. It destroys only windows it created; a subclassed window is
// handed back to its original procedure.
#include <windows.h>

#include "CCmdTarget.h"
#include "CDC.h"
#include "CFont.h"
#include "CPoint.h"
#include "CRect.h"
#include "CString.h"

// The message this thread is dispatching to an object now (window, message, wParam, lParam,
// time, point): what Default() passes on. A hook that hands a message to an object saves it,
// sets it to that message and puts it back afterwards.
MSG* AfxGetCurrentMessage();

class CMenu;

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or a borrowed one that lives until the UI thread goes idle.
    static CWnd* FromHandle(HWND hwnd);
    static CWnd* FromHandlePermanent(HWND hwnd);
    static void DeleteTempMap();

    BOOL Attach(HWND hwnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                        CWnd* parent, UINT id);
    virtual BOOL CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                          const RECT& rect, CWnd* parent, UINT id, void* param = nullptr);
    virtual BOOL DestroyWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    virtual void PreSubclassWindow();
    virtual void PostNcDestroy();
    // A message a parent reflects to the control it is about (WM_DRAWITEM, WM_MEASUREITEM, a
    // WM_COMMAND notification, WM_CTLCOLORxxx); true when handled, which keeps it from the parent.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    LRESULT Default();              // default handling of the message being dispatched

    // Runs PreTranslateMessage of every bound window from msg->hwnd up to `stop` (included).
    static BOOL WalkPreTranslateTree(HWND stop, MSG* msg);

    // Modal run of this window: pumps messages (also those other threads send) until
    // EndModalLoop, showing the window first. PrepareModalLoop comes before the window is made,
    // so that an end asked for during its initialisation is kept.
    void PrepareModalLoop();
    int RunModalLoop();
    void EndModalLoop(int result);
    bool IsInModalLoop() const { return m_modalRunning; }
    // The result the modal run will end with, without ending it.
    void SetModalResult(int result) { m_modalResult = result; }

    // Window services.
    CWnd* GetDlgItem(int id) const;
    HWND GetDlgItemHwnd(int id) const { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const;
    // The window's top-level ancestor (itself when it has no parent).
    CWnd* GetTopLevelParent() const;
    CWnd* GetWindow(UINT command) const;
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE)
    {
        MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
    }
    void GetWindowRect(LPRECT rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(LPRECT rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(LPPOINT point) const { ::ScreenToClient(m_hWnd, point); }
    void ScreenToClient(LPRECT rect) const;
    void ClientToScreen(LPPOINT point) const { ::ClientToScreen(m_hWnd, point); }
    void ClientToScreen(LPRECT rect) const;
    void MapWindowPoints(CWnd* to, LPRECT rect) const
    {
        ::MapWindowPoints(m_hWnd, to ? to->m_hWnd : nullptr, reinterpret_cast<LPPOINT>(rect), 2);
    }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(LPCRECT rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    BOOL RedrawWindow(LPCRECT rect = nullptr, HRGN region = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE)
    {
        return ::RedrawWindow(m_hWnd, rect, region, flags);
    }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    // The window owns the region from now on.
    int SetWindowRgn(HRGN region, BOOL redraw) { return ::SetWindowRgn(m_hWnd, region, redraw); }
    void CenterWindow(CWnd* alternateOwner = nullptr);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    void SetFont(CFont* font, BOOL redraw = TRUE);
    void SetFont(HFONT font, BOOL redraw = TRUE);
    CFont* GetFont() const;
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT flags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT flags = 0);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr)
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    CWnd* SetFocus();
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK)
    {
        return ::MessageBoxA(m_hWnd, text, caption, type);
    }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }

    // Handlers the message-map macros bind; each defaults to the window's own handling.
    void OnPaint();
    void OnClose();
    void OnDestroy();
    void OnCancelMode();
    void OnMouseLeave();
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    void OnMouseHover(UINT flags, CPoint point);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    void OnWindowPosChanging(WINDOWPOS* pos);
    void OnTimer(UINT_PTR id);
    BOOL OnEraseBkgnd(CDC* dc);
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnShowWindow(BOOL show, UINT status);
    BOOL OnDeviceChange(UINT event, DWORD_PTR data);
    void OnSize(UINT type, int cx, int cy);
    // Owner-drawn menu items (ODT_MENU) go to the menu's own object; see OnWndMsg.
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measure);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT draw);
    HCURSOR OnQueryDragIcon();
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    void OnInitMenuPopup(CMenu* popup, UINT index, BOOL sysMenu);
    LRESULT OnMenuChar(UINT character, UINT flags, CMenu* menu);
    int OnCreate(LPCREATESTRUCTA cs);

protected:
    // Dispatches through the message map; false when no entry took the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);

    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreateHookProc(int code, WPARAM wParam, LPARAM lParam);
    // Puts our procedure in front of the window's own.
    BOOL HookWindowProc();

    WNDPROC m_pfnSuper = nullptr;   // the window's procedure before ours
    bool m_ownsWindow = false;      // made by Create/CreateEx or a dialog of ours

private:
    // A child window whose window and client rectangles are the same (no border, no scroll bars).
    bool HasNoNonClientArea() const;

    bool m_modalRunning = false;
    bool m_modalDone = false;
    int m_modalResult = 0;
};

#include "MessageMapShapes.h"
