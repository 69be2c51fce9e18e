#pragma once
// Asking the product's update address for the newest version. The answer is a small INI-style
// text of our own:
//     [Update]
//     Version=2.1
//     Url=https://www.example.com/download/
// The query is a plain HTTP(S) GET through WinINet with short time-outs, so a missing network
// costs the start-up a few seconds at most and shows nothing.
#include <string>

struct UpdateInfo {
    static constexpr size_t kVersionMax = 20;      // longest newest-version text kept
    static constexpr size_t kAddressMax = 511;     // longest download address kept
    std::string version;
    std::string address;
};

// Time-out of each step of the query (connect, send, receive).
constexpr unsigned kUpdateQueryTimeoutMs = 3000;

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

// GETs the address (http or https only) and reads its answer; false on any failure.
bool QueryUpdate(const std::string& url, UpdateInfo& info);
