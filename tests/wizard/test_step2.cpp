// Page 2 and the progress dialog in the real Brixom, driven from this process as a user would:
// a disk made on the hard disk, mounted, written to and dismounted; a portable disk made on a fake
// USB drive; the page's refusals; the USB list following plug and pull events; and the faults that
// must end in a clear message with no image lost, truncated or left unprotected.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "DeviceEvents.h"
#include "FakeUsbDrive.h"
#include "GoldenHeader.h"
#include "Paths.h"
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
const char* const kWorkFolder = "{SEQUORA-WORK}";
const char* const kHidingFolder = "{NORVALIX-SEQUORA-4FDD4DF77DEE}";
const char* const kImageName = "{1A401BED-0CD1-4216-8848-4FDD4DF77DEE}";
const char* const kSecret = "Abc123!x";

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size() + 1, L'\0');
    const int units = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(units > 0 ? static_cast<size_t>(units - 1) : 0);
    return wide;
}

// The journal is UTF-8; the programs' paths are ANSI.
std::string JournalText(const std::string& ansi)
{
    const std::wstring wide = Wide(ansi);
    std::string utf8(wide.size() * 4 + 1, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], static_cast<int>(utf8.size()),
                                          nullptr, nullptr);
    utf8.resize(bytes > 0 ? static_cast<size_t>(bytes - 1) : 0);
    return utf8;
}

std::set<char> MountedLetters()
{
    std::set<char> letters;
    const uint32_t mask = Tavrin_GetMountedMask();
    for (int slot = 0; slot < kTavrinSlotCount; ++slot) {
        if (mask & (1u << slot))
            letters.insert(static_cast<char>(Tavrin_GetSlotLetter(slot) & 0xFFFF));
    }
    return letters;
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
    ASSERT_TRUE(s.Start("create_hdd", "create-slow=6000"));
    EXPECT_TRUE(IsChecked(s.Control(kRadioHdd)));
    EXPECT_FALSE(IsChecked(s.Control(kRadioUsb)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(s.Sheet(), kFinish)));      // no file chosen yet

    // Browse: the save dialog, a name with another extension; the .sqv of that name exists.
    ASSERT_TRUE(s.Click(kBrowse));
    HWND save = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : TopLevelWindows(s.Pid())) {
            if (IsWindowVisible(w) && (GetDlgItem(w, 0x47C) || GetDlgItem(w, 0x480)) && GetDlgItem(w, IDOK))
                save = w;
        }
        return save != nullptr;
    }, 15000));
    // The file name box: an edit of its own, or the edit inside the name combo box.
    HWND nameEdit = GetDlgItem(save, 0x480);
    for (HWND child : ChildWindows(GetDlgItem(save, 0x47C))) {
        if (!nameEdit && ClassNameOf(child) == "Edit")
            nameEdit = child;
    }
    ASSERT_NE(nameEdit, nullptr);
    const std::string typed = JoinPath(folder, "100% \xE9.txt");
    SendMessageA(nameEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    ClickButton(save, IDOK);
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
    EXPECT_EQ(WindowText(GetDlgItem(progress, kProgressText)), "Main.strCreateTip");
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
    EXPECT_TRUE(WaitUntil([&] { return FindShellWindowOfDrive(letter) != nullptr; }, 10000));
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
    ASSERT_TRUE(Tavrin_Mount(Wide(image).c_str(), static_cast<uint32_t>(check), 1));
    EXPECT_EQ(ReadFileBytes(std::string(1, check) + ":\\hello.txt"), "data");
    EXPECT_TRUE(Tavrin_Unmount(static_cast<uint32_t>(check), 0));
}
