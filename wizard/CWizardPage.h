#pragma once
// The base of the wizard's pages: what every page does the same way. A page lies borderless at
// (2, 30) in the sheet, 600 x 336, takes its background and buttons from the sheet when it becomes
// active, paints the sheet's background under its controls (also into the DC a skinned control
// asks for with WM_PRINTCLIENT) and clicks its own radios as a user would.
#include <windows.h>

#include <vector>

#include "CPropertyPage.h"
#include "CString.h"

class CSkinButton;
class CWizardSheet;

class CWizardPage : public CPropertyPage {
public:
    // The page's place in the wizard window.
    static constexpr int kPageLeft = 2, kPageTop = 30, kPageWidth = 600, kPageHeight = 336;
    // Where in the sheet's background a page's picture starts: (3, 30); page 3 takes it from (2, 30).
    static constexpr int kBackgroundLeft = 3;
    // The pages' labels, radios and check boxes write in white on the dark background.
    static constexpr COLORREF kControlText = 0x00FFFFFF;

    explicit CWizardPage(UINT templateId, int backgroundLeft = kBackgroundLeft);

    // WM_LBUTTONDOWN then WM_LBUTTONUP to the item, so its own click handling runs.
    void ClickDialogItem(int id);

    // A file dialog's filter from a language text with '|' between its parts (names and patterns);
    // a text without a pattern still lists disk images.
    static std::vector<char> FileDialogFilter(const CString& text);

protected:
    // A skinned radio or check box as every page shows it: the wizard's bitmaps, no border, its
    // `text` in the pages' light colour over the page's background.
    static void SkinRadio(CSkinButton& radio, const CString& text);
    static void SkinCheckBox(CSkinButton& box, const CString& text);

    CWizardSheet* Sheet() const;
    // The page at its place in the sheet, 600 x 336 at (2, 30).
    void PlaceInSheet();
    // Buttons, place, the page's background and a repaint of the sheet's caption and the page.
    void Activate(DWORD buttons, UINT backgroundId);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnPaint();
    LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    DECLARE_MESSAGE_MAP()

private:
    static void SkinButton(CSkinButton& button, const CString& text);

    // The sheet's background under the page, from (m_backgroundLeft, 30) of the bitmap, into `dc`.
    void PrintBackground(HDC dc) const;

    int m_backgroundLeft;
};
