#pragma once
// The progress dialog: a small borderless box with a bar, behind which the wizard's long jobs run
// on an idle-priority worker thread: create a new image (and mount and open it), mount an opened
// image, or make a portable drive. The owner page builds it on its stack, sets the job, runs it
// modally and reads the job's results afterwards. The user cannot end it while the worker runs;
// DoModal returns only after the worker has ended.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "CPanelDlg.h"
#include "CStatic.h"
#include "CString.h"
#include "CWinThread.h"
#include "ImageHeader.h"

class CAboutDlg;
class CStep2;
class CStep4;

// The worker's percent report to the dialog: wParam = percent done, lParam 0.
constexpr UINT WM_PROGRESS_PERCENT = WM_USER + 54;
// The system menu's About item.
constexpr UINT IDM_ABOUTBOX = 0x0010;

class CWizardDlg : public CPanelDlg {
public:
    static constexpr int kNotRun = -1;

    CWizardDlg(CStep2* owner, CWnd* parent = nullptr);
    CWizardDlg(CStep4* owner, CWnd* parent = nullptr);
    ~CWizardDlg() override;

    INT_PTR DoModal() override;

    // The job, set by the owner page before DoModal.
    BOOL m_bPortable = FALSE;   // build the portable drive around the job's image on m_cUsbLetter
    char m_cUsbLetter = 0;
    BOOL m_bMount = FALSE;      // page 2: mount and open the new image; page 4: mount the opened one

    // What the job did, for the owner page after DoModal; kNotRun where a step was not reached.
    int m_nCreateResult = kNotRun;    // Tavrin_CreateImage; kTavrinCreated when the image was made
    int m_nReleaseResult = kNotRun;   // Quilmar_SetProtection releasing a hidden image before its mount
    int m_nMountResult = kNotRun;     // Tavrin_Mount; non-zero when mounted
    int m_nPortableResult = kNotRun;  // CPortableDisk::CreatePortable; 1 when the drive was made
    BOOL m_bNoFreeLetter = FALSE;     // a mount was due but no letter was selected: none was tried
    CString m_strDriveRoot;           // root of the chosen letter ("D:\"), "" when none

    // The header of a new image: zero-filled, then the fields the image format fixes. The size is
    // the page's signed MB value, sign-extended; the description is cut to 256 characters.
    static ImageHeader MakeImageHeader(const char* password, char letter, int sizeMB, const char* description);

    // Sends WM_PROGRESS_PERCENT to the dialog when the percent differs from the last one sent.
    void ReportProgress(unsigned percent);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    void OnDestroy();
    void OnShowWindow(BOOL show, UINT status);
    LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT id, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    static UINT WorkerThread(void* self);
    void RunJob();
    void RunPortableJob();
    void RunCreateJob();
    void RunMountJob();
    // The job's image: page 2's new image (g_ImagePath), or the image page 4 holds.
    CString JobImagePath() const;
    // Mounts the job's image on `root`'s letter and, when that worked, opens the drive in the shell.
    void MountAndOpen(const std::string& root, BOOL readOnly, DWORD settleMs);
    void FinishJob();

    CStep2* m_pStep2 = nullptr;
    CStep4* m_pStep4 = nullptr;
    int m_nBarWidth = 0;
    int m_nBarHeight = 0;
    CStatic m_ctlBar;
    CWinThread m_thread;

    bool m_workerStarted = false;
    std::atomic<bool> m_jobDone{false};
    unsigned m_lastPercent = ~0u;           // the worker's own
    CAboutDlg* m_pAbout = nullptr;
};

// The running progress dialog, target of the progress callbacks; null while none runs.
extern CWizardDlg* g_ProgressDlg;

// Tavrin_CreateImage's progress callback: reports the percent to g_ProgressDlg, always goes on.
uint8_t __cdecl CreateProgressCallback(const int32_t* percent);

// CopyFileEx's progress routine: transferred x 100 / total (100 for an empty file) to
// g_ProgressDlg; always PROGRESS_CONTINUE.
DWORD CALLBACK CopyProgressRoutine(LARGE_INTEGER totalSize, LARGE_INTEGER transferred, LARGE_INTEGER streamSize,
                                   LARGE_INTEGER streamTransferred, DWORD streamNumber, DWORD reason,
                                   HANDLE source, HANDLE destination, LPVOID data);

// The percent CopyProgressRoutine reports.
unsigned CopyPercent(LONGLONG transferred, LONGLONG total);
