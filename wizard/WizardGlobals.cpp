#include "WizardGlobals.h"

#include "LangString.h"
#include "SystemInfo.h"

CString g_LanguageFile;
int g_BrandIndex = 0;
CString g_HelpPageUrl;
CString g_MessageCaption;
CString g_ImagePath;
CString g_ImagePassword;

CString LanguageFilePathFor(const std::string& programPath)
{
    return CString(MainLanguageFileFor(programPath));
}

CString LangText(const char* section, const char* key)
{
    return CString(GetLangString(g_LanguageFile.str(), section, key, kLangMissing));
}

int WizardMessageBox(HWND owner, const char* text, UINT type)
{
    return ::MessageBoxA(owner, text, g_MessageCaption, type);
}

const char* ObentilProgramName()
{
    return IsWindows64Bit() ? "Obentil64.exe" : "Obentil32.exe";
}
