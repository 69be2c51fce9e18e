#pragma once
// The small "scanning" box pages 2 and 3 show while a thread of theirs fills their USB-drive list.
// Borderless, on the wizard's light panel, without a taskbar button; the user cannot close it: it
// ends when the scan has ended, and the page goes on only after the scan thread is gone.
#include <atomic>

#include "CPanelDlg.h"
#include "CWinThread.h"

class CWaitDlg : public CPanelDlg {
public:
    // Runs on the scan thread; fills the page's list by window messages, which the page's thread
    // serves inside this dialog's modal run.
    using ScanProcedure = void (*)(void* context);

    explicit CWaitDlg(CWnd* owner);
    ~CWaitDlg() override;

    // Runs `scan(context)` on a thread of its own while this dialog shows, and returns once that
    // thread has ended. The wizard window is disabled meanwhile. When the dialog cannot be shown
    // the scan still runs (and still on its own thread).
    void RunScan(ScanProcedure scan, void* context);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    static UINT ScanThread(void* self);
    void StartScan();

    CWnd* m_pOwner = nullptr;

    ScanProcedure m_scan = nullptr;
    void* m_context = nullptr;
    CWinThread m_thread;
    std::atomic<bool> m_scanDone{false};
};
