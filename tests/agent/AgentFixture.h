#pragma once
// A USB drive holding a portable disk as Brixom lays it out, Agent started from it, and the
// moves a user makes on Agent's windows: typing the password, choosing a command from its
// menus, answering its message boxes.
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

class AgentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the layout by hand; the image rests in aux with kPassword.
    void MakeLayout();
    std::string WorkFolder() const;
    std::string RestPlace() const;
    std::string WorkPlace() const;
    std::string AgentIni() const { return WorkFolder() + "\\Agent.ini"; }
    std::string Text(const char* key) const { return IniText(AgentIni(), "Main", key); }

    // Starts Agent.exe from the drive with the outside libraries' fault knobs given.
    void StartAgent(const std::string& faults = std::string(), const std::string& arguments = std::string());
    HWND Form();                                  // its main form, shown or hidden
    void TypePassword(const std::string& password);
    void ToggleReadOnly();
    void ChooseFromPasswordMenu(int index);       // 0 Open, 1 Change password, 2 Uninstall, 3 Help
    void ChooseFromTrayMenu(int index);           // 0 Browse, 1 Help, 2 Exit
    void PressButton(const char* caption);
    // The message box Agent shows: its text, caption checked to be Agent's title; answered with IDOK.
    std::string AnswerMessageBox(int answer = IDOK, std::string* caption = nullptr);
    bool WaitForLetter(char letter, bool present, DWORD timeoutMs = 15000);
    bool WaitForTray(DWORD timeoutMs = 15000);
    HWND TrayHandler();

    harness::TempFolder m_temp{"agent"};
    std::unique_ptr<harness::FakeUsbDrive> m_usb;
    harness::ChildProcess m_agent;
    std::string m_shellRecorder;
    uint32_t m_maskBefore = 0;      // disks mounted before the test, by anyone

private:
    void ChooseMenuItem(int index);
};

}  // namespace agenttest
