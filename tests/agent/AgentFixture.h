#pragma once
// A USB drive holding a portable disk as Brixom's portable-drive maker lays it out, Agent started
// from it, and the moves a user makes on Agent's windows: typing passwords, choosing a command
// from its menus, answering its message boxes.
#include "ChildProcess.h"
#include "FakeUsbDrive.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace agenttest {

extern const char kPassword[];

std::wstring Wide(const std::string& text);
std::vector<uint8_t> MakeHeader(uint32_t sizeMb, const std::string& password);
std::string IniText(const std::string& iniPath, const char* section, const char* key);
std::string OnLetter(char letter, const char* name);

// A message box as a user reads it: its text (in full Unicode), caption and icon.
struct MessageSeen {
    std::wstring text;
    std::string caption;
    LPCSTR icon = nullptr;      // IDI_INFORMATION, IDI_WARNING, IDI_ERROR, IDI_QUESTION or null
    std::string Text() const;   // the text in the ANSI code page
};

class AgentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The portable disk as Brixom makes it: an image made by the driver library, laid out on the
    // drive by the portable-drive maker; the image rests in aux with `password`.
    void MakePortableDisk(const std::string& password = kPassword);
    std::string WorkFolder() const;
    std::string HidingFolder() const;
    std::string RestPlace() const;
    std::string WorkPlace() const;
    std::string AgentIni() const { return WorkFolder() + "\\Agent.ini"; }
    std::string Text(const char* key, const char* section = "Main") const { return IniText(AgentIni(), section, key); }
    void ExpectAtRest();

    // Starts Agent.exe from the drive with the outside libraries' fault knobs given.
    void StartAgent(const std::string& faults = std::string(), const std::string& arguments = std::string());
    HWND Form();                                  // its main form, shown or hidden
    HWND PasswordDialog();                        // the change-password dialog while shown
    // Types the current password and chooses Change Password; the dialog, or null.
    HWND OpenPasswordDialog(const std::string& current);
    void TypePassword(const std::string& password);
    // Types into the change-password dialog's two edits.
    void TypeNewPassword(const std::string& password, const std::string& confirmation);
    void ToggleReadOnly();
    void ChooseFromPasswordMenu(int index);       // 0 Open, 1 Change password, 2 Uninstall, 3 Help
    // Whether an item of that menu is enabled, as the menu shown under the Open button says.
    bool PasswordMenuItemEnabled(int index);
    void ChooseFromTrayMenu(int index);           // 0 Browse, 1 Help, 2 Exit
    // Presses a button of `window` (the main form when null) by its caption.
    void PressButton(const char* caption, HWND window = nullptr);
    // The message box Agent shows, answered with `answer`.
    MessageSeen AnswerMessage(int answer = IDOK);
    // Its text, checked to carry Agent's title as caption.
    std::string AnswerMessageBox(int answer = IDOK, std::string* caption = nullptr);
    // Types the password, chooses Open and waits for the disk and for Agent to go to the tray.
    char OpenDisk(const std::string& password);
    // Exit from the tray: the disk on `letter` is dismounted and Agent ends.
    void ExitFromTray(char letter);
    // The change-password dialog opened with `current`, `next` typed twice and accepted; returns
    // once the dialog is gone and the image back at rest.
    void ChangePassword(const std::string& current, const std::string& next);
    bool WaitForLetter(char letter, bool present, DWORD timeoutMs = 15000);
    bool WaitForTray(DWORD timeoutMs = 15000);
    HWND TrayHandler();

    harness::TempFolder m_temp{"agent"};
    std::unique_ptr<harness::FakeUsbDrive> m_usb;
    harness::ChildProcess m_agent;
    std::string m_shellRecorder;
    uint32_t m_maskBefore = 0;      // disks mounted before the test, by anyone
    std::vector<char> m_lettersBefore;   // their letters: left mounted when the test ends
    bool m_installDriver = true;    // SetUp installs the driver (not on "another computer")
    bool m_makeDisk = true;         // SetUp makes the portable disk
    std::string m_usbFolder;        // the drive's folder; the test's own when empty
    unsigned long m_usbSerial = 0;  // the drive's volume serial number; Wine's own when 0

private:
    void ChooseMenuItem(int index);
    std::vector<HWND> Edits(HWND window);
};

}  // namespace agenttest
