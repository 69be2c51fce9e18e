#pragma once
// Agent's main form: asks for the password of the disk image, opens it on a free drive letter,
// shows it in the shell and then waits in the notification area until Exit (or the removal of
// its USB drive) dismounts it and puts the image back at its rest place.
#include "AgentDisk.h"
#include "TForm.h"
#include "TLabel.h"
#include "TPopupMenu.h"
#include "TMenuItem.h"
#include "TTrayNotifyIcon.h"
#include "TskCheckBox.h"
#include "TskEdit.h"
#include "TskImageButton.h"
#include "TskImagePanel.h"
#include "TskPopupMenu.h"

#include <windows.h>

#include <memory>
#include <string>

class TfrmMain : public TForm {
public:
    // Posted by the opener thread once the shell was asked to open the disk.
    static constexpr UINT WM_OPENDONE = 0x431;
    // Posted to itself: the "put the drive back" message is shown outside the device event.
    static constexpr UINT WM_DRIVEREMOVED = WM_USER + 0x40;

    explicit TfrmMain(TComponent* owner);
    ~TfrmMain() override;

    const char* ClassName() const override { return "TfrmMain"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    std::string ReadLanguageString(const std::string& file, const std::string& section, const std::string& key) const;

    // Form events and handlers.
    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void bt_OKClick(TObject* sender);
    void bt_cancelClick(TObject* sender);
    void btnFrmCloseClick(TObject* sender);
    void popMenu_OpenDiskClick(TObject* sender);
    void popMenu_uninstallClick(TObject* sender);
    void popMenu_HelpClick(TObject* sender);
    void popMenu_BrowseClick(TObject* sender);
    void PopMenu_ExitClick(TObject* sender);
    void TrayIconDblClick(TObject* sender);
    void BackgroundMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    TskImagePanel* skImagePanel1;
    TLabel* lblTop;
    TLabel* lblEnter_Tip;
    TLabel* lblPassword_Tip;
    TskEdit* edtPassWord;
    TskCheckBox* skCheckBox_ReadOnly;
    TskImageButton* btnFrmMin;
    TskImageButton* btnFrmClose;
    TskImageButton* bt_OK;
    TskImageButton* bt_cancel;
    TskImagePanel* pnWait;
    TTrayNotifyIcon* TrayIcon;
    TskPopupMenu* popMenu;
    TMenuItem* popMenu_Browse;
    TMenuItem* popMenu_Help;
    TMenuItem* PopMenu_Exit;
    TPopupMenu* PopupMenu_Help;
    TMenuItem* popMenu_OpenDisk;
    TMenuItem* popMenu_ChangePassword;
    TMenuItem* popMenu_uninstall;
    TMenuItem* popMenu_Help1;

private:
    enum class Check { Stopped, Wrong, Match };

    std::string Main(const char* key) const { return ReadLanguageString("Agent.ini", "Main", key); }
    int Say(const std::string& text, UINT flags);
    // The password check the open, change and uninstall commands share.
    Check CheckPassword();
    void UpdateBrowseCaption();
    // Dismounts and puts the image back; false (with the message shown) when the disk stays.
    bool DismountAndPutBack();
    void OpenInShell() const;
    void DeviceRemoved(DWORD unitMask);
    void DeviceArrived(DWORD unitMask);
    static DWORD WINAPI OpenDiskThreadProc(LPVOID parameter);

    std::unique_ptr<AgentDisk> m_disk;
    char m_letter = 0;              // the letter asked for at the last password check
    bool m_mounted = false;         // this Agent mounted a disk on m_letter and it is still there
    bool m_orphaned = false;        // the drive went while mounted: its dismount must wait for it
    HANDLE m_openThread = nullptr;
    HICON m_icon = nullptr;
};

extern TfrmMain* frmMain;
