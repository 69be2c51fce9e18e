// The road across the programs with a portable disk Brixom makes. On the first computer (the shared
// test prefix) Brixom lays the disk out on a USB drive through page 2. On another computer (a
// brand-new prefix, where the driver was never installed) Agent started from the drive opens it
// with Brixom's password, a file is written, Exit puts the disk away and Agent changes the
// password. Back on the first computer Brixom refuses the old password on page 3, opens the disk
// with the new one, mounts it from page 4 with the file there and dismounts it from page 1.
// Run by two-computers.sh, one test per computer visited; the drive's folder comes from
// SEQUORA_ROAD_USB.
#include "AgentFixture.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "FakeUsbDrive.h"
#include "GoldenHeader.h"
#include "MountedLetters.h"
#include "OpenDiskFixture.h"
#include "Paths.h"
#include "PortableDiskFixture.h"
#include "Recorder.h"
#include "ShellWindows.h"
#include "Step2Session.h"
#include "Tavrin.h"
#include "WindowDriver.h"

using harness::FileExists;
using harness::ReadFileBytes;
using portabletest::kUserBytes;
using portabletest::kUserFile;

namespace {

constexpr char kRunByScript[] = "run by two-computers.sh";
constexpr char kBrixomPassword[] = "Abc123!x";
// Longer than page 2 lets a new disk's password be: Agent takes it, and page 3 opens with it.
constexpr char kAgentPassword[] = "changed on another computer 42";
constexpr char kNote[] = "travelled.txt";
constexpr char kNoteText[] = "written through Agent on the other computer";
constexpr int kSizeMB = 50;
// Page 1's dismount controls.
constexpr int kRadioMount = 1005, kRadioUnmount = 1025, kDiskList = 1026;
constexpr DWORD kJobMs = 60000;
constexpr DWORD kShellWindowMs = 30000;

std::string CarriedDriveFolder()
{
    const char* folder = std::getenv("SEQUORA_ROAD_USB");
    return folder ? folder : "";
}

std::string Root(char letter)
{
    return std::string(1, letter) + ":\\";
}

std::string HeaderAt(const std::string& image)
{
    return ReadFileBytes(image).substr(0, 2048);
}

// The drive letter page 2 chose when it made the disk, as its header keeps it.
char LetterInHeader(const std::string& image)
{
    const std::string header = HeaderAt(image);
    return header.size() == 2048 ? header[632] : '\0';
}

// How an image's header differs from the one a new disk gets with `password` and `letter`: "" when
// it does not, else the first offset that differs (a failure names it rather than 2 KB of bytes).
std::string HeaderDifference(const std::string& image, const std::string& password, char letter)
{
    const std::string header = HeaderAt(image);
    const std::vector<unsigned char> expected = GoldenHeader(password, letter, kSizeMB);
    if (header.size() != expected.size())
        return "a header of " + std::to_string(header.size()) + " bytes";
    for (size_t i = 0; i < header.size(); ++i) {
        if (static_cast<unsigned char>(header[i]) != expected[i])
            return "differs first at offset " + std::to_string(i);
    }
    return std::string();
}

}  // namespace

// First computer: page 2 in USB mode makes the portable disk; the user's own file stays.
TEST(BrixomAndAgent, BrixomMakesThePortableDisk)
{
    const std::string folder = CarriedDriveFolder();
    if (folder.empty())
        GTEST_SKIP() << kRunByScript;
    harness::FakeUsbDrive usb(folder);
    ASSERT_NE(usb.Letter(), 0);
    ASSERT_TRUE(harness::WriteFileBytes(usb.Root() + kUserFile, kUserBytes));

    step2::Session s;
    ASSERT_TRUE(s.Start("create_usb"));
    EXPECT_EQ(ListEntries(s.Control(step2::kUsbList)), std::vector<std::string>{usb.Root()});
    ASSERT_TRUE(s.SetText(step2::kSizeEdit, std::to_string(kSizeMB)));
    s.FillPasswords(kBrixomPassword, kBrixomPassword);
    const char letter = SelectedEntry(s.Control(step2::kLetters))[0];
    EXPECT_EQ(s.Finish(IDOK, kJobMs), "Step2.strMakeUSBSuccess");
    ASSERT_TRUE(s.Ended());
    step2::ExpectPortableDisk(usb.Root(), kBrixomPassword, letter);
    EXPECT_EQ(ReadFileBytes(usb.Root() + kUserFile), kUserBytes);
}

// Another computer: Agent from the drive installs the driver, opens the disk with Brixom's password
// and shows it in the shell; the file written there goes back into the image at Exit; the new
// password changes the header's password field and nothing else.
class AgentOnAnotherComputer : public agenttest::AgentTest {
protected:
    AgentOnAnotherComputer()
    {
        m_usbFolder = CarriedDriveFolder();
        m_makeDisk = false;
        m_installDriver = false;
    }
};

TEST_F(AgentOnAnotherComputer, OpensTheDiskAndChangesItsPassword)
{
    if (m_usbFolder.empty())
        GTEST_SKIP() << kRunByScript;
    ExpectAtRest();
    const char createdOn = LetterInHeader(RestPlace());
    EXPECT_EQ(HeaderDifference(RestPlace(), kBrixomPassword, createdOn), "") << "the header as Brixom wrote it";
    EXPECT_EQ(0, Tavrin_IsInstalled()) << "a computer that never had the driver";

    StartAgent();
    const char letter = OpenDisk(kBrixomPassword);
    EXPECT_NE(0, Tavrin_IsInstalled());
    ASSERT_TRUE(harness::WaitForRecordedCalls(m_shellRecorder, 1));
    EXPECT_EQ("\"" + Root(letter) + "\"", harness::RecordedCalls(m_shellRecorder)[0]);
    ASSERT_TRUE(harness::WriteFileBytes(agenttest::OnLetter(letter, kNote), kNoteText));
    ExitFromTray(letter);
    ExpectAtRest();

    StartAgent();
    ChangePassword(kBrixomPassword, kAgentPassword);
    EXPECT_EQ(HeaderDifference(RestPlace(), kAgentPassword, createdOn), "") << "only the password changed";
    PressButton("&Cancel");
    ASSERT_TRUE(m_agent.Wait(15000));
    ExpectAtRest();
}

// First computer again: page 3's USB kind refuses the old password and puts the image back to
// rest; the new one opens it, page 4 mounts it on the highest free letter with the file there;
// page 1 lists that letter and dismounts it.
TEST(BrixomAndAgent, BrixomOpensTheDiskWithThePasswordAgentSet)
{
    const std::string folder = CarriedDriveFolder();
    if (folder.empty())
        GTEST_SKIP() << kRunByScript;
    opentest::ProtectedListGuard list;
    harness::FakeUsbDrive usb(folder);
    ASSERT_NE(usb.Letter(), 0);
    const std::string restPlace = opentest::RestPlaceOn(usb.Letter());
    const std::string workPlace = opentest::WorkPlaceOn(usb.Letter());
    ASSERT_TRUE(FileExists(restPlace));
    const char createdOn = LetterInHeader(restPlace);

    opentest::OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_NE(brixom.StartOn("mount_usb"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(opentest::kUsbList3));
    HWND page = brixom.Page();
    EXPECT_TRUE(harness::IsChecked(GetDlgItem(page, opentest::kKindUsb)));
    HWND usbList = GetDlgItem(page, opentest::kUsbList3);
    EXPECT_EQ(ListEntries(usbList), std::vector<std::string>{usb.Root()});
    ASSERT_TRUE(opentest::SelectComboEntry(usbList, usb.Root()));

    HWND password = GetDlgItem(page, opentest::kPasswordEdit);
    ASSERT_TRUE(opentest::SetText(password, kBrixomPassword));
    EXPECT_EQ(brixom.PressAndAnswer(opentest::kNext), "Step3.strErrorPassword");
    EXPECT_TRUE(FileExists(restPlace)) << "back at rest";
    EXPECT_FALSE(FileExists(workPlace));

    ASSERT_TRUE(opentest::SetText(password, kAgentPassword));
    harness::ClickButton(brixom.Sheet(), opentest::kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    EXPECT_EQ(harness::FindMessageBox(brixom.Process().Pid()), nullptr);
    EXPECT_TRUE(FileExists(workPlace)) << "out of hiding for page 4";
    HWND page4 = brixom.Page();
    EXPECT_TRUE(harness::IsChecked(GetDlgItem(page4, opentest::kOptionMount)));
    const char letter = opentest::HighestFreeLetter();
    ASSERT_NE(letter, 0);
    EXPECT_EQ(SelectedEntry(GetDlgItem(page4, opentest::kLetterList)), Root(letter));
    brixom.DismountAtEnd(letter);
    harness::ClickButton(brixom.Sheet(), opentest::kFinish);
    ASSERT_TRUE(brixom.WaitForEnd()) << "a finished mount ends the wizard";
    ASSERT_EQ(MountedLetters().count(letter), 1u);
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::FindShellWindowOfDrive(letter) != nullptr; }, kShellWindowMs))
        << "the new drive opened in the shell";
    harness::CloseShellWindows();
    EXPECT_EQ(ReadFileBytes(Root(letter) + kNote), kNoteText);

    ASSERT_NE(brixom.StartOn("unmount"), nullptr);
    HWND page1 = brixom.Page();
    ASSERT_TRUE(PageHolds(page1, kDiskList));
    EXPECT_TRUE(harness::IsChecked(GetDlgItem(page1, kRadioUnmount)));
    EXPECT_EQ(ListEntries(GetDlgItem(page1, kDiskList)), std::vector<std::string>{Root(letter)});
    EXPECT_EQ(brixom.PressAndAnswer(opentest::kFinish), "Step1.strCloseSuccess");
    EXPECT_EQ(MountedLetters().count(letter), 0u);
    EXPECT_EQ(GetDriveTypeA(Root(letter).c_str()), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
    EXPECT_TRUE(harness::WaitUntil([&] { return harness::IsChecked(GetDlgItem(page1, kRadioMount)); }, 5000));
    EXPECT_TRUE(ListEntries(GetDlgItem(page1, kDiskList)).empty());
    EXPECT_TRUE(brixom.CloseSheet(brixom.Sheet()));

    // Dismounted from page 1 the image stays where page 4 opened it, with the new password.
    EXPECT_EQ(HeaderDifference(workPlace, kAgentPassword, createdOn), "");
    EXPECT_EQ(ReadFileBytes(usb.Root() + kUserFile), kUserBytes);
}
