#include "ImageWriter.h"

namespace outside {

namespace {

// The writing never waits for the reports. A report costs the wizard a window message round trip
// that waits out the bar's repaint (about 1 ms under Wine), longer than writing a piece into the
// system's cache, so a writer held a few pieces ahead ran at the reports' pace and paid for them
// before its flush; unheld, the reports catch up while the flush runs.
constexpr LONG kMostPieces = 0x7FFFFFFF;
// The zeros of a piece are written from one small block, again and again: a piece-sized buffer
// (up to 4 MiB) cost the creation its allocation and a page fault for every 4 KiB of it before the
// first byte reached the file.
constexpr uint32_t kZeroBlock = 256u << 10;

}  // namespace

ImageWriter::ImageWriter(HANDLE file, const void* head, uint32_t headBytes, uint64_t length, uint32_t piece,
                         bool failAtHalf)
    : m_file(file),
      m_head(head),
      m_headBytes(headBytes),
      m_length(length),
      m_piece(piece),
      m_failAtHalf(failAtHalf),
      m_zeros(piece < kZeroBlock ? piece : kZeroBlock, 0),
      m_stop(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_written(CreateSemaphoreW(nullptr, 0, kMostPieces, nullptr))
{
}

ImageWriter::~ImageWriter()
{
    Stop();
    if (m_thread)
        WaitForSingleObject(m_thread.Get(), INFINITE);
}

bool ImageWriter::Start()
{
    if (!m_stop || !m_written)
        return false;
    m_thread.Reset(CreateThread(nullptr, 0, &ImageWriter::ThreadEntry, this, 0, nullptr));
    return static_cast<bool>(m_thread);
}

DWORD WINAPI ImageWriter::ThreadEntry(LPVOID self)
{
    static_cast<ImageWriter*>(self)->Write();
    return 0;
}

bool ImageWriter::WriteBytes(const void* bytes, DWORD count)
{
    DWORD written = 0;
    return WriteFile(m_file, bytes, count, &written, nullptr) && written == count;
}

bool ImageWriter::WriteZeros(DWORD count)
{
    while (count > 0) {
        const DWORD block = count < m_zeros.size() ? count : static_cast<DWORD>(m_zeros.size());
        if (!WriteBytes(m_zeros.data(), block))
            return false;
        count -= block;
    }
    return true;
}

void ImageWriter::Write()
{
    if (!WriteBytes(m_head, m_headBytes)) {
        m_failed = true;
        return;
    }
    uint64_t done = m_headBytes;
    while (done < m_length) {
        if (WaitForSingleObject(m_stop.Get(), 0) == WAIT_OBJECT_0)
            return;     // stopped
        const DWORD count = static_cast<DWORD>(m_length - done < m_piece ? m_length - done : m_piece);
        if (!WriteZeros(count) || (m_failAtHalf && (done + count) * 100 / m_length >= 50)) {
            m_failed = true;
            return;
        }
        done += count;
        ReleaseSemaphore(m_written.Get(), 1, nullptr);
    }
    // On the disk before the caller reports the end; its last reports go on meanwhile.
    if (!FlushFileBuffers(m_file))
        m_failed = true;
}

bool ImageWriter::NextPiece(uint64_t& written)
{
    // The pieces written come first; the thread's end means that no more will.
    const HANDLE waits[2] = {m_written.Get(), m_thread.Get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
        return false;
    ++m_given;
    const uint64_t bytesBefore = m_headBytes + (m_given - 1) * m_piece;
    written = m_length - bytesBefore < m_piece ? m_length : bytesBefore + m_piece;
    return true;
}

void ImageWriter::Stop()
{
    if (m_stop)
        SetEvent(m_stop.Get());
}

}  // namespace outside
