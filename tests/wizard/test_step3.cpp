// Page 3 and the page 4 it opens, as a user meets them in the real Brixom: the hidden images the
// lock service lists, passwords refused and accepted with the image released and protected again
// around each check, normal images that cannot be read, the portable disks of USB drives, and what
// page 4 offers for each kind of image.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DeviceEvents.h"
#include "FakeUsbDrive.h"
#include "OpenDiskFixture.h"
#include "Paths.h"
#include "Quilmar.h"
#include "Registry.h"
#include "ShellWindows.h"
#include "TempFolder.h"
#include "WindowDriver.h"

using namespace harness;
using namespace opentest;

namespace {

constexpr UINT kTabControlId = 0x3020;
constexpr DWORD kNoMessageMs = 1500;
// A shell window can take its time on a busy machine.
constexpr DWORD kShellWindowMs = 30000;

std::vector<std::string> ProtectionCalls(const std::vector<std::string>& journal)
{
    return CallsOf(journal, {"Quilmar_SetProtection", "Tavrin_GetInfo"});
}

}  // namespace

// The hidden kind: only the service's kind-1 state-1 entries are listed, in order, nothing chosen;
// each wrong password releases, reads and protects the image again; the right one leaves it
// released for page 4, whose options follow the kind; Back protects it, Next again keeps one page 4.
TEST(Step3, HiddenImagesPasswordsAndPage4)
{
    ProtectedListGuard list;
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string image = brixom.Image("My Disk.SQV");
    ASSERT_TRUE(MakeImage(image, "Secret12", 2, {{"hello.txt", "data"}}));
    ASSERT_NE(Quilmar_SetProtection(image.c_str(), 0, 0, kQuilmarProtect), 0);
    const std::string alpha = brixom.Image("Alpha.sqv");      // listed, never opened
    ASSERT_TRUE(ListEntry(alpha, 1, 1));
    ASSERT_TRUE(ListEntry(brixom.Image("Kind2.sqv"), 2, 1));
    ASSERT_TRUE(ListEntry(brixom.Image("State0.sqv"), 1, 0));

    ASSERT_NE(brixom.StartOn("mount_hiddenhdd"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kProtectedList));
    HWND page = brixom.Page();
    HWND listView = GetDlgItem(page, kProtectedList);
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindHidden)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindNormal)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindUsb)));
    const std::string listed = Listed(image);
    EXPECT_EQ(ListViewTexts(listView), (std::vector<std::string>{Listed(alpha), listed}));
    EXPECT_EQ(ListViewSelectedCount(listView), 0);
    EXPECT_TRUE(IsEnabled(page, kProtectedList));
    EXPECT_FALSE(IsEnabled(page, kImageEdit));
    EXPECT_FALSE(IsEnabled(page, kBrowse));
    EXPECT_EQ(SendMessageA(GetDlgItem(page, kPasswordEdit), EM_GETLIMITTEXT, 0, 0), 259);

    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strSelectImage");
    ASSERT_TRUE(SelectListViewItem(listView, 1));
    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strNoPassword");

    // Wrong passwords: case, blanks, a prefix. Each check releases, reads and protects again.
    for (const char* wrong : {"secret12", "Secret12 ", " Secret12", "Secret1"}) {
        SCOPED_TRACE(wrong);
        const size_t before = brixom.Journal().size();
        ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), wrong));
        EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strErrorPassword");
        EXPECT_EQ(ProtectionCalls(Since(brixom.Journal(), before)),
                  (std::vector<std::string>{ReleaseLine(listed), GetInfoLine(listed), ProtectLine(listed)}));
        EXPECT_TRUE(IsProtected(image));
        EXPECT_TRUE(PageHolds(brixom.Page(), kProtectedList));
    }

    // The right one: released and read, not protected again; page 4 comes.
    size_t before = brixom.Journal().size();
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Secret12"));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    EXPECT_EQ(FindMessageBox(brixom.Process().Pid()), nullptr);
    EXPECT_EQ(ProtectionCalls(Since(brixom.Journal(), before)),
              (std::vector<std::string>{ReleaseLine(listed), GetInfoLine(listed)}));
    EXPECT_EQ(EntryOf(image), "") << "released for page 4";

    HWND page4 = brixom.Page();
    EXPECT_TRUE(IsChecked(GetDlgItem(page4, kOptionMount)));
    EXPECT_TRUE(IsEnabled(page4, kOptionUnprotect));
    EXPECT_FALSE(IsEnabled(page4, kOptionRepair));
    EXPECT_TRUE(IsEnabled(page4, kLetterList));
    EXPECT_TRUE(IsEnabled(page4, kReadOnly));
    EXPECT_FALSE(IsEnabled(page4, kUsbList4));
    const char highest = HighestFreeLetter();
    ASSERT_NE(highest, 0);
    EXPECT_EQ(SelectedEntry(GetDlgItem(page4, kLetterList)), std::string(1, highest) + ":\\");
    const std::vector<std::string> letters = ListEntries(GetDlgItem(page4, kLetterList));
    EXPECT_EQ(letters.size(), static_cast<size_t>(std::count_if(letters.begin(), letters.end(), [](const std::string& l) {
        return GetDriveTypeA(l.c_str()) == DRIVE_NO_ROOT_DIR;
    }))) << "only letters no drive uses";

    // Back protects the image again; Next with the right password leaves one page 4.
    before = brixom.Journal().size();
    ClickButton(brixom.Sheet(), kBack);
    ASSERT_TRUE(brixom.WaitForPageWith(kProtectedList));
    EXPECT_EQ(ProtectionCalls(Since(brixom.Journal(), before)), (std::vector<std::string>{ProtectLine(listed)}));
    EXPECT_TRUE(IsProtected(image));
    page = brixom.Page();
    ASSERT_TRUE(SelectListViewItem(GetDlgItem(page, kProtectedList), 1));
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Secret12"));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    HWND tab = GetDlgItem(brixom.Sheet(), kTabControlId);
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0), 3);

    // Opened read-only on the highest free letter: the file is there, a write is refused (seen by
    // every user but root) and does not survive.
    ASSERT_TRUE(brixom.Click(kReadOnly));
    EXPECT_TRUE(IsChecked(GetDlgItem(brixom.Page(), kReadOnly)));
    before = brixom.Journal().size();
    brixom.DismountAtEnd(highest);
    ClickButton(brixom.Sheet(), kFinish);
    ASSERT_TRUE(brixom.WaitForEnd()) << "a finished mount ends the wizard";
    const std::string mountLine = "Tavrin_Mount(\"" + listed + "\", " + std::string(1, highest) + ", 1) -> 1";
    EXPECT_EQ(CallsOf(Since(brixom.Journal(), before), {"Tavrin_Mount"}), std::vector<std::string>{mountLine});
    ASSERT_TRUE(MountedLetters().count(highest));
    EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(highest) != nullptr; }, kShellWindowMs))
        << "the new drive opened in the shell";
    CloseShellWindows();
    const std::string root = std::string(1, highest) + ":\\";
    EXPECT_EQ(ReadFileBytes(root + "hello.txt"), "data");
    const bool written = WriteFileBytes(root + "new.txt", "lost");
    if (!harness::WineRunsAsRoot()) {
        EXPECT_FALSE(written) << "a read-only disk refuses the write";
    }
    ASSERT_TRUE(Dismount(highest));
    const char again = MountForTest(image, true);
    ASSERT_NE(again, 0);
    EXPECT_EQ(ReadFileBytes(std::string(1, again) + ":\\hello.txt"), "data");
    EXPECT_FALSE(FileExists(std::string(1, again) + ":\\new.txt")) << "a read-only disk keeps no write";
    EXPECT_TRUE(Dismount(again));
    ForgetProtection(image);
}

// The normal kind with images that cannot be read, a release the lock service refuses, and what
// page 4 offers for a normal image. The password edit takes what the header holds: 259 characters.
TEST(Step3, RefusedReleaseUnreadableImagesAndNormalKind)
{
    ProtectedListGuard list;
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    const std::string hidden = brixom.Image("hidden.sqv");
    ASSERT_TRUE(MakeImage(hidden, "Hidden12"));
    ASSERT_NE(Quilmar_SetProtection(hidden.c_str(), 0, 0, kQuilmarProtect), 0);
    const std::string longPassword(259, 'p');
    const std::string normal = brixom.Image("normal.sqv");
    ASSERT_TRUE(MakeImage(normal, longPassword));
    const std::string garbage = brixom.Image("garbage.sqv");
    ASSERT_TRUE(WriteFileBytes(garbage, std::string(1024, '\x5A')));
    const std::string truncated = brixom.Image("truncated.sqv");
    ASSERT_TRUE(WriteFileBytes(truncated, ReadFileBytes(normal).substr(0, 1500)));
    // A copy that stopped half-way keeps a whole header: the library still refuses the image.
    const std::string halved = brixom.Image("halved.sqv");
    const std::string normalBytes = ReadFileBytes(normal);
    ASSERT_TRUE(WriteFileBytes(halved, normalBytes.substr(0, normalBytes.size() / 2)));

    ASSERT_NE(brixom.StartOn("mount_hiddenhdd", "release-refused"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kProtectedList));
    HWND page = brixom.Page();
    ASSERT_TRUE(SelectListViewItem(GetDlgItem(page, kProtectedList), 0));
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Hidden12"));
    size_t before = brixom.Journal().size();
    EXPECT_EQ(brixom.PressAndAnswer(kNext, IDOK, kNoMessageMs), "") << "a refused release stops without a word";
    EXPECT_EQ(ProtectionCalls(Since(brixom.Journal(), before)),
              (std::vector<std::string>{ReleaseLine(Listed(hidden), 0)}));
    EXPECT_TRUE(PageHolds(brixom.Page(), kProtectedList));
    EXPECT_TRUE(IsProtected(hidden));

    ASSERT_TRUE(brixom.Click(kKindNormal));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindNormal)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindHidden)));
    EXPECT_TRUE(IsEnabled(page, kImageEdit));
    EXPECT_TRUE(IsEnabled(page, kBrowse));
    EXPECT_FALSE(IsEnabled(page, kProtectedList));

    const struct {
        std::string path;
        const char* message;
    } unreadable[] = {
        {garbage, "Step3.strOpenFailed"},
        {truncated, "Step3.strOpenFailed"},
        {halved, "Step3.strOpenFailed"},
        {brixom.Image("missing.sqv"), "Step3.strOpenFailed"},
        {"", "Step3.strSelectImage"},
    };
    for (const auto& c : unreadable) {
        SCOPED_TRACE(c.path);
        ASSERT_TRUE(SetText(GetDlgItem(page, kImageEdit), c.path)) << "Brixom still running: " << brixom.Process().IsRunning();
        before = brixom.Journal().size();
        EXPECT_EQ(brixom.PressAndAnswer(kNext), c.message);
        EXPECT_TRUE(CallsOf(Since(brixom.Journal(), before), {"Quilmar_SetProtection"}).empty())
            << "a normal image is neither released nor protected";
    }

    // Browse: the image chosen in the open dialog lands in the path box.
    ASSERT_TRUE(ClickButton(page, kBrowse));
    HWND open = WaitForFileDialog(brixom.Process().Pid());
    ASSERT_NE(open, nullptr);
    ASSERT_TRUE(ChooseFileInDialog(open, normal));
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(page, kImageEdit)) == normal; }, 10000));

    // The whole 259 characters, typed in plain view.
    ASSERT_TRUE(brixom.Click(kShowPassword));
    HWND password = GetDlgItem(page, kPasswordEdit);
    ASSERT_NE(password, nullptr);
    EXPECT_FALSE(GetWindowLongA(password, GWL_STYLE) & ES_PASSWORD);
    EXPECT_EQ(SendMessageA(password, EM_GETLIMITTEXT, 0, 0), 259);
    ASSERT_TRUE(SetText(password, longPassword.substr(0, 258)));
    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strErrorPassword");
    ASSERT_TRUE(SetText(password, longPassword));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    HWND page4 = brixom.Page();
    EXPECT_FALSE(IsEnabled(page4, kOptionUnprotect));
    EXPECT_FALSE(IsEnabled(page4, kOptionRepair));
    EXPECT_TRUE(IsChecked(GetDlgItem(page4, kOptionMount)));

    EXPECT_TRUE(brixom.Cancel());
    EXPECT_EQ(EntryOf(normal), "") << "a normal image is not hidden by a cancel";
    EXPECT_TRUE(IsProtected(hidden));
    ForgetProtection(hidden);
}

// The USB kind lists only drives that hold a portable disk; an unreadable image and a wrong
// password put the image back to rest; page 4 offers every other USB drive and repair; Back hides
// the image again; a device event while the USB kind is chosen falls back to the normal kind;
// Cancel hides the image again.
TEST(Step3, PortableDisksOnUsbDrives)
{
    ProtectedListGuard list;
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    TempFolder drives("usb3");
    FakeUsbDrive good(drives / "good");
    FakeUsbDrive broken(drives / "broken");
    FakeUsbDrive empty(drives / "empty");
    ASSERT_NE(good.Letter(), 0);
    ASSERT_NE(broken.Letter(), 0);
    ASSERT_NE(empty.Letter(), 0);
    const std::string source = brixom.Image("portable.sqv");
    ASSERT_TRUE(MakeImage(source, "Usb12345"));
    const std::string imageBytes = ReadFileBytes(source);
    ASSERT_TRUE(MakeLayoutAtRest(good.Letter(), imageBytes));
    ASSERT_TRUE(MakeLayoutAtRest(broken.Letter(), std::string(4096, '\x11')));

    ASSERT_NE(brixom.StartOn("mount_usb"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kUsbList3));
    HWND page = brixom.Page();
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindUsb)));
    HWND usbList = GetDlgItem(page, kUsbList3);
    std::vector<std::string> expected = {broken.Root(), good.Root()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListEntries(usbList), expected) << "a drive without a portable disk is not listed";
    EXPECT_TRUE(IsEnabled(page, kUsbList3));
    EXPECT_FALSE(IsEnabled(page, kImageEdit));
    EXPECT_FALSE(IsEnabled(page, kProtectedList));

    ASSERT_TRUE(SelectComboEntry(usbList, broken.Root()));
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Usb12345"));
    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strOpenFailed");
    EXPECT_TRUE(FileExists(RestPlaceOn(broken.Letter()))) << "back at rest";
    EXPECT_FALSE(FileExists(WorkPlaceOn(broken.Letter())));

    ASSERT_TRUE(SelectComboEntry(usbList, good.Root()));
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "usb12345"));
    EXPECT_EQ(brixom.PressAndAnswer(kNext), "Step3.strErrorPassword");
    EXPECT_TRUE(FileExists(RestPlaceOn(good.Letter())));
    EXPECT_FALSE(FileExists(WorkPlaceOn(good.Letter())));

    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Usb12345"));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    EXPECT_TRUE(FileExists(WorkPlaceOn(good.Letter()))) << "out of hiding for page 4";
    HWND page4 = brixom.Page();
    EXPECT_TRUE(IsEnabled(page4, kOptionRepair));
    EXPECT_FALSE(IsEnabled(page4, kOptionUnprotect));
    EXPECT_TRUE(IsEnabled(page4, kOptionPortable));
    expected = {broken.Root(), empty.Root()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListEntries(GetDlgItem(page4, kUsbList4)), expected) << "every USB drive but the image's own";

    // Back hides it again. The lock service now lists entries, none of them kind 1 and state 1:
    // page 3 comes back on the hidden kind with an empty, disabled list.
    ASSERT_TRUE(ListEntry(brixom.Image("Kind2.sqv"), 2, 1));
    ASSERT_TRUE(ListEntry(brixom.Image("State0.sqv"), 1, 0));
    ClickButton(brixom.Sheet(), kBack);
    ASSERT_TRUE(brixom.WaitForPageWith(kUsbList3));
    EXPECT_TRUE(FileExists(RestPlaceOn(good.Letter())));
    EXPECT_FALSE(FileExists(WorkPlaceOn(good.Letter())));
    page = brixom.Page();
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindHidden)));
    EXPECT_TRUE(ListViewTexts(GetDlgItem(page, kProtectedList)).empty());
    EXPECT_FALSE(IsEnabled(page, kProtectedList));

    // A drive plugged in while the USB kind is chosen: back to the normal kind, no new scan.
    ASSERT_TRUE(brixom.Click(kKindUsb));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindUsb)));
    ASSERT_TRUE(SendVolumeArrival(brixom.Sheet(), empty.Letter()));
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, kKindNormal)); }, 5000));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindUsb)));

    // With the other drives pulled, page 4 cannot offer to make the disk portable.
    ASSERT_TRUE(broken.Remove());
    ASSERT_TRUE(empty.Remove());
    ASSERT_TRUE(brixom.Click(kKindUsb));
    EXPECT_EQ(ListEntries(usbList), std::vector<std::string>{good.Root()});
    ASSERT_TRUE(SetText(GetDlgItem(page, kPasswordEdit), "Usb12345"));
    ClickButton(brixom.Sheet(), kNext);
    ASSERT_TRUE(brixom.WaitForPage4Ready());
    EXPECT_FALSE(IsEnabled(brixom.Page(), kOptionPortable));
    EXPECT_TRUE(ListEntries(GetDlgItem(brixom.Page(), kUsbList4)).empty());

    // Cancelling the wizard puts the image back to rest.
    EXPECT_TRUE(brixom.Cancel());
    EXPECT_TRUE(FileExists(RestPlaceOn(good.Letter())));
    EXPECT_FALSE(FileExists(WorkPlaceOn(good.Letter())));
    EXPECT_EQ(ReadFileBytes(RestPlaceOn(good.Letter())), imageBytes);
}

// A drive plugged in while page 3's USB scan runs (its box up): the event waits for the scan's end,
// and the page then falls back to the normal kind with the radios, the USB list and the image edit
// all agreeing, as for an event after the scan.
TEST(Step3, DeviceEventDuringTheUsbScanLeavesOneKindChosen)
{
    OpenDiskFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    TempFolder drives("step3scan");
    FakeUsbDrive usb(drives / "usb");
    ASSERT_NE(usb.Letter(), 0);
    ASSERT_TRUE(MakeLayoutAtRest(usb.Letter(), std::string(4096, '\x11')));
    // Each USB question takes a while, so the scan is still running when the event comes.
    ASSERT_NE(brixom.StartOn("mount_hdd", "usb-check-slow=400"), nullptr);
    ASSERT_TRUE(brixom.WaitForPageWith(kUsbList3, 60000));
    HWND page = brixom.Page();
    ASSERT_TRUE(IsChecked(GetDlgItem(page, kKindNormal)));

    const DWORD pid = brixom.Process().Pid();
    auto waitBox = [&] {
        for (HWND window : TopLevelWindows(pid)) {
            if (IsWindowVisible(window) && GetDlgItem(window, 1069))
                return window;
        }
        return static_cast<HWND>(nullptr);
    };
    HWND radio = GetDlgItem(page, kKindUsb);
    PostMessageA(radio, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(radio, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(WaitUntil([&] { return waitBox() != nullptr; }, 10000)) << "the scan's box shows";
    ASSERT_TRUE(SendVolumeArrival(brixom.Sheet(), usb.Letter(), 20000));
    EXPECT_NE(waitBox(), nullptr) << "the event came inside the scan";
    ASSERT_TRUE(WaitUntil([&] { return waitBox() == nullptr; }, 60000));
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(page, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &answer));

    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindNormal)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindUsb)));
    EXPECT_FALSE(IsEnabled(page, kUsbList3));
    EXPECT_TRUE(IsEnabled(page, kImageEdit));
    EXPECT_TRUE(IsEnabled(page, kBrowse));

    // Without an event the USB kind stays chosen, with its list.
    ASSERT_TRUE(brixom.Click(kKindUsb));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kKindUsb)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kKindNormal)));
    EXPECT_TRUE(IsEnabled(page, kUsbList3));
    EXPECT_FALSE(IsEnabled(page, kImageEdit));
    EXPECT_TRUE(brixom.Cancel());
}
