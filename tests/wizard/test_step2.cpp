// Page 2 and the progress dialog in the real Brixom, driven from this process as a user would:
// a disk made on the hard disk, mounted, written to and dismounted; a portable disk made on a fake
// USB drive; the page's refusals; the USB list following plug and pull events; and the faults that
// must end in a clear message with no image lost, truncated or left unprotected.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "DeviceEvents.h"
#include "DriverPath.h"
#include "FakeUsbDrive.h"
#include "GoldenHeader.h"
#include "MountedLetters.h"
#include "PortableDiskFixture.h"
#include "Paths.h"
#include "Quilmar.h"
#include "Registry.h"
#include "ShellWindows.h"
#include "Step2Session.h"
#include "Tavrin.h"
#include "TempFolder.h"
#include "WindowDriver.h"

using namespace harness;
using namespace step2;

namespace {

constexpr int kUnmountFinishRadio = 1025;
const char* const kProtectedList = "Software\\Quilmar\\Protected";
const char* const kSecret = "Abc123!x";

// The journal is UTF-8; the programs' paths are ANSI.
std::string JournalText(const std::string& ansi)
{
    const std::wstring wide = ToDriverPath(ansi);
    std::string utf8(wide.size() * 4 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()),
                                          nullptr, nullptr);
    utf8.resize(bytes > 0 ? static_cast<size_t>(bytes - 1) : 0);
    return utf8;
}

std::string FirstBytes(const std::string& path, size_t count)
{
    return ReadFileBytes(path).substr(0, count);
}

std::vector<unsigned char> HeaderOf(const std::string& image)
{
    const std::string bytes = FirstBytes(image, 2048);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

int BarWidth(HWND progress)
{
    const RECT bar = ChildRectInParent(GetDlgItem(progress, kProgressBar));
    return bar.right - bar.left;
}

// The worker reports its own percent meanwhile; a report between ours and the reading is a race
// of the test, not a fault, so the pair is tried again.
bool BarShows(HWND progress, unsigned percent, int width)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(progress, kProgressMessage, percent, 0, SMTO_ABORTIFHUNG, 5000, &result);
        if (BarWidth(progress) == width)
            return true;
    }
    return false;
}

// Disks this test made and mounted, dismounted at the end; the images leave the protected list.
struct DiskCleanup {
    std::vector<std::string> images;
    ~DiskCleanup()
    {
        for (char letter : MountedLetters())
            Tavrin_Unmount(static_cast<uint32_t>(letter), 0);
        for (const std::string& image : images) {
            DeleteRegistryValue(HKEY_CURRENT_USER, kProtectedList, image);
            SetFileAttributesA(image.c_str(), FILE_ATTRIBUTE_NORMAL);
        }
        CloseShellWindows();
    }
};

}  // namespace

namespace {

// Ways a user may write one file's path in the save dialog (with another extension, which the page
// turns into .sqv): as it is, in capitals, through short names, with "." and ".." steps.
std::vector<std::string> PathForms(const std::string& image)
{
    const std::string txt = image.substr(0, image.rfind('.')) + ".txt";
    const size_t slash = image.rfind('\\');
    const std::string folder = image.substr(0, slash), name = txt.substr(slash + 1);
    std::string upper = txt;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    char shortFolder[MAX_PATH] = "", shortImage[MAX_PATH] = "";
    GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH);
    GetShortPathNameA(image.c_str(), shortImage, MAX_PATH);
    const std::string shortName = std::string(shortImage).substr(0, std::string(shortImage).rfind('.')) + ".txt";
    const std::string parent = folder.substr(folder.rfind('\\') + 1);
    return {txt,
            upper,
            std::string(shortFolder) + "\\" + name,
            shortName,
            folder + "\\.\\" + name,
            folder + "\\..\\" + parent + "\\" + name};
}

}  // namespace

// Told at Browse to replace an existing file, Finish never deletes the image of a mounted disk or
// of one the lock library protects, however its path is written; the message says the old file
// stays, and it stays byte for byte.
TEST(Step2HardDisk, ReplacingNeverDeletesAnImageInUse)
{
    TempFolder temp("step2-inuse");
    const std::string folder = temp / "Secure Disk Images";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string mounted = JoinPath(folder, "Mounted secure disk.sqv");
    const std::string hidden = JoinPath(folder, "Protected secure disk.sqv");
    DiskCleanup cleanup;
    cleanup.images = {mounted, hidden};
    ASSERT_TRUE(MakeSmallImage(mounted));
    ASSERT_TRUE(MakeSmallImage(hidden));
    const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    ASSERT_NE(letter, 0);
    ASSERT_EQ(Tavrin_Mount(ToDriverPath(mounted).c_str(), static_cast<uint32_t>(letter), 0), 1);
    ASSERT_NE(Quilmar_SetProtection(hidden.c_str(), 0, 0, kQuilmarProtect), 0);

    Session s;
    ASSERT_TRUE(s.Start("create_hdd"));
    for (const std::string& image : {mounted, hidden}) {
        const std::string bytes = ReadFileBytes(image);
        ASSERT_FALSE(bytes.empty());
        for (const std::string& form : PathForms(image)) {
            SCOPED_TRACE(form);
            ASSERT_TRUE(s.Click(kBrowse));
            HWND save = WaitForFileDialog(s.Pid());
            ASSERT_NE(save, nullptr);
            ASSERT_TRUE(ChooseFileInDialog(save, form));
            const std::string question = s.Answer(IDYES);
            ASSERT_EQ(question.rfind("Step2.strRecreate ", 0), 0u) << question;
            s.SetText(kSizeEdit, "50");
            s.FillPasswords(kSecret, kSecret);
            EXPECT_EQ(s.Finish(), "Step2.strDeleteFileFailed") << "asked to replace " << s.Text(kImageEdit);
            EXPECT_EQ(ActivePage(s.Sheet()), s.Page());
            ASSERT_TRUE(FileExists(image));
            EXPECT_TRUE(ReadFileBytes(image) == bytes);
        }
    }
    EXPECT_EQ(MountedLetters().count(letter), 1u) << "the disk stays mounted";
    EXPECT_TRUE(s.Close());
}

// The hard-disk road: Browse through the real save dialog (an existing file is replaced only at
// Finish), the page's refusals, then a creation slow enough to watch the progress dialog refuse
// every close and draw its bar; the disk is mounted and opened, written to, and dismounted and
// hidden again from page 1.
TEST(Step2HardDisk, CreateMountWriteDismountAndProtect)
{
    TempFolder temp("step2-hdd");
    const std::string folder = temp / "Disks & Co";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string image = JoinPath(folder, "100% \xE9.sqv");
    ASSERT_TRUE(WriteFileBytes(image, "old disk"));
    DiskCleanup cleanup;
    cleanup.images.push_back(image);

    Session s;
    ASSERT_TRUE(s.Start("create_hdd", "create-slow=5000"));
    EXPECT_TRUE(IsChecked(s.Control(kRadioHdd)));
    EXPECT_FALSE(IsChecked(s.Control(kRadioUsb)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(s.Sheet(), kFinish)));      // no file chosen yet

    // Browse: the save dialog, a name with another extension; the .sqv of that name exists.
    ASSERT_TRUE(s.Click(kBrowse));
    HWND save = WaitForFileDialog(s.Pid());
    ASSERT_NE(save, nullptr);
    ASSERT_TRUE(ChooseFileInDialog(save, JoinPath(folder, "100% \xE9.txt")));
    // The question keeps the path as it stands, '%' and all; the old file stays until Finish.
    EXPECT_EQ(s.Answer(IDYES), "Step2.strRecreate " + image);
    EXPECT_EQ(s.Text(kImageEdit), image);
    EXPECT_EQ(ReadFileBytes(image), "old disk");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(s.Sheet(), kFinish)));
    EXPECT_TRUE(IsWindowVisible(s.Control(kMaxText)));
    EXPECT_EQ(s.Text(kMaxText).rfind("Step2.strMaxSize ", 0), 0u);
    EXPECT_EQ(s.Text(kSizeEdit), "2048");

    // Strength of what is typed into the first password box.
    const int fullBar = 104;
    struct Strength {
        const char* password;
        const char* text;
        int width;
    };
    const Strength strengths[] = {
        {"abc", "Step2.strPW_Short", fullBar / 10},
        {"abcdef", "Step2.strPW_Weak", fullBar / 4},
        {"Abc123", "Step2.strPW_Good", fullBar * 3 / 4},
        {kSecret, "Step2.strPW_Strong", fullBar},
        {"", "", 0},
    };
    for (const Strength& c : strengths) {
        SCOPED_TRACE(c.password);
        s.SetText(kPassword, c.password);
        EXPECT_EQ(s.Text(kStrengthText), c.text);
        const RECT bar = ChildRectInParent(s.Control(kStrengthBar));
        EXPECT_EQ(bar.right - bar.left, c.width);
    }

    // Refusals: each leaves the page open and the old file as it was.
    struct Refusal {
        const char* size;
        const char* password;
        const char* confirm;
        const char* message;
    };
    const Refusal refusals[] = {
        {"0", kSecret, kSecret, "Step2.strErrorImagePath"},
        {"50", "", "", "Step2.strNeedPassword"},
        {"50", kSecret, "Abc123!y", "Step2.strNeedPassword"},
        {"49", kSecret, kSecret, "Step2.strSizeMustGreater50"},
        {"99999999999", kSecret, kSecret, "Step2.strSpaceSmallToInstall"},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.message);
        s.SetText(kSizeEdit, r.size);
        s.FillPasswords(r.password, r.confirm);
        EXPECT_EQ(s.Finish(), r.message);
        EXPECT_EQ(ActivePage(s.Sheet()), s.Page());
    }
    EXPECT_EQ(ReadFileBytes(image), "old disk");

    s.SetText(kSizeEdit, "50");
    s.FillPasswords(kSecret, kSecret);
    const std::string root = SelectedEntry(s.Control(kLetters));
    ASSERT_EQ(root.size(), 3u);
    const char letter = root[0];
    ASSERT_TRUE(ClickButton(s.Sheet(), kFinish));

    HWND progress = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (progress = s.ProgressDialog()) != nullptr; }, 15000));
    // The worker sets the text once it runs, after the box shows.
    EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(progress, kProgressText)) == "Main.strCreateTip"; }, 5000))
        << WindowText(GetDlgItem(progress, kProgressText));
    const RECT sheet = WindowRectOf(s.Sheet()), box = WindowRectOf(progress);
    EXPECT_EQ(box.left - sheet.left, 110);
    EXPECT_EQ(box.top - sheet.top, 150);
    EXPECT_EQ(box.right - box.left, 405);
    EXPECT_EQ(box.bottom - box.top, 91);
    const RECT frame = ChildRectInParent(GetDlgItem(progress, kProgressFrame));
    EXPECT_EQ(frame.left, 26);
    EXPECT_EQ(frame.top, 38);
    EXPECT_EQ(frame.right - frame.left, 352);
    EXPECT_EQ(frame.bottom - frame.top, 24);
    const RECT bar = ChildRectInParent(GetDlgItem(progress, kProgressBar));
    EXPECT_EQ(bar.left, 27);
    EXPECT_EQ(bar.top, 39);
    EXPECT_EQ(bar.bottom - bar.top, 22);
    const struct {
        unsigned percent;
        int width;
    } widths[] = {{0, 0}, {50, 175}, {100, 350}, {150, 350}};
    for (const auto& w : widths)
        EXPECT_TRUE(BarShows(progress, w.percent, w.width)) << w.percent << "%";

    // Enter, Esc, Alt+F4, the system menu's Close and other programs' closes are all refused.
    PostMessageA(progress, WM_COMMAND, IDOK, 0);
    PostMessageA(progress, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(progress, WM_CLOSE, 0, 0);
    PostMessageA(progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(s.Sheet(), WM_CLOSE, 0, 0);
    Sleep(500);
    EXPECT_TRUE(IsWindow(progress) && IsWindowVisible(progress));
    EXPECT_TRUE(s.Brixom().Process().IsRunning());

    // The about box from the system menu; the job ending closes it with the dialog.
    PostMessageA(progress, WM_SYSCOMMAND, 0x10, 0);
    HWND about = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND w : TopLevelWindows(s.Pid())) {
            for (HWND child : ChildWindows(w)) {
                if (IsWindowVisible(w) && WindowText(child) == "Brixom Version 1.0 ")
                    about = w;
            }
        }
        return about != nullptr;
    }, 10000));

    // Created, mounted on the chosen letter and opened: the wizard ends.
    ASSERT_TRUE(s.Ended(30000));
    EXPECT_FALSE(IsWindow(about));
    EXPECT_EQ(FileSize(image), 50LL * 1048576);
    EXPECT_EQ(HeaderOf(image), GoldenHeader(kSecret, letter, 50));
    EXPECT_TRUE(MountedLetters().count(letter));
    EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(letter) != nullptr; }, 30000))
        << ShellFolderWindows().size() << " shell windows, none of drive " << letter;
    const std::vector<std::string> journal = s.Brixom().Journal();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "Tavrin_CreateImage(\"" + JournalText(image) + "\") -> 1"), 1);
    EXPECT_EQ(std::count(journal.begin(), journal.end(),
                         "Tavrin_Mount(\"" + JournalText(image) + "\", " + std::string(1, letter) + ", 0) -> 1"),
              1);
    CloseShellWindows();

    // A file of the user's on the new drive, then page 1 dismounts it and hides the image again.
    ASSERT_TRUE(WriteFileBytes(root + "hello.txt", "data"));
    BrixomFixture dismount;
    ASSERT_TRUE(dismount.WriteEchoLanguage());
    ASSERT_TRUE(dismount.Start("unmount"));
    HWND sheet1 = dismount.WaitForSheet(20000);
    ASSERT_NE(sheet1, nullptr);
    HWND page1 = ActivePage(sheet1);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page1, kUnmountFinishRadio)); }, 10000));
    ClickButton(sheet1, kFinish);
    HWND done = WaitForMessageBox(dismount.Process().Pid(), 20000);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(MessageBoxText(done), "Step1.strCloseSuccess");
    ClickButton(done, IDOK);
    EXPECT_TRUE(dismount.CloseSheet(sheet1));
    EXPECT_FALSE(MountedLetters().count(letter));
    std::string entry;
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, kProtectedList, image, entry));
    EXPECT_EQ(entry.rfind("1 1", 0), 0u);
    EXPECT_TRUE(GetFileAttributesA(image.c_str()) & FILE_ATTRIBUTE_HIDDEN);

    // The data went back into the image: mounted again, the file is there.
    const char check = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
    ASSERT_TRUE(Tavrin_Mount(ToDriverPath(image).c_str(), static_cast<uint32_t>(check), 1));
    EXPECT_EQ(ReadFileBytes(std::string(1, check) + ":\\hello.txt"), "data");
    EXPECT_TRUE(Tavrin_Unmount(static_cast<uint32_t>(check), 0));
}

// Every failure on the hard-disk road is said: no free letter (all 26 letters in use, which also
// needs the whole drive list read), a creation that fails (the page stays for another try), and a
// mount that fails after the creation (the image stays, no shell window opens).
TEST(Step2HardDisk, NoFreeLetterFailedCreationAndFailedMount)
{
    constexpr int kBack = 172, kNext = 170;
    TempFolder temp("step2-fail");
    const std::string image = temp / "new disk.sqv";
    DiskCleanup cleanup;
    cleanup.images.push_back(image);
    auto fill = [&](Session& s) {
        s.SetText(kImageEdit, image);
        s.SetText(kSizeEdit, "50");
        s.FillPasswords(kSecret, kSecret);
    };
    {
        std::vector<std::unique_ptr<FakeUsbDrive>> drives;
        std::vector<std::string> usb;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
            if (GetLogicalDrives() & (1u << (letter - 'A')))
                continue;
            drives.emplace_back(new FakeUsbDrive(temp / std::string(1, letter), letter));
            ASSERT_EQ(drives.back()->Letter(), letter);
            if (letter >= 'C')
                usb.push_back(drives.back()->Root());
        }
        ASSERT_EQ(GetLogicalDrives(), 0x3FFFFFFu);

        Session s;
        ASSERT_TRUE(s.Start("create_hdd", "create-fails"));
        EXPECT_EQ(ListEntries(s.Control(kUsbList)), usb);
        EXPECT_TRUE(ListEntries(s.Control(kLetters)).empty());
        EXPECT_EQ(SelectedEntry(s.Control(kLetters)), "");
        fill(s);
        EXPECT_EQ(s.Finish(), "Step2.strNoFreeLetter");

        drives.clear();
        ASSERT_TRUE(ClickButton(s.Sheet(), kBack));
        ASSERT_TRUE(WaitUntil([&] { return !PageHolds(ActivePage(s.Sheet()), kUsbList); }, 10000));
        ASSERT_TRUE(ClickButton(s.Sheet(), kNext));
        ASSERT_TRUE(s.WaitUntilSettled());
        EXPECT_FALSE(ListEntries(s.Control(kLetters)).empty());
        fill(s);
        EXPECT_EQ(s.Finish(IDOK, 30000), "Step2.strCreateFailed");
        EXPECT_EQ(ActivePage(s.Sheet()), s.Page());
        EXPECT_FALSE(FileExists(image));
        EXPECT_TRUE(s.Close());
    }

    Session s;
    ASSERT_TRUE(s.Start("create_hdd", "mount-fails"));
    fill(s);
    const char letter = SelectedEntry(s.Control(kLetters))[0];
    EXPECT_EQ(s.Finish(IDOK, 30000), "Step2.strMountFailed");
    ASSERT_TRUE(s.Ended());
    EXPECT_EQ(HeaderOf(image), GoldenHeader(kSecret, letter, 50));
    EXPECT_FALSE(MountedLetters().count(letter));
    EXPECT_EQ(FindShellWindowOfDrive(letter), nullptr);
}

namespace {

using portabletest::DrivePaths;
using portabletest::ShownAttributesOf;
using portabletest::Snapshot;

// The drive letters the system reports now.
std::set<char> UsedLetters()
{
    std::set<char> used;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i))
            used.insert(static_cast<char>('A' + i));
    }
    return used;
}

std::vector<std::string> Roots(std::initializer_list<char> letters)
{
    std::vector<std::string> roots;
    for (char letter : letters)
        roots.push_back(std::string(1, letter) + ":\\");
    return roots;
}

// A small image of the test's own, mounted through Tavrin on the highest free letter.
struct MountedImage {
    TempFolder folder{"mounted"};
    std::string image = folder / "mounted.sqv";
    char letter = 0;
    MountedImage()
    {
        const std::vector<unsigned char> header = GoldenHeader("pw", 'X', 2);
        int32_t context = 0;
        if (Tavrin_CreateImage(ToDriverPath(image).c_str(), reinterpret_cast<const ImageHeader*>(header.data()), nullptr,
                               &context) != kTavrinCreated)
            return;
        letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
        if (letter && !Tavrin_Mount(ToDriverPath(image).c_str(), static_cast<uint32_t>(letter), 0))
            letter = 0;
    }
    ~MountedImage()
    {
        if (letter)
            Tavrin_Unmount(static_cast<uint32_t>(letter), 0);
    }
};

void SelectUsbDrive(Session& s, char letter)
{
    const std::vector<std::string> entries = ListEntries(s.Control(kUsbList));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i][0] == letter) {
            SendMessageA(s.Control(kUsbList), CB_SETCURSEL, i, 0);
            SendMessageA(s.Page(), WM_COMMAND, MAKEWPARAM(kUsbList, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(s.Control(kUsbList)));
        }
    }
}

}  // namespace

// The USB road: the scan finds the fake drive, free letters leave out present and mounted drives,
// the list follows plug and pull events (and ignores them in hard-disk mode, or while it scans),
// the refusals write nothing, and Finish makes the portable disk: layout, Agent, header, and one
// creation without a mount.
TEST(Step2Usb, PortableDiskOnAFakeUsbDrive)
{
    TempFolder temp("step2-usb");
    FakeUsbDrive usb(temp / "usb");
    ASSERT_NE(usb.Letter(), 0);
    MountedImage mounted;
    ASSERT_NE(mounted.letter, 0);
    DiskCleanup cleanup;

    Session s;
    ASSERT_TRUE(s.Start("create_usb"));
    EXPECT_EQ(ListEntries(s.Control(kUsbList)), Roots({usb.Letter()}));
    EXPECT_TRUE(IsChecked(s.Control(kRadioUsb)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(s.Sheet(), kFinish)));
    EXPECT_FALSE(IsWindowEnabled(s.Control(kImageEdit)));
    const std::string maxText = s.Text(kMaxText);
    ASSERT_EQ(maxText.rfind("Step2.strMaxSize ", 0), 0u);
    const long maximum = std::stol(maxText.substr(17));
    EXPECT_EQ(s.Text(kSizeEdit), std::to_string(maximum / 2));     // no 2048 cap on a USB drive

    // Free letters: C to Z less every present drive, the fake USB drive and the mounted disk among them.
    std::vector<std::string> free;
    const std::set<char> used = UsedLetters();
    for (char letter = 'C'; letter <= 'Z'; ++letter) {
        if (!used.count(letter))
            free.push_back(std::string(1, letter) + ":\\");
    }
    ASSERT_TRUE(used.count(mounted.letter) && used.count(usb.Letter()));
    EXPECT_EQ(ListEntries(s.Control(kLetters)), free);
    ASSERT_FALSE(free.empty());
    EXPECT_EQ(SelectedEntry(s.Control(kLetters)), free.front());

    // A drive plugged in: scanned again. In hard-disk mode events change nothing.
    FakeUsbDrive second(temp / "second");
    ASSERT_NE(second.Letter(), 0);
    std::vector<std::string> both = Roots({usb.Letter(), second.Letter()});
    std::sort(both.begin(), both.end());
    EXPECT_TRUE(SendVolumeArrival(s.Sheet(), second.Letter(), 15000));
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(s.Control(kUsbList)) == both && !s.WaitDialog(); }, 15000));
    ASSERT_TRUE(s.ClickAndWait(kRadioHdd));
    ASSERT_TRUE(IsChecked(s.Control(kRadioHdd)));
    second.Remove();
    EXPECT_TRUE(SendVolumeRemoval(s.Sheet(), second.Letter()));
    Sleep(300);
    EXPECT_EQ(s.WaitDialog(), nullptr);
    EXPECT_EQ(ListEntries(s.Control(kUsbList)), both);

    // Back in USB mode, two events at once with closes thrown at the scanning box: no second box
    // inside the first, no hang, and the list as the drives are.
    ASSERT_TRUE(s.ClickAndWait(kRadioUsb));
    second.Insert();
    std::atomic<bool> stop{false};
    std::thread closer([&] {
        while (!stop) {
            if (HWND box = s.WaitDialog()) {
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
                PostMessageA(box, WM_CLOSE, 0, 0);
                PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            Sleep(5);
        }
    });
    std::thread first([&] { SendVolumeArrival(s.Sheet(), second.Letter(), 15000); });
    Sleep(50);
    EXPECT_TRUE(SendVolumeArrival(s.Sheet(), second.Letter(), 15000));
    first.join();
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(s.Control(kUsbList)) == both && !s.WaitDialog(); }, 15000));
    stop = true;
    closer.join();
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(s.Sheet(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
    second.Remove();
    EXPECT_TRUE(SendVolumeRemoval(s.Sheet(), second.Letter(), 15000));
    EXPECT_TRUE(WaitUntil([&] { return ListEntries(s.Control(kUsbList)) == Roots({usb.Letter()}); }, 15000));

    // Refusals write nothing: a size of 0 (it would wrap the header), more than the drive holds.
    // The plus button in between must not wipe the confirmation typed before it.
    s.FillPasswords(kSecret, kSecret);
    ASSERT_TRUE(s.ClickAndWait(kSizeUp));
    s.SetText(kSizeEdit, "0");
    EXPECT_EQ(s.Finish(), "Step2.strSizeMustBePositive");
    s.SetText(kSizeEdit, "2000000000");
    EXPECT_EQ(s.Finish(), "Step2.strSpaceSmallToInstall");
    EXPECT_TRUE(Snapshot(usb.Folder()).empty());

    // USB mode has no 50 MB floor: a disk of 20 MB is made as asked.
    s.SetText(kSizeEdit, "20");
    const char letter = SelectedEntry(s.Control(kLetters))[0];
    EXPECT_EQ(s.Finish(IDOK, 60000), "Step2.strMakeUSBSuccess");
    ASSERT_TRUE(s.Ended());
    ExpectPortableDisk(usb.Root(), kSecret, letter, 20);
    const std::vector<std::string> journal = s.Brixom().Journal();
    // Made under its unfinished name, then given the work place.
    const std::string created = "Tavrin_CreateImage(\"" + DrivePaths{usb.Root()}.Unfinished() + "\") -> 1";
    EXPECT_EQ(std::count(journal.begin(), journal.end(), created), 1);
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                            [](const std::string& line) { return line.rfind("Tavrin_Mount", 0) == 0; }),
              0);
}

// Over an existing portable disk: No to either question leaves the drive as it was, Yes to both
// replaces the disk with a new one.
TEST(Step2Usb, ReplacingAPortableDiskAsksTwice)
{
    TempFolder temp("step2-again");
    FakeUsbDrive usb(temp / "usb");
    ASSERT_NE(usb.Letter(), 0);
    DiskCleanup cleanup;
    // An older portable disk and a file of the user's beside it.
    const DrivePaths on{usb.Root()};
    ASSERT_TRUE(CreateDirectoryA(on.Work().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(on.Hiding().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((on.Aux() + "\\").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(on.RestPlace(), "an older disk"));
    for (const char* name : {"Agent.exe", "Agent.ini", "Tavrin.dll"})
        ASSERT_TRUE(WriteFileBytes(on.InWork(name), std::string("old ") + name));
    ASSERT_TRUE(WriteFileBytes(usb.Root() + "notes.txt", "mine"));
    const auto before = Snapshot(usb.Folder());
    ASSERT_FALSE(before.empty());

    Session s;
    ASSERT_TRUE(s.Start("create_usb"));
    s.SetText(kSizeEdit, "50");
    const std::string other = "Xyz789?a";
    s.FillPasswords(other, other);
    EXPECT_EQ(s.Finish(IDNO), "Step2.strReinstallTip");
    EXPECT_TRUE(Snapshot(usb.Folder()) == before);
    EXPECT_EQ(s.Finish(IDYES), "Step2.strReinstallTip");
    EXPECT_EQ(s.Answer(IDNO), "Step2.strDeleteTip");
    EXPECT_TRUE(Snapshot(usb.Folder()) == before);
    const char letter = SelectedEntry(s.Control(kLetters))[0];
    EXPECT_EQ(s.Finish(IDYES), "Step2.strReinstallTip");
    EXPECT_EQ(s.Answer(IDYES), "Step2.strDeleteTip");
    EXPECT_EQ(s.Answer(IDOK, 60000), "Step2.strMakeUSBSuccess");
    ASSERT_TRUE(s.Ended());
    ExpectPortableDisk(usb.Root(), other, letter);
    EXPECT_EQ(ReadFileBytes(usb.Root() + "notes.txt"), "mine");
}

// A creation that fails, and a drive pulled while the image is made: a failure is said, nothing
// half-made is left at the rest place, and the wizard stays for another try.
TEST(Step2Usb, FailedCreationAndPulledDrive)
{
    TempFolder temp("step2-fail");
    FakeUsbDrive usb(temp / "usb");
    ASSERT_NE(usb.Letter(), 0);
    const DrivePaths on{usb.Root()};
    DiskCleanup cleanup;
    {
        Session s;
        ASSERT_TRUE(s.Start("create_usb", "create-fails"));
        s.SetText(kSizeEdit, "50");
        s.FillPasswords(kSecret, kSecret);
        EXPECT_EQ(s.Finish(IDOK, 60000), "Step2.strMakeUSBFailed");
        EXPECT_TRUE(s.Brixom().Process().IsRunning());
        EXPECT_EQ(ActivePage(s.Sheet()), s.Page());
        EXPECT_TRUE(Snapshot(usb.Folder()).empty());
        EXPECT_TRUE(s.Close());
    }

    Session s;
    ASSERT_TRUE(s.Start("create_usb", "create-slow=2000"));
    s.SetText(kSizeEdit, "50");
    s.FillPasswords(kSecret, kSecret);
    ASSERT_TRUE(ClickButton(s.Sheet(), kFinish));
    ASSERT_TRUE(WaitUntil([&] { return s.ProgressDialog() != nullptr; }, 15000));
    usb.Remove();
    EXPECT_EQ(s.Answer(IDOK, 60000), "Step2.strMakeUSBFailed");
    EXPECT_TRUE(s.Brixom().Process().IsRunning());
    usb.Insert();
    // Nothing the pulled drive kept looks like a disk: no image at either place (a part-made one
    // has a name of its own) and no hiding folder.
    EXPECT_FALSE(portabletest::IsFileAt(on.RestPlace()));
    EXPECT_FALSE(portabletest::IsFileAt(on.WorkPlace()));
    EXPECT_EQ(GetFileAttributesA(on.Hiding().c_str()), INVALID_FILE_ATTRIBUTES);

    // Plugged back, the drive is used again at once: no question, the leftover cleared, the disk made.
    ASSERT_TRUE(SendVolumeArrival(s.Sheet(), usb.Letter(), 15000));
    ASSERT_TRUE(WaitUntil([&] { return !s.WaitDialog() && SelectedEntry(s.Control(kUsbList)) == usb.Root(); }, 15000));
    s.SetText(kSizeEdit, "50");
    s.FillPasswords(kSecret, kSecret);
    const char letter = SelectedEntry(s.Control(kLetters))[0];
    EXPECT_EQ(s.Finish(IDOK, 60000), "Step2.strMakeUSBSuccess");
    ASSERT_TRUE(s.Ended());
    ExpectPortableDisk(usb.Root(), kSecret, letter);
    EXPECT_FALSE(portabletest::IsFileAt(on.Unfinished()));
}

// Media mounted by step2-failing-media.sh (as root): a small drive, and write-protected drives.
namespace {

constexpr char kSkipped[] = "run by the step2_on_failing_media test on its mounts";

std::string Environment(const char* name)
{
    char value[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

ULONGLONG FreeBytes(const std::string& root)
{
    ULARGE_INTEGER available = {};
    GetDiskFreeSpaceExA(root.c_str(), &available, nullptr, nullptr);
    return available.QuadPart;
}

// Leaves about `target` bytes free on the drive with a file of the user's.
bool FillTo(const std::string& root, ULONGLONG target)
{
    const std::string filler = root + "filler.bin";
    DeleteFileA(filler.c_str());
    const ULONGLONG free = FreeBytes(root);
    if (free <= target)
        return false;
    return WriteFileBytes(filler, std::string(static_cast<size_t>(free - target), 'f'));
}

void WriteOlderPortableDisk(const std::string& root)
{
    const DrivePaths on{root};
    CreateDirectoryA(on.Work().c_str(), nullptr);
    CreateDirectoryA(on.Hiding().c_str(), nullptr);
    CreateDirectoryA((on.Aux() + "\\").c_str(), nullptr);
    WriteFileBytes(on.RestPlace(), "an older disk");
    for (const char* name : {"Agent.exe", "Agent.ini", "Tavrin.dll"})
        WriteFileBytes(on.InWork(name), std::string("old ") + name);
}

}  // namespace

// A drive without room for the disk is refused before anything is written, also when its free
// megabytes only equal the size (the Agent's files need room beside the image); once there is room,
// the same wizard makes the portable disk.
TEST(Step2Media, SmallDrive)
{
    const std::string media = Environment("SEQUORA_SMALL_DRIVE");
    if (media.empty())
        GTEST_SKIP() << kSkipped;
    FakeUsbDrive usb(media);
    ASSERT_NE(usb.Letter(), 0);
    DiskCleanup cleanup;

    Session s;
    ASSERT_TRUE(s.Start("create_usb"));
    s.SetText(kSizeEdit, "50");
    s.FillPasswords(kSecret, kSecret);
    for (const ULONGLONG room : {20ull << 20, (50ull << 20) + (512u << 10)}) {
        SCOPED_TRACE(std::to_string(room) + " bytes free");
        ASSERT_TRUE(FillTo(usb.Root(), room));
        const auto before = Snapshot(usb.Folder());
        EXPECT_EQ(s.Finish(), "Step2.strSpaceSmallToInstall");
        EXPECT_TRUE(Snapshot(usb.Folder()) == before);
    }

    DeleteFileA((usb.Root() + "filler.bin").c_str());
    const char letter = SelectedEntry(s.Control(kLetters))[0];
    EXPECT_EQ(s.Finish(IDOK, 60000), "Step2.strMakeUSBSuccess");
    ASSERT_TRUE(s.Ended());
    ExpectPortableDisk(usb.Root(), kSecret, letter);
}

TEST(Step2Media, PrepareWriteProtected)
{
    const std::string media = Environment("SEQUORA_PROTECTED_LAYOUT");
    if (media.empty() || !Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    WriteOlderPortableDisk(media + "\\");
    EXPECT_TRUE(portabletest::IsFileAt(DrivePaths{media + "\\"}.RestPlace()));
}

// Write-protected drives: an empty one cannot take the disk, one holding an older portable disk
// cannot lose it; each says so, and both stay as they were.
TEST(Step2Media, WriteProtectedDrives)
{
    const std::string empty = Environment("SEQUORA_PROTECTED_EMPTY"), layout = Environment("SEQUORA_PROTECTED_LAYOUT");
    if (empty.empty() || layout.empty() || Environment("SEQUORA_PROTECTED_READY").empty())
        GTEST_SKIP() << kSkipped;
    FakeUsbDrive bare(empty), older(layout);
    ASSERT_NE(bare.Letter(), 0);
    ASSERT_NE(older.Letter(), 0);
    DiskCleanup cleanup;
    const auto bareBefore = Snapshot(bare.Folder()), olderBefore = Snapshot(older.Folder());
    ASSERT_FALSE(olderBefore.empty());

    Session s;
    ASSERT_TRUE(s.Start("create_usb"));
    s.SetText(kSizeEdit, "50");
    s.FillPasswords(kSecret, kSecret);
    SelectUsbDrive(s, bare.Letter());
    EXPECT_EQ(s.Finish(IDOK, 60000), "Step2.strMakeUSBFailed");
    SelectUsbDrive(s, older.Letter());
    s.SetText(kSizeEdit, "50");
    EXPECT_EQ(s.Finish(IDYES), "Step2.strReinstallTip");
    EXPECT_EQ(s.Answer(IDYES), "Step2.strDeleteTip");
    EXPECT_EQ(s.Answer(), "Step2.strDeleteFileFailed");
    EXPECT_TRUE(Snapshot(bare.Folder()) == bareBefore);
    EXPECT_TRUE(Snapshot(older.Folder()) == olderBefore);
    EXPECT_TRUE(s.Close());
}
