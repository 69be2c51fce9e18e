#pragma once
// A worker thread of a window program. The UI thread that waits for it keeps serving the messages
// the worker sends to its windows, so a worker that reports with SendMessage can never deadlock
// the wait. The object owns the thread handle: the destructor waits for the thread and closes it.
#include "HandleOwner.h"

#include <windows.h>

class CWinThread {
public:
    using Procedure = UINT (*)(void* parameter);

    CWinThread() = default;
    ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts `procedure(parameter)` at `priority`; CREATE_SUSPENDED in `createFlags` leaves it
    // waiting for ResumeThread. FALSE, and nothing runs, when the thread cannot be made.
    BOOL CreateThread(Procedure procedure, void* parameter, int priority = THREAD_PRIORITY_NORMAL,
                      DWORD createFlags = 0);
    DWORD ResumeThread();
    bool IsStarted() const { return static_cast<bool>(m_thread); }
    bool IsRunning() const;
    // Waits for the thread's end, serving messages other threads send meanwhile; closes the handle.
    void Join();

    DWORD m_nThreadID = 0;

private:
    static DWORD WINAPI Entry(void* self);

    KernelHandle m_thread;
    Procedure m_procedure = nullptr;
    void* m_parameter = nullptr;
    bool m_suspended = false;
};

// Starts `procedure(parameter)` on a thread nobody waits for: its handle is closed at once and it
// ends on its own. FALSE, and nothing runs, when the thread cannot be made.
BOOL AfxBeginDetachedThread(CWinThread::Procedure procedure, void* parameter);
