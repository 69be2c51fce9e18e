#include "UpdateQuery.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "SystemFunction.h"

namespace {

constexpr size_t kAnswerMax = 8192;     // an answer is a few lines; more is not read
constexpr const char* kAgent = "Sequora update check";
constexpr const char* kHttp = "http://";
constexpr const char* kHttps = "https://";

// The Internet client's functions the query uses, bound when the first query runs: the update check
// is rare, and wininet with the socket and security libraries it needs should not load with Brixom.
struct InternetClient {
    decltype(&::InternetOpenA) open = Bind<decltype(&::InternetOpenA)>("InternetOpenA");
    decltype(&::InternetSetOptionA) setOption = Bind<decltype(&::InternetSetOptionA)>("InternetSetOptionA");
    decltype(&::InternetOpenUrlA) openUrl = Bind<decltype(&::InternetOpenUrlA)>("InternetOpenUrlA");
    decltype(&::HttpQueryInfoA) queryInfo = Bind<decltype(&::HttpQueryInfoA)>("HttpQueryInfoA");
    decltype(&::InternetReadFile) readFile = Bind<decltype(&::InternetReadFile)>("InternetReadFile");
    decltype(&::InternetCloseHandle) closeHandle = Bind<decltype(&::InternetCloseHandle)>("InternetCloseHandle");

    bool IsComplete() const { return open && setOption && openUrl && queryInfo && readFile && closeHandle; }

private:
    template <typename Fn>
    static Fn Bind(const char* name)
    {
        return SystemFunction<Fn>("wininet.dll", name);
    }
};

const InternetClient& Internet()
{
    static const InternetClient client;
    return client;
}

// Marks a slot whose query was ended before or while it ran: the address of an object of ours, since
// WinINet's handles are small numbers (the first session is 1).
char g_endedMark;
void* const kSessionEnded = &g_endedMark;

// An open WinINet handle, closed with its owner unless given up: a request dies with its session
// when another thread closed that.
class InternetHandle {
public:
    explicit InternetHandle(HINTERNET handle) : m_handle(handle) {}
    ~InternetHandle()
    {
        if (m_handle)
            Internet().closeHandle(m_handle);
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    operator HINTERNET() const { return m_handle; }
    void Release() { m_handle = nullptr; }

private:
    HINTERNET m_handle;
};

// The query's session, in the slot another thread may take it from.
class SharedSession {
public:
    explicit SharedSession(UpdateSessionSlot* slot) : m_slot(slot ? *slot : m_own) {}
    ~SharedSession()
    {
        if (m_taken)
            Internet().closeHandle(m_taken);
    }
    SharedSession(const SharedSession&) = delete;
    SharedSession& operator=(const SharedSession&) = delete;

    // False (and the handle closed) when the query was ended before its session existed.
    bool Hold(HINTERNET session)
    {
        void* expected = nullptr;
        if (m_slot.compare_exchange_strong(expected, session))
            return true;
        Internet().closeHandle(session);
        return false;
    }
    // Takes the session back for closing; false when another thread ended it (and closed it).
    // From here on nobody else closes anything of this query.
    bool Take()
    {
        void* held = m_slot.exchange(kSessionEnded);
        if (!held || held == kSessionEnded)
            return false;
        m_taken = static_cast<HINTERNET>(held);
        return true;
    }

private:
    UpdateSessionSlot m_own{nullptr};
    UpdateSessionSlot& m_slot;
    HINTERNET m_taken = nullptr;
};

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsDigits(const std::string& text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

int Sign(int value)
{
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// Numbers of any length: without leading zeros the longer is the greater.
int CompareNumbers(const std::string& a, const std::string& b)
{
    const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return Sign(x.compare(y));
}

std::vector<std::string> SplitParts(const std::string& text)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t dot = text.find('.', start);
        parts.push_back(text.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
        if (dot == std::string::npos)
            return parts;
        start = dot + 1;
    }
}

bool StartsWithNoCase(const std::string& text, const char* prefix)
{
    return Lower(text.substr(0, std::char_traits<char>::length(prefix))) == prefix;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b)
{
    const std::vector<std::string> x = SplitParts(Trim(a)), y = SplitParts(Trim(b));
    for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        std::string partX = i < x.size() ? x[i] : std::string();
        std::string partY = i < y.size() ? y[i] : std::string();
        if (i >= x.size() && IsDigits(partY))
            partX = "0";
        if (i >= y.size() && IsDigits(partX))
            partY = "0";
        const int order = IsDigits(partX) && IsDigits(partY) ? CompareNumbers(partX, partY)
                                                             : Sign(Lower(partX).compare(Lower(partY)));
        if (order != 0)
            return order;
    }
    return 0;
}

bool IsWebAddress(const std::string& address)
{
    size_t scheme = 0;
    if (StartsWithNoCase(address, kHttps))
        scheme = std::char_traits<char>::length(kHttps);
    else if (StartsWithNoCase(address, kHttp))
        scheme = std::char_traits<char>::length(kHttp);
    return scheme != 0 && address.size() > scheme && address.size() <= UpdateInfo::kAddressMax;
}

bool ParseUpdateAnswer(const std::string& answer, UpdateInfo& info)
{
    UpdateInfo read;
    size_t start = 0;
    while (start < answer.size()) {
        size_t end = answer.find('\n', start);
        if (end == std::string::npos)
            end = answer.size();
        const std::string line = Trim(answer.substr(start, end - start));
        start = end + 1;
        const size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '[' || equals == std::string::npos)
            continue;
        const std::string key = Lower(Trim(line.substr(0, equals)));
        const std::string value = Trim(line.substr(equals + 1));
        if (key == "version")
            read.version = value.substr(0, UpdateInfo::kVersionMax);
        else if (key == "url")
            read.address = value.substr(0, UpdateInfo::kAddressMax);
    }
    if (read.version.empty())
        return false;
    info = read;
    return true;
}

void CloseUpdateSession(UpdateSessionSlot& slot)
{
    void* held = slot.exchange(kSessionEnded);
    if (held && held != kSessionEnded && Internet().IsComplete())
        Internet().closeHandle(static_cast<HINTERNET>(held));
}

bool QueryUpdate(const std::string& url, UpdateInfo& info, UpdateSessionSlot* slot)
{
    if (!IsWebAddress(url) || !Internet().IsComplete())
        return false;
    const InternetClient& internet = Internet();
    HINTERNET opened = internet.open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!opened)
        return false;
    SharedSession session(slot);
    if (!session.Hold(opened))
        return false;
    DWORD timeout = kUpdateQueryTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        internet.setOption(opened, option, &timeout, sizeof timeout);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
    InternetHandle request(internet.openUrl(opened, url.c_str(), nullptr, 0, flags, 0));
    std::string answer;
    bool answered = false;
    if (request) {
        DWORD status = 0, size = sizeof status;
        answered = internet.queryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                                      nullptr) &&
                   status == HTTP_STATUS_OK;
        char buffer[1024];
        DWORD read = 0;
        while (answered && answer.size() < kAnswerMax && internet.readFile(request, buffer, sizeof buffer, &read) &&
               read > 0)
            answer.append(buffer, read);
    }
    // Ended from outside: the request went with the session, and what was read may be cut short.
    if (!session.Take()) {
        request.Release();
        return false;
    }
    return answered && ParseUpdateAnswer(answer.substr(0, kAnswerMax), info);
}
