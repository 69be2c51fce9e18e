#include "MainFrm.h"

#include "AgentFormParts.h"
#include "AgentInstanceGuard.h"
#include "AgentPictures.h"
#include "Colors.h"
#include "TApplication.h"
#include "TForm_Password.h"
#include "SystemFunction.h"
#include "TIniFile.h"
#include "Tavrin.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstdlib>
#include <utility>

TfrmMain* frmMain = nullptr;

namespace {

constexpr char kMissingText[] = "1.1";
constexpr WPARAM kMinimize = SC_MINIMIZE;        // exactly this value: the opener thread's request
constexpr WPARAM kDragMove = 0xF012;             // SC_MOVE by the mouse
constexpr DWORD kOpenerDelayMs = 3000;           // the new volume settles before the shell looks
constexpr int kDriveWatchMs = 2000;
constexpr int kRegionCorner = 5;
constexpr int kBalloonSeconds = 10;
constexpr int kMenuItemHeight = 21;
constexpr int kMenuSeparatorHeight = 5;
constexpr int kMenuBarWidth = 26;
constexpr TColor kMenuBar = 13554646;
constexpr TColor kMenuSeparator = 8684164;
constexpr TColor kMenuSelected = 10504772;
constexpr DWORD kAllLetters = (1u << 26) - 1;

// What the opener thread needs, copied: it touches nothing of the form.
struct OpenerJob {
    HWND form;
    std::string root;
};

// shell32, and the shell helpers it pulls in, load when Agent first hands something to the shell,
// not at every start. Looked up at each call: the opener thread calls it too.
void OpenWithShell(const std::string& target)
{
    if (const auto execute = SystemFunction<decltype(&::ShellExecuteA)>("shell32.dll", "ShellExecuteA"))
        execute(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

constexpr bool IsBitSet(DWORD value) { return (value & 1) != 0; }

// The index of the lowest set bit of a drive mask: 27 when none of its 27 lowest bits is set.
int LowestSetBitIndex(DWORD mask)
{
    int index = 0;
    for (; index < 27 && !IsBitSet(mask); ++index)
        mask >>= 1;
    return index;
}

// Language texts are never used as formats: the letter goes in place of the first "%s" only.
std::string WithLetter(const std::string& text, char letter)
{
    std::string result = text;
    const size_t at = result.find("%s");
    if (at != std::string::npos)
        result.replace(at, 2, std::string(1, letter));
    return result;
}

TMenuItem* NewItem(TComponent* owner, TMenu* menu, const char* name, const char* caption, TNotifyEvent onClick)
{
    auto* item = new TMenuItem(owner);
    item->SetName(name);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    menu->Items()->Add(item);
    return item;
}

}  // namespace

std::string ReadLanguageString(const std::string& file, const std::string& section, const std::string& key)
{
    return TIniFile(AgentDisk::OwnFolder() + "\\" + file).ReadString(section, key, kMissingText);
}

TIniFile::Values ReadLanguageSection(const std::string& file, const std::string& section)
{
    return TIniFile(AgentDisk::OwnFolder() + "\\" + file).ReadSectionValues(section);
}

std::string TextOf(const TIniFile::Values& texts, const char* key)
{
    const auto found = texts.find(key);
    return found != texts.end() ? found->second : std::string(kMissingText);
}

TfrmMain::TfrmMain(TComponent* owner, AgentDisk& disk) : TForm(owner), m_disk(disk)
{
    BeginLoading();
    SetName("frmMain");
    SetBorderStyle(bsNone);
    SetPosition(poDesktopCenter);
    SetClientWidth(323);
    SetClientHeight(190);
    SetMinSize(173, 41);
    SetCaption("Agent");
    SetColor(clBlack);
    Font().SetName("Tahoma");
    Font().SetHeight(-11);
    OnCreate = MethodOf(this, &TfrmMain::FormCreate);
    OnShow = MethodOf(this, &TfrmMain::FormShow);

    skImagePanel1 = NewBackgroundPanel(this, this, -2, 326, 193, agentpic::kMainBackground,
                                       MouseMethodOf(this, &TfrmMain::skImagePanel1MouseDown));
    lblTop = NewTitleLabel(this, skImagePanel1, MouseMethodOf(this, &TfrmMain::Image1MouseDown));
    lblEnter_Tip = NewLabel(this, skImagePanel1, 18, 46);
    lblPassword_Tip = NewLabel(this, skImagePanel1, 18, 79);

    edtPassWord = new TskEdit(this);
    edtPassWord->SetName("edtPassWord");
    edtPassWord->SetParent(skImagePanel1);
    edtPassWord->SetBounds(76, 76, 202, 19);
    edtPassWord->SetUIStyle(Indigo);
    edtPassWord->SetBorderColor(clBlack);
    edtPassWord->SetPasswordChar('*');

    skCheckBox_ReadOnly = new TskCheckBox(this);
    skCheckBox_ReadOnly->SetName("skCheckBox_ReadOnly");
    skCheckBox_ReadOnly->SetParent(skImagePanel1);
    skCheckBox_ReadOnly->SetBounds(76, 102, 201, 19);
    skCheckBox_ReadOnly->SetUIStyle(WinXP);
    skCheckBox_ReadOnly->SetAutoSize(true);
    skCheckBox_ReadOnly->SetChecked(false);
    skCheckBox_ReadOnly->SetTransparent(true);

    btnFrmMin = NewPictureButton(this, skImagePanel1, "btnFrmMin", 276, 5, 20, 20, agentpic::kMinimize);
    btnFrmMin->SetVisible(false);
    btnFrmMin->SetTabStop(false);

    btnFrmClose = NewPictureButton(this, skImagePanel1, "btnFrmClose", 296, 5, 20, 20, agentpic::kClose);
    btnFrmClose->SetShowHint(true);
    btnFrmClose->SetTabStop(false);
    btnFrmClose->OnClick = MethodOf(this, &TfrmMain::btnFrmCloseClick);

    bt_OK = NewPictureButton(this, skImagePanel1, "bt_OK", 51, 131, 90, 23, agentpic::kButton);
    bt_OK->SetCaption("&Open");
    bt_OK->Font().SetColor(clWhite);
    bt_OK->Font().SetBold(true);
    bt_OK->SetAutoSize(true);
    bt_OK->SetDrawFocused(true);
    bt_OK->SetTransparent(true);
    bt_OK->OnClick = MethodOf(this, &TfrmMain::bt_OKClick);

    // The password dialog's 90 x 25 faces, drawn squeezed to the height of the Open button.
    bt_cancel = NewPictureButton(this, skImagePanel1, "bt_cancel", 188, 131, 90, 23, agentpic::kDialogButton);
    bt_cancel->SetCaption("&Cancel");
    bt_cancel->Font().SetColor(clWhite);
    bt_cancel->Font().SetBold(true);
    bt_cancel->SetStretch(true);
    bt_cancel->SetDrawFocused(true);
    bt_cancel->OnClick = MethodOf(this, &TfrmMain::bt_cancelClick);

    pnWait = new TskImagePanel(this);
    pnWait->SetName("pnWait");
    pnWait->SetParent(skImagePanel1);
    pnWait->SetBounds(18, 58, 287, 55);
    pnWait->SetColor(clGradientActiveCaption);
    pnWait->SetVisible(false);

    TrayIcon = new TTrayNotifyIcon(this);
    TrayIcon->SetName("TrayIcon");
    TrayIcon->SetIcon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), agentpic::kTrayIcon, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_SHARED)));
    // Hidden from the start: the icon appears at the first minimise after an open. Shown here it
    // would be added at load and removed again at show, a round trip into the shell's process
    // (and its tray window) before the first paint, for an icon nobody is meant to see.
    TrayIcon->SetIconIndex(0);
    TrayIcon->SetWantEnterExitEvents(true);
    TrayIcon->OnDblClick = MethodOf(this, &TfrmMain::TrayIconDblClick);

    popMenu = new TskPopupMenu(this);
    popMenu->SetName("popMenu");
    popMenu->SetUIStyle(Indigo);
    popMenu->SetMenuItemHeight(kMenuItemHeight);
    popMenu->SetSeparatorHeight(kMenuSeparatorHeight);
    popMenu->SetBarWidth(kMenuBarWidth);
    popMenu->SetBarColor(kMenuBar);
    popMenu->SetBarToColor(kMenuBar);
    popMenu->SetColor(clWhite);
    popMenu->SetSeparatorColor(kMenuSeparator);
    popMenu->SetSelectedBorderColor(kMenuSelected);
    popMenu->SetSelectedColor(kMenuSelected);
    popMenu->SetSelectedFontColor(clWhite);
    popMenu->SetFontColor(clBlack);
    popMenu->SetBorderColor(clBlack);
    popMenu->SetFlatMenu(false);
    popMenu->SetFontName("MS Sans Serif");
    popMenu->SetFontSize(8);
    popMenu->SetUseSystemFont(true);
    popMenu_Browse = NewItem(this, popMenu, "popMenu_Browse", "Browse Disk()",
                             MethodOf(this, &TfrmMain::popMenu_BrowseClick));
    popMenu_Help = NewItem(this, popMenu, "popMenu_Help", "", MethodOf(this, &TfrmMain::popMenu_HelpClick));
    PopMenu_Exit = NewItem(this, popMenu, "PopMenu_Exit", "", MethodOf(this, &TfrmMain::PopMenu_ExitClick));
    TrayIcon->SetPopupMenu(popMenu);

    PopupMenu_Help = new TPopupMenu(this);
    PopupMenu_Help->SetName("PopupMenu_Help");
    popMenu_OpenDisk = NewItem(this, PopupMenu_Help, "popMenu_OpenDisk", "",
                               MethodOf(this, &TfrmMain::popMenu_OpenDiskClick));
    popMenu_ChangePassword = NewItem(this, PopupMenu_Help, "popMenu_ChangePassword", "",
                                     MethodOf(this, &TfrmMain::popMenu_ChangePasswordClick));
    popMenu_uninstall = NewItem(this, PopupMenu_Help, "popMenu_uninstall", "",
                                MethodOf(this, &TfrmMain::popMenu_uninstallClick));
    popMenu_Help1 = NewItem(this, PopupMenu_Help, "popMenu_Help1", "", MethodOf(this, &TfrmMain::popMenu_Help1Click));

    m_driveWatch.OnTimer = [this] { DriveMayBeBack(); };

    FinishBuilding();
}

int TfrmMain::Say(const std::string& text, UINT flags)
{
    return MessageBoxA(Handle(), text.c_str(), Application->Title().c_str(), flags);
}

inline void TfrmMain::RegionWindow()
{
    // The window keeps the region.
    SetWindowRgn(Handle(), CreateRoundRectRgn(0, 0, Width() + 1, Height() + 1, kRegionCorner, kRegionCorner), TRUE);
}

void TfrmMain::FormCreate(TObject*)
{
    m_texts = ReadLanguageSection("Agent.ini", "Main");
    const struct {
        TControl* control;
        const char* key;
    } controls[] = {{lblTop, "Title"},
                    {lblEnter_Tip, "lblEnter_Tip"},
                    {lblPassword_Tip, "lblPassword_Tip"},
                    {skCheckBox_ReadOnly, "chkReadOnly"}};
    for (const auto& control : controls)
        control.control->SetCaption(Main(control.key));
    const struct {
        TMenuItem* item;
        const char* key;
    } items[] = {{popMenu_OpenDisk, "popMenu_OpenDisk"},
                 {popMenu_ChangePassword, "popMenu_ChangePassword"},
                 {popMenu_uninstall, "popMenu_uninstall"},
                 {popMenu_Help1, "popMenu_Help"},
                 {popMenu_Help, "popMenu_Help"},
                 {PopMenu_Exit, "PopMenu_Exit"}};
    for (const auto& item : items)
        item.item->SetCaption(Main(item.key));
    Application->SetTitle(lblTop->Caption());
    RegionWindow();
}

void TfrmMain::FormShow(TObject*)
{
    popMenu_uninstall->SetEnabled(m_disk.Portable());
    TrayIcon->SetIconVisible(false);
}

void TfrmMain::bt_OKClick(TObject*)
{
    // bt_OK lies on the panel at (-2, -1); the menu opens just below it.
    PopupMenu_Help->Popup(Left() + bt_OK->Left() + 4, Top() + bt_OK->Top() + bt_OK->Height());
}

void TfrmMain::bt_cancelClick(TObject*)
{
    PutImageBack();
    Close();
}

void TfrmMain::btnFrmCloseClick(TObject* sender) { bt_cancelClick(sender); }

void TfrmMain::PutImageBack()
{
    if (!m_mounted)
        m_disk.MoveImageIntoSafeDir();
}

void TfrmMain::PutPortableImageBack()
{
    if (m_disk.Portable())
        PutImageBack();
}

TfrmMain::Check TfrmMain::CheckPassword(bool opening)
{
    const std::string typed = edtPassWord->Text();
    if (typed.empty()) {
        Say(Main("strNoPassword"), MB_ICONINFORMATION);
        return Check::Stopped;
    }
    if (!m_mounted)
        m_disk.MoveImageIntoWorkDir();
    ImageHeader header;
    if (!m_disk.ReadHeader(header)) {
        Say(Main("strReadFailed"), MB_ICONINFORMATION);
        if (opening || m_disk.Portable())
            PutImageBack();
        return Check::Stopped;
    }
    return TrimBlanks(AgentDisk::StoredPassword(header)) == TrimBlanks(typed) ? Check::Match : Check::Wrong;
}

void TfrmMain::UpdateBrowseCaption() { popMenu_Browse->SetCaption(WithLetter(Main("popMenu_Browse"), MountedLetter)); }

void TfrmMain::popMenu_OpenDiskClick(TObject*)
{
    if (m_mounted)
        return;
    const Check check = CheckPassword(true);
    if (check == Check::Stopped)
        return;
    // Chosen whatever the password: the Browse item names it either way.
    MountedLetter = AgentDisk::FindFreeLetter();
    if (check == Check::Wrong) {
        PutPortableImageBack();
        Say(Main("strErrorPassword"), MB_ICONINFORMATION);
        UpdateBrowseCaption();
        return;
    }
    if (!AgentDisk::EnsureDriverInstalled()) {
        Say(Main("strInstallDriverFailed"), MB_ICONINFORMATION);
        PutImageBack();
        return;
    }
    if (!MountedLetter || !m_disk.Mount(MountedLetter, skCheckBox_ReadOnly->Checked())) {
        Say(Main("strOpenFailed"), MB_ICONINFORMATION);
        return;
    }
    m_mounted = true;
    pnWait->SetCaption(Main("pnWait"));
    pnWait->SetVisible(true);
    Application->ProcessMessages();
    auto* job = new OpenerJob{Handle(), RootOf(MountedLetter)};
    // An opener thread still sleeping when the form goes ends with the process; it holds nothing
    // of the form.
    OpenThreadHandle.Reset(CreateThread(nullptr, 0, OpenDiskThreadProc, job, 0, nullptr));
    if (!OpenThreadHandle) {
        delete job;
        PostMessageA(Handle(), WM_OPENDONE, 0, 0);
        GoToTray();
    }
    UpdateBrowseCaption();
}

DWORD WINAPI TfrmMain::OpenDiskThreadProc(LPVOID parameter)
{
    std::unique_ptr<OpenerJob> job(static_cast<OpenerJob*>(parameter));
    Sleep(kOpenerDelayMs);
    OpenWithShell(job->root);
    PostMessageA(job->form, WM_OPENDONE, 0, 0);
    SendMessageA(job->form, WM_SYSCOMMAND, kMinimize, 0);
    return 0;
}

void TfrmMain::popMenu_ChangePasswordClick(TObject*)
{
    const Check check = CheckPassword(false);
    if (check == Check::Wrong)
        Say(Main("strErrorPassword"), MB_ICONINFORMATION);
    if (check == Check::Match) {
        Form_Password->ShowModal();
    }
    if (check != Check::Stopped)
        PutPortableImageBack();
}

void TfrmMain::OpenInShell() const { OpenWithShell(RootOf(MountedLetter)); }

void TfrmMain::popMenu_BrowseClick(TObject*)
{
    OutputDebugStringA(RootOf(MountedLetter).c_str());
    OpenInShell();
}

void TfrmMain::TrayIconDblClick(TObject*) { OpenInShell(); }

void TfrmMain::popMenu_HelpClick(TObject*)
{
    const std::string url = Main("strHelpUrl");
    OutputDebugStringA(url.c_str());
    OpenWithShell(url);
}

void TfrmMain::popMenu_Help1Click(TObject* sender) { popMenu_HelpClick(sender); }

bool TfrmMain::Dismount(bool putImageBack)
{
    if (!m_mounted)
        return true;
    // Back after a pull, perhaps on another letter, before the watch noticed: found by its image
    // while that is still as it was opened, and put back only there.
    const bool driveFound = putImageBack && (!m_orphaned || m_disk.FindOwnDrive());
    const int result = AgentDisk::Unmount(MountedLetter);
    if (!result)
        return false;
    m_mounted = false;
    m_changesDropped = result == kTavrinDismountedChangesDropped;
    if (putImageBack)
        m_orphaned = false;
    if (driveFound)
        m_disk.MoveImageIntoSafeDir();
    return true;
}

bool TfrmMain::DismountAndPutBack()
{
    if (Dismount())
        return true;
    Say(Main("strUnmountFailed"), MB_ICONWARNING);
    return false;
}

void TfrmMain::EndAfterDismount() { PostMessageA(Handle(), WM_DISMOUNTED, 0, 0); }

void TfrmMain::EndAgent()
{
    m_driveWatch.Stop();
    TrayIcon->SetIconVisible(false);
    Application->Terminate();
}

void TfrmMain::PopMenu_ExitClick(TObject*)
{
    if (DismountAndPutBack())
        EndAfterDismount();
}

inline void TfrmMain::RemoveDirByCmd(const std::string& folder)
{
    RunHiddenCommand("/c rd " + folder);
}

void TfrmMain::popMenu_uninstallClick(TObject*)
{
    if (!m_disk.Portable() || m_mounted)
        return;
    if (edtPassWord->Text().empty()) {
        Say(Main("strNoPassword"), MB_ICONINFORMATION);
        return;
    }
    if (Say(Main("strUninstallTip"), MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return;
    const Check check = CheckPassword(false);
    if (check == Check::Stopped)
        return;
    if (check == Check::Wrong) {
        Say(Main("strErrorPassword"), MB_ICONINFORMATION);
        PutImageBack();
        return;
    }
    // First the aux folder, empty now that the image lies in the work place, then the image.
    RemoveDirByCmd(m_disk.AuxFolder());
    SetFileAttributesA(m_disk.WorkPlace().c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!DeleteFileA(m_disk.WorkPlace().c_str())) {
        // In use elsewhere: the portable disk stays whole, its image back at rest, and opens again.
        RunHiddenCommand("/c md " + m_disk.AuxFolder());
        PutImageBack();
        Say(Main("strUninstallFailed"), MB_ICONWARNING);
        return;
    }
    MessageBoxA(Handle(), "To uninstall completely,please close this window and delete the \"{SEQUORA-WORK}\" folder.",
                "Information", MB_ICONINFORMATION);
}

void TfrmMain::RunHiddenCommand(const std::string& parameters)
{
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    OutputDebugStringA(cmd.c_str());
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "OPEN";
    info.lpFile = cmd.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    const auto executeEx = SystemFunction<decltype(&::ShellExecuteExA)>("shell32.dll", "ShellExecuteExA");
    if (executeEx && executeEx(&info) && info.hProcess) {
        const KernelHandle process(info.hProcess);
        WaitForSingleObject(process.Get(), INFINITE);
    }
}

void TfrmMain::Image1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, kDragMove, 0);
}

void TfrmMain::skImagePanel1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)
{
    Image1MouseDown(sender, button, shift, x, y);
}

void TfrmMain::GoToTray()
{
    TrayIcon->SetIconVisible(true);
    TrayIcon->HideOwnerForm();
    TrayIcon->PopBalloon("Tip", WithLetter("The secure area (%s:\\) is opened now", MountedLetter),
                         TTrayNotifyIcon::bitInfo,
                         kBalloonSeconds);
}

void TfrmMain::DeviceRemoved(DWORD unitMask)
{
    // Several letters can go at once (a stick with two partitions): every bit counts.
    bool ownDrive = false;
    bool mountedVolume = false;
    for (DWORD rest = unitMask; rest; rest &= rest - 1) {
        const char letter = static_cast<char>('A' + LowestSetBitIndex(rest));
        ownDrive = ownDrive || letter == (m_disk.ExeDriveLetter() & ~0x20);
        mountedVolume = mountedVolume || letter == (MountedLetter & ~0x20);
    }
    if (!m_mounted) {
        // Nothing is open: with its drive gone Agent has nothing left to do.
        if (ownDrive)
            bt_cancelClick(this);
        return;
    }
    if (ownDrive) {
        OutputDebugStringA(" DBT_DEVICEREMOVECOMPLETE message");
        if (Dismount(false)) {
            EndAfterDismount();
        } else if (!m_orphaned) {
            // The changes could not go back into the image: they wait until the drive returns.
            // Meanwhile another stick on this letter is no longer this Agent's: its own Agent
            // may start.
            m_orphaned = true;
            if (m_guard)
                m_guard->Release();
            m_driveWatch.Start(kDriveWatchMs);
            PostMessageA(Handle(), WM_DRIVEREMOVED, 0, 0);
        }
    } else if (mountedVolume) {
        m_mounted = false;
        EndAgent();
    }
}

void TfrmMain::DriveMayBeBack()
{
    // The drive may come back on another letter; the driver finds the image on it by its volume.
    if (m_orphaned && m_disk.FindOwnDrive() && Dismount())
        EndAfterDismount();
}

void TfrmMain::Woken()
{
    if (m_mounted) {
        OpenInShell();
        return;
    }
    if (!Visible())
        return;
    ShowWindow(Handle(), SW_RESTORE);
    SetForegroundWindow(Handle());
}

LRESULT TfrmMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == AgentInstanceGuard::WakeMessage() && message) {
        if (m_guard && m_guard->IsWakeFor(wParam))
            Woken();
        return 0;
    }
    switch (message) {
    case WM_SYSCOMMAND: {
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            PostMessageA(Handle(), WM_CLOSE, 0, 0);
            return 0;
        }
        const LRESULT result = TForm::WndProc(message, wParam, lParam);
        // Only a mounted disk goes to the tray; before that a minimise is a plain one.
        if (wParam == kMinimize && m_mounted)
            GoToTray();
        return result;
    }
    case WM_OPENDONE:
        // The thread still has its minimise request to send: its handle is closed, not waited for.
        pnWait->SetVisible(false);
        OpenThreadHandle.Reset();
        return 0;
    case WM_DRIVEREMOVED:
        Say(Main("strDriveRemoved"), MB_ICONWARNING);
        return 0;
    case WM_DISMOUNTED:
        if (m_changesDropped)
            Say(Main("strReadOnlyChangesLost"), MB_ICONWARNING);
        EndAgent();
        return 0;
    case WM_DEVICECHANGE: {
        const LRESULT result = TForm::WndProc(message, wParam, lParam);
        if (!lParam) {
            OutputDebugStringA("wm_devicechange pointer nil exit");
            return result;
        }
        const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if (header->dbch_devicetype == DBT_DEVTYP_VOLUME) {
            const DWORD mask = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam)->dbcv_unitmask & kAllLetters;
            if (wParam == DBT_DEVICEREMOVECOMPLETE)
                DeviceRemoved(mask);
            else if (wParam == DBT_DEVICEARRIVAL)
                DriveMayBeBack();
        }
        OutputDebugStringA("recvie wm_devicechange message out");
        return result;
    }
    case WM_CLOSE:
        // Closing by any road while the disk is open dismounts first; a refused dismount keeps Agent.
        if (m_mounted)
            PopMenu_ExitClick(this);
        else
            bt_cancelClick(this);
        return 0;
    case WM_QUERYENDSESSION:
        return Dismount() ? TRUE : FALSE;
    case WM_ENDSESSION:
        if (wParam)
            Dismount();
        return 0;
    default:
        return TForm::WndProc(message, wParam, lParam);
    }
}
