// Agent started from a USB drive holding a portable disk: the password is checked, the disk
// opened on a free letter and shown in the shell, Agent waits in the tray, and Exit (or a close
// from outside) dismounts and puts the image back at rest. Faults end in Agent's own messages
// without the image going astray; a second Agent for the same image leaves it alone; removal
// events count only for Agent's own drive and disk; the change-password dialog refuses what the
// header cannot take and writes nothing else.
#include "AgentFixture.h"

#include "DeviceEvents.h"
#include "HandleOwner.h"
#include "Paths.h"
#include "Recorder.h"
#include "Tavrin.h"
#include "WindowDriver.h"


using namespace agenttest;
using harness::FileExists;

namespace {

std::string HeaderOf(const std::string& path)
{
    std::string header(2048, '\0');
    if (!Tavrin_GetInfo(Wide(path).c_str(), reinterpret_cast<ImageHeader*>(&header[0])))
        return std::string();
    return header;
}

// The windows of a process that the taskbar shows a button for: visible top-level windows marked
// as application windows, or owned by none and not tool windows.
std::vector<HWND> TaskbarWindows(DWORD pid)
{
    std::vector<HWND> shown;
    for (HWND w : harness::TopLevelWindows(pid)) {
        const LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
        const bool appWindow = (exStyle & WS_EX_APPWINDOW) != 0;
        const bool ownedByNone = !GetWindow(w, GW_OWNER) && !(exStyle & WS_EX_TOOLWINDOW);
        if (IsWindowVisible(w) && (appWindow || ownedByNone))
            shown.push_back(w);
    }
    return shown;
}

}  // namespace

class AgentOpen : public AgentTest {};

// The taskbar shows Agent under its title from the language file, the caption of its messages,
// not under its form's own name.
TEST_F(AgentOpen, TheTaskbarShowsAgentUnderItsTitle)
{
    StartAgent();
    const std::vector<HWND> shown = TaskbarWindows(m_agent.Pid());
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(Form(), shown[0]);
    EXPECT_EQ(Text("Title"), harness::WindowText(shown[0]));
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
}

TEST_F(AgentOpen, TheRightPasswordOpensTheDiskAndExitPutsItBackWithTheFileKept)
{
    StartAgent();
    const char letter = OpenDisk("  secret1 ");
    ASSERT_TRUE(harness::WaitForRecordedCalls(m_shellRecorder, 1));
    EXPECT_EQ("\"" + OnLetter(letter, "") + "\"", harness::RecordedCalls(m_shellRecorder)[0]);
    EXPECT_TRUE(FileExists(WorkPlace()));
    EXPECT_FALSE(FileExists(RestPlace()));
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, "note.txt"), "kept across computers"));

    ChooseFromTrayMenu(2);
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_EQ(0u, m_agent.ExitCode());
    EXPECT_TRUE(WaitForLetter(letter, false));
    ExpectAtRest();

    // Started again, the disk shows the file; a close from outside also dismounts first.
    StartAgent();
    const char again = OpenDisk(kPassword);
    EXPECT_EQ("kept across computers", harness::ReadFileBytes(OnLetter(again, "note.txt")));
    PostMessageA(Form(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(again, false));
    ExpectAtRest();
}

TEST_F(AgentOpen, AWrongOrMissingPasswordIsRefusedWithAgentsTextAndTheImageStaysAtRest)
{
    StartAgent();
    EXPECT_TRUE(PasswordMenuItemEnabled(2)) << "Uninstall is offered for the drive's own disk";
    const struct {
        const char* typed;
        const char* key;
    } rows[] = {{"", "strNoPassword"},          {"Secret1", "strErrorPassword"}, {"secret", "strErrorPassword"},
                {"secret1x", "strErrorPassword"}, {"secret 1", "strErrorPassword"}, {"   ", "strErrorPassword"}};
    for (const auto& row : rows) {
        TypePassword(row.typed);
        ChooseFromPasswordMenu(0);
        const MessageSeen seen = AnswerMessage();
        EXPECT_EQ(Text(row.key), seen.Text()) << row.typed;
        EXPECT_EQ(Text("Title"), seen.caption);
        EXPECT_EQ(IDI_INFORMATION, seen.icon);
        ExpectAtRest();
        EXPECT_EQ(m_maskBefore, Tavrin_GetMountedMask()) << row.typed;
    }
    EXPECT_TRUE(m_agent.IsRunning());
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();
}

TEST_F(AgentOpen, FaultsEndInTheirMessageAndCancelLeavesTheImageAtRest)
{
    const struct {
        const char* faults;
        bool removeImage;
        bool cutImage;   // a copy interrupted half-way: the library refuses it
        const char* key;
    } rows[] = {{"mount-fails", false, false, "strOpenFailed"},
                {"tavrin-not-ready,tavrin-install-fails", false, false, "strInstallDriverFailed"},
                {"", true, false, "strReadFailed"},
                {"", false, true, "strReadFailed"}};
    const std::string whole = harness::ReadFileBytes(RestPlace());
    for (const auto& row : rows) {
        if (row.removeImage) {
            ASSERT_TRUE(MoveFileA(RestPlace().c_str(), (m_temp / "away.img").c_str()));
        }
        if (row.cutImage) {
            ASSERT_TRUE(harness::WriteFileBytes(RestPlace(), whole.substr(0, whole.size() / 2)));
        }
        StartAgent(row.faults);
        TypePassword(kPassword);
        ChooseFromPasswordMenu(0);
        EXPECT_EQ(Text(row.key), AnswerMessageBox()) << row.key;
        EXPECT_EQ(m_maskBefore, Tavrin_GetMountedMask()) << row.key;
        PressButton("&Cancel");
        ASSERT_TRUE(m_agent.Wait(15000)) << row.key;
        if (row.removeImage) {
            EXPECT_FALSE(FileExists(WorkPlace()));
            ASSERT_TRUE(MoveFileA((m_temp / "away.img").c_str(), RestPlace().c_str()));
        }
        ExpectAtRest();
        if (row.cutImage) {
            EXPECT_EQ(whole.size() / 2, harness::ReadFileBytes(RestPlace()).size()) << "the cut image is left as it was";
            ASSERT_TRUE(harness::WriteFileBytes(RestPlace(), whole));
        }
    }
}

// "Open as read-only": the disk shows its files read-only and refuses every write (as root under
// Wine the refusal cannot be seen; the script test read_only_disk_as_a_user runs this as an
// ordinary user); the image stays the same to the byte.
TEST_F(AgentOpen, AReadOnlyDiskRefusesWritesAndKeepsTheImageAsItWas)
{
    StartAgent();
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, "note.txt"), "kept"));
    ExitFromTray(letter);
    const std::string before = harness::ReadFileBytes(RestPlace());

    StartAgent();
    ToggleReadOnly();
    const char readOnly = OpenDisk(kPassword);
    const std::string note = OnLetter(readOnly, "note.txt");
    EXPECT_EQ("kept", harness::ReadFileBytes(note));
    EXPECT_TRUE(GetFileAttributesA(note.c_str()) & FILE_ATTRIBUTE_READONLY);
    const bool written = harness::WriteFileBytes(OnLetter(readOnly, "new.txt"), "never kept");
    const bool changed = harness::WriteFileBytes(note, "changed");
    if (!harness::WineRunsAsRoot()) {
        EXPECT_FALSE(written);
        EXPECT_FALSE(changed);
        EXPECT_EQ("kept", harness::ReadFileBytes(note));
    }
    // The files' owner may lift the rule and write all the same: nothing of it is kept, and Exit
    // says so instead of ending as after a plain dismount.
    ASSERT_TRUE(harness::LiftWriteProtection(note));
    ASSERT_TRUE(harness::WriteFileBytes(note, "changed anyway"));
    ChooseFromTrayMenu(2);
    const MessageSeen seen = AnswerMessage();
    EXPECT_EQ(Text("strReadOnlyChangesLost"), seen.Text());
    EXPECT_EQ(IDI_WARNING, seen.icon);
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(readOnly, false));
    ExpectAtRest();
    EXPECT_TRUE(before == harness::ReadFileBytes(RestPlace()));

    // Opened read-only and left as it was, the disk closes as any other.
    StartAgent();
    ToggleReadOnly();
    ExitFromTray(OpenDisk(kPassword));
    ExpectAtRest();
    EXPECT_TRUE(before == harness::ReadFileBytes(RestPlace()));
}

// A second Agent started for the image the first has open neither moves nor mounts it: it asks
// the first to show the disk and ends.
TEST_F(AgentOpen, ASecondAgentForTheSameImageWakesTheFirstAndLeavesTheDiskAlone)
{
    StartAgent();
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WaitForRecordedCalls(m_shellRecorder, 1));
    const uint32_t mounted = Tavrin_GetMountedMask();

    harness::ChildProcess second;
    ASSERT_TRUE(second.Start(WorkFolder() + "\\Agent.exe", std::string(), WorkFolder()));
    ASSERT_TRUE(second.Wait(15000));
    EXPECT_EQ(0u, second.ExitCode());
    ASSERT_TRUE(harness::WaitForRecordedCalls(m_shellRecorder, 2));
    EXPECT_EQ("\"" + OnLetter(letter, "") + "\"", harness::RecordedCalls(m_shellRecorder)[1]);
    EXPECT_EQ(mounted, Tavrin_GetMountedMask());
    EXPECT_TRUE(FileExists(WorkPlace()));
    EXPECT_FALSE(FileExists(RestPlace()));

    ChooseFromTrayMenu(2);
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();
}

// Removal of another drive changes nothing; a removal naming several drives at once, Agent's own
// among them, dismounts (nothing was changed, so nothing is lost) and ends Agent.
TEST_F(AgentOpen, OnlyTheRemovalOfItsOwnDriveEndsAgentAndEveryDriveOfTheEventCounts)
{
    StartAgent();
    const char letter = OpenDisk(kPassword);
    const char other = m_usb->Letter() == 'B' ? 'A' : 'B';
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), other));
    EXPECT_FALSE(m_agent.Wait(1000));
    EXPECT_TRUE(WaitForLetter(letter, true, 0));

    ASSERT_TRUE(harness::SendVolumeEvent(Form(), 0x8004 /* DBT_DEVICEREMOVECOMPLETE */,
                                         harness::UnitMaskOf(other) | harness::UnitMaskOf(m_usb->Letter())));
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(letter, false));
}

// Given an image path, Agent opens that file where it lies: its own drive's layout is not touched
// and Uninstall is not offered. Yet Cancel, a close and a failed read still put an image left in
// its own drive's work place back at rest.
TEST_F(AgentOpen, AnImageGivenOnTheCommandLineIsOpenedWhereItLies)
{
    const std::string elsewhere = m_temp / "elsewhere.img";
    ASSERT_TRUE(CopyFileA(RestPlace().c_str(), elsewhere.c_str(), TRUE));
    StartAgent(std::string(), "\"" + elsewhere + "\"");
    EXPECT_FALSE(PasswordMenuItemEnabled(2));
    EXPECT_TRUE(PasswordMenuItemEnabled(0));

    const char letter = OpenDisk(kPassword);
    EXPECT_TRUE(FileExists(elsewhere));
    ExpectAtRest();
    ChooseFromTrayMenu(2);
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(letter, false));
    EXPECT_TRUE(FileExists(elsewhere));
    ExpectAtRest();

    // An image left in the work place (a run that ended without putting it back).
    const struct {
        const char* name;
        std::string image;
        const char* button;     // a button, "" to close the window, none: Open with a read failure
    } rows[] = {{"Cancel", elsewhere, "&Cancel"},
                {"window closed", elsewhere, ""},
                {"unreadable image", m_temp / "missing.img", nullptr}};
    for (const auto& row : rows) {
        ASSERT_TRUE(MoveFileA(RestPlace().c_str(), WorkPlace().c_str())) << row.name;
        StartAgent(std::string(), "\"" + row.image + "\"");
        if (!row.button) {
            TypePassword(kPassword);
            ChooseFromPasswordMenu(0);
            EXPECT_EQ(Text("strReadFailed"), AnswerMessageBox()) << row.name;
            // The image goes back once the message is answered, before anything closes Agent.
            EXPECT_TRUE(harness::WaitUntil([&] { return FileExists(RestPlace()); }, 5000));
            PostMessageA(Form(), WM_CLOSE, 0, 0);
        } else if (*row.button) {
            PressButton(row.button);
        } else {
            PostMessageA(Form(), WM_CLOSE, 0, 0);
        }
        ASSERT_TRUE(m_agent.Wait(15000)) << row.name;
        ExpectAtRest();
    }
}

// Uninstall with the image held open by another program (through a second name at the work
// place) cannot delete it: it says so in a text of its own and the portable disk opens again.
TEST_F(AgentOpen, AnUninstallThatCannotDeleteTheImageSaysSoAndKeepsTheDisk)
{
    ASSERT_TRUE(CreateHardLinkA(WorkPlace().c_str(), RestPlace().c_str(), nullptr));
    KernelHandle holder(CreateFileA(WorkPlace().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    StartAgent();
    TypePassword(kPassword);
    ChooseFromPasswordMenu(2);
    EXPECT_EQ(Text("strUninstallTip"), AnswerMessageBox(IDOK));
    const MessageSeen seen = AnswerMessage();
    EXPECT_EQ(Text("strUninstallFailed"), seen.Text());
    EXPECT_NE("1.1", seen.Text());
    EXPECT_EQ(IDI_WARNING, seen.icon);
    holder.Reset();
    EXPECT_TRUE(FileExists(RestPlace()));
    ASSERT_TRUE(DeleteFileA(WorkPlace().c_str()));
    const char letter = OpenDisk(kPassword);
    ExitFromTray(letter);
    ExpectAtRest();
}

// Agent's own drive going while nothing is open ends Agent, the image put back at rest first
// where the drive still allows it.
TEST_F(AgentOpen, TheRemovalOfItsDriveEndsAgentWhenNothingIsOpen)
{
    ASSERT_TRUE(MoveFileA(RestPlace().c_str(), WorkPlace().c_str()));
    StartAgent();
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();

    StartAgent();
    ASSERT_TRUE(m_usb->Remove());
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    ASSERT_TRUE(m_usb->Insert());
    ExpectAtRest();
}

// The change-password dialog: every refusal shows its text and icon, leaves the header exactly as
// it was and both edits empty; a good new password changes the password field and nothing else.
TEST_F(AgentOpen, TheChangePasswordDialogWritesOnlyAnAcceptablePasswordAndOnlyItsField)
{
    const std::string before = HeaderOf(RestPlace());
    ASSERT_EQ(2048u, before.size());
    StartAgent();
    HWND dialog = OpenPasswordDialog(kPassword);
    ASSERT_NE(nullptr, dialog);

    const std::string tooLong(260, 'x');
    const struct {
        std::string password, confirmation;
        const char* key;            // [DlgChange] key, or empty for Agent's own long-password text
        LPCSTR icon;
    } rows[] = {{"", "", "hit3", IDI_WARNING},
                {"abc12", "abc12", "lbHitLen", IDI_ERROR},
                {"abc123", "", "hit4", IDI_WARNING},
                {"abc123", "ABC123", "hit5", IDI_WARNING},
                {"abc123", "abc1234", "hit5", IDI_WARNING},
                {"abc123", "abc123 ", "hit5", IDI_WARNING},
                {tooLong, tooLong, "", IDI_WARNING}};
    for (const auto& row : rows) {
        TypeNewPassword(row.password, row.confirmation);
        PressButton("&Change", dialog);
        const MessageSeen seen = AnswerMessage();
        if (*row.key)
            EXPECT_EQ(Text(row.key, "DlgChange"), seen.Text()) << row.password << "/" << row.confirmation;
        else
            EXPECT_NE(std::string::npos, seen.Text().find("259")) << seen.Text();
        EXPECT_EQ(row.icon, seen.icon) << row.key;
        EXPECT_EQ(Text("Title"), seen.caption);
        EXPECT_TRUE(IsWindowVisible(dialog));
        for (HWND w : harness::ChildWindows(dialog))
            if (_stricmp(harness::ClassNameOf(w).c_str(), "Edit") == 0) {
                EXPECT_EQ("", harness::WindowText(w)) << "both are typed again";
            }
        EXPECT_EQ(before, HeaderOf(WorkPlace())) << row.key;
    }

    // Six characters are enough; blanks around it are kept in the field.
    TypeNewPassword(" new pw ", " new pw ");
    PressButton("&Change", dialog);
    const MessageSeen done = AnswerMessage();
    EXPECT_EQ(Text("hit6", "DlgChange"), done.Text());
    EXPECT_EQ(IDI_INFORMATION, done.icon);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));

    // Back at rest once the dialog is closed; only bytes 372..631 changed.
    ASSERT_TRUE(harness::WaitUntil([&] { return FileExists(RestPlace()); }, 5000));
    const std::string after = HeaderOf(RestPlace());
    ASSERT_EQ(2048u, after.size());
    EXPECT_EQ(before.substr(0, 372), after.substr(0, 372));
    EXPECT_EQ(std::string(" new pw ") + std::string(252, '\0'), after.substr(372, 260));
    EXPECT_EQ(before.substr(632), after.substr(632));
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();
}

// The driver refusing the header write: the dialog says so (its text carries a full-width
// exclamation mark on every code page) and stays, the header unchanged.
TEST_F(AgentOpen, AHeaderThatCannotBeWrittenKeepsTheDialogOpen)
{
    const std::string before = HeaderOf(RestPlace());
    StartAgent("setinfo-fails");
    HWND dialog = OpenPasswordDialog(kPassword);
    ASSERT_NE(nullptr, dialog);
    TypeNewPassword("better1", "better1");
    PressButton("&Change", dialog);
    const MessageSeen seen = AnswerMessage();
    EXPECT_EQ(L"Tavrin_GetInfo Error\xFF01", seen.text);
    EXPECT_EQ(IDI_WARNING, seen.icon);
    EXPECT_TRUE(IsWindowVisible(dialog));
    PressButton("&Cancel", dialog);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
    ASSERT_TRUE(harness::WaitUntil([&] { return FileExists(RestPlace()); }, 5000));
    EXPECT_EQ(before, HeaderOf(RestPlace()));
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
}

// Without Agent.ini every text reads "1.1", the message captions too; the form keeps its shape:
// the window clipped to a rectangle with 5 x 5 rounded corners.
TEST_F(AgentOpen, WithoutItsLanguageFileEveryTextReadsOnePointOne)
{
    SetFileAttributesA(AgentIni().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(DeleteFileA(AgentIni().c_str()));
    StartAgent();
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(Form(), shape));
    // The call Agent makes, as the window keeps it: within the window's own rectangle.
    HRGN expected = CreateRoundRectRgn(0, 0, 324, 191, 5, 5);
    HRGN window = CreateRectRgn(0, 0, 323, 190);
    CombineRgn(expected, expected, window, RGN_AND);
    DeleteObject(window);
    EXPECT_TRUE(EqualRgn(shape, expected));
    DeleteObject(shape);
    DeleteObject(expected);

    ASSERT_EQ(1u, TaskbarWindows(m_agent.Pid()).size());
    EXPECT_EQ("1.1", harness::WindowText(TaskbarWindows(m_agent.Pid())[0]));

    TypePassword("");
    ChooseFromPasswordMenu(0);
    std::string caption;
    EXPECT_EQ("1.1", AnswerMessageBox(IDOK, &caption));
    EXPECT_EQ("1.1", caption);
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();
}
