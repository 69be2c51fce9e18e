#pragma once
// One Agent per disk image: a second Agent started for an image the first one holds (from the
// same USB drive, or given the same image path) must not move or mount that image again. It
// wakes the first one instead (which shows its form, or opens the mounted disk) and ends.
#include "HandleOwner.h"

#include <windows.h>

#include <string>

class AgentInstanceGuard {
public:
    // `imagePath`: the image this Agent is for (its work place).
    explicit AgentInstanceGuard(const std::string& imagePath);
    AgentInstanceGuard(const AgentInstanceGuard&) = delete;
    AgentInstanceGuard& operator=(const AgentInstanceGuard&) = delete;

    // True when another Agent already holds this image.
    bool AlreadyRunning() const { return m_alreadyRunning; }
    // Asks the Agent holding the image to come forward.
    void WakeFirst() const;
    // The registered message a waking Agent posts to every top-level window; wParam names the image.
    static UINT WakeMessage();
    bool IsWakeFor(WPARAM key) const { return key == m_key; }
    // Lets another Agent start for the same path: the image this one holds is no longer there
    // (its drive was pulled), and another stick may now lie in its place.
    void Release() { m_mutex.Reset(); }

private:
    KernelHandle m_mutex;
    WPARAM m_key = 0;
    bool m_alreadyRunning = false;
};
