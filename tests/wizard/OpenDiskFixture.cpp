#include "OpenDiskFixture.h"

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>

#include "DriverPath.h"
#include "HandleOwner.h"
#include "HiddenMounts.h"
#include "ImageHeader.h"
#include "LanguageFixture.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "Quilmar.h"
#include "Registry.h"
#include "ShellWindows.h"
#include "Tavrin.h"
#include "WindowDriver.h"

namespace opentest {

namespace {

std::string Root(char letter)
{
    return std::string(1, letter) + ":\\";
}

// Memory of another process, for the list view's messages that carry pointers.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : m_size(size)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        m_process.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (m_process)
            m_address = VirtualAllocEx(m_process.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer()
    {
        if (m_address)
            VirtualFreeEx(m_process.Get(), m_address, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Ok() const { return m_address != nullptr; }
    char* Address(size_t offset = 0) const { return static_cast<char*>(m_address) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const
    {
        SIZE_T done = 0;
        return WriteProcessMemory(m_process.Get(), Address(offset), data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const
    {
        SIZE_T done = 0;
        return ReadProcessMemory(m_process.Get(), Address(offset), data, size, &done) && done == size;
    }

private:
    KernelHandle m_process;
    void* m_address = nullptr;
    size_t m_size;
};

}  // namespace

std::string WorkPlaceOn(char letter)
{
    return PortableLayout::OnDrive(letter).WorkPlace();
}

std::string AuxFolderOn(char letter)
{
    return PortableLayout::OnDrive(letter).RestFolder();
}

std::string RestPlaceOn(char letter)
{
    return PortableLayout::OnDrive(letter).RestPlace();
}

bool MakeImage(const std::string& path, const std::string& password, unsigned sizeMB,
               const std::vector<std::pair<std::string, std::string>>& files)
{
    ImageHeader header = {};
    header.signature = ImageHeader::kSignature;
    header.headerSize = ImageHeader::kHeaderSize;
    std::copy_n(password.data(), std::min(password.size(), ImageHeader::kPasswordSize - 1), header.password);
    header.driveLetter = 'X';
    header.dataBytes = static_cast<uint64_t>(sizeMB) * 1048576u - 2048u;
    header.field657 = 2048;
    int32_t context = 0;
    if (Tavrin_CreateImage(ToDriverPath(path).c_str(), &header, nullptr, &context) != kTavrinCreated)
        return false;
    if (files.empty())
        return true;
    const char letter = MountForTest(path, false);
    if (!letter)
        return false;
    bool written = true;
    for (const auto& file : files)
        written = written && harness::WriteFileBytes(Root(letter) + file.first, file.second);
    return Dismount(letter) && written;
}

char MountForTest(const std::string& path, bool readOnly)
{
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    if (!letter || !Tavrin_Mount(ToDriverPath(path).c_str(), static_cast<uint32_t>(letter), readOnly ? 1 : 0))
        return 0;
    return letter;
}

bool Dismount(char letter)
{
    return Tavrin_Unmount(static_cast<uint32_t>(letter), 0) != 0;
}

bool ListEntry(const std::string& path, int kind, int state)
{
    return harness::WriteRegistryString(HKEY_CURRENT_USER, kQuilmarList, path,
                                        std::to_string(kind) + " " + std::to_string(state));
}

std::string EntryOf(const std::string& path)
{
    std::string value;
    if (!harness::ReadRegistryString(HKEY_CURRENT_USER, kQuilmarList, path, value))
        return std::string();
    // "kind state [attributes]": the first two numbers.
    const size_t blank = value.find(' ');
    const size_t second = blank == std::string::npos ? std::string::npos : value.find(' ', blank + 1);
    return value.substr(0, second);
}

bool IsProtected(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return EntryOf(path) == "1 1" && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

void ForgetProtection(const std::string& path)
{
    harness::DeleteRegistryValue(HKEY_CURRENT_USER, kQuilmarList, path);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    // A disk the test dismounted itself leaves Brixom's mark behind.
    TakeHiddenMountMark(path);
}

ProtectedListGuard::ProtectedListGuard()
{
    harness::DeleteRegistryTree(HKEY_CURRENT_USER, kQuilmarList);
}

ProtectedListGuard::~ProtectedListGuard()
{
    harness::DeleteRegistryTree(HKEY_CURRENT_USER, kQuilmarList);
}

std::string Listed(const std::string& path)
{
    std::string listed = path;
    for (size_t i = 1; i < listed.size(); ++i)
        listed[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(listed[i])));
    return listed;
}

bool MakeLayoutAtRest(char letter, const std::string& imageBytes)
{
    const PortableLayout layout = PortableLayout::OnDrive(letter);
    CreateDirectoryA(layout.WorkFolder().c_str(), nullptr);
    CreateDirectoryA(layout.HidingFolder().c_str(), nullptr);
    // "aux" is a device name: the extended form makes the folder.
    const std::wstring aux = L"\\\\?\\" + ToDriverPath(AuxFolderOn(letter));
    CreateDirectoryW(aux.c_str(), nullptr);
    return harness::WriteFileBytes(RestPlaceOn(letter), imageBytes);
}

std::vector<std::string> ListViewTexts(HWND list)
{
    std::vector<std::string> texts;
    constexpr size_t kTextChars = 512;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kTextChars);
    if (!remote.Ok())
        return texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = remote.Address(sizeof(LVITEMA));
        item.cchTextMax = static_cast<int>(kTextChars);
        remote.Write(0, &item, sizeof item);
        SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.Address()));
        char text[kTextChars] = {};
        remote.Read(sizeof(LVITEMA), text, kTextChars);
        text[kTextChars - 1] = '\0';
        texts.push_back(text);
    }
    return texts;
}

int ListViewSelectedCount(HWND list)
{
    return static_cast<int>(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0));
}

bool SelectListViewItem(HWND list, int index)
{
    RemoteBuffer remote(list, sizeof(LVITEMA));
    if (!remote.Ok())
        return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    remote.Write(0, &item, sizeof item);
    return SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.Address())) != 0;
}

bool SelectComboEntry(HWND combo, const std::string& text)
{
    const std::vector<std::string> texts = ListEntries(combo);
    const auto found = std::find(texts.begin(), texts.end(), text);
    if (found == texts.end())
        return false;
    return SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(found - texts.begin()), 0) != CB_ERR;
}

bool SetText(HWND window, const std::string& text)
{
    return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

bool IsEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

char HighestFreeLetter()
{
    const DWORD used = GetLogicalDrives();
    for (char letter = 'Z'; letter >= 'C'; --letter) {
        if (!(used & (1u << (letter - 'A'))))
            return letter;
    }
    return 0;
}

std::vector<std::string> Since(const std::vector<std::string>& lines, size_t before)
{
    return std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(std::min(before, lines.size())),
                                    lines.end());
}

std::vector<std::string> CallsOf(const std::vector<std::string>& journal, const std::vector<std::string>& names)
{
    std::vector<std::string> calls;
    for (const std::string& line : journal) {
        for (const std::string& name : names) {
            if (line.rfind(name + "(", 0) == 0)
                calls.push_back(line);
        }
    }
    return calls;
}

std::string ReleaseLine(const std::string& path, int result)
{
    return "Quilmar_SetProtection(\"" + path + "\", 0, 0, 0) -> " + std::to_string(result);
}

std::string ProtectLine(const std::string& path, int result)
{
    return "Quilmar_SetProtection(\"" + path + "\", 0, 0, 1) -> " + std::to_string(result);
}

std::string GetInfoLine(const std::string& path, int result)
{
    return "Tavrin_GetInfo(\"" + path + "\") -> " + std::to_string(result);
}

OpenDiskFixture::OpenDiskFixture() : m_images("open")
{
    WriteEchoLanguage({});
}

OpenDiskFixture::~OpenDiskFixture()
{
    Process().Kill();
    harness::CloseShellWindows();
    for (char letter : m_mounted) {
        if (MountedLetters().count(letter))
            Dismount(letter);
    }
}

HWND OpenDiskFixture::StartOn(const std::string& verb, const std::string& faults)
{
    m_sheet = Start(verb, faults) ? WaitForSheet(20000) : nullptr;
    return m_sheet;
}

HWND OpenDiskFixture::Page() const
{
    return ActivePage(m_sheet);
}

HWND OpenDiskFixture::PageControl(int id) const
{
    HWND page = Page();
    return page ? GetDlgItem(page, id) : nullptr;
}

std::string OpenDiskFixture::Answer(int answer, DWORD waitMs)
{
    return harness::AnswerMessageBox(Process().Pid(), answer, waitMs);
}

std::string OpenDiskFixture::PressAndAnswer(int button, int answer, DWORD waitMs)
{
    if (!harness::ClickButton(m_sheet, button))
        return std::string();
    return Answer(answer, waitMs);
}

bool OpenDiskFixture::WaitForPageWith(int id, DWORD timeoutMs)
{
    return harness::WaitUntil([&] { return PageHolds(Page(), id); }, timeoutMs);
}

bool OpenDiskFixture::Click(int id)
{
    HWND page = Page();
    HWND control = page ? GetDlgItem(page, id) : nullptr;
    if (!control)
        return false;
    // Sent, so the click has been handled when this returns (a scan it starts included).
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control),
                               SMTO_NORMAL, 20000, &result) != 0;
}

bool OpenDiskFixture::WaitForPage4Ready(DWORD timeoutMs)
{
    if (!WaitForPageWith(kOptionMount, timeoutMs))
        return false;
    HWND finish = GetDlgItem(m_sheet, kFinish);
    return harness::WaitUntil([&] { return IsWindowVisible(finish) && IsWindowEnabled(finish); }, timeoutMs);
}

bool OpenDiskFixture::OpenListedImage(int item, const std::string& password)
{
    if (!WaitForPageWith(kProtectedList))
        return false;
    HWND page = Page();
    if (!SelectListViewItem(GetDlgItem(page, kProtectedList), item) ||
        !SetText(GetDlgItem(page, kPasswordEdit), password) || !harness::ClickButton(m_sheet, kNext))
        return false;
    return WaitForPage4Ready();
}

bool OpenDiskFixture::Cancel()
{
    harness::ClickButton(m_sheet, kCancel);
    return Process().Wait(15000);
}

bool OpenDiskFixture::WaitForEnd(DWORD timeoutMs)
{
    return Process().Wait(timeoutMs);
}

}  // namespace opentest
