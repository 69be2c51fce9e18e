#include "MainFrm.h"

#include "Colors.h"
#include "TApplication.h"
#include "TBitmap.h"
#include "TIniFile.h"

#include <dbt.h>
#include <shellapi.h>

#include <cstdlib>

TfrmMain* frmMain = nullptr;

namespace {

constexpr char kMissingText[] = "1.1";
constexpr WPARAM kMinimize = SC_MINIMIZE;        // exactly this value: the opener thread's request
constexpr WPARAM kDragMove = 0xF012;             // SC_MOVE by the mouse
constexpr DWORD kOpenerDelayMs = 3000;           // the new volume settles before the shell looks
constexpr int kRegionCorner = 5;
constexpr int kBalloonSeconds = 10;
constexpr TColor kBackground = RGB(24, 38, 82);
constexpr TColor kWaitColor = RGB(185, 209, 234);
constexpr TColor kButtonFace = RGB(64, 96, 168);
constexpr TColor kSeeThrough = RGB(255, 0, 255);
constexpr DWORD kAllLetters = (1u << 26) - 1;

// A flat button face with see-through corners.
void DrawButtonFace(TPicture& picture, int width, int height, TColor face)
{
    TBitmap bitmap;
    bitmap.SetSize(width, height);
    bitmap.Canvas().SetBrushColor(kSeeThrough);
    bitmap.Canvas().FillRect(RECT{0, 0, width, height});
    bitmap.Canvas().SetBrushColor(RGB(200, 210, 240));
    bitmap.Canvas().FillRect(RECT{1, 1, width - 1, height - 1});
    bitmap.Canvas().SetBrushColor(face);
    bitmap.Canvas().FillRect(RECT{2, 2, width - 2, height - 2});
    picture.Assign(&bitmap);
}

// The tray icon: a small padlock drawn at start.
HICON MakeTrayIcon()
{
    const int size = 16;
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, colour);
    RECT all = {0, 0, size, size};
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    HBRUSH gold = CreateSolidBrush(RGB(230, 180, 40));
    HBRUSH steel = CreateSolidBrush(RGB(90, 110, 150));
    FillRect(dc, &all, black);
    RECT body = {2, 7, 14, 15};
    FillRect(dc, &body, gold);
    RECT shackleLeft = {4, 2, 6, 7}, shackleRight = {10, 2, 12, 7}, shackleTop = {4, 1, 12, 3};
    FillRect(dc, &shackleLeft, steel);
    FillRect(dc, &shackleRight, steel);
    FillRect(dc, &shackleTop, steel);
    SelectObject(dc, mask);
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    FillRect(dc, &body, black);
    FillRect(dc, &shackleLeft, black);
    FillRect(dc, &shackleRight, black);
    FillRect(dc, &shackleTop, black);
    SelectObject(dc, old);
    DeleteObject(black);
    DeleteObject(gold);
    DeleteObject(steel);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    ICONINFO info = {};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(colour);
    DeleteObject(mask);
    return icon;
}

std::string OwnPath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string FirstArgument() { return __argc > 1 ? std::string(__argv[1]) : std::string(); }

// What the opener thread needs, copied: it touches nothing of the form.
struct OpenerJob {
    HWND form;
    std::string root;
};

std::string RootOf(char letter) { return std::string(1, letter) + ":\\"; }

// Language texts are never used as formats: the letter goes in place of the first "%s" only.
std::string WithLetter(const std::string& text, char letter)
{
    std::string result = text;
    const size_t at = result.find("%s");
    if (at != std::string::npos)
        result.replace(at, 2, std::string(1, letter));
    return result;
}

TLabel* NewLabel(TComponent* owner, TWinControl* parent, int left, int top)
{
    auto* label = new TLabel(owner);
    label->SetParent(parent);
    label->SetBounds(left, top, 280, 13);
    label->SetTransparent(true);
    label->Font().SetColor(clWhite);
    return label;
}

TMenuItem* NewItem(TComponent* owner, TMenu* menu, const char* caption, TNotifyEvent onClick)
{
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    item->OnClick = std::move(onClick);
    menu->Items()->Add(item);
    return item;
}

}  // namespace

TfrmMain::TfrmMain(TComponent* owner) : TForm(owner)
{
    m_disk = std::make_unique<AgentDisk>(OwnPath(), FirstArgument());
    m_icon = MakeTrayIcon();

    BeginLoading();
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

    skImagePanel1 = new TskImagePanel(this);
    skImagePanel1->SetName("skImagePanel1");
    skImagePanel1->SetParent(this);
    skImagePanel1->SetBounds(-2, -1, 326, 193);
    skImagePanel1->SetColor(kBackground);
    skImagePanel1->OnMouseDown = MouseMethodOf(this, &TfrmMain::BackgroundMouseDown);

    lblTop = NewLabel(this, skImagePanel1, 14, 9);
    lblTop->Font().SetBold(true);
    lblTop->OnMouseDown = MouseMethodOf(this, &TfrmMain::BackgroundMouseDown);
    lblEnter_Tip = NewLabel(this, skImagePanel1, 18, 46);
    lblPassword_Tip = NewLabel(this, skImagePanel1, 18, 79);
    lblPassword_Tip->SetWidth(56);

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
    skCheckBox_ReadOnly->SetTransparent(true);
    skCheckBox_ReadOnly->Font().SetColor(clWhite);

    btnFrmMin = new TskImageButton(this);
    btnFrmMin->SetParent(skImagePanel1);
    btnFrmMin->SetBounds(276, 5, 20, 20);
    btnFrmMin->SetVisible(false);

    btnFrmClose = new TskImageButton(this);
    btnFrmClose->SetParent(skImagePanel1);
    btnFrmClose->SetBounds(296, 5, 20, 20);
    DrawButtonFace(btnFrmClose->PicNormal(), 20, 20, RGB(170, 50, 50));
    btnFrmClose->SetTransparent(true);
    btnFrmClose->Font().SetColor(clWhite);
    btnFrmClose->Font().SetBold(true);
    btnFrmClose->SetCaption("x");
    btnFrmClose->SetShowHint(true);
    btnFrmClose->OnClick = MethodOf(this, &TfrmMain::btnFrmCloseClick);

    bt_OK = new TskImageButton(this);
    bt_OK->SetName("bt_OK");
    bt_OK->SetParent(skImagePanel1);
    bt_OK->SetBounds(51, 131, 90, 23);
    DrawButtonFace(bt_OK->PicNormal(), 90, 23, kButtonFace);
    bt_OK->SetAutoSize(true);
    bt_OK->SetTransparent(true);
    bt_OK->SetDrawFocused(true);
    bt_OK->Font().SetColor(clWhite);
    bt_OK->Font().SetBold(true);
    bt_OK->SetCaption("&Open");
    bt_OK->OnClick = MethodOf(this, &TfrmMain::bt_OKClick);

    bt_cancel = new TskImageButton(this);
    bt_cancel->SetName("bt_cancel");
    bt_cancel->SetParent(skImagePanel1);
    bt_cancel->SetBounds(188, 131, 90, 23);
    DrawButtonFace(bt_cancel->PicNormal(), 90, 23, kButtonFace);
    bt_cancel->SetStretch(true);
    bt_cancel->SetTransparent(true);
    bt_cancel->SetDrawFocused(true);
    bt_cancel->Font().SetColor(clWhite);
    bt_cancel->Font().SetBold(true);
    bt_cancel->SetCaption("&Cancel");
    bt_cancel->OnClick = MethodOf(this, &TfrmMain::bt_cancelClick);

    pnWait = new TskImagePanel(this);
    pnWait->SetName("pnWait");
    pnWait->SetParent(skImagePanel1);
    pnWait->SetBounds(18, 58, 287, 55);
    pnWait->SetColor(kWaitColor);
    pnWait->SetVisible(false);

    popMenu = new TskPopupMenu(this);
    popMenu->SetUIStyle(Indigo);
    popMenu->SetSeparatorHeight(5);
    popMenu_Browse = NewItem(this, popMenu, "Browse Disk()", MethodOf(this, &TfrmMain::popMenu_BrowseClick));
    popMenu_Help = NewItem(this, popMenu, "Online Manual", MethodOf(this, &TfrmMain::popMenu_HelpClick));
    PopMenu_Exit = NewItem(this, popMenu, "&Exit", MethodOf(this, &TfrmMain::PopMenu_ExitClick));

    PopupMenu_Help = new TPopupMenu(this);
    popMenu_OpenDisk = NewItem(this, PopupMenu_Help, "&Open", MethodOf(this, &TfrmMain::popMenu_OpenDiskClick));
    popMenu_ChangePassword = NewItem(this, PopupMenu_Help, "&Change Password", TNotifyEvent());
    popMenu_uninstall =
        NewItem(this, PopupMenu_Help, "&Uninstall", MethodOf(this, &TfrmMain::popMenu_uninstallClick));
    popMenu_Help1 = NewItem(this, PopupMenu_Help, "Online Manual", MethodOf(this, &TfrmMain::popMenu_HelpClick));

    TrayIcon = new TTrayNotifyIcon(this);
    TrayIcon->SetIcon(m_icon);
    TrayIcon->SetPopupMenu(popMenu);
    TrayIcon->OnDblClick = MethodOf(this, &TfrmMain::TrayIconDblClick);

    FinishBuilding();
}

TfrmMain::~TfrmMain()
{
    // An opener thread still sleeping ends with the process; it holds nothing of the form.
    if (m_openThread)
        CloseHandle(m_openThread);
    if (m_icon)
        DestroyIcon(m_icon);
}

std::string TfrmMain::ReadLanguageString(const std::string& file, const std::string& section,
                                         const std::string& key) const
{
    return TIniFile(m_disk->ExeFolder() + "\\" + file).ReadString(section, key, kMissingText);
}

int TfrmMain::Say(const std::string& text, UINT flags) { return Application->MessageBox(text, Application->Title(), flags); }

void TfrmMain::FormCreate(TObject*)
{
    lblTop->SetCaption(Main("Title"));
    lblEnter_Tip->SetCaption(Main("lblEnter_Tip"));
    lblPassword_Tip->SetCaption(Main("lblPassword_Tip"));
    skCheckBox_ReadOnly->SetCaption(Main("chkReadOnly"));
    popMenu_OpenDisk->SetCaption(Main("popMenu_OpenDisk"));
    popMenu_ChangePassword->SetCaption(Main("popMenu_ChangePassword"));
    popMenu_uninstall->SetCaption(Main("popMenu_uninstall"));
    popMenu_Help1->SetCaption(Main("popMenu_Help"));
    popMenu_Help->SetCaption(Main("popMenu_Help"));
    PopMenu_Exit->SetCaption(Main("PopMenu_Exit"));
    Application->SetTitle(lblTop->Caption());
    // The window keeps the region.
    SetWindowRgn(Handle(), CreateRoundRectRgn(0, 0, Width() + 1, Height() + 1, kRegionCorner, kRegionCorner), TRUE);
}

void TfrmMain::FormShow(TObject*)
{
    popMenu_uninstall->SetEnabled(m_disk->Portable());
    TrayIcon->SetIconVisible(false);
}

void TfrmMain::bt_OKClick(TObject*)
{
    // bt_OK lies on the panel at (-2, -1); the menu opens below it.
    RECT window = {};
    GetWindowRect(Handle(), &window);
    PopupMenu_Help->Popup(window.left + bt_OK->Left() + 4, window.top + bt_OK->Top() + bt_OK->Height());
}

void TfrmMain::bt_cancelClick(TObject*)
{
    m_disk->MoveIntoRestPlace();
    Close();
}

void TfrmMain::btnFrmCloseClick(TObject* sender) { bt_cancelClick(sender); }

TfrmMain::Check TfrmMain::CheckPassword()
{
    const std::string typed = edtPassWord->Text();
    if (typed.empty()) {
        Say(Main("strNoPassword"), MB_ICONINFORMATION);
        return Check::Stopped;
    }
    m_disk->MoveIntoWorkPlace();
    std::string header;
    if (!m_disk->ReadHeader(header)) {
        Say(Main("strReadFailed"), MB_ICONINFORMATION);
        m_disk->MoveIntoRestPlace();
        return Check::Stopped;
    }
    if (!m_mounted)
        m_letter = AgentDisk::FindFreeLetter();
    return TrimBlanks(AgentDisk::StoredPassword(header)) == TrimBlanks(typed) ? Check::Match : Check::Wrong;
}

void TfrmMain::UpdateBrowseCaption() { popMenu_Browse->SetCaption(WithLetter(Main("popMenu_Browse"), m_letter)); }

void TfrmMain::popMenu_OpenDiskClick(TObject*)
{
    if (m_mounted)
        return;
    const Check check = CheckPassword();
    if (check == Check::Stopped)
        return;
    if (check == Check::Wrong) {
        m_disk->MoveIntoRestPlace();
        Say(Main("strErrorPassword"), MB_ICONINFORMATION);
        UpdateBrowseCaption();
        return;
    }
    if (!AgentDisk::EnsureDriverInstalled()) {
        Say(Main("strInstallDriverFailed"), MB_ICONINFORMATION);
        m_disk->MoveIntoRestPlace();
        return;
    }
    if (!m_letter || !m_disk->Mount(m_letter, skCheckBox_ReadOnly->Checked())) {
        Say(Main("strOpenFailed"), MB_ICONINFORMATION);
        return;
    }
    m_mounted = true;
    pnWait->SetCaption(Main("pnWait"));
    pnWait->SetVisible(true);
    Application->ProcessMessages();
    auto* job = new OpenerJob{Handle(), RootOf(m_letter)};
    m_openThread = CreateThread(nullptr, 0, OpenDiskThreadProc, job, 0, nullptr);
    if (!m_openThread)
        delete job;
    UpdateBrowseCaption();
}

DWORD WINAPI TfrmMain::OpenDiskThreadProc(LPVOID parameter)
{
    std::unique_ptr<OpenerJob> job(static_cast<OpenerJob*>(parameter));
    Sleep(kOpenerDelayMs);
    ShellExecuteA(nullptr, "open", job->root.c_str(), nullptr, nullptr, SW_SHOW);
    PostMessageA(job->form, WM_OPENDONE, 0, 0);
    SendMessageA(job->form, WM_SYSCOMMAND, kMinimize, 0);
    return 0;
}

void TfrmMain::OpenInShell() const
{
    const std::string root = RootOf(m_letter);
    ShellExecuteA(nullptr, "open", root.c_str(), nullptr, nullptr, SW_SHOW);
}

void TfrmMain::popMenu_BrowseClick(TObject*)
{
    const std::string root = RootOf(m_letter);
    OutputDebugStringA(root.c_str());
    OpenInShell();
}

void TfrmMain::TrayIconDblClick(TObject* sender) { popMenu_BrowseClick(sender); }

void TfrmMain::popMenu_HelpClick(TObject*)
{
    const std::string url = Main("strHelpUrl");
    OutputDebugStringA(url.c_str());
    ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW);
}

bool TfrmMain::DismountAndPutBack()
{
    if (!m_mounted)
        return true;
    if (!AgentDisk::Unmount(m_letter)) {
        Say(Main("strUnmountFailed"), MB_ICONWARNING);
        return false;
    }
    m_mounted = false;
    m_orphaned = false;
    m_disk->MoveIntoRestPlace();
    return true;
}

void TfrmMain::PopMenu_ExitClick(TObject*)
{
    if (!DismountAndPutBack())
        return;
    TrayIcon->SetIconVisible(false);
    Application->Terminate();
}

void TfrmMain::popMenu_uninstallClick(TObject*)
{
    if (!m_disk->Portable() || m_mounted)
        return;
    if (edtPassWord->Text().empty()) {
        Say(Main("strNoPassword"), MB_ICONINFORMATION);
        return;
    }
    if (Say(Main("strUninstallTip"), MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return;
    const Check check = CheckPassword();
    if (check == Check::Stopped)
        return;
    if (check == Check::Wrong) {
        Say(Main("strErrorPassword"), MB_ICONINFORMATION);
        m_disk->MoveIntoRestPlace();
        return;
    }
    // The image goes first: while it cannot be deleted the aux folder (its rest place) stays.
    if (!DeleteFileA(m_disk->WorkPlace().c_str())) {
        m_disk->MoveIntoRestPlace();
        Say(Main("strReadFailed"), MB_ICONWARNING);
        return;
    }
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string cmd = std::string(system) + "\\cmd.exe";
    const std::string parameters = "/c rd \"" + m_disk->AuxFolder() + "\"";
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "OPEN";
    info.lpFile = cmd.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    if (ShellExecuteExA(&info) && info.hProcess) {
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hProcess);
    }
    Application->MessageBox(
        "To uninstall completely,please close this window and delete the \"{SEQUORA-WORK}\" folder.",
        "Information", MB_ICONINFORMATION);
}

void TfrmMain::BackgroundMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, kDragMove, 0);
}

void TfrmMain::DeviceRemoved(DWORD unitMask)
{
    bool ownDrive = false;
    bool mountedVolume = false;
    for (int bit = 0; bit < 26; ++bit) {
        if (!(unitMask & (1u << bit)))
            continue;
        const char letter = static_cast<char>('A' + bit);
        ownDrive = ownDrive || letter == (m_disk->DriveLetter() & ~0x20);
        mountedVolume = mountedVolume || letter == (m_letter & ~0x20);
    }
    if (!m_mounted)
        return;     // nothing of ours to look after
    if (ownDrive) {
        OutputDebugStringA(" DBT_DEVICEREMOVECOMPLETE message");
        if (AgentDisk::Unmount(m_letter)) {
            m_mounted = false;
            TrayIcon->SetIconVisible(false);
            Application->Terminate();
        } else if (!m_orphaned) {
            // The changes could not go back into the image: they wait until the drive returns.
            m_orphaned = true;
            PostMessageA(Handle(), WM_DRIVEREMOVED, 0, 0);
        }
    } else if (mountedVolume) {
        m_mounted = false;
        TrayIcon->SetIconVisible(false);
        Application->Terminate();
    }
}

void TfrmMain::DeviceArrived(DWORD unitMask)
{
    const int bit = (m_disk->DriveLetter() & ~0x20) - 'A';
    if (!m_orphaned || bit < 0 || bit > 25 || !(unitMask & (1u << bit)))
        return;
    if (AgentDisk::Unmount(m_letter)) {
        m_mounted = false;
        m_orphaned = false;
        m_disk->MoveIntoRestPlace();
        TrayIcon->SetIconVisible(false);
        Application->Terminate();
    }
}

LRESULT TfrmMain::WndProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SYSCOMMAND: {
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            PostMessageA(Handle(), WM_CLOSE, 0, 0);
            return 0;
        }
        const LRESULT result = TForm::WndProc(message, wParam, lParam);
        // Only a mounted disk goes to the tray; before that a minimise is a plain one.
        if (wParam == kMinimize && m_mounted) {
            TrayIcon->SetIconVisible(true);
            TrayIcon->HideOwnerForm();
            TrayIcon->PopBalloon(WithLetter("The secure area (%s:\\) is opened now", m_letter), "Tip",
                                 TTrayNotifyIcon::biInfo, kBalloonSeconds);
        }
        return result;
    }
    case WM_OPENDONE:
        // The thread still has its minimise request to send: its handle is closed, not waited for.
        pnWait->SetVisible(false);
        if (m_openThread) {
            CloseHandle(m_openThread);
            m_openThread = nullptr;
        }
        return 0;
    case WM_DRIVEREMOVED: {
        std::string text = Main("strDriveRemoved");
        if (text == kMissingText)
            text = "The USB drive was removed while sequora was open. Please put it back to save the changes.";
        Say(text, MB_ICONWARNING);
        return 0;
    }
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
                DeviceArrived(mask);
        }
        OutputDebugStringA("recvie wm_devicechange message out");
        return result;
    }
    case WM_CLOSE:
        // Closing by any road while the disk is open dismounts first; a refused dismount keeps Agent.
        if (m_mounted) {
            PopMenu_ExitClick(this);
            return 0;
        }
        bt_cancelClick(this);
        return 0;
    case WM_QUERYENDSESSION:
        if (m_mounted && !AgentDisk::Unmount(m_letter))
            return FALSE;
        if (m_mounted) {
            m_mounted = false;
            m_disk->MoveIntoRestPlace();
        }
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && m_mounted && AgentDisk::Unmount(m_letter)) {
            m_mounted = false;
            m_disk->MoveIntoRestPlace();
        }
        return 0;
    default:
        return TForm::WndProc(message, wParam, lParam);
    }
}
