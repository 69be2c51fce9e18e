#pragma once
// The feedback dialog: the user writes a note, Send keeps it in a time-stamped file of the user's
// own (nothing goes over the network), Close leaves. Texts come from the suite's language file,
// with English defaults when it or a key is missing.
#include <windows.h>

#include <string>

class FeedbackDialog {
public:
    explicit FeedbackDialog(const std::string& languageFile) : m_languageFile(languageFile) {}
    INT_PTR Run(HINSTANCE instance);

    // %LOCALAPPDATA%\Sequora\Feedback, made when missing.
    static std::string FeedbackFolder();

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInit(HWND dialog);
    void OnSend();
    std::string Text(const char* section, const char* key, const char* fallback) const;
    std::string Title() const;

    std::string m_languageFile;
    HWND m_dialog = nullptr;
};
