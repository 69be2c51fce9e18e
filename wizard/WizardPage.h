#pragma once
// What every wizard page does the same way: take its place and background when it becomes
// active, paint that background under its controls, click its own radios.
#include <windows.h>

#include <vector>

#include "CString.h"

class CPropertyPage;

// Buttons, place (2, 30) at 600 x 336, the page's background, and a repaint of the sheet.
void ActivateWizardPage(CPropertyPage* page, DWORD buttons, UINT backgroundId);
// Where in the sheet's background a page's picture starts: (3, 30); page 3 takes it from (2, 30).
constexpr int kPageBackgroundLeft = 3;
// The sheet's background under the page, from (backgroundLeft, 30) of the bitmap.
void PaintWizardPage(CPropertyPage* page, int backgroundLeft = kPageBackgroundLeft);
// WM_LBUTTONDOWN then WM_LBUTTONUP to the item, so its own click handling runs.
void ClickDialogItem(CPropertyPage* page, int id);
// Until the pages' skinned controls come, their plain labels and buttons draw straight onto the
// background in white.
HBRUSH WizardPageCtlColor(HDC dc, UINT ctlColor, HBRUSH base);
// The same picture into a given DC (WM_PRINTCLIENT: skinned controls ask for what lies under them).
void PrintWizardPage(CPropertyPage* page, HDC dc, int backgroundLeft = kPageBackgroundLeft);
// A file dialog's filter from a language text with '|' between its parts (names and patterns);
// a text without a pattern still lists disk images.
std::vector<char> FileDialogFilter(const CString& text);
