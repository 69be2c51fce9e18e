#pragma once
// Writes a new image (its first bytes, then zeros up to its length) and flushes it to the disk, on a
// thread of its own, as far ahead of what its caller has reported as it gets. The caller reports
// each piece's progress while the next ones are written, so that a slow report (the wizard's
// progress dialog answers every percent with a window message round trip and a repaint) overlaps
// the disk work instead of adding to it; the percents reported stay those of a writer that waits
// for each.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "HandleOwner.h"

namespace outside {

class ImageWriter {
public:
    // Writes `head` (its bytes) and then zeros up to `length` bytes into `file`, in pieces of
    // `piece` bytes. `failAtHalf` is the test knob that makes the writing fail half-way.
    ImageWriter(HANDLE file, const void* head, uint32_t headBytes, uint64_t length, uint32_t piece,
                bool failAtHalf);
    ~ImageWriter();     // stops the writing and waits for the thread
    ImageWriter(const ImageWriter&) = delete;
    ImageWriter& operator=(const ImageWriter&) = delete;

    bool Start();
    // Waits until the next piece is written and gives the bytes written so far; false when no
    // piece is left (the file is then flushed) or the writing failed (Failed() tells which).
    bool NextPiece(uint64_t& written);
    // Ends the writing after the piece being written.
    void Stop();
    bool Failed() const { return m_failed; }

private:
    static DWORD WINAPI ThreadEntry(LPVOID self);
    void Write();
    bool WriteBytes(const void* bytes, DWORD count);
    bool WriteZeros(DWORD count);

    HANDLE m_file;
    const void* m_head;
    uint32_t m_headBytes;
    uint64_t m_length;
    uint32_t m_piece;
    bool m_failAtHalf;
    std::vector<char> m_zeros;  // one block of zeros, written as often as a piece needs

    KernelHandle m_stop;        // manual-reset event: no more pieces
    KernelHandle m_written;     // semaphore: pieces written and not yet taken by the caller
    KernelHandle m_thread;
    std::atomic<bool> m_failed{false};
    uint64_t m_given = 0;       // the caller's: pieces taken so far
};

}  // namespace outside
