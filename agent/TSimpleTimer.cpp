#include "TSimpleTimer.h"

#include "HelperWindow.h"

#include <vector>

namespace {

constexpr char kHandlerClass[] = "TSimpleTimerHandler";

// The shared window lives from the first timer to the last one; the list of living timers keeps
// a late WM_TIMER from reaching a timer that is gone.
struct TimerHandler {
    HWND window = nullptr;
    std::vector<TSimpleTimer*> timers;
    int active = 0;
};

TimerHandler& Handler()
{
    static TimerHandler handler;
    return handler;
}

LRESULT CALLBACK HandlerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        TSimpleTimer::Tick(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND HandlerWindow()
{
    TimerHandler& handler = Handler();
    if (!handler.window)
        handler.window = CreateHelperWindow(kHandlerClass, HandlerProc);
    return handler.window;
}

void Join(TSimpleTimer* timer)
{
    Handler().timers.push_back(timer);
}

void Leave(TSimpleTimer* timer)
{
    TimerHandler& handler = Handler();
    for (auto it = handler.timers.begin(); it != handler.timers.end(); ++it)
        if (*it == timer) {
            handler.timers.erase(it);
            break;
        }
    if (handler.timers.empty() && handler.window) {
        DestroyWindow(handler.window);
        handler.window = nullptr;
        handler.active = 0;
    }
}

}  // namespace

TSimpleTimer::TSimpleTimer() { Join(this); }

TSimpleTimer::TSimpleTimer(UINT interval, TNotifyEvent onTimer) : m_interval(interval), m_onTimer(std::move(onTimer))
{
    Join(this);
}

TSimpleTimer::~TSimpleTimer()
{
    if (m_enabled)
        Stop();
    Leave(this);
}

void TSimpleTimer::SetEnabled(bool enabled)
{
    if (enabled)
        Start();
    else
        Stop();
}

void TSimpleTimer::SetInterval(UINT interval)
{
    if (interval == m_interval)
        return;
    m_interval = interval;
    if (!m_enabled)
        return;
    if (interval)
        Start();
    else
        Stop(false);
}

void TSimpleTimer::SetOnTimer(TNotifyEvent onTimer)
{
    m_onTimer = std::move(onTimer);
    if (m_enabled && !m_onTimer)
        Stop(false);
}

bool TSimpleTimer::Start()
{
    if (!m_interval)
        return false;
    if (m_running)
        Stop(false);
    if (!SetTimer(HandlerWindow(), reinterpret_cast<UINT_PTR>(this), m_interval, nullptr))
        return false;
    m_enabled = true;
    m_running = true;
    ++Handler().active;
    return true;
}

void TSimpleTimer::Stop(bool clearEnabled)
{
    if (clearEnabled)
        m_enabled = false;
    if (!m_running)
        return;
    m_running = false;
    if (KillTimer(Handler().window, reinterpret_cast<UINT_PTR>(this)) && Handler().active > 0)
        --Handler().active;
}

void TSimpleTimer::Tick(UINT_PTR id)
{
    for (TSimpleTimer* timer : Handler().timers)
        if (reinterpret_cast<UINT_PTR>(timer) == id) {
            if (timer->m_stopAfterTick)
                timer->Stop();
            if (timer->m_onTimer) {
                try {
                    timer->m_onTimer(timer);
                } catch (...) {
                }
            }
            return;
        }
}
