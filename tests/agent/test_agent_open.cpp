// Agent started from a USB drive holding a portable disk: the password is checked, the disk
// opened on a free letter and shown in the shell, Agent waits in the tray, and Exit (or a close
// from outside) dismounts and puts the image back at rest. Faults end in Agent's own messages
// without the image going astray.
#include "AgentFixture.h"

#include "Paths.h"
#include "Recorder.h"
#include "WindowDriver.h"

extern "C" {
uint32_t __cdecl Tavrin_FindFreeDriveLetter(void);
uint32_t __cdecl Tavrin_GetMountedMask(void);
}

using namespace agenttest;
using harness::FileExists;

namespace {

char NextLetter() { return static_cast<char>(Tavrin_FindFreeDriveLetter() & 0xFF); }

std::string OnLetter(char letter, const char* name) { return std::string(1, letter) + ":\\" + name; }

}  // namespace

class AgentOpen : public AgentTest {
protected:
    // Types the password, chooses Open and waits for the disk and for Agent to go to the tray.
    char OpenDisk(const std::string& password)
    {
        const char letter = NextLetter();
        TypePassword(password);
        ChooseFromPasswordMenu(0);
        EXPECT_TRUE(WaitForLetter(letter, true)) << letter;
        EXPECT_TRUE(WaitForTray());
        return letter;
    }

    void ExpectAtRest()
    {
        EXPECT_TRUE(FileExists(RestPlace()));
        EXPECT_FALSE(FileExists(WorkPlace()));
    }
};

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
    const struct {
        const char* typed;
        const char* key;
    } rows[] = {{"", "strNoPassword"}, {"Secret1", "strErrorPassword"}, {"secret", "strErrorPassword"},
                {"secret1x", "strErrorPassword"}, {"secret 1", "strErrorPassword"}};
    for (const auto& row : rows) {
        TypePassword(row.typed);
        ChooseFromPasswordMenu(0);
        std::string caption;
        EXPECT_EQ(Text(row.key), AnswerMessageBox(IDOK, &caption)) << row.typed;
        EXPECT_EQ(Text("Title"), caption);
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
        const char* key;
    } rows[] = {{"mount-fails", false, "strOpenFailed"},
                {"tavrin-not-ready,tavrin-install-fails", false, "strInstallDriverFailed"},
                {"", true, "strReadFailed"}};
    for (const auto& row : rows) {
        if (row.removeImage) {
            ASSERT_TRUE(MoveFileA(RestPlace().c_str(), (m_temp / "away.img").c_str()));
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
    }
}
