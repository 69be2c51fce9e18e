// Lumetta.exe driven from outside, started from a copy of the program folder whose brixom.exe is
// the recording fake: one copy per log-on, a hidden window that only WM_CLOSE ends, each menu
// command starting Brixom with its verb, no double-click start while Brixom runs, and the USB
// commands following the USB drives the device events announce.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "DeviceEvents.h"
#include "FakeUsbDrive.h"
#include "HandleOwner.h"
#include "LanguageFixture.h"
#include "Paths.h"
#include "Recorder.h"
#include "TempFolder.h"
#include "UnmanagedWindows.h"
#include "WindowDriver.h"
#include "resource.h"

using namespace harness;

namespace {

constexpr UINT kTrayNotify = 0x044C;
constexpr const char* kMutexName = "Norvalix_Sequora_Lumetta";
// Lumetta's test seam: "before-mutex" holds a starting copy between looking for the mutex and
// creating it.
constexpr const char* kHoldVariable = "SEQUORA_LUMETTA_HOLD";

// The hidden dialog of a Lumetta process; null when it has none.
HWND HiddenDialogOf(DWORD pid)
{
    for (HWND window : TopLevelWindows(pid)) {
        if (ClassNameOf(window) == "#32770" && !IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

class LumettaProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFolder(ProgramDir(), m_folder.Path()));
        m_brixom = m_folder / "brixom.exe";
        ASSERT_TRUE(InstallRecorder(m_brixom));
        ASSERT_TRUE(WriteEchoLanguageFile(JoinPath(ProgramDir(), "Lang\\Sequora.ini"),
                                          m_folder / "Lang\\Sequora.ini"));
        m_lumetta = m_folder / "Lumetta.exe";
    }

    // Starts a copy and waits for its hidden window.
    HWND Start(ChildProcess& process)
    {
        if (!process.Start(m_lumetta, "", m_folder.Path()))
            return nullptr;
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = HiddenDialogOf(process.Pid())) != nullptr; }, 10000);
        return dialog;
    }

    // Brixom's starts so far, after waiting a moment for late ones.
    std::vector<std::string> CallsAfterAWhile(DWORD ms = 1500)
    {
        Sleep(ms);
        return RecordedCalls(m_brixom);
    }

    TempFolder m_folder{"lumetta"};
    UnmanagedWindows m_unmanaged{"Lumetta.exe"};
    std::string m_brixom;
    std::string m_lumetta;
};

}  // namespace

TEST_F(LumettaProgram, OneCopyRunsPerLogOn)
{
    {
        // A copy that finds the mutex ends before it shows anything.
        const KernelHandle other(CreateMutexA(nullptr, TRUE, kMutexName));
        ASSERT_TRUE(other);
        ChildProcess late;
        ASSERT_TRUE(late.Start(m_lumetta, "", m_folder.Path()));
        EXPECT_TRUE(late.Wait(5000));
        EXPECT_TRUE(TopLevelWindows(late.Pid()).empty());
    }
    ChildProcess first;
    HWND dialog = Start(first);
    ASSERT_NE(dialog, nullptr);
    ChildProcess second;
    ASSERT_TRUE(second.Start(m_lumetta, "", m_folder.Path()));
    EXPECT_TRUE(second.Wait(5000)) << "a second copy ends at once";
    EXPECT_TRUE(first.IsRunning());
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Wait(5000));
}

// Two copies that both looked for the mutex before either created it, as two starts at one moment
// may: held past the first step by Lumetta's test seam, then let go together. Exactly one stays.
TEST_F(LumettaProgram, TwoCopiesStartedTogetherLeaveOne)
{
    ChildProcess a, b;
    SetEnvironmentVariableA(kHoldVariable, "before-mutex");
    const bool started = a.Start(m_lumetta, "", m_folder.Path()) && b.Start(m_lumetta, "", m_folder.Path());
    SetEnvironmentVariableA(kHoldVariable, nullptr);
    ASSERT_TRUE(started);
    ASSERT_TRUE(WaitUntil([&] { return a.IsMainThreadSuspended() && b.IsMainThreadSuspended(); }, 15000))
        << "both copies got past looking for the mutex";
    EXPECT_FALSE(KernelHandle(OpenMutexA(SYNCHRONIZE, FALSE, kMutexName))) << "neither has created it yet";
    EXPECT_TRUE(a.Resume());
    EXPECT_TRUE(b.Resume());

    ASSERT_TRUE(WaitUntil([&] { return !a.IsRunning() || !b.IsRunning(); }, 10000)) << "one copy ends";
    ChildProcess& survivor = a.IsRunning() ? a : b;
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (dialog = HiddenDialogOf(survivor.Pid())) != nullptr; }, 10000));
    Sleep(1000);
    EXPECT_EQ(int(a.IsRunning()) + int(b.IsRunning()), 1) << "the other stays";
    if (dialog)
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(survivor.Wait(5000));
}

TEST_F(LumettaProgram, TheHiddenWindowOutlivesEnterAndEscAndEndsOnClose)
{
    ChildProcess lumetta;
    HWND dialog = Start(lumetta);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowVisible(dialog));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        PostMessageA(dialog, WM_KEYDOWN, key, 1);
        PostMessageA(dialog, WM_KEYUP, key, 0xC0000001);
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(lumetta.Wait(1500)) << "Enter and Esc do not end Lumetta";
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));

    // Exit from the menu ends it.
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_EXIT, 0);
    EXPECT_TRUE(lumetta.Wait(5000));
    EXPECT_TRUE(RecordedCalls(m_brixom).empty());
}

TEST_F(LumettaProgram, EachCommandStartsBrixomWithItsVerb)
{
    ChildProcess lumetta;
    HWND dialog = Start(lumetta);
    ASSERT_NE(dialog, nullptr);
    const struct {
        UINT id;
        const char* verb;
    } commands[] = {
        {ID_TRAY_MAKE_ON_HDD, "create_hdd"},
        {ID_TRAY_MOUNT_HDD, "mount_hdd"},
        {ID_TRAY_UNMOUNT, "unmount"},
        {ID_TRAY_MOUNT_HIDDEN_HDD, "mount_hiddenhdd"},
    };
    std::vector<std::string> expected;
    for (const auto& c : commands) {
        PostMessageA(dialog, WM_COMMAND, c.id, 0);
        expected.push_back(c.verb);
        ASSERT_TRUE(WaitForRecordedCalls(m_brixom, expected.size())) << c.verb;
    }
    // A double-click on the icon starts it with no verb.
    PostMessageA(dialog, kTrayNotify, 0, WM_LBUTTONDBLCLK);
    expected.push_back("");
    ASSERT_TRUE(WaitForRecordedCalls(m_brixom, expected.size()));
    EXPECT_EQ(CallsAfterAWhile(500), expected);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(lumetta.Wait(5000));
}

TEST_F(LumettaProgram, ADoubleClickStartsNoSecondBrixom)
{
    ChildProcess lumetta;
    HWND dialog = Start(lumetta);
    ASSERT_NE(dialog, nullptr);
    TempFolder elsewhere("running brixom");
    const struct {
        const char* name;
        bool starts;
    } cases[] = {{"brixom.exe", false}, {"Brixom.exe", true}};
    size_t calls = 0;
    for (const auto& c : cases) {
        // A Brixom running from another folder, by a file name in this letter case.
        const std::string running = elsewhere / c.name;
        ASSERT_TRUE(CopyFileA(PeerWindowPath().c_str(), running.c_str(), FALSE));
        ChildProcess brixom;
        ASSERT_TRUE(brixom.Start(running));
        ASSERT_NE(WaitForWindow(brixom.Pid()), nullptr);
        PostMessageA(dialog, kTrayNotify, 0, WM_LBUTTONDBLCLK);
        if (c.starts)
            ++calls;
        EXPECT_EQ(CallsAfterAWhile().size(), calls) << c.name;
        brixom.Kill();
        brixom.Wait(5000);
        DeleteFileA(running.c_str());
    }
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(lumetta.Wait(5000));
}

TEST_F(LumettaProgram, TheUsbCommandsFollowTheDrivesTheDeviceEventsAnnounce)
{
    ChildProcess lumetta;
    HWND dialog = Start(lumetta);
    ASSERT_NE(dialog, nullptr);
    Sleep(500);     // the count made at start

    // No USB drive: the notice, and nothing started.
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MAKE_ON_USB, 0);
    HWND box = WaitForMessageBox(lumetta.Pid());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), EchoText("Lumetta", "strNoUSB"));
    EXPECT_EQ(WindowText(box), EchoText("Product", "Product short Name") + " " + EchoText("frmAbout", "VersionNumber"));
    EXPECT_EQ(AnswerMessageBox(lumetta.Pid(), IDOK), EchoText("Lumetta", "strNoUSB"));

    // A drive arrives: both USB commands start Brixom.
    TempFolder stick("lumetta usb");
    FakeUsbDrive drive(stick / "drive");
    ASSERT_NE(drive.Letter(), 0);
    ASSERT_TRUE(SendVolumeArrival(dialog, drive.Letter()));
    Sleep(500);
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MAKE_ON_USB, 0);
    ASSERT_TRUE(WaitForRecordedCalls(m_brixom, 1));
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MOUNT_USB, 0);
    ASSERT_TRUE(WaitForRecordedCalls(m_brixom, 2));
    EXPECT_EQ(RecordedCalls(m_brixom), (std::vector<std::string>{"create_usb", "mount_usb"}));

    // It is pulled: the notice again.
    ASSERT_TRUE(drive.Remove());
    ASSERT_TRUE(SendVolumeRemoval(dialog, drive.Letter()));
    Sleep(500);
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MOUNT_USB, 0);
    EXPECT_EQ(AnswerMessageBox(lumetta.Pid(), IDOK), EchoText("Lumetta", "strNoUSB"));
    EXPECT_EQ(RecordedCalls(m_brixom).size(), 2u);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(lumetta.Wait(5000));
}

TEST_F(LumettaProgram, WithoutItsLanguageFileEveryTextIsQuestionMarks)
{
    ASSERT_TRUE(DeleteFileA((m_folder / "Lang\\Sequora.ini").c_str()));
    ChildProcess lumetta;
    HWND dialog = Start(lumetta);
    ASSERT_NE(dialog, nullptr) << "it still runs";
    Sleep(500);
    PostMessageA(dialog, WM_COMMAND, ID_TRAY_MOUNT_USB, 0);
    HWND box = WaitForMessageBox(lumetta.Pid());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "???");
    EXPECT_EQ(WindowText(box), "??? ???");
    AnswerMessageBox(lumetta.Pid(), IDOK);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(lumetta.Wait(5000));
}
