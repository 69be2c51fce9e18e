// Lumetta's helpers in process: the log-on start value in a Run key of the test's own, the search
// for a running Brixom among real processes, and the USB drive count over fake drives.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "AutoStart.h"
#include "ChildProcess.h"
#include "FakeUsbDrive.h"
#include "MainProgram.h"
#include "Paths.h"
#include "ProgramFolder.h"
#include "Recorder.h"
#include "Registry.h"
#include "TempFolder.h"
#include "UsbCount.h"
#include "WindowDriver.h"

using namespace harness;

namespace {

constexpr const char* kScratch = "Software\\Sequora tests\\current user";

// HKEY_CURRENT_USER is a scratch key of the test's own while the fixture lives, so the Run key
// the test fills is not the user's.
class RunKeyFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteRegistryTree(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kScratch, &m_scratch), ERROR_SUCCESS);
        ASSERT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, m_scratch), ERROR_SUCCESS);
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kRunKey, &m_run), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(m_run);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_scratch);
        DeleteRegistryTree(HKEY_CURRENT_USER, kScratch);
    }

    void Store(DWORD type, const std::string& bytes)
    {
        ASSERT_EQ(RegSetValueExA(m_run, kAutoStartValue, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // The value as stored: false when there is none.
    bool Stored(std::string& text, DWORD& type)
    {
        char buffer[1024] = {};
        DWORD bytes = sizeof buffer;
        if (RegQueryValueExA(m_run, kAutoStartValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes) !=
            ERROR_SUCCESS)
            return false;
        text.assign(buffer, bytes);
        return true;
    }
    bool Stored()
    {
        std::string text;
        DWORD type = 0;
        return Stored(text, type);
    }

    HKEY m_scratch = nullptr;
    HKEY m_run = nullptr;
};

std::string WithNul(const std::string& text)
{
    return text + std::string(1, '\0');
}

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST_F(RunKeyFixture, TheValueCountsAsOnOnlyWhenItIsTheQuotedPathAsAString)
{
    const std::string quoted = AutoStartText();
    ASSERT_EQ(quoted, "\"" + GetModulePath() + "\"");
    const struct {
        const char* what;
        DWORD type;
        std::string bytes;
        BOOL on;
    } cases[] = {
        {"the quoted path", REG_SZ, WithNul(quoted), 1},
        {"in other letter case", REG_SZ, WithNul(Upper(quoted)), 1},
        {"as an expandable string", REG_EXPAND_SZ, WithNul(quoted), 1},
        {"without the quotes", REG_SZ, WithNul(GetModulePath()), 0},
        {"another program", REG_SZ, WithNul("\"C:\\other\\Lumetta.exe\""), 0},
        {"binary with the same bytes", REG_BINARY, WithNul(quoted), 0},
        {"longer than 260 bytes", REG_SZ, WithNul(quoted + std::string(300, ' ')), 0},
        {"empty", REG_SZ, WithNul(""), 0},
    };
    EXPECT_EQ(IsAutoStartEnabled(), 0) << "absent";
    for (const auto& c : cases) {
        Store(c.type, c.bytes);
        EXPECT_EQ(IsAutoStartEnabled(), c.on) << c.what;
    }
}

TEST_F(RunKeyFixture, SwitchingOnWritesTheQuotedPathAndOffLeavesNoValue)
{
    EXPECT_EQ(SetAutoStart(TRUE), 1);
    std::string text;
    DWORD type = 0;
    ASSERT_TRUE(Stored(text, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(text, WithNul(AutoStartText())) << "the text and its terminator";
    EXPECT_EQ(IsAutoStartEnabled(), 1);

    EXPECT_EQ(SetAutoStart(FALSE), 1);
    EXPECT_FALSE(Stored());
    EXPECT_EQ(IsAutoStartEnabled(), 0);
    EXPECT_EQ(SetAutoStart(FALSE), 1) << "off again, with nothing to delete";
    EXPECT_FALSE(Stored());
}

TEST_F(RunKeyFixture, SwitchingOnRewritesOnlyWhatIsNotAlreadyOn)
{
    // The same path in another case is on already: left as it is.
    const std::string upper = WithNul(Upper(AutoStartText()));
    Store(REG_SZ, upper);
    EXPECT_EQ(SetAutoStart(TRUE), 1);
    std::string text;
    DWORD type = 0;
    ASSERT_TRUE(Stored(text, type));
    EXPECT_EQ(text, upper);

    // The path without its quotes is not: rewritten.
    Store(REG_SZ, WithNul(GetModulePath()));
    EXPECT_EQ(SetAutoStart(TRUE), 1);
    ASSERT_TRUE(Stored(text, type));
    EXPECT_EQ(text, WithNul(AutoStartText()));
}

TEST_F(RunKeyFixture, ARunKeyThatCannotBeOpenedIsOffAndSwitchingSaysSo)
{
    RegCloseKey(m_run);
    m_run = nullptr;
    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, kRunKey), ERROR_SUCCESS);
    EXPECT_EQ(IsAutoStartEnabled(), 0);
    for (BOOL on : {TRUE, FALSE}) {
        std::string shown;
        std::thread answer([&] { shown = AnswerMessageBox(GetCurrentProcessId(), IDOK); });
        EXPECT_EQ(SetAutoStart(on), 0);
        answer.join();
        EXPECT_EQ(shown, "Fail to set the option!");
    }
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kRunKey, &m_run), ERROR_SUCCESS);
}

TEST(MainProgramSearch, OnlyALowerCaseBrixomExeCounts)
{
    const struct {
        const char* path;
        bool brixom;
    } cases[] = {
        {"C:\\Program Files\\Sequora\\brixom.exe", true},
        {"Z:\\work\\brixom.exe.bak\\other.exe", true},
        {"C:\\Program Files\\Sequora\\Brixom.exe", false},
        {"C:\\Program Files\\Sequora\\BRIXOM.EXE", false},
        {"C:\\Program Files\\Sequora\\Lumetta.exe", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsMainProgramPath(c.path), c.brixom) << c.path;
    EXPECT_FALSE(IsMainProgramPath(nullptr));
}

TEST(MainProgramSearch, FindsARunningBrixomByItsFirstModulesPath)
{
    TempFolder folder("brixom search");
    ASSERT_EQ(FindMainProgramProcess(), 0u) << "no Brixom runs before the test";
    // A window program of ours stands in for Brixom, first under the name in another case.
    const std::string upper = folder / "Brixom.exe";
    ASSERT_TRUE(CopyFileA(PeerWindowPath().c_str(), upper.c_str(), FALSE));
    {
        ChildProcess other;
        ASSERT_TRUE(other.Start(upper));
        ASSERT_NE(WaitForWindow(other.Pid()), nullptr);
        EXPECT_EQ(FindMainProgramProcess(), 0u) << "Brixom.exe is not brixom.exe";
    }
    const std::string lower = folder / "brixom.exe";
    DeleteFileA(upper.c_str());
    ASSERT_TRUE(CopyFileA(PeerWindowPath().c_str(), lower.c_str(), FALSE));
    ChildProcess brixom;
    ASSERT_TRUE(brixom.Start(lower));
    ASSERT_NE(WaitForWindow(brixom.Pid()), nullptr);
    EXPECT_EQ(FindMainProgramProcess(), brixom.Pid());
    brixom.Kill();
    brixom.Wait(5000);
    EXPECT_EQ(FindMainProgramProcess(), 0u);
}

TEST(MainProgramSearch, BrixomIsStartedFromLumettasFolderWithItsVerb)
{
    EXPECT_EQ(GetMainProgramPath(), "\"" + FolderOfPath(GetModulePath()) + "\\brixom.exe\"");
    const std::string fake = JoinPath(TestBinDir(), "brixom.exe");
    ASSERT_TRUE(InstallRecorder(fake));
    LaunchMainProgram("create_hdd");
    ASSERT_TRUE(WaitForRecordedCalls(fake, 1));
    LaunchMainProgram("");
    ASSERT_TRUE(WaitForRecordedCalls(fake, 2));
    EXPECT_EQ(RecordedCalls(fake), (std::vector<std::string>{"create_hdd", ""}));
    DeleteFileA(fake.c_str());
    DeleteFileA((fake + ".log").c_str());
    LaunchMainProgram("unmount");       // nothing there: passes silently
}

TEST(UsbCount, CountsTheRemovableDrivesEvenWithEveryLetterInUse)
{
    const int before = CountUsbDisks();
    TempFolder folder("usb count");
    FakeUsbDrive first(folder / "first");
    FakeUsbDrive second(folder / "second");
    ASSERT_NE(first.Letter(), 0);
    ASSERT_NE(second.Letter(), 0);
    EXPECT_EQ(CountUsbDisks(), before + 2);

    // Every other letter as a fixed drive: the drive strings then need 105 characters.
    std::vector<char> fixed;
    const DWORD used = GetLogicalDrives();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (used & (1u << (letter - 'A')))
            continue;
        if (DefineWineDrive(letter, DRIVE_FIXED, UnixPathOf(folder.Path())))
            fixed.push_back(letter);
    }
    char roots[512] = {};
    const DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    EXPECT_EQ(length, 26u * 4) << "all 26 letters in use";
    EXPECT_EQ(CountUsbDisks(), before + 2);
    for (char letter : fixed)
        DefineWineDrive(letter, DRIVE_NO_ROOT_DIR, "");

    // The worker stores what it counts; a pulled drive is gone at the next count.
    second.Remove();
    CountUsbDisksThread(nullptr);
    EXPECT_EQ(g_nUsbDiskCount, before + 1);
    ASSERT_TRUE(StartUsbDiskCount(nullptr));
    first.Remove();
    ASSERT_TRUE(StartUsbDiskCount(nullptr));
    EXPECT_TRUE(WaitUntil([&] { return g_nUsbDiskCount == before; }, 5000));
}
