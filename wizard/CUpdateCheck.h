#pragma once
// One new-version query on a worker thread, so the wizard answers its user while the network is
// slow. The window that starts it hears of the answer by a posted message, and only when the
// answer came before the check was abandoned; abandoning (the deadline passed, the page went)
// closes the query's connections and drops whatever it still brings. The worker touches no window
// but the one post, and may outlive the check: a call WinINet does not give back ends on its own.
#include <windows.h>

#include <memory>
#include <string>

#include "UpdateQuery.h"

class CUpdateCheck {
public:
    // The whole query, connection to last byte, gets this long.
    static constexpr UINT kDeadlineMs = 5000;

    CUpdateCheck() = default;
    ~CUpdateCheck();
    CUpdateCheck(const CUpdateCheck&) = delete;
    CUpdateCheck& operator=(const CUpdateCheck&) = delete;

    // Starts asking `url`; `message` is posted to `target` once the query has ended in time.
    // False when no worker could be started (nothing will be posted).
    bool Start(const std::string& url, HWND target, UINT message);
    // Stops waiting: the query's connections are closed and no message follows.
    void Abandon();
    // On the posted message: the newest version when the query succeeded. The check is then over.
    bool TakeAnswer(UpdateInfo& info);
    bool IsRunning() const { return m_shared != nullptr; }

private:
    struct Shared;
    static DWORD WINAPI Worker(void* shared);

    std::shared_ptr<Shared> m_shared;
};
