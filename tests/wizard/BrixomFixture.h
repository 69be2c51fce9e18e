#pragma once
// A copy of the program folder of the test's own, with recording launchers in place of Obentil and
// Feedback.exe and a language file of the test's choice, and Brixom started from it.
#include <windows.h>

#include <string>
#include <vector>

#include "ChildProcess.h"
#include "LanguageFixture.h"
#include "TempFolder.h"

class BrixomFixture {
public:
    BrixomFixture();
    ~BrixomFixture();

    bool Ready() const { return m_ready; }
    const std::string& Folder() const { return m_folder; }
    std::string Path(const std::string& name) const;

    // The language file the copy reads; entries replace the whole file. Remove() leaves none.
    bool WriteLanguage(const std::vector<harness::LanguageEntry>& entries);
    bool RemoveLanguage();
    // The shipped language file as an echo file ("Section.key" texts), with values of the test's own.
    bool WriteEchoLanguage(const std::vector<harness::LanguageEntry>& overrides = {});

    // Starts Brixom with `arguments` and the outside libraries' test seam set as given.
    bool Start(const std::string& arguments, const std::string& faults = std::string());
    HWND WaitForSheet(DWORD timeoutMs = 15000);
    harness::ChildProcess& Process() { return m_process; }
    DWORD LastStartError() const { return m_lastStartError; }
    // Closes the sheet with its own close button and waits for the program to end.
    bool CloseSheet(HWND sheet);

    std::vector<std::string> Journal() const;        // the outside libraries' calls, in order
    std::vector<std::string> LauncherCalls() const;  // arguments of every Obentil start, either launcher

private:
    harness::TempFolder m_temp;
    std::string m_folder;
    std::string m_journal;
    harness::ChildProcess m_process;
    bool m_ready = false;
    DWORD m_lastStartError = 0;
};

// The visible page of the sheet (a child dialog), or null.
HWND ActivePage(HWND sheet);
// Whether the page is the one holding the control `id`.
bool PageHolds(HWND page, int id);
// Entries of a drop-down list of another process, and its selected one ("" when none). Asked in
// UTF-16: Wine brings an ANSI entry across processes cut to its first character.
std::vector<std::string> ListEntries(HWND list);
std::string SelectedEntry(HWND list);
