#include "AgentFixture.h"

#include "Paths.h"
#include "Recorder.h"
#include "Registry.h"
#include "WindowDriver.h"

#include <cstdio>
#include <cstring>

extern "C" {
int __cdecl Tavrin_Install(void);
int __cdecl Tavrin_CreateImage(const wchar_t* path, const void* header2048, void* progress, int32_t* context);
uint32_t __cdecl Tavrin_GetMountedMask(void);
uint32_t __cdecl Tavrin_GetSlotLetter(int32_t slot);
int __cdecl Tavrin_Unmount(uint32_t letter, int32_t zero);
}

namespace agenttest {

const char kPassword[] = "secret1";

namespace {

constexpr char kWork[] = "{SEQUORA-WORK}";
constexpr char kHiding[] = "{NORVALIX-SEQUORA-4FDD4DF77DEE}";
constexpr char kImage[] = "{1A401BED-0CD1-4216-8848-4FDD4DF77DEE}";
// Wine opens a folder or drive through HKCR\Folder (HKLM's classes; it does not merge the user's).
constexpr char kFolderVerb[] = "Software\\Classes\\Folder\\shell\\open\\command";
constexpr UINT kTrayCallback = 0x800;
constexpr UINT kFirstTrayIcon = 1;

void PutU32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) { memcpy(&bytes[offset], &value, 4); }

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

std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password)
{
    std::vector<uint8_t> header(2048, 0);
    PutU32(header, 0, 25);
    PutU32(header, 4, 2048);
    memcpy(&header[372], password.data(), password.size());
    header[632] = 'S';
    const uint64_t dataBytes = static_cast<uint64_t>(sizeMb) * 1048576 - 2048;
    memcpy(&header[633], &dataBytes, 8);
    PutU32(header, 657, 2048);
    return header;
}

std::string IniText(const std::string& iniPath, const char* section, const char* key)
{
    char value[2048] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), iniPath.c_str());
    return value;
}

void AgentTest::SetUp()
{
    ASSERT_NE(0, Tavrin_Install());
    m_usb = std::make_unique<harness::FakeUsbDrive>(m_temp / "usb");
    ASSERT_NE(0, m_usb->Letter());
    // The shell's "open" of a folder or drive goes to a recorder instead of a file manager.
    m_shellRecorder = m_temp / "shellopen.exe";
    ASSERT_TRUE(harness::InstallRecorder(m_shellRecorder));
    ASSERT_TRUE(harness::WriteRegistryString(HKEY_LOCAL_MACHINE, kFolderVerb, "", "\"" + m_shellRecorder + "\" \"%1\""));
    MakeLayout();
    m_maskBefore = Tavrin_GetMountedMask();
}

void AgentTest::TearDown()
{
    m_agent.Kill();
    const uint32_t mask = Tavrin_GetMountedMask();
    for (int slot = 0; slot < 32; ++slot)
        if (mask & (1u << slot))
            Tavrin_Unmount(Tavrin_GetSlotLetter(slot), 0);
    harness::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kFolderVerb);
    m_usb.reset();
}

std::string AgentTest::WorkFolder() const { return m_usb->Root() + kWork; }
std::string AgentTest::WorkPlace() const { return WorkFolder() + "\\" + kImage; }
std::string AgentTest::RestPlace() const { return WorkFolder() + "\\" + kHiding + "\\aux\\" + kImage; }

void AgentTest::MakeLayout()
{
    const std::string work = WorkFolder();
    for (const std::string& folder : {work, work + "\\" + kHiding, work + "\\" + kHiding + "\\aux"}) {
        // The long form passes "aux", a reserved device name, through as a plain folder name.
        ASSERT_TRUE(CreateDirectoryA(("\\\\?\\" + folder).c_str(), nullptr)) << folder << " " << GetLastError();
    }
    for (const char* name : {"Agent.exe", "Agent.ini", "Tavrin.dll"}) {
        const std::string from = harness::JoinPath(harness::ProgramDir(), name);
        ASSERT_TRUE(CopyFileA(from.c_str(), (work + "\\" + name).c_str(), FALSE)) << from;
    }
    int32_t context = 0;
    const auto header = MakeHeader(8, kPassword);
    ASSERT_EQ(1, Tavrin_CreateImage(Wide(RestPlace()).c_str(), header.data(), nullptr, &context));
}

void AgentTest::StartAgent(const std::string& faults, const std::string& arguments)
{
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", faults.empty() ? nullptr : faults.c_str());
    const bool started = m_agent.Start(WorkFolder() + "\\Agent.exe", arguments, WorkFolder());
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    ASSERT_TRUE(started);
    ASSERT_NE(nullptr, harness::WaitForWindow(m_agent.Pid(), nullptr, "Agent", 20000));
}

HWND AgentTest::Form()
{
    for (HWND w : harness::TopLevelWindows(m_agent.Pid()))
        if (harness::ClassNameOf(w) != "#32768" && harness::WindowText(w) == "Agent")
            return w;
    return nullptr;
}

void AgentTest::TypePassword(const std::string& password)
{
    for (HWND w : harness::ChildWindows(Form()))
        if (_stricmp(harness::ClassNameOf(w).c_str(), "Edit") == 0) {
            SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
            return;
        }
    ADD_FAILURE() << "no password edit";
}

void AgentTest::PressButton(const char* caption)
{
    for (HWND w : harness::ChildWindows(Form()))
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

std::string AgentTest::AnswerMessageBox(int answer, std::string* caption)
{
    HWND box = harness::WaitForMessageBox(m_agent.Pid(), 15000);
    if (!box)
        return "(no message box)";
    const std::string text = harness::MessageBoxText(box);
    if (caption)
        *caption = harness::WindowText(box);
    harness::ClickButton(box, answer);
    harness::WaitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
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
