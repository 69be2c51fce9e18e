// Obentil, the launcher the wizard starts the tray manager with: it starts the program named after
// the "|" with that program's arguments, and ends without waiting for it.
#include "ChildProcess.h"
#include "Paths.h"
#include "Recorder.h"
#include "TempFolder.h"
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The launcher of this build's own architecture; the other one lies beside it.
std::string Launcher()
{
    return harness::JoinPath(harness::ProgramDir(), sizeof(void*) == 8 ? "Obentil64.exe" : "Obentil32.exe");
}

}  // namespace

TEST(Obentil, BothLaunchersAreInTheProgramFolder)
{
    EXPECT_TRUE(harness::FileExists(harness::JoinPath(harness::ProgramDir(), "Obentil32.exe")));
    EXPECT_TRUE(harness::FileExists(harness::JoinPath(harness::ProgramDir(), "Obentil64.exe")));
}

TEST(Obentil, StartsTheProgramAfterTheBarWithItsArguments)
{
    harness::TempFolder folder("obentil");
    const std::string program = folder / "Lumetta Copy.exe";
    ASSERT_TRUE(harness::InstallRecorder(program));
    struct Case {
        const char* name;
        std::string parameters;
        std::string recorded;
    };
    const Case cases[] = {{"as the wizard starts the tray manager", "|\"" + program + "\"", ""},
                          {"with arguments", "|\"" + program + "\" mount_hdd \"a b\"", "mount_hdd \"a b\""},
                          {"blanks round the bar", "  |  \"" + program + "\" x  ", "x"}};
    size_t count = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(0u, harness::RunAndWait(Launcher(), c.parameters, 20000)) << c.name;
        ASSERT_TRUE(harness::WaitForRecordedCalls(program, ++count)) << c.name;
        EXPECT_EQ(c.recorded, harness::RecordedCalls(program).back()) << c.name;
    }
}

TEST(Obentil, NeverWaitsForTheProgram)
{
    const std::string peer = harness::PeerWindowPath();
    const std::string title = "Started by the launcher";
    const DWORD exitCode = harness::RunAndWait(Launcher(), "|\"" + peer + "\" " + title, 20000);
    EXPECT_EQ(0u, exitCode);
    HWND window = nullptr;
    harness::WaitUntil([&] { return (window = FindWindowA(nullptr, title.c_str())) != nullptr; }, 10000);
    ASSERT_NE(nullptr, window) << "the started program runs on after the launcher ended";
    PostMessageA(window, WM_CLOSE, 0, 0);
}

TEST(Obentil, WithoutAProgramStartsNothing)
{
    harness::TempFolder folder("obentil");
    const std::string program = folder / "target.exe";
    ASSERT_TRUE(harness::InstallRecorder(program));
    EXPECT_EQ(2u, harness::RunAndWait(Launcher(), "\"" + program + "\"", 20000)) << "no bar";
    EXPECT_EQ(2u, harness::RunAndWait(Launcher(), "|   ", 20000)) << "nothing after the bar";
    EXPECT_EQ(1u, harness::RunAndWait(Launcher(), "|\"" + (folder / "missing.exe") + "\"", 20000));
    Sleep(300);
    EXPECT_TRUE(harness::RecordedCalls(program).empty());
}
