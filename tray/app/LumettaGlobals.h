#pragma once
// Lumetta's process-wide texts: the path of the main language file and ProductTitle as Lumetta
// builds it (the tray icon's tip and the caption of its message boxes). Both are set by the tray
// dialog.
#include <string>

#include "CString.h"

extern CString g_LanguageFile;
extern CString g_TrayTitle;

// [Product] "Product short Name", a blank, [frmAbout] "VersionNumber"; the version is read first.
CString ReadTrayTitle(const CString& languageFile);
