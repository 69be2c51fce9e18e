// Page 1 as a user meets it in the real Brixom: the notice of a newer version served by a local
// server, and dismounting disks mounted through our Tavrin, one or all, with Retry when the
// library refuses and the image files hidden again afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "BrixomFixture.h"
#include "CUpdateCheck.h"
#include "DriverPath.h"
#include "FakeUsbDrive.h"
#include "ImageHeader.h"
#include "LanguageFixture.h"
#include "LocalHttpServer.h"
#include "MountedLetters.h"
#include "Paths.h"
#include "Recorder.h"
#include "Registry.h"
#include "Tavrin.h"
#include "TempFolder.h"
#include "WindowDriver.h"

using namespace harness;

namespace {

constexpr int kNext = 170, kFinish = 173;
constexpr int kCheckAll = 1000, kRadioMount = 1005, kRadioCreate = 1009, kRadioUnmount = 1025, kDiskList = 1026,
              kCheckProtect = 1039;
constexpr int kNoticeCancel = 1015, kNoticeUpdate = 1028, kNoticeHeadline = 1089, kNoticeClose = 1091;
const char* const kProtectedList = "Software\\Quilmar\\Protected";

// The notice is a top-level window of Brixom holding the Update and Close buttons.
HWND FindNotice(DWORD pid)
{
    for (HWND w : TopLevelWindows(pid)) {
        if (IsWindowVisible(w) && GetDlgItem(w, kNoticeUpdate) && GetDlgItem(w, kNoticeClose))
            return w;
    }
    return nullptr;
}

void ExpectRect(HWND control, RECT expected)
{
    ASSERT_NE(control, nullptr);
    const RECT r = ChildRectInParent(control);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);
}

// The update query must reach the loopback server directly.
void ClearProxies()
{
    for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        SetEnvironmentVariableA(name, nullptr);
}

// Disk images of the test's own, mounted through Tavrin; whatever is still mounted at the end is
// dismounted, and the protected list loses the test's images.
class MountedDisks {
public:
    explicit MountedDisks(const std::string& folder) : m_folder(folder) {}
    ~MountedDisks()
    {
        for (const auto& disk : m_disks) {
            if (MountedLetters().count(disk.letter))
                Tavrin_Unmount(static_cast<uint32_t>(disk.letter), 0);
            SetFileAttributesA(disk.image.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteRegistryValue(HKEY_CURRENT_USER, kProtectedList, disk.image);
        }
    }

    // Creates a small image in `folder` (the test's own by default) and mounts it on a free letter.
    char Add(const std::string& name, const std::string& folder = std::string(), bool readOnly = false)
    {
        const std::string image = JoinPath(folder.empty() ? m_folder : folder, name);
        if (!MakeSmallImage(image))
            return 0;
        const char letter = static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFFFF);
        if (!letter || !Tavrin_Mount(ToDriverPath(image).c_str(), static_cast<uint32_t>(letter), readOnly ? -1 : 0))
            return 0;
        m_disks.push_back({letter, image});
        return letter;
    }

    const std::string& ImageOf(char letter) const
    {
        static const std::string none;
        for (const auto& disk : m_disks) {
            if (disk.letter == letter)
                return disk.image;
        }
        return none;
    }

    bool IsProtected(char letter) const
    {
        std::string entry;
        return ReadRegistryString(HKEY_CURRENT_USER, kProtectedList, ImageOf(letter), entry) && entry.rfind("1 1", 0) == 0;
    }

private:
    struct Disk {
        char letter;
        std::string image;
    };
    std::string m_folder;
    std::vector<Disk> m_disks;
};

std::string Root(char letter)
{
    return std::string(1, letter) + ":\\";
}

size_t CountLines(const std::vector<std::string>& journal, const std::string& line)
{
    return static_cast<size_t>(std::count(journal.begin(), journal.end(), line));
}

std::string UnmountLine(char letter, int result)
{
    return "Tavrin_Unmount(" + std::string(1, letter) + ", 0) -> " + std::to_string(result);
}

std::string ProtectionLine(const std::string& image, int protect)
{
    return "Quilmar_SetProtection(\"" + image + "\", 0, 0, " + std::to_string(protect) + ") -> 1";
}

// Presses Finish and answers the message box that follows; returns its text ("" when none came).
// Three disks of the test's own, mounted; their letters in order (empty when one failed).
std::vector<char> MountThree(MountedDisks& disks)
{
    std::vector<char> letters;
    for (const char* name : {"a.sqv", "b.sqv", "c.sqv"}) {
        const char letter = disks.Add(name);
        if (!letter)
            return {};
        letters.push_back(letter);
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

// Brixom started on "unmount" with the library's faults given, dismount-all chosen; its sheet, or
// null.
HWND StartDismountAll(BrixomFixture& brixom, const std::string& faults)
{
    if (!brixom.Ready() || !brixom.WriteEchoLanguage() || !brixom.Start("unmount", faults))
        return nullptr;
    HWND sheet = brixom.WaitForSheet();
    HWND page = sheet ? ActivePage(sheet) : nullptr;
    if (!PageHolds(page, kDiskList))
        return nullptr;
    PostMessageA(GetDlgItem(page, kCheckAll), BM_CLICK, 0, 0);
    return WaitUntil([&] { return IsChecked(GetDlgItem(page, kCheckAll)); }, 5000) ? sheet : nullptr;
}

std::string FinishAndAnswer(BrixomFixture& brixom, HWND sheet, int answer)
{
    if (!ClickButton(sheet, kFinish))
        return std::string();
    return AnswerMessageBox(brixom.Process().Pid(), answer);
}

}  // namespace

// A plain start asks the update address once, ~400 ms after the sheet shows, and tells of a
// version only when it is newer: by numbers where the parts are numbers, ignoring case otherwise.
TEST(Step1NewVersion, NoticeShowsOnlyForANewerVersionAtAPlainStart)
{
    struct Case {
        const char* newest;
        const char* current;
        bool shows;
    };
    const Case cases[] = {
        {"2.1", "2.0", true},
        {"2.0", "2.0", false},
        {"2.0A", "2.0a", false},
        {"10.0", "9.0", true},
        {"9.0", "10.0", false},
    };
    ClearProxies();
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.newest) + " against " + c.current);
        LocalHttpServer server(std::string("[Update]\r\nVersion=") + c.newest + "\r\nUrl=http://127.0.0.1/get\r\n");
        ASSERT_TRUE(server.Listening());
        ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", server.Url()},
                                               {"frmAbout", "VersionNumber", c.current}}));
        ASSERT_TRUE(brixom.Start(""));
        HWND sheet = brixom.WaitForSheet();
        ASSERT_NE(sheet, nullptr);
        const DWORD pid = brixom.Process().Pid();
        if (c.shows) {
            HWND notice = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (notice = FindNotice(pid)) != nullptr; }, 15000));
            EXPECT_EQ(WindowText(GetDlgItem(notice, kNoticeHeadline)),
                      std::string("frmGetNewVersion.HasNewVerson ") + c.newest);
            RECT client = {};
            GetClientRect(notice, &client);
            EXPECT_EQ(client.right, 400);
            EXPECT_EQ(client.bottom, 267);
            ExpectRect(GetDlgItem(notice, kNoticeCancel), {53, 210, 173, 236});
            ExpectRect(GetDlgItem(notice, kNoticeUpdate), {226, 210, 346, 236});
            ExpectRect(GetDlgItem(notice, kNoticeClose), {375, 7, 395, 27});
            EXPECT_EQ(WindowText(GetDlgItem(notice, kNoticeUpdate)), "frmGetNewVersion.btnUpdate");
            ASSERT_TRUE(ClickButton(notice, kNoticeCancel));
            EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }, 10000));
        } else {
            ASSERT_TRUE(WaitUntil([&] { return !server.Requests().empty(); }, 15000));
            Sleep(1000);
            EXPECT_EQ(FindNotice(pid), nullptr);
        }
        EXPECT_EQ(server.Requests().size(), 1u);
        EXPECT_TRUE(brixom.CloseSheet(sheet));
    }
}

// A verb means no question at all; a server that is down shows nothing and the wizard goes on.
TEST(Step1NewVersion, NoQueryWithAVerbAndNothingShownWhenTheServerIsDown)
{
    ClearProxies();
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    LocalHttpServer server("Version=99.0\r\n");
    ASSERT_TRUE(server.Listening());
    ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", server.Url()}, {"frmAbout", "VersionNumber", "1.0"}}));
    ASSERT_TRUE(brixom.Start("create_hdd"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    Sleep(2000);
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(FindNotice(brixom.Process().Pid()), nullptr);
    EXPECT_TRUE(brixom.CloseSheet(sheet));

    const std::string down = "http://127.0.0.1:" + std::to_string(LocalHttpServer::UnusedPort()) + "/update.ini";
    ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", down}, {"frmAbout", "VersionNumber", "1.0"}}));
    ASSERT_TRUE(brixom.Start(""));
    sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    Sleep(2500);
    EXPECT_EQ(FindNotice(brixom.Process().Pid()), nullptr);
    EXPECT_EQ(FindMessageBox(brixom.Process().Pid()), nullptr);
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0) << "the wizard still answers";
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// A slow server, whose answer of a newer version comes whole only after the wizard's deadline: the
// query runs on a worker, so the wizard answers its user all along, and the late answer shows
// nothing.
TEST(Step1NewVersion, ASlowServerNeverFreezesTheWizardAndALateAnswerShowsNothing)
{
    constexpr DWORD kLateMs = CUpdateCheck::kDeadlineMs + 3000;
    ClearProxies();
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    LocalHttpServer server("Version=2.0\r\n", 200, kLateMs);
    ASSERT_TRUE(server.Listening());
    ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", server.Url()}, {"frmAbout", "VersionNumber", "1.0"}}));
    ASSERT_TRUE(brixom.Start(""));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    const DWORD pid = brixom.Process().Pid();
    ASSERT_TRUE(WaitUntil([&] { return !server.Requests().empty(); }, 15000)) << "the query reached the server";

    // Every answer well inside a quarter second, until long after the server's answer is out.
    const DWORD start = GetTickCount();
    DWORD slowest = 0;
    int answers = 0;
    bool noticeShown = false;
    DWORD noticeAt = 0;
    while (GetTickCount() - start < kLateMs + 2000) {
        const DWORD asked = GetTickCount();
        DWORD_PTR result = 0;
        ASSERT_NE(SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result), 0)
            << "the wizard stopped answering after " << (asked - start) << " ms";
        slowest = std::max(slowest, GetTickCount() - asked);
        ++answers;
        if (!noticeShown && FindNotice(pid)) {
            noticeShown = true;
            noticeAt = GetTickCount() - start;
        }
        Sleep(100);
    }
    EXPECT_FALSE(noticeShown) << "an answer after the deadline is dropped, yet a notice showed after " << noticeAt
                              << " ms";
    EXPECT_LT(slowest, 250u) << "over " << answers << " questions";
    EXPECT_EQ(FindMessageBox(pid), nullptr);
    // The page still does what it is asked.
    HWND page = ActivePage(sheet);
    ASSERT_TRUE(PageHolds(page, kRadioMount));
    HWND mount = GetDlgItem(page, kRadioMount);
    PostMessageA(mount, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(mount, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(mount); }, 5000));
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// A slow answer that is whole before the deadline shows its notice; so does one that comes while
// a box of the wizard is up, once that box has closed (and not over it).
TEST(Step1NewVersion, ASlowAnswerInTimeShowsOnceNoBoxIsUp)
{
    constexpr DWORD kInTimeMs = CUpdateCheck::kDeadlineMs - 1500;
    ClearProxies();
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    LocalHttpServer server("Version=2.0\r\n", 200, kInTimeMs);
    ASSERT_TRUE(server.Listening());
    ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", server.Url()}, {"frmAbout", "VersionNumber", "1.0"}}));
    ASSERT_TRUE(brixom.Start(""));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    HWND notice = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (notice = FindNotice(brixom.Process().Pid())) != nullptr; }, 15000));
    EXPECT_EQ(server.Answers(), 1u);
    EXPECT_EQ(WindowText(GetDlgItem(notice, kNoticeHeadline)), "frmGetNewVersion.HasNewVerson 2.0");
    ASSERT_TRUE(ClickButton(notice, kNoticeCancel));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }, 10000));
    EXPECT_TRUE(brixom.CloseSheet(sheet));

    // The box of a dismount is up when the answer comes.
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    ASSERT_NE(disks.Add("boxed.sqv"), 0);
    ASSERT_TRUE(brixom.Start(""));
    sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    const DWORD pid = brixom.Process().Pid();
    HWND page = ActivePage(sheet);
    ASSERT_TRUE(PageHolds(page, kRadioUnmount));
    HWND unmount = GetDlgItem(page, kRadioUnmount);
    PostMessageA(unmount, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(unmount, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(sheet, kFinish)) != FALSE; }, 5000));
    ASSERT_TRUE(ClickButton(sheet, kFinish));
    HWND box = WaitForMessageBox(pid, 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Step1.strCloseSuccess");
    ASSERT_EQ(server.Answers(), 1u) << "the box came up before the answer";
    ASSERT_TRUE(WaitUntil([&] { return server.Answers() == 2; }, 15000));
    Sleep(1500);
    EXPECT_EQ(FindNotice(pid), nullptr) << "no notice over the box";
    ClickButton(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return (notice = FindNotice(pid)) != nullptr; }, 10000)) << "the notice follows the box";
    if (notice) {
        ClickButton(notice, kNoticeCancel);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }, 10000));
    }
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// Two disks listed in letter order; the second chosen alone is dismounted and its image hidden
// again; then all: the list empties and the page turns to mount.
TEST(Step1Dismount, OneChosenDiskThenAllAreDismountedAndProtected)
{
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    const char first = disks.Add("first.sqv");
    const char second = disks.Add("second.sqv");
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    const char low = std::min(first, second), high = std::max(first, second);

    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteEchoLanguage());
    ASSERT_TRUE(brixom.Start("unmount"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    HWND page = ActivePage(sheet);
    ASSERT_TRUE(PageHolds(page, kDiskList));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kRadioCreate)));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kCheckProtect)));
    EXPECT_FALSE(IsChecked(GetDlgItem(page, kCheckAll)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kFinish)));
    HWND list = GetDlgItem(page, kDiskList);
    EXPECT_TRUE(IsWindowEnabled(list));
    EXPECT_EQ(ListEntries(list), (std::vector<std::string>{Root(low), Root(high)}));
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);

    // The second entry alone.
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strCloseSuccess");
    EXPECT_EQ(MountedLetters().count(high), 0u);
    EXPECT_EQ(MountedLetters().count(low), 1u);
    EXPECT_TRUE(disks.IsProtected(high));
    EXPECT_FALSE(disks.IsProtected(low));
    std::vector<std::string> journal = brixom.Journal();
    EXPECT_EQ(CountLines(journal, UnmountLine(high, 1)), 1u);
    EXPECT_EQ(CountLines(journal, ProtectionLine(disks.ImageOf(high), 0)), 1u);
    EXPECT_EQ(CountLines(journal, ProtectionLine(disks.ImageOf(high), 1)), 1u);
    EXPECT_EQ(ListEntries(list), (std::vector<std::string>{Root(low)}));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));

    // All of them: the last one goes, and mount is chosen with Next shown.
    PostMessageA(GetDlgItem(page, kCheckAll), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, kCheckAll)); }, 5000));
    EXPECT_FALSE(IsWindowEnabled(list));
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strCloseSuccess");
    EXPECT_TRUE(MountedLetters().empty() || !MountedLetters().count(low));
    EXPECT_TRUE(disks.IsProtected(low));
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, kRadioMount)); }, 5000));
    EXPECT_TRUE(ListEntries(list).empty());
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kRadioUnmount)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(sheet, kNext)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(sheet, kFinish)));
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// All three with the middle one refused: the first is dismounted and hidden, the refusal asks
// Retry or Cancel with its letter, Retry asks again, Cancel ends with no success and the rest left
// mounted.
TEST(Step1Dismount, RefusedDismountAsksRetryAndCancelEndsWithoutSuccess)
{
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    const std::vector<char> letters = MountThree(disks);
    ASSERT_EQ(letters.size(), 3u);
    const char refused = letters[1];

    BrixomFixture brixom;
    HWND sheet = StartDismountAll(brixom, "unmount-refused=" + std::string(1, refused));
    ASSERT_NE(sheet, nullptr);

    const std::string retry = "Step1.strRetry " + std::string(1, refused);
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDRETRY), retry);
    HWND again = WaitForMessageBox(brixom.Process().Pid(), 10000);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(MessageBoxText(again), retry);
    ClickButton(again, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(again); }, 10000));
    Sleep(1000);
    EXPECT_EQ(FindMessageBox(brixom.Process().Pid()), nullptr) << "no success after Cancel";

    const std::set<char> mounted = MountedLetters();
    EXPECT_EQ(mounted.count(letters[0]), 0u);
    EXPECT_EQ(mounted.count(letters[1]), 1u);
    EXPECT_EQ(mounted.count(letters[2]), 1u);
    EXPECT_TRUE(disks.IsProtected(letters[0]));
    EXPECT_FALSE(disks.IsProtected(letters[1]));
    const std::vector<std::string> journal = brixom.Journal();
    EXPECT_EQ(CountLines(journal, UnmountLine(refused, 0)), 2u);
    EXPECT_EQ(CountLines(journal, ProtectionLine(disks.ImageOf(refused), 0)), 0u);
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                            [&](const std::string& l) { return l.rfind("Tavrin_Unmount(" + std::string(1, letters[2]), 0) == 0; }),
              0);
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// A read-only disk whose owner lifted the rule and wrote on it: dismount-all closes it with the
// others, without its changes, and the end of the run names it instead of a plain success. Left as
// it was, a read-only disk closes with the plain success.
TEST(Step1Dismount, AChangedReadOnlyDiskIsClosedAndToldItsChangesWereNotSaved)
{
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    const char plain = disks.Add("plain.sqv");
    const char readOnly = disks.Add("read-only.sqv", std::string(), true);
    ASSERT_NE(plain, 0);
    ASSERT_NE(readOnly, 0);
    const std::string before = ReadFileBytes(disks.ImageOf(readOnly));
    ASSERT_TRUE(LiftWriteProtection(Root(readOnly)));
    ASSERT_TRUE(WriteFileBytes(Root(readOnly) + "note.txt", "written all the same"));

    BrixomFixture brixom;
    HWND sheet = StartDismountAll(brixom, std::string());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strReadOnlyChangesLost " + Root(readOnly));
    const std::set<char> mounted = MountedLetters();
    EXPECT_EQ(mounted.count(plain), 0u);
    EXPECT_EQ(mounted.count(readOnly), 0u);
    EXPECT_TRUE(ReadFileBytes(disks.ImageOf(readOnly)) == before);
    EXPECT_TRUE(disks.IsProtected(readOnly));
    EXPECT_TRUE(brixom.CloseSheet(sheet));

    const char unchanged = disks.Add("unchanged.sqv", std::string(), true);
    ASSERT_NE(unchanged, 0);
    BrixomFixture again;
    sheet = StartDismountAll(again, std::string());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(FinishAndAnswer(again, sheet, IDOK), "Step1.strCloseSuccess");
    EXPECT_EQ(MountedLetters().count(unchanged), 0u);
    EXPECT_TRUE(again.CloseSheet(sheet));
}

// A disk whose mount record cannot be read is passed over without the Retry box (Retry could
// never help), the others are dismounted, and the end says which one was left instead of claiming
// success. A run that finds nothing left to do says so too.
TEST(Step1Dismount, UnreadableRecordIsPassedOverAndToldAndNothingToDoIsSaid)
{
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    const std::vector<char> letters = MountThree(disks);
    ASSERT_EQ(letters.size(), 3u);
    const char unreadable = letters[1];

    BrixomFixture brixom;
    HWND sheet = StartDismountAll(brixom, "mountinfo-fails=" + std::string(1, unreadable));
    ASSERT_NE(sheet, nullptr);
    HWND page = ActivePage(sheet);
    HWND list = GetDlgItem(page, kDiskList);

    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strNoMountInfo " + Root(unreadable));
    Sleep(500);
    EXPECT_EQ(FindMessageBox(brixom.Process().Pid()), nullptr) << "one message for the run";
    std::set<char> mounted = MountedLetters();
    EXPECT_EQ(mounted.count(letters[0]), 0u);
    EXPECT_EQ(mounted.count(unreadable), 1u);
    EXPECT_EQ(mounted.count(letters[2]), 0u);
    EXPECT_TRUE(disks.IsProtected(letters[0]));
    EXPECT_TRUE(disks.IsProtected(letters[2]));
    EXPECT_FALSE(disks.IsProtected(unreadable));
    std::vector<std::string> journal = brixom.Journal();
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                            [&](const std::string& l) { return l.rfind("Tavrin_Unmount(" + std::string(1, unreadable), 0) == 0; }),
              0);
    EXPECT_EQ(ListEntries(list), (std::vector<std::string>{Root(unreadable)}));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));

    // Closed elsewhere meanwhile: nothing is left to do, and every disk is gone, which is what was
    // asked; the page turns to mount.
    ASSERT_EQ(Tavrin_Unmount(static_cast<uint32_t>(unreadable), 0), 1);
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strCloseSuccess");
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, kRadioMount)); }, 5000));
    EXPECT_TRUE(ListEntries(list).empty());
    EXPECT_TRUE(brixom.CloseSheet(sheet));

    // The chosen disk closed elsewhere while another stays open: its own notice, the list refilled.
    const char kept = disks.Add("d.sqv"), gone = disks.Add("e.sqv");
    ASSERT_NE(kept, 0);
    ASSERT_NE(gone, 0);
    ASSERT_TRUE(brixom.Start("unmount"));
    sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    page = ActivePage(sheet);
    ASSERT_TRUE(PageHolds(page, kDiskList));
    list = GetDlgItem(page, kDiskList);
    const std::vector<std::string> entries = ListEntries(list);
    const auto at = std::find(entries.begin(), entries.end(), Root(gone));
    ASSERT_NE(at, entries.end());
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(at - entries.begin()), 0);
    ASSERT_EQ(Tavrin_Unmount(static_cast<uint32_t>(gone), 0), 1);
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strNothingToDismount");
    EXPECT_EQ(MountedLetters().count(kept), 1u);
    EXPECT_EQ(ListEntries(list), (std::vector<std::string>{Root(kept)}));
    EXPECT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// Disks another program closes while a run is on its way count as closed: the one Retry is asked
// about and one later in the list, both dismounted elsewhere while the box is up. The run ends in
// success, not in a disk "not closed" for want of its image.
TEST(Step1Dismount, DisksClosedElsewhereDuringTheRunCountAsClosed)
{
    TempFolder folder("step1");
    MountedDisks disks(folder.Path());
    const std::vector<char> letters = MountThree(disks);
    ASSERT_EQ(letters.size(), 3u);
    const char refused = letters[0], kept = letters[1], later = letters[2];

    BrixomFixture brixom;
    HWND sheet = StartDismountAll(brixom, "unmount-refused=" + std::string(1, refused));
    ASSERT_NE(sheet, nullptr);
    HWND page = ActivePage(sheet);
    const DWORD pid = brixom.Process().Pid();
    ASSERT_TRUE(ClickButton(sheet, kFinish));
    HWND box = WaitForMessageBox(pid, 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Step1.strRetry " + std::string(1, refused));
    ASSERT_EQ(Tavrin_Unmount(static_cast<uint32_t>(refused), 0), 1);
    ASSERT_EQ(Tavrin_Unmount(static_cast<uint32_t>(later), 0), 1);
    ClickButton(box, IDRETRY);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));

    EXPECT_EQ(AnswerMessageBox(pid, IDOK), "Step1.strCloseSuccess");
    EXPECT_TRUE(MountedLetters().empty() || !MountedLetters().count(kept));
    EXPECT_TRUE(disks.IsProtected(kept));
    const std::vector<std::string> journal = brixom.Journal();
    EXPECT_EQ(CountLines(journal, UnmountLine(refused, 0)), 1u) << "asked once, then found gone";
    EXPECT_EQ(CountLines(journal, UnmountLine(kept, 1)), 1u);
    EXPECT_EQ(std::count_if(journal.begin(), journal.end(),
                            [&](const std::string& l) { return l.rfind("Tavrin_Unmount(" + std::string(1, later), 0) == 0; }),
              0);
    EXPECT_TRUE(WaitUntil([&] { return IsChecked(GetDlgItem(page, kRadioMount)); }, 5000));
    EXPECT_TRUE(ListEntries(GetDlgItem(page, kDiskList)).empty());
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

// With protect off, or for an image on a USB drive, the image is released and left so.
class Step1ReleaseOnly : public ::testing::TestWithParam<bool> {};

TEST_P(Step1ReleaseOnly, ImageIsReleasedAndNotProtectedAgain)
{
    const bool onUsb = GetParam();
    TempFolder folder("step1");
    FakeUsbDrive usb(folder / "usb");
    ASSERT_NE(usb.Letter(), 0);
    MountedDisks disks(folder.Path());
    const char letter = disks.Add("plain.sqv", onUsb ? usb.Root() : std::string());
    ASSERT_NE(letter, 0);
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    ASSERT_TRUE(brixom.WriteEchoLanguage());
    ASSERT_TRUE(brixom.Start("UNMOUNT"));
    HWND sheet = brixom.WaitForSheet();
    ASSERT_NE(sheet, nullptr);
    HWND page = ActivePage(sheet);
    ASSERT_TRUE(IsChecked(GetDlgItem(page, kRadioUnmount)));
    if (!onUsb) {
        PostMessageA(GetDlgItem(page, kCheckProtect), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsChecked(GetDlgItem(page, kCheckProtect)); }, 5000));
    }
    EXPECT_EQ(FinishAndAnswer(brixom, sheet, IDOK), "Step1.strCloseSuccess");
    EXPECT_EQ(MountedLetters().count(letter), 0u);
    EXPECT_FALSE(disks.IsProtected(letter));
    const std::vector<std::string> journal = brixom.Journal();
    EXPECT_EQ(CountLines(journal, ProtectionLine(disks.ImageOf(letter), 0)), 1u);
    EXPECT_EQ(CountLines(journal, ProtectionLine(disks.ImageOf(letter), 1)), 0u);
    EXPECT_TRUE(brixom.CloseSheet(sheet));
}

INSTANTIATE_TEST_SUITE_P(ProtectOffOrUsb, Step1ReleaseOnly, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("ImageOnUsbDrive") : std::string("ProtectOff");
                         });

namespace {

// Web addresses the shell opens go to a recording fake for the length of a test.
class RecordedWebBrowser {
public:
    explicit RecordedWebBrowser(const std::string& recorder) : m_recorder(recorder)
    {
        m_hadCommand = ReadRegistryString(HKEY_CLASSES_ROOT, kCommandKey, "", m_oldCommand);
        m_ready = InstallRecorder(recorder) &&
                  WriteRegistryString(HKEY_CLASSES_ROOT, kCommandKey, "", "\"" + recorder + "\" \"%1\"");
    }
    ~RecordedWebBrowser()
    {
        if (m_hadCommand)
            WriteRegistryString(HKEY_CLASSES_ROOT, kCommandKey, "", m_oldCommand);
        else
            DeleteRegistryValue(HKEY_CLASSES_ROOT, kCommandKey, "");
    }
    bool Ready() const { return m_ready; }
    std::vector<std::string> Opened() const { return RecordedCalls(m_recorder); }

private:
    static constexpr const char* kCommandKey = "http\\shell\\open\\command";
    std::string m_recorder;
    std::string m_oldCommand;
    bool m_hadCommand = false;
    bool m_ready = false;
};

}  // namespace

// Update opens the download address only when it is a web page; anything else (here a program of
// the disk) gives way to the product's home page.
TEST(Step1NewVersion, UpdateOpensOnlyAWebAddress)
{
    ClearProxies();
    BrixomFixture brixom;
    ASSERT_TRUE(brixom.Ready());
    RecordedWebBrowser browser(brixom.Path("browser.exe"));
    ASSERT_TRUE(browser.Ready());
    const std::string program = brixom.Path("notaweb.exe");
    ASSERT_TRUE(InstallRecorder(program));
    const std::string homePage = "http://127.0.0.1/home";
    struct Case {
        std::string address;
        std::string opened;
    };
    const Case cases[] = {
        {"http://127.0.0.1/download", "http://127.0.0.1/download"},
        {program, homePage},
        {"", homePage},
    };
    size_t opened = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE("address [" + c.address + "]");
        LocalHttpServer server("Version=5.0\r\nUrl=" + c.address + "\r\n");
        ASSERT_TRUE(server.Listening());
        ASSERT_TRUE(brixom.WriteEchoLanguage({{"Product", "UpdateUrl", server.Url()},
                                               {"Product", "ProductHomePage", homePage},
                                               {"frmAbout", "VersionNumber", "4.9"}}));
        ASSERT_TRUE(brixom.Start(""));
        HWND sheet = brixom.WaitForSheet();
        ASSERT_NE(sheet, nullptr);
        HWND notice = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (notice = FindNotice(brixom.Process().Pid())) != nullptr; }, 15000));
        ASSERT_TRUE(ClickButton(notice, kNoticeUpdate));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(notice); }, 10000));
        ++opened;
        ASSERT_TRUE(WaitUntil([&] { return browser.Opened().size() >= opened; }, 10000));
        EXPECT_EQ(browser.Opened().back(), "\"" + c.opened + "\"");
        EXPECT_TRUE(brixom.CloseSheet(sheet));
    }
    EXPECT_TRUE(RecordedCalls(program).empty());
}
