#include "CWinThread.h"

#include <new>

#include "HandleOwner.h"

CWinThread::~CWinThread()
{
    Join();
}

BOOL CWinThread::CreateThread(Procedure procedure, void* parameter, int priority, DWORD createFlags)
{
    if (m_thread || !procedure)
        return FALSE;
    m_procedure = procedure;
    m_parameter = parameter;
    // Made suspended in any case, so the priority is set before it runs a single instruction.
    m_thread.Reset(::CreateThread(nullptr, 0, &CWinThread::Entry, this, CREATE_SUSPENDED, &m_nThreadID));
    if (!m_thread)
        return FALSE;
    ::SetThreadPriority(m_thread.Get(), priority);
    m_suspended = true;
    if (!(createFlags & CREATE_SUSPENDED))
        ResumeThread();
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    if (!m_thread)
        return static_cast<DWORD>(-1);
    m_suspended = false;
    return ::ResumeThread(m_thread.Get());
}

bool CWinThread::IsRunning() const
{
    return m_thread && ::WaitForSingleObject(m_thread.Get(), 0) == WAIT_TIMEOUT;
}

void CWinThread::Join()
{
    if (!m_thread)
        return;
    // A thread never resumed would never end.
    if (m_suspended)
        ResumeThread();
    for (;;) {
        const HANDLE thread = m_thread.Get();
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            break;
        // Serves what the worker sends (a progress report, a list it fills) and nothing else.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    m_thread.Reset();
    m_nThreadID = 0;
}

DWORD WINAPI CWinThread::Entry(void* self)
{
    CWinThread* thread = static_cast<CWinThread*>(self);
    try {
        return thread->m_procedure(thread->m_parameter);
    } catch (...) {
        return 1;
    }
}

namespace {

struct DetachedStart {
    CWinThread::Procedure procedure;
    void* parameter;
};

DWORD WINAPI DetachedEntry(void* start)
{
    const DetachedStart what = *static_cast<DetachedStart*>(start);
    delete static_cast<DetachedStart*>(start);
    try {
        return what.procedure(what.parameter);
    } catch (...) {
        return 0;
    }
}

}  // namespace

BOOL AfxBeginDetachedThread(CWinThread::Procedure procedure, void* parameter)
{
    if (!procedure)
        return FALSE;
    DetachedStart* start = new (std::nothrow) DetachedStart{procedure, parameter};
    if (!start)
        return FALSE;
    // Nobody waits for it: its handle goes at once.
    const KernelHandle thread(::CreateThread(nullptr, 0, &DetachedEntry, start, 0, nullptr));
    if (!thread) {
        delete start;
        return FALSE;
    }
    return TRUE;
}
