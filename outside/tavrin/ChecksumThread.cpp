#include "ChecksumThread.h"

namespace outside {

ChecksumThread::ChecksumThread()
    : m_start(CreateEventW(nullptr, FALSE, FALSE, nullptr)), m_done(CreateEventW(nullptr, FALSE, FALSE, nullptr))
{
    if (m_start && m_done)
        m_thread.Reset(CreateThread(nullptr, 0, &ChecksumThread::ThreadEntry, this, 0, nullptr));
}

ChecksumThread::~ChecksumThread()
{
    Wait();
    if (m_thread) {
        m_quit = true;
        SetEvent(m_start.Get());
        WaitForSingleObject(m_thread.Get(), INFINITE);
    }
}

DWORD WINAPI ChecksumThread::ThreadEntry(LPVOID self)
{
    static_cast<ChecksumThread*>(self)->Run();
    return 0;
}

void ChecksumThread::Run()
{
    for (;;) {
        WaitForSingleObject(m_start.Get(), INFINITE);
        if (m_quit)
            return;
        m_crc->Update(m_data, m_size);
        SetEvent(m_done.Get());
    }
}

void ChecksumThread::Begin(Crc32& crc, const void* data, size_t size)
{
    Wait();
    if (!m_thread) {
        crc.Update(data, size);
        return;
    }
    m_crc = &crc;
    m_data = data;
    m_size = size;
    m_busy = true;
    SetEvent(m_start.Get());
}

void ChecksumThread::Wait()
{
    if (m_busy) {
        WaitForSingleObject(m_done.Get(), INFINITE);
        m_busy = false;
    }
}

}  // namespace outside
