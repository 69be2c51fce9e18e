// The portable road across programs: a portable disk laid out on a USB drive by the portable-drive
// maker around an image the driver library made, then opened, used and put away by Agent started
// from the drive - and the same road with the faults a user meets: the drive pulled while the
// disk is open, a dismount refused, the image missing or damaged, the driver not installable, a
// new password too long for the header. No fault Agent could handle loses the image or leaves it
// in the work folder.
#include "AgentFixture.h"

#include "DeviceEvents.h"
#include "FakeUsbDrive.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "Recorder.h"
#include "Tavrin.h"
#include "WindowDriver.h"

#include <cstdlib>
#include <memory>


using namespace agenttest;
using harness::FileExists;
using harness::FolderExists;

namespace {

constexpr char kNote[] = "note.txt";
constexpr char kNoteText[] = "written on the portable disk";

// What a peer program finds in an image: mounted for a moment, a file read, dismounted.
std::string FileInImage(const std::string& image, const char* name)
{
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF);
    if (!letter || !Tavrin_Mount(Wide(image).c_str(), static_cast<unsigned char>(letter), -1))
        return "(image not mountable)";
    const std::string text = harness::ReadFileBytes(OnLetter(letter, name));
    Tavrin_Unmount(static_cast<unsigned char>(letter), 0);
    return text;
}

}  // namespace

class PortableRoad : public AgentTest {
protected:
    // Agent started, the disk opened and the note written on it, then the drive pulled: Agent
    // asks for it back (its text read before, as Agent.ini went with the drive). The disk's letter.
    char OpenChangeAndPull()
    {
        StartAgent();
        const char letter = OpenDisk(kPassword);
        EXPECT_TRUE(harness::WriteFileBytes(OnLetter(letter, kNote), kNoteText));
        EXPECT_TRUE(m_usb->Remove());
        EXPECT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
        EXPECT_EQ(IniText(harness::JoinPath(harness::ProgramDir(), "Agent.ini"), "Main", "strDriveRemoved"),
                  AnswerMessageBox());
        return letter;
    }
};

TEST_F(PortableRoad, OpenedUsedChangedAndPutAwayFromTheUsbDrive)
{
    // A user's own file on the stick, which nothing of the suite may touch.
    ASSERT_TRUE(harness::WriteFileBytes(m_usb->Root() + "holiday.txt", "mine"));

    StartAgent();
    TypePassword("not it");
    ChooseFromPasswordMenu(0);
    EXPECT_EQ(Text("strErrorPassword"), AnswerMessageBox());
    ExpectAtRest();
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WaitForRecordedCalls(m_shellRecorder, 1));
    EXPECT_EQ("\"" + OnLetter(letter, "") + "\"", harness::RecordedCalls(m_shellRecorder)[0]);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, kNote), kNoteText));
    ExitFromTray(letter);
    ExpectAtRest();
    EXPECT_EQ(kNoteText, FileInImage(RestPlace(), kNote));

    // The next start shows the file; the password changes, after which only the new one opens.
    StartAgent();
    ChangePassword(kPassword, "fresh pw 9");
    TypePassword(kPassword);
    ChooseFromPasswordMenu(0);
    EXPECT_EQ(Text("strErrorPassword"), AnswerMessageBox());
    const char again = OpenDisk("  fresh pw 9  ");
    EXPECT_EQ(kNoteText, harness::ReadFileBytes(OnLetter(again, kNote)));
    ExitFromTray(again);
    ExpectAtRest();

    // Read-only: nothing can be written and the image stays the same to the byte.
    const std::string before = harness::ReadFileBytes(RestPlace());
    StartAgent();
    ToggleReadOnly();
    const char readOnly = OpenDisk("fresh pw 9");
    EXPECT_EQ(kNoteText, harness::ReadFileBytes(OnLetter(readOnly, kNote)));
    EXPECT_TRUE(GetFileAttributesA(OnLetter(readOnly, kNote).c_str()) & FILE_ATTRIBUTE_READONLY);
    const bool written = harness::WriteFileBytes(OnLetter(readOnly, "more.txt"), "never kept");
    if (!harness::WineRunsAsRoot()) {
        EXPECT_FALSE(written) << "a read-only disk refuses the write";
    }
    ChooseFromTrayMenu(2);
    // Root's writes go through (Wine holds it to no file's permissions): Exit then says that
    // they were not kept.
    if (written) {
        EXPECT_EQ(Text("strReadOnlyChangesLost"), AnswerMessageBox());
    }
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(readOnly, false));
    ExpectAtRest();
    EXPECT_TRUE(before == harness::ReadFileBytes(RestPlace()));

    // Uninstall removes the portable disk and only it.
    StartAgent();
    TypePassword("fresh pw 9");
    ChooseFromPasswordMenu(2);
    std::string caption;
    EXPECT_EQ(Text("strUninstallTip"), AnswerMessageBox(IDCANCEL));
    ExpectAtRest();
    ChooseFromPasswordMenu(2);
    EXPECT_EQ(Text("strUninstallTip"), AnswerMessageBox(IDOK));
    EXPECT_EQ("To uninstall completely,please close this window and delete the \"{SEQUORA-WORK}\" folder.",
              AnswerMessageBox(IDOK, &caption));
    EXPECT_EQ("Information", caption);
    EXPECT_FALSE(FileExists(RestPlace()));
    EXPECT_FALSE(FileExists(WorkPlace()));
    // The long form passes "aux", a reserved device name, through as a plain folder name.
    EXPECT_FALSE(FolderExists("\\\\?\\" + HidingFolder() + "\\" + PortableLayout::kRestFolderName));
    EXPECT_TRUE(FileExists(HidingFolder() + "\\" + PortableLayout::kDesktopIni));
    for (const char* name : {PortableLayout::kAgentExe, PortableLayout::kAgentIni, PortableLayout::kDriverLibrary})
        EXPECT_TRUE(FileExists(WorkFolder() + "\\" + name)) << name;
    EXPECT_EQ("mine", harness::ReadFileBytes(m_usb->Root() + "holiday.txt"));
    EXPECT_TRUE(m_agent.IsRunning());
    EXPECT_EQ(m_maskBefore, Tavrin_GetMountedMask());
}

// The stick pulled while the disk is open. Unchanged, the disk simply goes and Agent ends. With
// changes the dismount cannot write them back: Agent asks for the drive, waits, and once it is
// back writes them into the image, puts it to rest and ends.
TEST_F(PortableRoad, APulledDriveIsWaitedForUntilTheChangesAreSaved)
{
    StartAgent();
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(m_usb->Remove());
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(letter, false));
    ASSERT_TRUE(m_usb->Insert());
    EXPECT_TRUE(FileExists(WorkPlace()));       // the next start finds it there

    StartAgent();
    const char again = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(again, kNote), kNoteText));
    ASSERT_TRUE(m_usb->Remove());
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
    const MessageSeen seen = AnswerMessage();
    // Agent.ini went with the drive; the text was read before.
    EXPECT_EQ(IniText(harness::JoinPath(harness::ProgramDir(), "Agent.ini"), "Main", "strDriveRemoved"), seen.Text());
    EXPECT_EQ(IDI_WARNING, seen.icon);
    EXPECT_FALSE(m_agent.Wait(500));
    EXPECT_EQ(kNoteText, harness::ReadFileBytes(OnLetter(again, kNote)));   // still open meanwhile

    ASSERT_TRUE(m_usb->Insert());
    ASSERT_TRUE(harness::SendVolumeArrival(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(again, false));
    ExpectAtRest();
    EXPECT_EQ(kNoteText, FileInImage(RestPlace(), kNote));
}

// A stick is known by its volume: pulled with changes on its disk and plugged in again on another
// letter, Agent writes them into the image there, puts it to rest and ends, leaving nothing
// mounted.
class PortableRoadOnAStick : public PortableRoad {
protected:
    PortableRoadOnAStick() { m_usbSerial = 0x5EC0A002; }
};

TEST_F(PortableRoadOnAStick, APulledDriveBackOnAnotherLetterGetsTheChangesAndAgentEnds)
{
    const char letter = OpenChangeAndPull();
    const char first = m_usb->Letter();
    const std::string folder = m_usb->Folder();
    EXPECT_FALSE(m_agent.Wait(500));

    m_usb = std::make_unique<harness::FakeUsbDrive>(folder, harness::FirstFreeDriveLetter(static_cast<char>(first + 1)));
    ASSERT_NE(0, m_usb->Letter());
    ASSERT_NE(first, m_usb->Letter());
    ASSERT_TRUE(harness::SendVolumeArrival(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(letter, false));
    EXPECT_EQ(m_maskBefore, Tavrin_GetMountedMask());
    ExpectAtRest();
    EXPECT_EQ(kNoteText, FileInImage(RestPlace(), kNote));
}

// Another stick laid out alike with the same volume serial (cloned, formatted alike, or Wine's own
// serial made from the letter) takes the letter of Agent's pulled drive while the disk waits with
// changes. Agent never takes it for its own drive: the other stick's image is left as it was, and
// an Agent started from it runs for it instead of waking this one. Its own stick back on another
// letter gets the changes and its image is put back at rest there, and Agent ends.
class PortableRoadOnLookAlikeSticks : public PortableRoad, public ::testing::WithParamInterface<unsigned long> {
protected:
    PortableRoadOnLookAlikeSticks() { m_usbSerial = GetParam(); }
};

TEST_P(PortableRoadOnLookAlikeSticks, AnotherStickOnItsLetterIsNeverTakenForItsOwn)
{
    const char letter = OpenChangeAndPull();
    const char first = m_usb->Letter();
    const std::string folder = m_usb->Folder();

    // The other stick, on the same letter: a portable disk of its own, with a file of its own,
    // whose image was last left in its work place.
    auto other = std::make_unique<harness::FakeUsbDrive>(m_temp / "other", first, m_usbSerial);
    ASSERT_EQ(first, other->Letter());
    std::swap(m_usb, other);
    MakePortableDisk();
    const std::string otherImage = WorkPlace();
    ASSERT_NE(0, Tavrin_MoveFile(Wide(RestPlace()).c_str(), Wide(otherImage).c_str()));
    const char look = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF);
    ASSERT_NE(0, Tavrin_Mount(Wide(otherImage).c_str(), static_cast<unsigned char>(look), 0));
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(look, "theirs.txt"), "the other stick's own"));
    ASSERT_EQ(1, Tavrin_Unmount(static_cast<unsigned char>(look), 0));
    const std::string otherBytes = harness::ReadFileBytes(otherImage);
    {
        harness::ChildProcess ownAgent;
        ASSERT_TRUE(ownAgent.Start(WorkFolder() + "\\Agent.exe", std::string(), WorkFolder()));
        EXPECT_FALSE(ownAgent.Wait(3000)) << "the other stick's Agent runs for its own disk";
    }
    ASSERT_TRUE(harness::SendVolumeArrival(Form(), first));
    EXPECT_FALSE(m_agent.Wait(3000)) << "Agent waits for its own drive";
    EXPECT_TRUE(WaitForLetter(letter, true, 0));
    EXPECT_TRUE(otherBytes == harness::ReadFileBytes(otherImage)) << "the other stick's image is left as it was";

    // Agent's own stick back on another letter, the other one still plugged in.
    std::swap(m_usb, other);
    m_usb = std::make_unique<harness::FakeUsbDrive>(folder, harness::FirstFreeDriveLetter(static_cast<char>(first + 1)));
    ASSERT_NE(0, m_usb->Letter());
    ASSERT_TRUE(harness::SendVolumeArrival(Form(), m_usb->Letter()));
    ASSERT_TRUE(m_agent.Wait(15000));
    EXPECT_TRUE(WaitForLetter(letter, false));
    ExpectAtRest();
    EXPECT_EQ(kNoteText, FileInImage(RestPlace(), kNote));
    EXPECT_TRUE(otherBytes == harness::ReadFileBytes(otherImage)) << "nothing went into the other stick";
}

INSTANTIATE_TEST_SUITE_P(SerialMadeFromTheLetterOrWritten, PortableRoadOnLookAlikeSticks,
                         ::testing::Values(0ul, 0x5EC0A003ul));

// Agent.ini goes with the drive: every message after a pull is still in words, the failed Exit's
// too.
TEST_F(PortableRoad, AfterAPullEveryMessageIsStillInWords)
{
    const std::string texts = harness::JoinPath(harness::ProgramDir(), "Agent.ini");
    StartAgent("unmount-refused");
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, kNote), kNoteText));
    ASSERT_TRUE(m_usb->Remove());
    ASSERT_TRUE(harness::SendVolumeRemoval(Form(), m_usb->Letter()));
    EXPECT_EQ(IniText(texts, "Main", "strDriveRemoved"), AnswerMessageBox());
    ChooseFromTrayMenu(2);
    const MessageSeen seen = AnswerMessage();
    EXPECT_EQ(IniText(texts, "Main", "strUnmountFailed"), seen.Text());
    EXPECT_EQ(IniText(texts, "Main", "Title"), seen.caption);
    EXPECT_TRUE(m_agent.IsRunning());
    ASSERT_TRUE(m_usb->Insert());
    m_agent.Kill();
    ASSERT_NE(0, Tavrin_Unmount(static_cast<unsigned char>(letter), 0));
    EXPECT_EQ(kNoteText, FileInImage(WorkPlace(), kNote));
}

// A dismount the driver refuses (files held open on the disk): Exit, the window's close and the
// end of the session all keep the disk and say so; nothing is lost once it can be dismounted.
TEST_F(PortableRoad, ARefusedDismountKeepsAgentAndTheDisk)
{
    StartAgent("unmount-refused");
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, kNote), kNoteText));

    ChooseFromTrayMenu(2);
    MessageSeen seen = AnswerMessage();
    EXPECT_EQ(Text("strUnmountFailed"), seen.Text());
    EXPECT_EQ(IDI_WARNING, seen.icon);
    PostMessageA(Form(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Text("strUnmountFailed"), AnswerMessageBox());
    DWORD_PTR answer = 1;
    ASSERT_TRUE(SendMessageTimeoutA(Form(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(0u, answer) << "the session may not end over an open disk";
    EXPECT_TRUE(m_agent.IsRunning());
    EXPECT_TRUE(WaitForLetter(letter, true, 0));
    EXPECT_TRUE(FileExists(WorkPlace()));

    // Once the disk can go (here: Agent ended, the dismount done by a peer), the image holds the
    // file and the next Agent opens it from the work place.
    m_agent.Kill();
    ASSERT_NE(0, Tavrin_Unmount(static_cast<unsigned char>(letter), 0));
    EXPECT_EQ(kNoteText, FileInImage(WorkPlace(), kNote));
    StartAgent();
    const char again = OpenDisk(kPassword);
    EXPECT_EQ(kNoteText, harness::ReadFileBytes(OnLetter(again, kNote)));
    // A session ending while the disk is open dismounts it and puts it away.
    ASSERT_TRUE(SendMessageTimeoutA(Form(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(1u, answer);
    EXPECT_TRUE(WaitForLetter(again, false));
    ExpectAtRest();
}

// The image gone or damaged, the driver not installable: each says so, and the image (where
// there is one) is back at rest.
TEST_F(PortableRoad, AMissingOrDamagedImageOrNoDriverEndsInAClearMessage)
{
    const std::string kept = m_temp / "kept.img";
    ASSERT_TRUE(CopyFileA(RestPlace().c_str(), kept.c_str(), TRUE));
    const struct {
        const char* faults;
        const char* damage;     // "missing", "short", or none
        const char* key;
    } rows[] = {{"", "missing", "strReadFailed"},
                {"", "short", "strReadFailed"},
                {"tavrin-not-ready,tavrin-install-fails", "", "strInstallDriverFailed"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(CopyFileA(kept.c_str(), RestPlace().c_str(), FALSE));
        if (std::string(row.damage) == "missing") {
            ASSERT_TRUE(DeleteFileA(RestPlace().c_str()));
        }
        if (std::string(row.damage) == "short") {
            ASSERT_TRUE(harness::WriteFileBytes(RestPlace(), harness::ReadFileBytes(kept).substr(0, 1000)));
        }
        StartAgent(row.faults);
        TypePassword(kPassword);
        ChooseFromPasswordMenu(0);
        const MessageSeen seen = AnswerMessage();
        EXPECT_EQ(Text(row.key), seen.Text()) << row.key;
        EXPECT_EQ(Text("Title"), seen.caption);
        EXPECT_EQ(m_maskBefore, Tavrin_GetMountedMask());
        // Agent puts the image back once the message is answered: its move is waited for.
        const bool kept = std::string(row.damage) != "missing";
        harness::WaitUntil([&] { return !FileExists(WorkPlace()) && FileExists(RestPlace()) == kept; }, 5000);
        EXPECT_FALSE(FileExists(WorkPlace())) << row.damage;
        EXPECT_EQ(std::string(row.damage) != "missing", FileExists(RestPlace())) << row.damage;
        PressButton("&Cancel");
        ASSERT_TRUE(m_agent.Wait(15000));
    }
}

// A new password longer than the header's field is refused, never cut: the header and the old
// password stay.
TEST_F(PortableRoad, APasswordTooLongForTheHeaderIsRefusedAndTheOldOneStillOpens)
{
    const std::string before = harness::ReadFileBytes(RestPlace()).substr(0, 2048);
    StartAgent();
    HWND dialog = OpenPasswordDialog(kPassword);
    ASSERT_NE(nullptr, dialog);
    const std::string tooLong(300, 'k');
    TypeNewPassword(tooLong, tooLong);
    PressButton("&Change", dialog);
    const MessageSeen seen = AnswerMessage();
    EXPECT_NE(std::string::npos, seen.Text().find("259")) << seen.Text();
    EXPECT_EQ(IDI_WARNING, seen.icon);
    PressButton("&Cancel", dialog);
    ASSERT_TRUE(harness::WaitUntil([&] { return !IsWindowVisible(dialog); }, 5000));
    ASSERT_TRUE(harness::WaitUntil([&] { return FileExists(RestPlace()); }, 5000));
    EXPECT_TRUE(before == harness::ReadFileBytes(RestPlace()).substr(0, 2048));
    const char letter = OpenDisk(kPassword);
    ExitFromTray(letter);
    ExpectAtRest();
}

// "Another computer": the USB drive carried from the computer that made the disk to a fresh Wine
// prefix, where the driver is not installed yet. Run by two-computers.sh; the drive's folder
// comes from SEQUORA_ROAD_USB.
class AnotherComputer : public PortableRoad {
protected:
    AnotherComputer()
    {
        const char* folder = std::getenv("SEQUORA_ROAD_USB");
        m_usbFolder = folder ? folder : "";
        m_makeDisk = m_usbFolder.empty() || !harness::FolderExists(PortableLayout(m_usbFolder + "\\").WorkFolder());
        m_installDriver = m_makeDisk;
    }
};

TEST_F(AnotherComputer, MakesThePortableDisk)
{
    if (m_usbFolder.empty())
        GTEST_SKIP() << "run by two-computers.sh";
    StartAgent();
    const char letter = OpenDisk(kPassword);
    ASSERT_TRUE(harness::WriteFileBytes(OnLetter(letter, kNote), kNoteText));
    ExitFromTray(letter);
    ExpectAtRest();
}

TEST_F(AnotherComputer, OpensItWithTheDriverInstalledByAgent)
{
    if (m_usbFolder.empty() || m_makeDisk)
        GTEST_SKIP() << "run by two-computers.sh, after MakesThePortableDisk";
    EXPECT_EQ(0, Tavrin_IsInstalled()) << "a computer that never had the driver";
    StartAgent();
    TypePassword("wrong");
    ChooseFromPasswordMenu(0);
    EXPECT_EQ(Text("strErrorPassword"), AnswerMessageBox());
    const char letter = OpenDisk(kPassword);
    EXPECT_EQ(kNoteText, harness::ReadFileBytes(OnLetter(letter, kNote)));
    EXPECT_NE(0, Tavrin_IsInstalled());
    ExitFromTray(letter);
    ExpectAtRest();
}
