#pragma once
// The real Brixom started on page 2 and driven as a user would: its controls by id, Finish and the
// message boxes that follow, the scanning box and the progress dialog found among its windows.
#include <windows.h>

#include <string>
#include <vector>

#include "BrixomFixture.h"
#include "UnmanagedWindows.h"

namespace step2 {

// The sheet's buttons and page 2's controls.
constexpr int kFinish = 173, kCancel = 174;
constexpr int kImageEdit = 1000, kLetters = 1003, kPassword = 1006, kBrowse = 1008, kSizeEdit = 1009,
              kSizeUp = 1015, kConfirm = 1022, kSizeDown = 1028, kMaxText = 1040, kRadioUsb = 1043,
              kRadioHdd = 1044, kStrengthText = 1047, kUsbList = 1055, kStrengthBar = 1072;
// The scanning box and the progress dialog.
constexpr int kWaitText = 1069, kProgressText = 1051, kProgressBar = 1075, kProgressFrame = 1076;
constexpr UINT kProgressMessage = WM_USER + 54;

class Session {
public:
    BrixomFixture& Brixom() { return m_brixom; }
    DWORD Pid() { return m_brixom.Process().Pid(); }

    // Starts Brixom with the echo language file and waits for page 2 to settle after its scan.
    bool Start(const std::string& verb, const std::string& faults = std::string());
    bool WaitUntilSettled(DWORD timeoutMs = 20000);
    HWND Sheet() const { return m_sheet; }
    HWND Page() const { return m_page; }
    HWND Control(int id) const { return GetDlgItem(m_page, id); }

    // WM_SETTEXT, as typing or pasting would do it (the edit tells the page of the change).
    bool SetText(int id, const std::string& text);
    std::string Text(int id) const;
    bool Click(int id);               // a page control; returns at once (the click may open a window)
    bool ClickAndWait(int id);        // a page control whose click opens nothing: returns when it is done
    void FillPasswords(const std::string& password, const std::string& confirm);

    // Presses Finish and returns the text of the message box that follows ("" when none came);
    // answers it with `answer`.
    std::string Finish(int answer = IDOK, DWORD timeoutMs = 30000);
    // The next message box's text, answered with `answer`.
    std::string Answer(int answer = IDOK, DWORD timeoutMs = 30000);

    HWND WaitDialog() const;          // the visible scanning box, or null
    HWND ProgressDialog() const;      // the visible progress dialog, or null

    bool Ended(DWORD timeoutMs = 15000) { return m_brixom.Process().Wait(timeoutMs); }
    bool Close();                     // the sheet's own close button, then the program ends

private:
    // Message boxes and dialogs close at once on the window-manager-less test display.
    harness::UnmanagedWindows m_unmanaged{"brixom.exe"};
    mutable BrixomFixture m_brixom;
    HWND m_sheet = nullptr;
    HWND m_page = nullptr;
};

// The portable disk page 2 made on the drive `root` (a size of 50 MB): the layout with the image at
// rest, Agent's files as Brixom carries them, and the header as page 2 wrote it.
void ExpectPortableDisk(const std::string& root, const std::string& password, char letter, int sizeMB = 50);

}  // namespace step2
