#include "AgentFixture.h"

#include "CPortableDisk.h"
#include "MountedDisks.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "Recorder.h"
#include "Registry.h"
#include "Tavrin.h"
#include "WindowDriver.h"

#include <algorithm>
#include <cstring>


namespace agenttest {

const char kPassword[] = "secret1";

namespace {

// Wine opens a folder or drive through HKCR\Folder (the machine's classes; it does not merge the
// user's): pointed at a recorder, no file manager is started.
constexpr char kFolderVerb[] = "Software\\Classes\\Folder\\shell\\open\\command";
constexpr UINT kTrayCallback = 0x800;
constexpr UINT kFirstTrayIcon = 1;
// The icon of a message box: control 0x14 on Windows, 0x440 (stc1) under Wine.
constexpr int kMessageBoxIconIds[] = {0x14, 0x440};
constexpr uint32_t kImageMb = 2;

HWND MenuWindow(DWORD pid)
{
    for (HWND w : harness::TopLevelWindows(pid))
        if (IsWindowVisible(w) && harness::ClassNameOf(w) == "#32768")
            return w;
    return nullptr;
}

}  // namespace

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string MessageSeen::Text() const
{
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &ansi[0], length, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    return ansi;
}

std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password)
{
    ImageHeader header = {};
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    memcpy(header.password, password.data(), std::min(password.size(), sizeof header.password));
    header.driveLetter = 'S';
    header.dataBytes = static_cast<uint64_t>(sizeMb) * 1048576 - ImageHeader::kHeaderSize;
    header.field657 = ImageHeader::kHeaderSize;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&header);
    return std::vector<uint8_t>(bytes, bytes + sizeof header);
}

std::string IniText(const std::string& iniPath, const char* section, const char* key)
{
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), iniPath.c_str());
    return value;
}

std::string OnLetter(char letter, const char* name) { return std::string(1, letter) + ":\\" + name; }

void AgentTest::SetUp()
{
    if (m_installDriver) {
        ASSERT_NE(0, Tavrin_Install());
    }
    m_usb = std::make_unique<harness::FakeUsbDrive>(m_usbFolder.empty() ? m_temp / "usb" : m_usbFolder, 0, m_usbSerial);
    ASSERT_NE(0, m_usb->Letter());
    // The shell's "open" of a folder or drive goes to a recorder instead of a file manager.
    m_shellRecorder = m_temp / "shellopen.exe";
    ASSERT_TRUE(harness::InstallRecorder(m_shellRecorder));
    ASSERT_TRUE(harness::WriteRegistryString(HKEY_LOCAL_MACHINE, kFolderVerb, "", "\"" + m_shellRecorder + "\" \"%1\""));
    if (m_makeDisk)
        MakePortableDisk();
    m_maskBefore = Tavrin_GetMountedMask();
    m_lettersBefore = MountedDriveLetters();
}

void AgentTest::TearDown()
{
    m_agent.Kill();
    for (char letter : MountedDriveLetters())
        if (std::find(m_lettersBefore.begin(), m_lettersBefore.end(), letter) == m_lettersBefore.end())
            Tavrin_Unmount(static_cast<unsigned char>(letter), 0);
    harness::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kFolderVerb);
    m_usb.reset();
}

std::string AgentTest::WorkFolder() const { return PortableLayout(m_usb->Root()).WorkFolder(); }
std::string AgentTest::HidingFolder() const { return PortableLayout(m_usb->Root()).HidingFolder(); }
std::string AgentTest::WorkPlace() const { return PortableLayout(m_usb->Root()).WorkPlace(); }
std::string AgentTest::RestPlace() const { return PortableLayout(m_usb->Root()).RestPlace(); }

void AgentTest::ExpectAtRest()
{
    EXPECT_TRUE(harness::FileExists(RestPlace()));
    EXPECT_FALSE(harness::FileExists(WorkPlace()));
}

void AgentTest::MakePortableDisk(const std::string& password)
{
    const std::string made = m_temp / "made.img";
    DeleteFileA(made.c_str());
    int32_t context = 0;
    const auto header = MakeHeader(kImageMb, password);
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(made).c_str(), reinterpret_cast<const ImageHeader*>(header.data()), nullptr,
                                    &context));
    CPortableDisk disk;
    disk.SetProgramFolder(harness::ProgramDir().c_str());
    disk.SetTarget(m_usb->Letter(), made.c_str());
    ASSERT_EQ(1, disk.CreatePortable(nullptr));
    DeleteFileA(made.c_str());
    ExpectAtRest();
}

void AgentTest::StartAgent(const std::string& faults, const std::string& arguments)
{
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", faults.empty() ? nullptr : faults.c_str());
    const bool started = m_agent.Start(WorkFolder() + "\\Agent.exe", arguments, WorkFolder());
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(harness::WaitUntil([&] { return Form() != nullptr; }, 20000));
    // The form's show event has run once it is visible: its menus are as the mode makes them.
    ASSERT_TRUE(harness::WaitUntil([&] { HWND f = Form(); return f && IsWindowVisible(f); }, 20000));
}

HWND AgentTest::Form()
{
    // The one form that no other window owns: the password dialog belongs to it.
    for (HWND w : harness::TopLevelWindows(m_agent.Pid()))
        if (harness::ClassNameOf(w) == "SequoraFormsForm" && !GetWindow(w, GW_OWNER))
            return w;
    return nullptr;
}

HWND AgentTest::PasswordDialog()
{
    return harness::WaitForWindow(m_agent.Pid(), nullptr, "Change Password", 10000);
}

HWND AgentTest::OpenPasswordDialog(const std::string& current)
{
    TypePassword(current);
    ChooseFromPasswordMenu(1);
    return PasswordDialog();
}

std::vector<HWND> AgentTest::Edits(HWND window)
{
    std::vector<HWND> edits;
    for (HWND w : harness::ChildWindows(window))
        if (_stricmp(harness::ClassNameOf(w).c_str(), "Edit") == 0)
            edits.push_back(w);
    std::sort(edits.begin(), edits.end(),
              [](HWND a, HWND b) { return harness::WindowRectOf(a).top < harness::WindowRectOf(b).top; });
    return edits;
}

void AgentTest::TypePassword(const std::string& password)
{
    const auto edits = Edits(Form());
    ASSERT_EQ(1u, edits.size());
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
}

void AgentTest::TypeNewPassword(const std::string& password, const std::string& confirmation)
{
    const auto edits = Edits(PasswordDialog());
    ASSERT_EQ(2u, edits.size());
    SendMessageA(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
    SendMessageA(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(confirmation.c_str()));
}

void AgentTest::PressButton(const char* caption, HWND window)
{
    for (HWND w : harness::ChildWindows(window ? window : Form()))
        if (harness::WindowText(w) == caption) {
            PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            return;
        }
    ADD_FAILURE() << "no button " << caption;
}

void AgentTest::ToggleReadOnly() { PressButton(Text("chkReadOnly").c_str()); }

void AgentTest::ChooseMenuItem(int index)
{
    HWND menu = nullptr;
    ASSERT_TRUE(harness::WaitUntil([&] { return (menu = MenuWindow(m_agent.Pid())) != nullptr; }, 10000));
    for (int i = 0; i <= index; ++i)
        PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(harness::WaitUntil([&] { return MenuWindow(m_agent.Pid()) == nullptr; }, 10000));
}

void AgentTest::ChooseFromPasswordMenu(int index)
{
    PressButton("&Open");
    ChooseMenuItem(index);
}

bool AgentTest::PasswordMenuItemEnabled(int index)
{
    constexpr int kItems = 4;       // Open, Change Password, Uninstall, Online Manual
    PressButton("&Open");
    HWND menu = nullptr;
    EXPECT_TRUE(harness::WaitUntil([&] { return (menu = MenuWindow(m_agent.Pid())) != nullptr; }, 10000));
    if (!menu)
        return false;
    // Menus belong to the showing process: the item's state is read off the screen, where an
    // enabled item's text is in the menu text colour and a disabled one's is grey.
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    size_t textPixels = 0;
    const COLORREF text = GetSysColor(COLOR_MENUTEXT);
    const DWORD wanted = (GetRValue(text) << 16) | (GetGValue(text) << 8) | GetBValue(text);
    auto count = [&](int top, int bottom) {
        size_t n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
            for (int x = 0; x < width; ++x)
                n += (pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFF) == wanted;
        return n;
    };
    // Painted once some item shows its text (the Open item always can) and two looks a moment
    // apart agree: a menu window just shown may still hold what was on the screen before.
    std::vector<DWORD> before;
    EXPECT_TRUE(harness::WaitUntil([&] {
        before.swap(pixels);
        Sleep(100);
        return harness::CaptureWindow(menu, pixels, width, height, true) && pixels == before &&
               count(0, height) > 10;
    }, 5000));
    const int itemHeight = height / kItems;
    textPixels = count(index * itemHeight + 2, (index + 1) * itemHeight - 2);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(harness::WaitUntil([&] { return MenuWindow(m_agent.Pid()) == nullptr; }, 10000));
    return textPixels > 10;
}

HWND AgentTest::TrayHandler()
{
    for (HWND w : harness::TopLevelWindows(m_agent.Pid()))
        if (harness::ClassNameOf(w) == "TTrayIconHandler")
            return w;
    return nullptr;
}

void AgentTest::ChooseFromTrayMenu(int index)
{
    HWND handler = TrayHandler();
    ASSERT_NE(nullptr, handler);
    PostMessageA(handler, kTrayCallback, kFirstTrayIcon, WM_RBUTTONDOWN);
    ChooseMenuItem(index);
}

MessageSeen AgentTest::AnswerMessage(int answer)
{
    MessageSeen seen;
    HWND box = harness::WaitForMessageBox(m_agent.Pid(), 15000);
    if (!box) {
        seen.text = L"(no message box)";
        return seen;
    }
    wchar_t text[1024] = {};
    GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 1024);
    seen.text = text;
    seen.caption = harness::WindowText(box);
    // Icon handles are the showing process's own: the icon is told by its colours on the screen
    // (information blue, warning yellow, error red), once the box has painted it.
    harness::WaitUntil([&] {
        for (int id : kMessageBoxIconIds) {
            HWND iconControl = GetDlgItem(box, id);
            std::vector<DWORD> pixels;
            int width = 0, height = 0;
            if (!iconControl || !harness::CaptureWindow(iconControl, pixels, width, height))
                continue;
            size_t blue = 0, yellow = 0, red = 0;
            for (DWORD p : pixels) {
                const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                blue += b > 150 && b > r + 60 && b > g + 20;
                yellow += r > 180 && g > 150 && b < 90;
                red += r > 150 && g < 80 && b < 80;
            }
            const size_t most = std::max({blue, yellow, red});
            if (most > 20)
                seen.icon = most == red ? IDI_ERROR : most == yellow ? IDI_WARNING : IDI_INFORMATION;
            break;
        }
        return seen.icon != nullptr;
    }, 3000);
    harness::ClickButton(box, answer);
    harness::WaitUntil([&] { return !IsWindow(box); }, 5000);
    return seen;
}

std::string AgentTest::AnswerMessageBox(int answer, std::string* caption)
{
    const MessageSeen seen = AnswerMessage(answer);
    if (caption)
        *caption = seen.caption;
    return seen.Text();
}

char AgentTest::OpenDisk(const std::string& password)
{
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF);
    TypePassword(password);
    ChooseFromPasswordMenu(0);
    EXPECT_TRUE(WaitForLetter(letter, true)) << letter;
    EXPECT_TRUE(WaitForTray());
    return letter;
}

void AgentTest::ExitFromTray(char letter)
{
    ChooseFromTrayMenu(2);
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_EQ(0u, m_agent.ExitCode());
    EXPECT_TRUE(WaitForLetter(letter, false));
}

void AgentTest::ChangePassword(const std::string& current, const std::string& next)
{
    HWND dialog = OpenPasswordDialog(current);
    ASSERT_NE(nullptr, dialog);
    TypeNewPassword(next, next);
    PressButton("&Change", dialog);
    EXPECT_EQ(Text("hit6", "DlgChange"), AnswerMessageBox());
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
    ASSERT_TRUE(harness::WaitUntil([&] { return harness::FileExists(RestPlace()); }, 5000));
}

bool AgentTest::WaitForLetter(char letter, bool present, DWORD timeoutMs)
{
    const std::string root = std::string(1, letter) + ":\\";
    return harness::WaitUntil([&] { return (GetDriveTypeA(root.c_str()) != DRIVE_NO_ROOT_DIR) == present; },
                              timeoutMs);
}

bool AgentTest::WaitForTray(DWORD timeoutMs)
{
    return harness::WaitUntil([&] { HWND f = Form(); return f && !IsWindowVisible(f); }, timeoutMs);
}

}  // namespace agenttest
