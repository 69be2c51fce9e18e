#include "Step2Session.h"

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

std::string Narrow(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* c = text; *c; ++c)
        out += static_cast<char>(*c);
    return out;
}

}  // namespace

std::vector<std::string> ListEntries(HWND list)
{
    std::vector<std::string> entries;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = L"";
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back(Narrow(text));
    }
    return entries;
}

std::string SelectedEntry(HWND list)
{
    const LRESULT selected = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selected < 0)
        return std::string();
    wchar_t text[MAX_PATH] = L"";
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

bool Session::Start(const std::string& verb, const std::string& faults)
{
    if (!m_brixom.Ready() || !m_brixom.WriteEchoLanguage() || !m_brixom.Start(verb, faults))
        return false;
    // The scanning box may come up before the sheet: the sheet is the window with the Finish button.
    WaitUntil([&] { return (m_sheet = TopLevelHolding(Pid(), kFinish)) != nullptr; }, 20000);
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

void Session::FillPasswords(const std::string& password, const std::string& confirm)
{
    SetText(kPassword, password);
    SetText(kConfirm, confirm);
}

std::string Session::Answer(int answer, DWORD timeoutMs)
{
    HWND box = WaitForMessageBox(Pid(), timeoutMs);
    if (!box)
        return std::string();
    const std::string text = MessageBoxText(box);
    ClickButton(box, answer);
    WaitUntil([&] { return !IsWindow(box); }, 10000);
    return text;
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

}  // namespace step2
