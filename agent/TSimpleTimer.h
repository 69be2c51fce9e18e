#pragma once
// A light window timer: its WM_TIMER reaches one hidden window shared by every timer of the
// program, the timer's own address serving as the timer id, so a tick names its timer without a
// lookup table. The tray icon tells a click from a double click with one.
#include "Events.h"
#include "TObject.h"

#include <windows.h>

class TSimpleTimer : public TObject {
public:
    static constexpr UINT kDefaultInterval = 1000;

    TSimpleTimer();
    TSimpleTimer(UINT interval, TNotifyEvent onTimer);
    ~TSimpleTimer() override;

    const char* ClassName() const override { return "TSimpleTimer"; }

    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return m_interval; }
    // While enabled a new non-zero interval restarts the timer; 0 stops it and keeps it enabled.
    void SetInterval(UINT interval);
    void SetOnTimer(TNotifyEvent onTimer);
    bool StopAfterTick() const { return m_stopAfterTick; }
    void SetStopAfterTick(bool stop) { m_stopAfterTick = stop; }

    bool Start();
    void Stop(bool clearEnabled = true);
    // True while the system timer runs (enabled and with a non-zero interval and a callback).
    bool Running() const { return m_running; }

    // The shared window's tick for the timer whose id (address) is `id`.
    static void Tick(UINT_PTR id);

private:
    UINT m_interval = kDefaultInterval;
    bool m_enabled = false;
    bool m_running = false;
    bool m_stopAfterTick = false;
    TNotifyEvent m_onTimer;
};
