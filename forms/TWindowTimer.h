#pragma once
// A window timer that calls OnTimer every interval through the message loop, from Start until
// Stop or destruction. An interval of 0 or less never ticks.
#include <windows.h>

#include <functional>

class TWindowTimer {
public:
    TWindowTimer() = default;
    ~TWindowTimer();
    TWindowTimer(const TWindowTimer&) = delete;
    TWindowTimer& operator=(const TWindowTimer&) = delete;

    void Start(int intervalMs);
    void Stop();
    bool Running() const { return m_id != 0; }

    std::function<void()> OnTimer;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    UINT_PTR m_id = 0;
};
