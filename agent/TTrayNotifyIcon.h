#pragma once
// An icon in the taskbar's notification area for a form: shown or hidden, its tip, a balloon,
// a double-click event and a popup menu on the right button. The icon's mouse messages reach a
// hidden top-level window shared by every icon of the program (top-level, so it also hears the
// shell's "TaskbarCreated" broadcast and puts a visible icon back after the shell restarts).
#include "TComponent.h"
#include "TPopupMenu.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

class TCustomForm;

class TTrayNotifyIcon : public TComponent {
public:
    static constexpr UINT kCallbackMessage = 0x800;
    enum TBalloonIcon { biNone = 0, biInfo = 1, biWarning = 2, biError = 3 };

    explicit TTrayNotifyIcon(TComponent* owner);
    ~TTrayNotifyIcon() override;

    const char* ClassName() const override { return "TTrayNotifyIcon"; }

    bool IconVisible() const { return m_visible; }
    void SetIconVisible(bool visible);
    void SetIcon(HICON icon);
    void SetHint(const std::string& hint);
    TPopupMenu* PopupMenu() const { return m_popupMenu; }
    void SetPopupMenu(TPopupMenu* menu) { m_popupMenu = menu; }

    // Hides the owner form; the icon stays as the program's only face.
    void HideOwnerForm();
    void PopBalloon(const std::string& text, const std::string& title, TBalloonIcon icon, int seconds);
    void ShowTrayMenu();

    void Notification(TComponent* component, TOperation operation) override;

    TNotifyEvent OnDblClick;

    // The handler window's messages for this icon (from the shell, or the taskbar's restart).
    void HandleIconMessage(LPARAM mouseMessage);
    void TaskbarCreated();

    // Every shell call goes through here.
    static BOOL NotifyIcon(DWORD message, NOTIFYICONDATAW& data);

private:
    void FillData(NOTIFYICONDATAW& data) const;

    UINT m_id;
    bool m_visible = false;
    HICON m_icon = nullptr;
    std::wstring m_tip;
    TPopupMenu* m_popupMenu = nullptr;
};
