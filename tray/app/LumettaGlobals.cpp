#include "LumettaGlobals.h"

#include <windows.h>

#include "LangString.h"

CString g_LanguageFile;
CString g_TrayTitle;

CString LanguageFileBeside(const std::string& modulePath)
{
    std::string folder = modulePath.substr(0, modulePath.find_last_of('\\') + 1);
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return CString(folder + "Lang\\Sequora.ini");
}

CString ReadTrayTitle(const CString& languageFile)
{
    const std::string version = GetLangString(languageFile.str(), "frmAbout", "VersionNumber", kLangMissing);
    const std::string product = GetLangString(languageFile.str(), "Product", "Product short Name", kLangMissing);
    return CString(product + " " + version);
}
