#pragma once
// An icon in the taskbar's notification area for a form: shown or hidden, its tip, balloons, the
// mouse events (a click told from a double click by a timer of one double-click time), the popup
// menu, and minimise-to-tray. The icon's messages reach one hidden top-level window shared by
// every icon of the program (top-level, so it also hears the shell's "TaskbarCreated" broadcast
// and puts a visible icon back after the shell restarts).
#include "TComponent.h"
#include "TImageList.h"
#include "TPopupMenu.h"
#include "TSimpleTimer.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

using TCycleEvent = std::function<void(TObject* sender, int nextIndex)>;
using TStartupEvent = std::function<void(TObject* sender, bool& showMainForm)>;

class TTrayNotifyIcon : public TComponent {
public:
    static constexpr UINT kCallbackMessage = 0x800;
    static constexpr UINT kDefaultFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    enum TBalloonHintIcon { bitNone = NIIF_NONE, bitInfo = NIIF_INFO, bitWarning = NIIF_WARNING, bitError = NIIF_ERROR };

    explicit TTrayNotifyIcon(TComponent* owner);
    ~TTrayNotifyIcon() override;

    const char* ClassName() const override { return "TTrayNotifyIcon"; }

    HICON Icon() const { return m_icon; }
    void SetIcon(HICON icon);                       // not owned
    TImageList* IconList() const { return m_iconList; }
    void SetIconList(TImageList* list);
    int IconIndex() const { return m_iconIndex; }
    void SetIconIndex(int index);
    bool CycleIcons() const { return m_cycleIcons; }
    void SetCycleIcons(bool cycle);
    UINT CycleInterval() const { return m_cycleInterval; }
    void SetCycleInterval(UINT interval);
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    const std::string& Hint() const { return m_hint; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show);
    bool IconVisible() const { return m_iconVisible; }
    void SetIconVisible(bool visible);
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu);
    bool LeftPopup() const { return m_leftPopup; }
    void SetLeftPopup(bool left) { m_leftPopup = left; }
    bool WantEnterExitEvents() const { return m_wantEnterExit; }
    void SetWantEnterExitEvents(bool want);
    bool MinimizeToTray() const { return m_minimizeToTray; }
    void SetMinimizeToTray(bool minimize) { m_minimizeToTray = minimize; }

    void SetTrayIconShown(bool shown);
    BOOL AddTrayIcon();
    BOOL RemoveTrayIcon();
    BOOL UpdateTrayIcon();
    // Hides the owner form; the icon stays as the program's only face.
    void HideOwnerForm();
    BOOL PopBalloon(const std::string& title, const std::string& text, TBalloonHintIcon icon, int seconds);
    BOOL ClearBalloon();
    void ShowTrayMenu();

    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TCycleEvent OnCycle;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;

    // The shared window's messages for this icon: the shell's callback, the taskbar's restart.
    void HandleIconMessage(UINT message);
    void TaskbarCreated();

    // Every call of the shell goes through here; a test may put a recorder in its place.
    static BOOL(WINAPI* NotifyIcon)(DWORD message, PNOTIFYICONDATAA data);
    // The registered "TaskbarCreated" message (heeded only from a shell new enough to send it).
    static UINT TaskbarCreatedMessage();

protected:
    void Loaded() override;

private:
    void FillData(NOTIFYICONDATAA& data) const;
    BOOL Send(DWORD message, DWORD extraFlags = 0);
    void DoMinimizeToTray();
    // The main form's messages, as the application's window and as the owner's window.
    bool AppWindowHook(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool OwnerWindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void ClickTimerTick(TObject*);
    void ExitTimerTick(TObject*);
    void CycleTimerTick(TObject*);
    void MouseEvent(const TMouseEvent& event, TMouseButton button);

    UINT m_id;
    HICON m_icon = nullptr;
    HICON m_listIcon = nullptr;         // taken from IconList, owned
    TImageList* m_iconList = nullptr;
    int m_iconIndex = 0;
    bool m_cycleIcons = false;
    UINT m_cycleInterval = 0;
    bool m_enabled = true;
    std::string m_hint;
    bool m_showHint = true;
    bool m_iconVisible = false;
    TPopupMenu* m_popupMenu = nullptr;
    bool m_leftPopup = false;
    bool m_wantEnterExit = false;
    bool m_minimizeToTray = false;

    // What the shell last heard of a balloon: its text, title, timeout and icon.
    std::string m_balloonText;
    std::string m_balloonTitle;
    UINT m_balloonTimeout = 0;
    DWORD m_balloonIcon = 0;

    TSimpleTimer m_cycleTimer;
    TSimpleTimer m_clickTimer;
    TSimpleTimer m_exitTimer;
    bool m_clickStart = false;
    bool m_clickReady = false;
    bool m_doubleClick = false;
    bool m_exited = true;
    POINT m_lastPoint = {};
    int m_hook = 0;
};
