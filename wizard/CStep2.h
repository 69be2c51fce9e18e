#pragma once
// Page 2: create a disk. In hard-disk mode the user names a new image file, a drive letter, a size
// and a password, and Finish creates the image, mounts it on that letter and opens it. In USB mode
// the user picks a USB drive, a size and a password, and Finish creates the image on that drive and
// builds the portable disk around it. Nothing on the user's disks changes before Finish.
#include <windows.h>

#include <string>

#include "CBitComboBox.h"
#include "CBitmap.h"
#include "CComboBox.h"
#include "CEditEx.h"
#include "CHotBtn.h"
#include "CSkinButton.h"
#include "CStepTitles.h"
#include "CString.h"
#include "CTransparentStatic.h"
#include "CWizardPage.h"
#include "Step2Rules.h"

class CWaitDlg;

// Free megabytes on the drive of `path` ("%c:\" of its first character); 0 when they cannot be
// read. A FAT32 volume with 4096 MB or more free gives 4096 (its largest file is just under 4 GiB).
// The file system is asked through CPortableDisk::FileSystemOf.
unsigned GetFreeSpaceMB(const char* path);

class CStep2 : public CWizardPage {
public:
    static constexpr int kModeUsb = Step2Rules::kModeUsb;
    static constexpr int kModeHardDisk = Step2Rules::kModeHardDisk;

    CStep2();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    BOOL OnWizardFinish() override;
    BOOL OnQueryCancel() override;

    // Chooses a mode as the user would, by clicking its radio (the sheet's verbs).
    void ClickMode(int id);

    // What the progress dialog's worker reads for a new image: its size in MB and its description.
    int GetSize() const { return m_nSize; }
    const CString& GetDescription() const { return m_strDescription; }

    int m_nMode = kModeUsb;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    void OnBrowseImage();
    void OnImagePathChange();
    void OnPasswordChange();
    void OnTimer(UINT_PTR id);
    void OnHddMode();
    void OnUsbMode();
    void OnUsbDriveChange();
    void OnSizeUp();
    void OnSizeDown();
    void OnSizeKillFocus();
    DECLARE_MESSAGE_MAP()

    // The new image's size in MB and its description, as Finish last read them.
    int m_nSize = 0;
    CString m_strDescription;

private:
    void LayoutControls();
    void UpdateStrength(const CString& password);
    void SetStrengthBar(int percent);
    void SetSizeText(int size);
    int GetSizeFromEdit() const;
    void ShowMaximum(unsigned maximum);
    void HideMaximum();
    void EnableSizeControls(BOOL enable);
    void InvalidateUnder(CWnd& control);

    // USB drives and free letters.
    void StartUsbScan();
    static void UsbScanThread(void* page);
    void HandOverScan();
    void FillFreeLetters();

    // Finish, by mode; FALSE keeps the page.
    BOOL FinishHardDisk();
    BOOL FinishUsb();
    BOOL Refuse(const char* key, UINT icon);       // the [Step2] message, then FALSE
    // Deletes the file the user agreed at Browse to replace; false (and a message) when it stays.
    bool DeleteReplacedFile();

    CWaitDlg* m_pWaitDlg = nullptr;        // the running scan's box; null while none runs
    bool m_bRescanPending = false;         // a device event came during a scan
    bool m_bBusy = false;                  // Finish or Browse runs: device events wait for the user
    bool m_bActivatedBefore = false;

    CComboBox m_cmbFileSystem;
    CBitComboBox m_cmbLetters;
    CString m_strImagePath;
    CString m_strPassword;
    CString m_strConfirm;
    CString m_strLabel;
    CString m_strMaxText;
    CString m_strStrength;
    CBitComboBox m_cmbUsb;
    CEditEx m_editImage;
    CEditEx m_editSize;
    CHotBtn m_btnBrowse;
    CHotBtn m_btnSizeUp;
    CHotBtn m_btnSizeDown;
    CSkinButton m_rdUsb;
    CSkinButton m_rdHdd;
    CTransparentStatic m_lblUsb;
    CTransparentStatic m_lblImage;
    CTransparentStatic m_lblLetter;
    CTransparentStatic m_lblSize;
    CTransparentStatic m_lblSizeMB;
    CTransparentStatic m_lblPassword;
    CTransparentStatic m_lblStrengthTitle;
    CTransparentStatic m_lblConfirm;
    CTransparentStatic m_lblMaxSize;
    CTransparentStatic m_lblStrength;
    CTransparentStatic m_lblPasswordTip;
    CStepTitles m_titles;
    CBitmap m_browseFaces[4];
    CBitmap m_sizeUpFaces[4];
    CBitmap m_sizeDownFaces[4];
    HBITMAP m_hBackground = nullptr;
    unsigned m_nMaximum = 0;
    CString m_strReplacePath;              // an existing file the user agreed to replace at Finish
};
