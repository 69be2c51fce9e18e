#include "Step2Session.h"

#include <gtest/gtest.h>

#include "GoldenHeader.h"
#include "Paths.h"
#include "PortableDiskFixture.h"
#include "WindowDriver.h"

using namespace harness;

namespace step2 {

namespace {

HWND TopLevelHolding(DWORD pid, int id)
{
    for (HWND window : TopLevelWindows(pid)) {
        if (IsWindowVisible(window) && GetDlgItem(window, id))
            return window;
    }
    return nullptr;
}

}  // namespace

bool Session::Start(const std::string& verb, const std::string& faults)
{
    if (!m_brixom.Ready() || !m_brixom.WriteEchoLanguage() || !m_brixom.Start(verb, faults))
        return false;
    m_sheet = m_brixom.WaitForSheet(20000);
    return m_sheet && WaitUntilSettled();
}

bool Session::WaitUntilSettled(DWORD timeoutMs)
{
    // Settled: the scan's hand-over chose a mode (the hard-disk radio, or a listed USB drive) and no
    // scanning box is up.
    return WaitUntil([&] {
        m_page = ActivePage(m_sheet);
        if (!PageHolds(m_page, kUsbList) || WaitDialog())
            return false;
        return IsChecked(Control(kRadioHdd)) || SendMessageA(Control(kUsbList), CB_GETCOUNT, 0, 0) > 0;
    }, timeoutMs);
}

bool Session::SetText(int id, const std::string& text)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               10000, &result) != 0;
}

std::string Session::Text(int id) const
{
    return WindowText(Control(id));
}

bool Session::Click(int id)
{
    return ClickButton(m_page, id);
}

bool Session::ClickAndWait(int id)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(m_page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Control(id)),
                               SMTO_ABORTIFHUNG, 10000, &result) != 0;
}

void Session::FillPasswords(const std::string& password, const std::string& confirm)
{
    SetText(kPassword, password);
    SetText(kConfirm, confirm);
}

std::string Session::Answer(int answer, DWORD timeoutMs)
{
    return AnswerMessageBox(Pid(), answer, timeoutMs);
}

std::string Session::Finish(int answer, DWORD timeoutMs)
{
    if (!ClickButton(m_sheet, kFinish))
        return std::string();
    return Answer(answer, timeoutMs);
}

HWND Session::WaitDialog() const
{
    return TopLevelHolding(m_brixom.Process().Pid(), kWaitText);
}

HWND Session::ProgressDialog() const
{
    return TopLevelHolding(m_brixom.Process().Pid(), kProgressBar);
}

bool Session::Close()
{
    return m_brixom.CloseSheet(m_sheet);
}

void ExpectPortableDisk(const std::string& root, const std::string& password, char letter, int sizeMB)
{
    using portabletest::BytesOf;
    using portabletest::ShownAttributesOf;
    constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const portabletest::DrivePaths on{root};
    EXPECT_EQ(ShownAttributesOf(on.Hiding()), kHiddenSystem);
    EXPECT_EQ(ShownAttributesOf(on.Aux()), static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(BytesOf(on.Hiding() + "\\desktop.ini"), portabletest::kDesktopIniBytes);
    EXPECT_EQ(BytesOf(on.InWork("Agent.exe")), ReadFileBytes(JoinPath(ProgramDir(), "Agent.exe")));
    EXPECT_EQ(ShownAttributesOf(on.InWork("Agent.exe")), static_cast<DWORD>(FILE_ATTRIBUTE_SYSTEM));
    for (const char* name : {"Agent.ini", "Tavrin.dll"}) {
        EXPECT_EQ(BytesOf(on.InWork(name)), ReadFileBytes(JoinPath(ProgramDir(), name))) << name;
        EXPECT_EQ(ShownAttributesOf(on.InWork(name)), kHiddenSystem) << name;
    }
    EXPECT_FALSE(portabletest::IsFileAt(on.WorkPlace()));
    ASSERT_TRUE(portabletest::IsFileAt(on.RestPlace()));
    const std::string header = BytesOf(on.RestPlace()).substr(0, 2048);
    EXPECT_EQ(std::vector<unsigned char>(header.begin(), header.end()), GoldenHeader(password, letter, sizeMB));
}

}  // namespace step2
