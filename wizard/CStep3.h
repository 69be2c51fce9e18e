#pragma once
// Page 3: choose an image and check its password. The user picks a hidden image from the lock
// service's list, types or browses a normal one, or takes the portable disk of a USB drive; Next
// releases the image (or brings it out of its hiding folder), reads its header, compares the
// passwords and on a match adds page 4. Whatever Next released is protected or hidden again when
// the password is wrong or the image cannot be read.
#include "CBitComboBox.h"
#include "CBitmap.h"
#include "CEdit.h"
#include "CEditEx.h"
#include "CHotBtn.h"
#include "CListCtrlEx.h"
#include "CSkinButton.h"
#include "CStepTitles.h"
#include "CTransparentStatic.h"
#include "CWizardPage.h"
#include "WizardGlobals.h"

class CStep3 : public CWizardPage {
public:
    // The header's field holds 259 characters and a NUL; Agent lets a user set a password that
    // long, so it must be typeable here.
    static constexpr int kPasswordMaxChars = 259;
    static constexpr int kImagePathMaxChars = 259;

    CStep3();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;

    // Clicks a kind radio as the user would, when the page has it.
    void ClickRadio(int id);
    void FillProtectedList();
    void FillListColumns();
    CString GetHeaderText(int column);
    void LayoutControls();

    // Whether the typed password is the one in the header's field (read to its first NUL, never
    // past the field): byte for byte, letter case and blanks count.
    static bool PasswordMatches(const char* headerField, const char* typed);
    // A listed path as the page shows it: its first character as it is, the rest in lower case.
    static CString ListedPath(const char* path);

    CString m_strImagePath;
    CString m_strPassword;
    BOOL m_bShowPassword = FALSE;
    int m_nKind = kImageKindHidden;       // the kind radio's choice (kImageKind*)

protected:
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnBrowseImage();
    void OnShowPassword();
    void OnUsbKind();
    void OnNormalKind();
    void OnHiddenKind();
    void OnHeaderItemClick(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    // The text the user typed stays when the page writes its fields back to the controls.
    void KeepTypedText();
    // Fills the USB list with the drives that hold a portable disk, behind the scanning box.
    void ScanUsbDrives();
    static void UsbScanThread(void* page);
    void SetKindRadios(int checkedId);

    CBitComboBox m_cmbUsb;
    CEditEx m_editImage;
    CEdit m_editPassword;
    CSkinButton m_chkShowPassword;
    CSkinButton m_rdUsb;
    CSkinButton m_rdNormal;
    CSkinButton m_rdHidden;
    CListCtrlEx m_listProtected;
    CHotBtn m_btnBrowse;
    CTransparentStatic m_lblUsb;
    CTransparentStatic m_lblPassword;
    CStepTitles m_titles;
    CBitmap m_browseFaces[4];
    BOOL m_bColumnAdded = FALSE;
    bool m_bScanning = false;              // the scanning box is up
    bool m_bDeviceEventInScan = false;     // a drive came or went while it was
};
