#pragma once
// Agent's main form: asks for the password of the disk image, opens it on a free drive letter,
// shows it in the shell and then waits in the notification area until Exit (or the removal of
// its USB drive) dismounts it and puts the image back at its rest place. Before that it also
// changes the password and removes the portable disk from the drive.
#include "AgentDisk.h"
#include "HandleOwner.h"
#include "TForm.h"
#include "TIniFile.h"
#include "TLabel.h"
#include "TPopupMenu.h"
#include "TMenuItem.h"
#include "TTrayNotifyIcon.h"
#include "TWindowTimer.h"
#include "TskCheckBox.h"
#include "TskEdit.h"
#include "TskImageButton.h"
#include "TskImagePanel.h"
#include "TskPopupMenu.h"

#include <windows.h>

#include <memory>
#include <string>

class AgentInstanceGuard;

// A text of Agent's language file beside Agent.exe; "1.1" when the file or key is missing.
std::string ReadLanguageString(const std::string& file, const std::string& section, const std::string& key);
// The texts of one section of that file, read at once for the texts a form shows from the start.
TIniFile::Values ReadLanguageSection(const std::string& file, const std::string& section);
// One text of those; "1.1" when the key is missing.
std::string TextOf(const TIniFile::Values& texts, const char* key);

class TfrmMain : public TForm {
public:
    // Posted by the opener thread once the shell was asked to open the disk.
    static constexpr UINT WM_OPENDONE = WM_USER + 49;
    // Posted to itself: the "put the drive back" message is shown outside the device event.
    static constexpr UINT WM_DRIVEREMOVED = WM_USER + 0x40;
    // Posted to itself once the disk is dismounted: Agent ends, after saying so when the disk was
    // read-only and had been changed all the same (the box is shown outside the device event).
    static constexpr UINT WM_DISMOUNTED = WM_USER + 0x41;

    // `disk`: the image this Agent opens, which outlives the form.
    TfrmMain(TComponent* owner, AgentDisk& disk);

    const char* ClassName() const override { return "TfrmMain"; }
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The guard that keeps this Agent the only one for its image (woken by a second start).
    void SetInstanceGuard(AgentInstanceGuard* guard) { m_guard = guard; }

    // Form events and handlers.
    void FormCreate(TObject* sender);
    void FormShow(TObject* sender);
    void bt_OKClick(TObject* sender);
    void bt_cancelClick(TObject* sender);
    void btnFrmCloseClick(TObject* sender);
    void popMenu_OpenDiskClick(TObject* sender);
    void popMenu_ChangePasswordClick(TObject* sender);
    void popMenu_uninstallClick(TObject* sender);
    void popMenu_HelpClick(TObject* sender);
    void popMenu_Help1Click(TObject* sender);
    void popMenu_BrowseClick(TObject* sender);
    void PopMenu_ExitClick(TObject* sender);
    void TrayIconDblClick(TObject* sender);
    void Image1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void skImagePanel1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

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

    // Agent.ini lies on the drive, which may be pulled while Agent runs: its texts are read once.
    std::string Main(const char* key) const { return TextOf(m_texts, key); }
    int Say(const std::string& text, UINT flags);
    // The password check the open, change and uninstall commands share; after a failed read the
    // image of Agent's drive goes back at rest, in argument mode only for an open.
    Check CheckPassword(bool opening);
    // Puts the image of Agent's drive back at rest, unless this Agent has it mounted (the move
    // would pull it away from under the mount).
    void PutImageBack();
    void PutPortableImageBack();    // the same, in portable mode only
    // Starts the command interpreter hidden with `parameters` and waits for it.
    void RunHiddenCommand(const std::string& parameters);
    // Removes a folder through the command interpreter (the only way to reach "aux").
    void RemoveDirByCmd(const std::string& folder);
    // Clips the form to its rounded corners.
    void RegionWindow();
    void UpdateBrowseCaption();
    // Every dismount goes through here: true when nothing of this Agent stays mounted. Then the
    // image goes back at rest, unless `putImageBack` is false (its drive has just gone), found on
    // whatever letter its drive came back. A read-only disk changed all the same leaves
    // m_changesDropped set.
    bool Dismount(bool putImageBack = true);
    // Dismounts and puts the image back; false (with the message shown) when the disk stays.
    bool DismountAndPutBack();
    // After a dismount: ends Agent, first saying so when changes were dropped.
    void EndAfterDismount();
    void OpenInShell() const;
    void GoToTray();
    void EndAgent();
    void DeviceRemoved(DWORD unitMask);
    void DriveMayBeBack();
    void Woken();
    static DWORD WINAPI OpenDiskThreadProc(LPVOID parameter);

    AgentDisk& m_disk;
    AgentInstanceGuard* m_guard = nullptr;
    char MountedLetter = 0;         // the letter chosen at the last open
    bool m_mounted = false;         // this Agent mounted a disk on MountedLetter and it is still there
    bool m_orphaned = false;        // the drive went while mounted: its dismount waits for the drive
    bool m_changesDropped = false;  // the last dismount dropped what was written on a read-only disk
    TWindowTimer m_driveWatch;      // looks for the drive's return while orphaned
    TIniFile::Values m_texts;       // [Main] of Agent.ini
    KernelHandle OpenThreadHandle;  // the last opener thread
};

extern TfrmMain* frmMain;
