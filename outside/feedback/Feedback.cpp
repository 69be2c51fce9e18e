// Feedback.exe: started by the wizard with the quoted path of its language file.
#include "FeedbackDialog.h"

#include <windows.h>

#include <string>

namespace {

// The one argument, its quotes and the blanks round it taken away.
std::string LanguageFileArgument(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p)
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    std::string argument(p);
    const size_t first = argument.find_first_not_of(" \t\"");
    const size_t last = argument.find_last_not_of(" \t\"");
    if (first == std::string::npos)
        return std::string();
    argument = argument.substr(first, last - first + 1);
    return GetFileAttributesA(argument.c_str()) == INVALID_FILE_ATTRIBUTES ? std::string() : argument;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    FeedbackDialog dialog(LanguageFileArgument(GetCommandLineA()));
    return dialog.Run(instance) == IDOK ? 0 : 1;
}
