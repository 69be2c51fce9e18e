// Whole roads through pages 3 and 4 in the real Brixom: a hidden disk made portable on a USB drive
// that already holds one, and the same road on drives that let it down - write-protected, too small,
// pulled during the copy - with a mount that fails on the way. Every failure ends in a clear message
// with page 4 kept, and no image is lost or left unprotected.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "FakeUsbDrive.h"
#include "MountedLetters.h"
#include "OpenDiskFixture.h"
#include "Paths.h"
#include "PortableLayout.h"
#include "Quilmar.h"
#include "ShellWindows.h"
#include "TempFolder.h"
#include "WindowDriver.h"

using namespace harness;
using namespace opentest;

namespace {

constexpr DWORD kJobMs = 60000;
// A shell window can take its time on a busy machine.
constexpr DWORD kShellWindowMs = 30000;
// The failing-media road's image; the script sizes its small drive from it.
constexpr unsigned kRoadImageMB = 32;

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

constexpr char kSkipped[] = "run by the open_roads_on_failing_media test on its mounts";

std::string InWork(char letter, const std::string& name)
{
    return PortableLayout::OnDrive(letter).InWorkFolder(name.c_str());
}

}  // namespace

// Road D: the hidden disk made portable from page 4 onto a drive that holds an old portable disk.
// No to either question changes nothing; Yes to both replaces it: the image at rest is the source
// byte for byte, Agent is the one Brixom carries, the user's own file stays, and the source on the
// hard disk is hidden again.
TEST(OpenRoads, HiddenDiskMadePortableOverAnOldOne)
{
    ProtectedListGuard list;
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string image = brixom.Image("Road D.sqv");
    ASSERT_TRUE(MakeImage(image, "Secret12", 8, {{"hello.txt", "data"}}));
    const std::string source = ReadFileBytes(image);
    ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);

    TempFolder drives("roadd");
    FakeUsbDrive usb(drives / "usb");
    ASSERT_NE(usb.Letter(), 0);
    const std::string oldImage = std::string(8192, '\x42');
    ASSERT_TRUE(MakeLayoutAtRest(usb.Letter(), oldImage));
    ASSERT_TRUE(WriteFileBytes(InWork(usb.Letter(), "Agent.exe"), "an old Agent"));
    ASSERT_TRUE(WriteFileBytes(usb.Root() + "notes.txt", "mine"));

    ASSERT_NE(brixom.StartOn("mount_hiddenhdd"), nullptr);
    ASSERT_TRUE(brixom.OpenListedImage(0, "Secret12"));
    ASSERT_TRUE(brixom.Click(kOptionPortable));
    HWND page = brixom.Page();
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kOptionPortable)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kOptionMount)));
    EXPECT_TRUE(IsEnabled(page, kUsbList4));
    EXPECT_FALSE(IsEnabled(page, kLetterList));
    EXPECT_FALSE(IsEnabled(page, kReadOnly));
    ASSERT_TRUE(SelectComboEntry(GetDlgItem(page, kUsbList4), usb.Root()));

    // Declined: the old portable disk stays as it was, page 4 stays.
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDNO), "Step4.strReinstall");
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDYES), "Step4.strReinstall");
    EXPECT_EQ(brixom.Answer(IDNO), "Step4.strDeleteBeforReinstall");
    EXPECT_EQ(ReadFileBytes(RestPlaceOn(usb.Letter())), oldImage);
    EXPECT_EQ(ReadFileBytes(InWork(usb.Letter(), "Agent.exe")), "an old Agent");
    EXPECT_TRUE(PageHolds(brixom.Page(), kOptionPortable));

    // Accepted: replaced.
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDYES), "Step4.strReinstall");
    EXPECT_EQ(brixom.Answer(IDYES), "Step4.strDeleteBeforReinstall");
    EXPECT_EQ(brixom.Answer(IDOK, kJobMs), "Step4.strSuccess");
    ASSERT_TRUE(brixom.WaitForEnd()) << "a finished install ends the wizard";
    EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(usb.Letter()) != nullptr; }, kShellWindowMs))
        << "the drive opened in the shell";
    CloseShellWindows();

    EXPECT_TRUE(ReadFileBytes(RestPlaceOn(usb.Letter())) == source) << "the image at rest is the source";
    EXPECT_FALSE(FileExists(WorkPlaceOn(usb.Letter())));
    const std::string carried = ReadFileBytes(JoinPath(ProgramDir(), "Agent.exe"));
    if (!carried.empty()) {
        EXPECT_TRUE(ReadFileBytes(InWork(usb.Letter(), "Agent.exe")) == carried);
    }
    EXPECT_EQ(ReadFileBytes(usb.Root() + "notes.txt"), "mine");
    EXPECT_TRUE(IsProtected(image)) << "the source is hidden again";
    EXPECT_TRUE(ReadFileBytes(image) == source);
    ForgetProtection(image);
}

// Unprotect: the hidden image is released for good and the wizard ends; nothing hides it again.
// The same for a hidden image kept on a USB drive (made in hard-disk mode there): it is the lock
// library's too, not a portable disk's.
TEST(OpenRoads, HiddenDiskUnprotected)
{
    TempFolder drives("unprotect");
    FakeUsbDrive usb(drives / "usb");
    ASSERT_NE(usb.Letter(), 0);
    for (const bool onUsb : {false, true}) {
        SCOPED_TRACE(onUsb ? "on a USB drive" : "on the hard disk");
        ProtectedListGuard list;
        OpenDiskFixture brixom;
        ASSERT_TRUE(brixom.Ready());
        const std::string image = onUsb ? usb.Root() + "visible.sqv" : brixom.Image("visible.sqv");
        ASSERT_TRUE(MakeImage(image, "Secret12"));
        ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);

        ASSERT_NE(brixom.StartOn("mount_hiddenhdd"), nullptr);
        ASSERT_TRUE(brixom.OpenListedImage(0, "Secret12"));
        ASSERT_TRUE(brixom.Click(kOptionUnprotect));
        EXPECT_FALSE(IsEnabled(brixom.Page(), kLetterList));
        EXPECT_FALSE(IsEnabled(brixom.Page(), kUsbList4));
        EXPECT_EQ(brixom.PressAndAnswer(kFinish), "Step4.strUnprotected");
        ASSERT_TRUE(brixom.WaitForEnd());
        const std::vector<std::string> calls = CallsOf(brixom.Journal(), {"Quilmar_SetProtection"});
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back(), ReleaseLine(Listed(image)));
        EXPECT_EQ(EntryOf(image), "");
        EXPECT_FALSE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN);
        EXPECT_TRUE(FileExists(image)) << "released where it lies";
        ForgetProtection(image);
        SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(image.c_str());
    }
}

// A hidden image mounted from page 4 and dismounted from page 1 in a later run is hidden again
// wherever it lies: on the hard disk, and on a USB drive (made in hard-disk mode there), where it
// is back on page 3's hidden list. A normal image mounted there stays a plain file.
TEST(OpenRoads, MountedDiskIsHiddenAgainAtItsDismountOnlyWhenItWasHidden)
{
    constexpr int kDiskList = 1026, kRadioUnmount = 1025;
    TempFolder drives("remount");
    FakeUsbDrive usb(drives / "usb");
    ASSERT_NE(usb.Letter(), 0);
    const struct {
        bool onUsb;
        bool hidden;
        const char* name;
    } cases[] = {{false, true, "on the hard disk"}, {true, true, "on a USB drive"}, {true, false, "normal, on a USB drive"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ProtectedListGuard list;
        OpenDiskFixture brixom;
        ASSERT_TRUE(brixom.Ready());
        const std::string image = c.onUsb ? usb.Root() + "kept.sqv" : brixom.Image("kept.sqv");
        ASSERT_TRUE(MakeImage(image, "Secret12"));
        if (c.hidden) {
            ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);
            ASSERT_NE(brixom.StartOn("mount_hiddenhdd"), nullptr);
            ASSERT_TRUE(brixom.OpenListedImage(0, "Secret12"));
        } else {
            ASSERT_NE(brixom.StartOn("mount_hdd"), nullptr);
            ASSERT_TRUE(brixom.WaitForPageWith(kImageEdit));
            ASSERT_TRUE(SetText(brixom.PageControl(kImageEdit), image));
            ASSERT_TRUE(SetText(brixom.PageControl(kPasswordEdit), "Secret12"));
            ClickButton(brixom.Sheet(), kNext);
            ASSERT_TRUE(brixom.WaitForPage4Ready());
        }
        const std::string root = SelectedEntry(brixom.PageControl(kLetterList));
        ASSERT_FALSE(root.empty());
        brixom.DismountAtEnd(root[0]);
        ClickButton(brixom.Sheet(), kFinish);
        ASSERT_TRUE(brixom.WaitForEnd()) << "a finished mount ends the wizard";
        ASSERT_EQ(MountedLetters().count(root[0]), 1u);
        EXPECT_EQ(EntryOf(image), "") << "released while in use";
        EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(root[0]) != nullptr; }, kShellWindowMs));
        CloseShellWindows();

        // Another run dismounts it, with protect on as it starts.
        ASSERT_NE(brixom.StartOn("unmount"), nullptr);
        HWND page = brixom.Page();
        ASSERT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));
        ASSERT_TRUE(SelectComboEntry(GetDlgItem(page, kDiskList), root));
        EXPECT_EQ(brixom.PressAndAnswer(kFinish), "Step1.strCloseSuccess");
        EXPECT_EQ(MountedLetters().count(root[0]), 0u);
        EXPECT_EQ(IsProtected(image), c.hidden);
        EXPECT_TRUE(brixom.CloseSheet(brixom.Sheet()));

        // What page 3 lists as hidden.
        if (c.hidden) {
            ASSERT_NE(brixom.StartOn("mount_hiddenhdd"), nullptr);
            ASSERT_TRUE(brixom.WaitForPageWith(kProtectedList));
            EXPECT_EQ(ListViewTexts(brixom.PageControl(kProtectedList)), std::vector<std::string>{Listed(image)});
            EXPECT_TRUE(brixom.Cancel());
        }
        ForgetProtection(image);
        DeleteFileA(image.c_str());
    }
}

// Repair of a portable disk whose drive lost Agent's files and kept an old Agent: while Brixom's
// own folder lacks Agent.ini the repair fails, says so and keeps the page; once the file is back
// the repair rebuilds Agent's files around the image and puts the image to rest.
TEST(OpenRoads, PortableDiskRepairedAfterAFailedTry)
{
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    TempFolder drives("repair");
    FakeUsbDrive usb(drives / "usb");
    ASSERT_NE(usb.Letter(), 0);
    const std::string image = brixom.Image("portable.sqv");
    ASSERT_TRUE(MakeImage(image, "Usb12345"));
    const std::string bytes = ReadFileBytes(image);
    ASSERT_TRUE(MakeLayoutAtRest(usb.Letter(), bytes));
    const std::string oldAgent = InWork(usb.Letter(), "Agent.exe");
    ASSERT_TRUE(WriteFileBytes(oldAgent, "an old Agent"));
    ASSERT_TRUE(SetFileAttributesA(oldAgent.c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    const std::string agentIni = brixom.Path("Agent.ini");
    const std::string agentIniBytes = ReadFileBytes(agentIni);
    ASSERT_FALSE(agentIniBytes.empty());
    ASSERT_TRUE(DeleteFileA(agentIni.c_str()));

    ASSERT_NE(brixom.StartOn("mount_usb"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kUsbList3));
    ASSERT_TRUE(SetText(brixom.PageControl(kPasswordEdit), "Usb12345"));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    ASSERT_TRUE(brixom.Click(kOptionRepair));
    EXPECT_EQ(brixom.PressAndAnswer(kFinish), "Step4.strFixFailed");
    EXPECT_TRUE(PageHolds(brixom.Page(), kOptionRepair));
    EXPECT_TRUE(FileExists(WorkPlaceOn(usb.Letter()))) << "still open for another try";

    ASSERT_TRUE(WriteFileBytes(agentIni, agentIniBytes));
    EXPECT_EQ(brixom.PressAndAnswer(kFinish), "Step4.strFixed");
    ASSERT_TRUE(brixom.WaitForEnd());
    EXPECT_TRUE(ReadFileBytes(RestPlaceOn(usb.Letter())) == bytes);
    EXPECT_FALSE(FileExists(WorkPlaceOn(usb.Letter())));
    const std::string carried = ReadFileBytes(JoinPath(ProgramDir(), "Agent.exe"));
    if (!carried.empty()) {
        EXPECT_TRUE(ReadFileBytes(oldAgent) == carried) << "Agent is the one Brixom carries";
    }
    EXPECT_EQ(ReadFileBytes(InWork(usb.Letter(), "Agent.ini")), agentIniBytes);
    EXPECT_TRUE(FileExists(InWork(usb.Letter(), "Tavrin.dll")));
}

// The write-protected drive gets a portable disk (and a user's file) while it is still writable.
TEST(OpenRoadsOnFailingMedia, PrepareWriteProtected)
{
    const std::string media = Environment("SEQUORA_PROTECTED_DRIVE");
    if (media.empty() || !Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    FakeUsbDrive drive(media);
    ASSERT_NE(drive.Letter(), 0);
    TempFolder folder("roadro");
    const std::string image = folder / "old.sqv";
    ASSERT_TRUE(MakeImage(image, "Old12345"));
    ASSERT_TRUE(MakeLayoutAtRest(drive.Letter(), ReadFileBytes(image)));
    ASSERT_TRUE(WriteFileBytes(drive.Root() + "notes.txt", "mine"));
}

// One run of Brixom through every failure: page 3 on a write-protected drive, a mount the driver
// refuses, an install onto the write-protected drive, onto a drive too small for the image and
// onto a drive pulled during the job. Each says what went wrong and keeps the page; Cancel then
// hides the source again, unchanged.
TEST(OpenRoadsOnFailingMedia, EveryFailureKeepsThePageAndLosesNothing)
{
    const std::string protectedMedia = Environment("SEQUORA_PROTECTED_DRIVE");
    const std::string smallMedia = Environment("SEQUORA_SMALL_DRIVE");
    if (protectedMedia.empty() || smallMedia.empty() || Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    ProtectedListGuard list;
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string image = brixom.Image("faults.sqv");
    ASSERT_TRUE(MakeImage(image, "Secret12", kRoadImageMB, {{"hello.txt", "data"}}));
    const std::string source = ReadFileBytes(image);
    ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);

    FakeUsbDrive writeProtected(protectedMedia);
    FakeUsbDrive small(smallMedia);
    TempFolder drives("roadpull");
    FakeUsbDrive pulled(drives / "pulled");
    ASSERT_NE(writeProtected.Letter(), 0);
    ASSERT_NE(small.Letter(), 0);
    ASSERT_NE(pulled.Letter(), 0);
    const std::string protectedRest = ReadFileBytes(RestPlaceOn(writeProtected.Letter()));
    ASSERT_FALSE(protectedRest.empty());

    ASSERT_NE(brixom.StartOn("mount_hiddenhdd", "mount-fails"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kProtectedList));

    // Page 3: the portable disk of a write-protected drive cannot be opened.
    ASSERT_TRUE(brixom.Click(kKindUsb));
    HWND page = brixom.Page();
    EXPECT_EQ(ListEntries(GetDlgItem(page, kUsbList3)), std::vector<std::string>{writeProtected.Root()});
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Old12345"));
    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strProtected");
    EXPECT_TRUE(ReadFileBytes(RestPlaceOn(writeProtected.Letter())) == protectedRest);

    ASSERT_TRUE(brixom.Click(kKindHidden));
    ASSERT_TRUE(brixom.OpenListedImage(0, "Secret12"));

    // A mount the driver refuses: said so, page 4 kept, the image still open for another try.
    size_t before = brixom.Journal().size();
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDOK, kJobMs), "Step4.strMountFailed");
    EXPECT_TRUE(PageHolds(brixom.Page(), kOptionMount));
    EXPECT_EQ(CallsOf(Since(brixom.Journal(), before), {"Tavrin_Mount"}).size(), 1u);
    EXPECT_TRUE(ShellFolderWindows().empty()) << "nothing to show after a failed mount";

    ASSERT_TRUE(brixom.Click(kOptionPortable));
    HWND usbList = GetDlgItem(brixom.Page(), kUsbList4);

    // Onto the write-protected drive: refused before anything is written.
    ASSERT_TRUE(SelectComboEntry(usbList, writeProtected.Root()));
    EXPECT_EQ(brixom.PressAndAnswer(kFinish), "Step4.strFailed1");
    EXPECT_TRUE(ReadFileBytes(RestPlaceOn(writeProtected.Letter())) == protectedRest);
    EXPECT_EQ(ReadFileBytes(writeProtected.Root() + "notes.txt"), "mine");

    // Onto a drive with room for the image but not for Agent's files too: the copy runs out of room.
    ASSERT_TRUE(SelectComboEntry(usbList, small.Root()));
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDOK, kJobMs), "Step4.strInstallFailed");
    EXPECT_FALSE(FileExists(RestPlaceOn(small.Letter()))) << "nothing partial at rest";
    EXPECT_FALSE(FileExists(WorkPlaceOn(small.Letter()))) << "the partial copy is gone";
    EXPECT_TRUE(FileExists(InWork(small.Letter(), "Agent.exe"))) << "Agent's files fitted; the image did not";
    EXPECT_TRUE(PageHolds(brixom.Page(), kOptionPortable));

    // Onto a drive pulled as soon as the job starts writing to it.
    ASSERT_TRUE(SelectComboEntry(usbList, pulled.Root()));
    const std::string agentOnPulled = PortableLayout(pulled.Folder() + "\\").InWorkFolder(PortableLayout::kAgentExe);
    std::atomic<bool> stop{false};
    std::atomic<bool> pulledOut{false};
    std::thread puller([&] {
        while (!stop && !FileExists(agentOnPulled))
            Sleep(1);
        if (!stop)
            pulledOut = pulled.Remove();
    });
    EXPECT_EQ(brixom.PressAndAnswer(kFinish, IDOK, kJobMs), "Step4.strInstallFailed");
    stop = true;
    puller.join();
    EXPECT_TRUE(pulledOut);
    ASSERT_TRUE(pulled.Insert());
    EXPECT_FALSE(FileExists(RestPlaceOn(pulled.Letter())));
    EXPECT_TRUE(PageHolds(brixom.Page(), kOptionPortable));

    // Nothing done: Cancel hides the source again, as it was.
    EXPECT_TRUE(brixom.Cancel());
    EXPECT_TRUE(IsProtected(image));
    EXPECT_TRUE(ReadFileBytes(image) == source);
    ForgetProtection(image);
}
