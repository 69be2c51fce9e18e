#pragma once
// Checksums a piece of bytes on a thread of its own while the caller writes the same bytes
// elsewhere, so a disk's content is checked at the pace of the disk rather than after it.
#include <windows.h>

#include <cstddef>

#include "Crc32.h"
#include "HandleOwner.h"

namespace outside {

class ChecksumThread {
public:
    ChecksumThread();
    ~ChecksumThread();   // ends the thread
    ChecksumThread(const ChecksumThread&) = delete;
    ChecksumThread& operator=(const ChecksumThread&) = delete;

    // Feeds `crc` with the bytes, on the thread when it runs, else at once. The bytes and `crc`
    // stay the caller's and untouched by it until Wait().
    void Begin(Crc32& crc, const void* data, size_t size);
    void Wait();

private:
    static DWORD WINAPI ThreadEntry(LPVOID self);
    void Run();

    KernelHandle m_start;   // auto-reset: a piece is given
    KernelHandle m_done;    // auto-reset: the piece is checksummed
    KernelHandle m_thread;
    Crc32* m_crc = nullptr;
    const void* m_data = nullptr;
    size_t m_size = 0;
    bool m_busy = false;
    volatile bool m_quit = false;
};

}  // namespace outside
