#include "LumettaGlobals.h"

#include "LangString.h"

CString g_LanguageFile;
CString g_TrayTitle;

CString ReadTrayTitle(const CString& languageFile)
{
    const std::string version = GetLangString(languageFile.str(), "frmAbout", "VersionNumber", kLangMissing);
    const std::string product = GetLangString(languageFile.str(), "Product", "Product short Name", kLangMissing);
    return CString(product + " " + version);
}
