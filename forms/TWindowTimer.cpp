#include "TWindowTimer.h"

#include <map>

namespace {
std::map<UINT_PTR, TWindowTimer*>& RunningTimers()
{
    static std::map<UINT_PTR, TWindowTimer*> timers;
    return timers;
}
}  // namespace

TWindowTimer::~TWindowTimer()
{
    Stop();
}

void TWindowTimer::Start(int intervalMs)
{
    Stop();
    if (intervalMs <= 0)
        return;
    m_id = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), &TWindowTimer::Tick);
    if (m_id)
        RunningTimers()[m_id] = this;
}

void TWindowTimer::Stop()
{
    if (!m_id)
        return;
    KillTimer(nullptr, m_id);
    RunningTimers().erase(m_id);
    m_id = 0;
}

void CALLBACK TWindowTimer::Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    auto it = RunningTimers().find(id);
    if (it != RunningTimers().end() && it->second->OnTimer) {
        try {
            it->second->OnTimer();
        } catch (...) {
        }
    }
}
