#include "FeedbackDialog.h"

#include "FeedbackIds.h"
#include "HandleOwner.h"

#include <shlobj.h>

#include <vector>

namespace {

constexpr DWORD kTextChars = 260;
constexpr const char* kSection = "Feedback";

}  // namespace

INT_PTR FeedbackDialog::Run(HINSTANCE instance)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_FEEDBACK), nullptr, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK FeedbackDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<FeedbackDialog*>(lParam)->OnInit(dialog);
        return TRUE;
    }
    auto* self = reinterpret_cast<FeedbackDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && self) {
        switch (LOWORD(wParam)) {
        case IDOK:
            self->OnSend();
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
    }
    return FALSE;
}

std::string FeedbackDialog::Text(const char* section, const char* key, const char* fallback) const
{
    if (m_languageFile.empty())
        return fallback;
    char text[kTextChars] = {};
    GetPrivateProfileStringA(section, key, fallback, text, kTextChars, m_languageFile.c_str());
    return text;
}

std::string FeedbackDialog::Title() const
{
    const std::string name = Text("Product", "Product short Name", "");
    if (name.empty())
        return Text(kSection, "Title", "Feedback");
    const std::string version = Text("frmAbout", "VersionNumber", "");
    return version.empty() ? name : name + " " + version;
}

void FeedbackDialog::OnInit(HWND dialog)
{
    m_dialog = dialog;
    SetWindowTextA(dialog, Title().c_str());
    SetDlgItemTextA(dialog, IDC_PROMPT, Text(kSection, "lblPrompt", "Tell us what you think of the program:").c_str());
    SetDlgItemTextA(dialog, IDOK, Text(kSection, "btnSend", "Send").c_str());
    SetDlgItemTextA(dialog, IDCANCEL, Text(kSection, "btnClose", "Close").c_str());
}

std::string FeedbackDialog::FeedbackFolder()
{
    char appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appData)))
        return std::string();
    const std::string folder = std::string(appData) + "\\Sequora\\Feedback";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    return folder;
}

void FeedbackDialog::OnSend()
{
    HWND edit = GetDlgItem(m_dialog, IDC_TEXT);
    std::vector<char> text(GetWindowTextLengthA(edit) + 1, '\0');
    GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
    const std::string note = text.data();
    const std::string title = Title();
    if (note.find_first_not_of(" \t\r\n") == std::string::npos) {
        MessageBoxA(m_dialog, Text(kSection, "strEmpty", "Please write your feedback first.").c_str(), title.c_str(),
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[64];
    wsprintfA(name, "\\feedback-%04u%02u%02u-%02u%02u%02u.txt", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute, now.wSecond);
    const std::string path = FeedbackFolder() + name;
    const KernelHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    const bool saved = file && WriteFile(file.Get(), note.data(), static_cast<DWORD>(note.size()), &written, nullptr) &&
                       written == note.size();
    if (!saved) {
        MessageBoxA(m_dialog, Text(kSection, "strNotSaved", "Your feedback could not be saved.").c_str(),
                    title.c_str(), MB_OK | MB_ICONERROR);
        return;
    }
    MessageBoxA(m_dialog, Text(kSection, "strSaved", "Thank you for your feedback.").c_str(), title.c_str(),
                MB_OK | MB_ICONINFORMATION);
    EndDialog(m_dialog, IDOK);
}
