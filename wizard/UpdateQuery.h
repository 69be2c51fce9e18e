#pragma once
// Asking the product's update address for the newest version. The answer is a small INI-style
// text of our own:
//     [Update]
//     Version=2.1
//     Url=https://www.example.com/download/
// The query is a plain HTTP(S) GET through WinINet. WinINet does not always honour its own
// time-outs (a server that accepts and never answers holds a call far longer), so the wizard runs
// the query on a worker and ends it from outside when its deadline passes (CUpdateCheck).
#include <atomic>
#include <string>

struct UpdateInfo {
    static constexpr size_t kVersionMax = 20;      // longest newest-version text kept
    static constexpr size_t kAddressMax = 511;     // longest download address kept
    std::string version;
    std::string address;
};

// Time-out asked of WinINet for each step of the query (connect, send, receive).
constexpr unsigned kUpdateQueryTimeoutMs = 3000;

// The session of a running query, shared with a thread that may end it. Whoever takes the handle
// out of the slot closes it (with every handle opened on it), so it is closed exactly once.
using UpdateSessionSlot = std::atomic<void*>;
// Ends the query whose session is in `slot`: its blocked calls return and it fails; a query that
// has not opened its session yet gives up as soon as it does.
void CloseUpdateSession(UpdateSessionSlot& slot);

// Orders two version texts by their dot-separated parts: numerically where both parts are
// digits, as text without regard to case otherwise; a missing part counts as "0" against a
// number and as empty against text. Negative, 0 or positive as a is older, equal or newer.
int CompareVersions(const std::string& a, const std::string& b);

// Whether the address starts with "http://" or "https://" (any case), names something after
// it and fits UpdateInfo::kAddressMax.
bool IsWebAddress(const std::string& address);

// Reads the answer text; false when it names no version. Both values are trimmed and cut to
// their limits.
bool ParseUpdateAnswer(const std::string& answer, UpdateInfo& info);

// GETs the address (http or https only) and reads its answer; false on any failure, and when
// another thread ended it through `session`.
bool QueryUpdate(const std::string& url, UpdateInfo& info, UpdateSessionSlot* session = nullptr);
