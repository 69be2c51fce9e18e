#include "BrixomFixture.h"

#include "Paths.h"
#include "Recorder.h"
#include "WindowDriver.h"

namespace {

constexpr int kCloseButton = 178;
constexpr int kFinishButton = 173;

std::vector<std::string> NonEmptyLines(const std::string& path)
{
    std::vector<std::string> lines;
    for (std::string& line : harness::ReadLines(path)) {
        if (!line.empty())
            lines.push_back(std::move(line));
    }
    return lines;
}

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* c = text; *c; ++c)
        out += static_cast<char>(*c);
    return out;
}

}  // namespace

BrixomFixture::BrixomFixture() : m_temp("brixom")
{
    m_folder = m_temp / "program";
    m_journal = m_temp / "journal.txt";
    m_ready = harness::CopyFolder(harness::ProgramDir(), m_folder) &&
              harness::InstallRecorder(Path("Obentil32.exe")) && harness::InstallRecorder(Path("Obentil64.exe")) &&
              harness::InstallRecorder(Path("Feedback.exe"));
}

BrixomFixture::~BrixomFixture()
{
    m_process.Kill();
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", nullptr);
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
}

std::string BrixomFixture::Path(const std::string& name) const
{
    return harness::JoinPath(m_folder, name);
}

bool BrixomFixture::WriteLanguage(const std::vector<harness::LanguageEntry>& entries)
{
    CreateDirectoryA(Path("Lang").c_str(), nullptr);
    DeleteFileA(Path("Lang\\Sequora.ini").c_str());
    return harness::WriteLanguageFile(Path("Lang\\Sequora.ini"), entries);
}

bool BrixomFixture::WriteEchoLanguage(const std::vector<harness::LanguageEntry>& overrides)
{
    const std::string target = Path("Lang\\Sequora.ini");
    if (!harness::WriteEchoLanguageFile(harness::JoinPath(harness::ProgramDir(), "Lang\\Sequora.ini"), target))
        return false;
    for (const harness::LanguageEntry& e : overrides) {
        if (!WritePrivateProfileStringA(e.section.c_str(), e.key.c_str(), e.value.c_str(), target.c_str()))
            return false;
    }
    return true;
}

bool BrixomFixture::RemoveLanguage()
{
    return DeleteFileA(Path("Lang\\Sequora.ini").c_str()) || !harness::FileExists(Path("Lang\\Sequora.ini"));
}

bool BrixomFixture::Start(const std::string& arguments, const std::string& faults)
{
    DeleteFileA(m_journal.c_str());
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", m_journal.c_str());
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", faults.empty() ? nullptr : faults.c_str());
    // Wine now and then refuses a start right after the previous copy ended; a moment later it
    // goes.
    bool started = false;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        started = m_process.Start(Path("brixom.exe"), arguments, m_folder);
        if (!started) {
            m_lastStartError = GetLastError();
            Sleep(300);
        }
    }
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_JOURNAL", nullptr);
    SetEnvironmentVariableA("SEQUORA_OUTSIDE_FAULTS", nullptr);
    return started;
}

HWND BrixomFixture::WaitForSheet(DWORD timeoutMs)
{
    // The sheet is the window with the Finish button: page 2's scanning box may show before it.
    HWND sheet = nullptr;
    harness::WaitUntil([&] {
        for (HWND window : harness::TopLevelWindows(m_process.Pid())) {
            if (IsWindowVisible(window) && GetDlgItem(window, kFinishButton))
                sheet = window;
        }
        return sheet != nullptr;
    }, timeoutMs);
    return sheet;
}

bool BrixomFixture::CloseSheet(HWND sheet)
{
    harness::ClickButton(sheet, kCloseButton);
    return m_process.Wait(15000);
}

std::vector<std::string> BrixomFixture::Journal() const
{
    return NonEmptyLines(m_journal);
}

std::vector<std::string> BrixomFixture::LauncherCalls() const
{
    std::vector<std::string> calls;
    for (const char* name : {"Obentil32.exe", "Obentil64.exe"}) {
        for (const std::string& call : harness::RecordedCalls(Path(name)))
            calls.push_back(std::string(name) + " " + call);
    }
    return calls;
}

HWND ActivePage(HWND sheet)
{
    // The sheet shows the new page before it hides the old one: two pages shown is a switch still
    // under way, and neither is the active page yet.
    HWND shown = nullptr;
    for (HWND child : harness::ChildWindows(sheet)) {
        if (GetParent(child) == sheet && harness::ClassNameOf(child) == "#32770" && IsWindowVisible(child)) {
            if (shown)
                return nullptr;
            shown = child;
        }
    }
    return shown;
}

bool PageHolds(HWND page, int id)
{
    return page && GetDlgItem(page, id) != nullptr;
}

std::vector<std::string> ListEntries(HWND list)
{
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = L"";
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::string SelectedEntry(HWND list)
{
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return std::string();
    wchar_t text[MAX_PATH] = L"";
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}
