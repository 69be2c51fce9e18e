#pragma once
// Page 4: act on the opened image. Page 3 adds it after a password match and hands it the image it
// released or brought out of hiding. The user mounts the image on a free letter (read-only on
// request), makes it portable on a USB drive, unprotects it or repairs its portable drive. Every
// failure keeps the page with the image still open, so Finish can be tried again; Back, Cancel or
// closing the wizard put the image back to rest.
#include <windows.h>

#include "CBitComboBox.h"
#include "CSkinButton.h"
#include "CStepTitles.h"
#include "CString.h"
#include "CTransparentStatic.h"
#include "CWizardPage.h"
#include "OpenedImage.h"

class CPortableDisk;

class CStep4 : public CWizardPage {
public:
    static constexpr int kOptionMount = 0;
    static constexpr int kOptionPortable = 1;
    static constexpr int kOptionUnprotect = 2;
    static constexpr int kOptionRepair = 3;
    // The largest file a FAT file system holds is one byte less.
    static constexpr ULONGLONG kFatFileLimit = 0x100000000ULL;

    CStep4();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    BOOL OnKillActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    void OnCancel() override;

    void EnableOptionsForKind(int kind);
    void FillUsbDrives();
    void FillFreeLetters();

    // Page 3 hands over the image it opened: released (hidden kind) or at its work place (USB kind).
    // The progress dialog's mount and portable jobs read it here.
    void HoldImage(const CString& path, int kind);
    const OpenedImage& Image() const { return m_image; }
    // Whether the page still answers for putting the image back to rest.
    bool HoldsImage() const { return m_bHeld; }

    // The [Step4] key of the message that refuses an install for lack of room, or null when the
    // image fits: FAT and 4 GiB or more; free space known and not above the size.
    static const char* InstallSpaceRefusal(BOOL fatVolume, ULONGLONG imageSize, BOOL freeKnown, ULONGLONG freeBytes);
    // The same rule asked of a target drive through the maker (file system, image size, free space).
    static const char* InstallSpaceRefusal(const CPortableDisk& maker);

    int m_nOption = kOptionMount;
    // Read by the progress dialog's mount job: the read-only check box 1002 (through data
    // exchange). The job also reads the letter list IDC_CMB_STEP4_LETTERS.
    BOOL m_bReadOnly = FALSE;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnRadioMount();
    void OnRadioPortable();
    void OnRadioUnprotected();
    void OnRadioRepair();
    void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void SetOption(int option);
    BOOL FinishMount();
    BOOL FinishPortable();
    BOOL FinishUnprotect();
    BOOL FinishRepair();
    // Puts the held image back to rest (protected or hidden again) and lets it go.
    void ReturnHeldImage();
    void Message(const char* key, UINT type);

    CBitComboBox m_cmbUsb;
    CBitComboBox m_cmbLetters;
    CSkinButton m_chkReadOnly;
    CSkinButton m_rdMount;
    CSkinButton m_rdPortable;
    CSkinButton m_rdUnprotect;
    CSkinButton m_rdRepair;
    CTransparentStatic m_lblLetter;
    CTransparentStatic m_lblUsb;
    CStepTitles m_titles;

    // The image page 3 opened; held while this page answers for it, until it is mounted, made
    // portable, unprotected, repaired or put back.
    OpenedImage m_image;
    bool m_bHeld = false;
};
