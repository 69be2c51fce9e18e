// Feedback.exe as the wizard starts it: titled from the language file it is given, it keeps what
// the user wrote when Send is pressed.
#include "ChildProcess.h"
#include "LanguageFixture.h"
#include "Paths.h"
#include "TempFolder.h"
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <set>

namespace {

constexpr int kTextId = 1002;

std::string FeedbackProgram() { return harness::JoinPath(harness::ProgramDir(), "Feedback.exe"); }

std::string FeedbackFolder()
{
    char appData[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, 0, appData);
    return std::string(appData) + "\\Sequora\\Feedback";
}

std::set<std::string> SavedNotes()
{
    std::set<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((FeedbackFolder() + "\\*.txt").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(data.cFileName);
    while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

}  // namespace

TEST(Feedback, SendKeepsTheNoteUnderTheTitleOfTheLanguageFile)
{
    harness::TempFolder folder("feedback");
    const std::string language = folder / "Sequora.ini";
    ASSERT_TRUE(harness::WriteLanguageFile(language, {{"Product", "Product short Name", "Sequora Test"},
                                                      {"frmAbout", "VersionNumber", "2.5"},
                                                      {"Feedback", "btnSend", "Send it"}}));
    const auto before = SavedNotes();
    harness::ChildProcess program;
    ASSERT_TRUE(program.Start(FeedbackProgram(), "\"" + language + "\""));
    HWND dialog = harness::WaitForWindow(program.Pid(), nullptr, "Sequora Test 2.5");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Send it", harness::WindowText(GetDlgItem(dialog, IDOK)));
    EXPECT_EQ("Close", harness::WindowText(GetDlgItem(dialog, IDCANCEL)));
    const std::string note = "The disk wizard works well.";
    ASSERT_TRUE(SendMessageA(GetDlgItem(dialog, kTextId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(note.c_str())));
    ASSERT_TRUE(harness::ClickButton(dialog, IDOK));
    HWND box = harness::WaitForMessageBox(program.Pid());
    ASSERT_NE(nullptr, box);
    ASSERT_TRUE(harness::ClickButton(box, IDOK));
    ASSERT_TRUE(program.Wait(10000));
    EXPECT_EQ(0u, program.ExitCode());

    std::set<std::string> added;
    for (const std::string& name : SavedNotes())
        if (!before.count(name))
            added.insert(name);
    ASSERT_EQ(1u, added.size());
    const std::string saved = FeedbackFolder() + "\\" + *added.begin();
    EXPECT_EQ(note, harness::ReadFileBytes(saved));
    DeleteFileA(saved.c_str());
}

TEST(Feedback, WithoutALanguageFileItShowsDefaultsAndCloseKeepsNothing)
{
    const auto before = SavedNotes();
    harness::ChildProcess program;
    ASSERT_TRUE(program.Start(FeedbackProgram(), "\"C:\\no such folder\\Sequora.ini\""));
    HWND dialog = harness::WaitForWindow(program.Pid(), nullptr, "Feedback");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ("Send", harness::WindowText(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(harness::ClickButton(dialog, IDCANCEL));
    ASSERT_TRUE(program.Wait(10000));
    EXPECT_EQ(before, SavedNotes());
}
