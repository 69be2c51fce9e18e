#pragma once
// Brixom's process-wide values, one each for the whole run, and the helpers that read them.
#include <windows.h>

#include <string>

#include "CString.h"

extern CString g_LanguageFile;      // the main language file, beside the program
extern int g_BrandIndex;            // from [Product] "Company Name"
extern CString g_HelpPageUrl;       // [Product] "ProductHelpPage"
extern CString g_MessageCaption;    // the product title: caption of every message box

// The new image of page 2, read by the progress dialog's worker: its path, and the password
// written into its header. (Page 4 holds the image page 3 opened itself.)
extern CString g_ImagePath;
extern CString g_ImagePassword;

// Image kinds.
constexpr int kImageKindHidden = 0;     // on the hard disk, kept in the lock library's list
constexpr int kImageKindNormal = 1;     // on the hard disk
constexpr int kImageKindPortable = 2;   // on a USB drive, in the portable layout

// Shown when [Product] "ProductHelpPage" is missing from the language file.
constexpr const char* kDefaultProductPage = "https://www.norvalix.example/sequora/";

// "<folder of the program>\Lang\Sequora.ini" for the program's own path; a path without a
// backslash gets one.
CString LanguageFilePathFor(const std::string& programPath);

// [section] key of the language file, "???" when missing.
CString LangText(const char* section, const char* key);

// Every message box of Brixom: its caption is the product title.
int WizardMessageBox(HWND owner, const char* text, UINT type);

// The launcher that starts Lumetta without elevation: the 64-bit one on a 64-bit Windows.
const char* ObentilProgramName();
