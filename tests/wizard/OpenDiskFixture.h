#pragma once
// What the tests of pages 3 and 4 share: disk images of the test's own made through our Tavrin
// (optionally holding a file), hidden through our Quilmar or listed in its registry key directly,
// Brixom started on the echo language file, and the reading and driving of its page controls from
// the test process.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "BrixomFixture.h"
#include "MountedLetters.h"
#include "TempFolder.h"
#include "UnmanagedWindows.h"

namespace opentest {

// Control ids of the sheet and pages 3 and 4, as a user's driver sees them.
constexpr int kNext = 170, kBack = 172, kFinish = 173, kCancel = 174;
constexpr int kImageEdit = 1000, kBrowse = 1001, kPasswordEdit = 1006, kShowPassword = 1007, kProtectedList = 1035,
              kUsbList3 = 1052, kKindHidden = 1034, kKindUsb = 1073, kKindNormal = 1074;
constexpr int kReadOnly = 1002, kLetterList = 1016, kUsbList4 = 1017, kOptionMount = 1043, kOptionUnprotect = 1044,
              kOptionPortable = 1045, kOptionRepair = 1046;

constexpr const char* kQuilmarList = "Software\\Quilmar\\Protected";

// The layout's places on a drive.
std::string WorkPlaceOn(char letter);
std::string RestPlaceOn(char letter);
std::string AuxFolderOn(char letter);

// Makes an image through Tavrin with `password`; `files` (name, bytes) are written into it through a
// mount of the test's own. False when any step fails.
bool MakeImage(const std::string& path, const std::string& password, unsigned sizeMB = 2,
               const std::vector<std::pair<std::string, std::string>>& files = {});
// Mounts an image on a free letter of Tavrin's choice, for a test's own look inside; 0 on failure.
char MountForTest(const std::string& path, bool readOnly);
bool Dismount(char letter);

// The protected list: an entry as Quilmar keeps it ("kind state"), straight in the registry.
bool ListEntry(const std::string& path, int kind, int state);
// The entry's "kind state" prefix, "" when the path is not listed.
std::string EntryOf(const std::string& path);
bool IsProtected(const std::string& path);       // listed "1 1" and hidden
void ForgetProtection(const std::string& path);  // entry gone, attributes normal, no mount mark

// A portable layout of the test's own on a drive: folders and the image at rest.
bool MakeLayoutAtRest(char letter, const std::string& imageBytes);

// The protected list emptied for a test and emptied again when it ends.
class ProtectedListGuard {
public:
    ProtectedListGuard();
    ~ProtectedListGuard();
    ProtectedListGuard(const ProtectedListGuard&) = delete;
    ProtectedListGuard& operator=(const ProtectedListGuard&) = delete;
};

// How page 3 lists a path: the first character as it is, the rest in lower case.
std::string Listed(const std::string& path);

// Cross-process reading and driving of Brixom's controls.
std::vector<std::string> ListViewTexts(HWND list);
int ListViewSelectedCount(HWND list);
bool SelectListViewItem(HWND list, int item);
bool SelectComboEntry(HWND combo, const std::string& text);
bool SetText(HWND window, const std::string& text);
bool IsEnabled(HWND dialog, int id);

// The highest letter from C to Z no drive uses now, as page 4 offers it; 0 when none.
char HighestFreeLetter();

// Lines added to a journal since it held `before` lines.
std::vector<std::string> Since(const std::vector<std::string>& lines, size_t before);
// Journal lines of the calls a test cares about, in order.
std::vector<std::string> CallsOf(const std::vector<std::string>& journal, const std::vector<std::string>& names);
std::string ReleaseLine(const std::string& path, int result = 1);
std::string ProtectLine(const std::string& path, int result = 1);
std::string GetInfoLine(const std::string& path, int result = 1);

// Brixom from a copy of the program folder, reading an echo language file, so every message names
// its own key.
class OpenDiskFixture : public BrixomFixture {
public:
    OpenDiskFixture();
    ~OpenDiskFixture();

    const harness::TempFolder& Images() const { return m_images; }
    std::string Image(const std::string& name) const { return m_images / name; }

    // Starts Brixom with the verb and waits for the sheet (the wizard window, not a wait box).
    HWND StartOn(const std::string& verb, const std::string& faults = std::string());
    HWND Sheet() const { return m_sheet; }
    HWND Page() const;                       // the page shown now
    HWND PageControl(int id) const;          // a control of the page shown now

    // Clicks a sheet button and returns the text of the message box that follows (answered with
    // `answer`), or "" when none shows within `waitMs`.
    std::string PressAndAnswer(int button, int answer = IDOK, DWORD waitMs = 10000);
    // Answers the message box showing now (or within `waitMs`); its text, "" when none.
    std::string Answer(int answer, DWORD waitMs = 10000);
    // Waits until the page holding `id` is the one shown.
    bool WaitForPageWith(int id, DWORD timeoutMs = 10000);
    // Clicks a page radio or check box as a user would.
    bool Click(int id);
    // Waits for page 4's start-up step (Finish enabled).
    bool WaitForPage4Ready(DWORD timeoutMs = 10000);
    // On page 3's hidden kind: chooses list item `item`, types the password, presses Next and waits
    // for page 4.
    bool OpenListedImage(int item, const std::string& password);
    // Ends the wizard with its Cancel button and waits for the program to end.
    bool Cancel();
    // Waits for the program to end by itself (after a finished operation).
    bool WaitForEnd(DWORD timeoutMs = 30000);
    // A letter the program mounts is dismounted when the test ends, whatever happened meanwhile.
    void DismountAtEnd(char letter) { m_mounted.push_back(letter); }

private:
    // Message boxes and the scanning box close at once on the tests' bare display.
    harness::UnmanagedWindows m_unmanaged{"brixom.exe"};
    harness::TempFolder m_images;
    HWND m_sheet = nullptr;
    std::vector<char> m_mounted;
};

}  // namespace opentest
