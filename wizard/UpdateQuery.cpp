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

// An open WinINet handle, closed with its owner.
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

private:
    HINTERNET m_handle;
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

bool QueryUpdate(const std::string& url, UpdateInfo& info)
{
    if (!IsWebAddress(url) || !Internet().IsComplete())
        return false;
    const InternetClient& internet = Internet();
    InternetHandle session(internet.open(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session)
        return false;
    DWORD timeout = kUpdateQueryTimeoutMs;
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        internet.setOption(session, option, &timeout, sizeof timeout);
    const DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_COOKIES |
                        INTERNET_FLAG_NO_UI | INTERNET_FLAG_PRAGMA_NOCACHE;
    InternetHandle request(internet.openUrl(session, url.c_str(), nullptr, 0, flags, 0));
    if (!request)
        return false;
    DWORD status = 0, size = sizeof status;
    if (!internet.queryInfo(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
        status != HTTP_STATUS_OK)
        return false;
    std::string answer;
    char buffer[1024];
    DWORD read = 0;
    while (answer.size() < kAnswerMax && internet.readFile(request, buffer, sizeof buffer, &read) && read > 0)
        answer.append(buffer, read);
    return ParseUpdateAnswer(answer.substr(0, kAnswerMax), info);
}
