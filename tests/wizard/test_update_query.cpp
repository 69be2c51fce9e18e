// The new-version check's own rules: how versions are ordered, which addresses count as web
// pages, how the answer is read, and the query against a local server.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "CUpdateCheck.h"

#include "LocalHttpServer.h"
#include "UpdateQuery.h"

namespace {

bool WaitUntilRequested(const LocalHttpServer& server)
{
    for (int i = 0; i < 500 && server.Requests().empty(); ++i)
        Sleep(20);
    return !server.Requests().empty();
}

}  // namespace

TEST(UpdateQuery, VersionsCompareByDotPartsNumericallyOrAsTextIgnoringCase)
{
    struct Case {
        const char* newest;
        const char* current;
        int order;
    };
    const Case cases[] = {
        {"2.1", "2.0", 1},      {"2.0", "2.0", 0},      {"2.0A", "2.0a", 0},   {"10.0", "9.0", 1},
        {"9.0", "10.0", -1},    {"2.10", "2.9", 1},     {"2.0", "2", 0},       {"2.0.1", "2.0", 1},
        {"1.0b", "1.0a", 1},    {"1.0", "1.0beta", -1}, {"007", "7", 0},       {" 3.1 ", "3.1", 0},
        {"123456789012345678901", "99", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.newest) + " against " + c.current);
        EXPECT_EQ(CompareVersions(c.newest, c.current), c.order);
        EXPECT_EQ(CompareVersions(c.current, c.newest), -c.order);
    }
}

TEST(UpdateQuery, OnlyHttpAndHttpsAddressesAreWebPages)
{
    EXPECT_TRUE(IsWebAddress("http://example.com/"));
    EXPECT_TRUE(IsWebAddress("HTTPS://example.com/download"));
    EXPECT_FALSE(IsWebAddress("https://"));
    EXPECT_FALSE(IsWebAddress("file:///C:/windows/notepad.exe"));
    EXPECT_FALSE(IsWebAddress("C:\\windows\\notepad.exe"));
    EXPECT_FALSE(IsWebAddress("ftp://example.com/"));
    EXPECT_FALSE(IsWebAddress(""));
    EXPECT_TRUE(IsWebAddress("http://e/" + std::string(502, 'x')));     // 511 characters
    EXPECT_FALSE(IsWebAddress("http://e/" + std::string(503, 'x')));
}

TEST(UpdateQuery, AnswerGivesVersionAndAddressCutToTheirLimits)
{
    UpdateInfo info;
    ASSERT_TRUE(ParseUpdateAnswer("[Update]\r\nVersion = 2.1 \r\nUrl=https://example.com/get\r\n", info));
    EXPECT_EQ(info.version, "2.1");
    EXPECT_EQ(info.address, "https://example.com/get");

    ASSERT_TRUE(ParseUpdateAnswer("version=" + std::string(30, '9') + "\nURL=" + std::string(600, 'a'), info));
    EXPECT_EQ(info.version.size(), UpdateInfo::kVersionMax);
    EXPECT_EQ(info.address.size(), UpdateInfo::kAddressMax);

    UpdateInfo untouched;
    untouched.version = "kept";
    EXPECT_FALSE(ParseUpdateAnswer("<html>not found</html>", untouched));
    EXPECT_FALSE(ParseUpdateAnswer("Url=https://example.com/", untouched));
    EXPECT_EQ(untouched.version, "kept");
}

TEST(UpdateQuery, AsksTheServerAndFailsQuietlyWhenItIsDownOrRefuses)
{
    LocalHttpServer server("[Update]\r\nVersion=3.2\r\nUrl=http://127.0.0.1/dl\r\n");
    ASSERT_TRUE(server.Listening());
    UpdateInfo info;
    ASSERT_TRUE(QueryUpdate(server.Url(), info));
    EXPECT_EQ(info.version, "3.2");
    EXPECT_EQ(info.address, "http://127.0.0.1/dl");
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].substr(0, 16), "GET /update.ini ");

    LocalHttpServer missing("Version=9.9", 404);
    ASSERT_TRUE(missing.Listening());
    EXPECT_FALSE(QueryUpdate(missing.Url(), info));

    const DWORD start = GetTickCount();
    EXPECT_FALSE(QueryUpdate("http://127.0.0.1:" + std::to_string(LocalHttpServer::UnusedPort()) + "/u.ini", info));
    EXPECT_LT(GetTickCount() - start, 2 * kUpdateQueryTimeoutMs + 1000);

    // Not a web address: nothing is asked at all.
    EXPECT_FALSE(QueryUpdate("file:///C:/update.ini", info));
    EXPECT_EQ(info.version, "3.2");
}

// A query ended from another thread while a slow server holds it fails, though the server's
// answer comes whole afterwards (Wine lets the blocked call run on until it does); one ended before
// it began gives up as soon as it has a session.
TEST(UpdateQuery, AQueryEndedFromOutsideFails)
{
    constexpr DWORD kAnswerAfterMs = 2000;
    LocalHttpServer slow("Version=3.1\r\n", 200, kAnswerAfterMs);
    ASSERT_TRUE(slow.Listening());
    UpdateSessionSlot slot{nullptr};
    UpdateInfo info;
    bool answered = true;
    std::thread query([&, url = slow.Url()] { answered = QueryUpdate(url, info, &slot); });
    ASSERT_TRUE(WaitUntilRequested(slow));
    Sleep(300);
    CloseUpdateSession(slot);
    query.join();
    EXPECT_FALSE(answered);
    EXPECT_TRUE(info.version.empty());

    // Not ended, the same slow server is waited for.
    UpdateSessionSlot waited{nullptr};
    EXPECT_TRUE(QueryUpdate(slow.Url(), info, &waited));
    EXPECT_EQ(info.version, "3.1");

    LocalHttpServer server("Version=3.0\r\n");
    ASSERT_TRUE(server.Listening());
    UpdateSessionSlot early{nullptr};
    CloseUpdateSession(early);
    EXPECT_FALSE(QueryUpdate(server.Url(), info, &early));
    EXPECT_TRUE(server.Requests().empty());
    UpdateSessionSlot fresh{nullptr};
    EXPECT_TRUE(QueryUpdate(server.Url(), info, &fresh));
    EXPECT_EQ(info.version, "3.0");
}

namespace {

// A window of the test's own that keeps the messages posted to it.
class AnswerWindow {
public:
    AnswerWindow() : m_hwnd(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~AnswerWindow() { DestroyWindow(m_hwnd); }
    HWND Handle() const { return m_hwnd; }
    // Whether `message` reached the window within `ms`.
    bool Receives(UINT message, DWORD ms) const
    {
        const DWORD start = GetTickCount();
        do {
            MSG msg;
            if (PeekMessageA(&msg, m_hwnd, message, message, PM_REMOVE))
                return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
        } while (GetTickCount() - start < ms);
        return false;
    }

private:
    HWND m_hwnd;
};

}  // namespace

TEST(UpdateCheck, TheAnswerIsPostedOnceAndAnAbandonedQueryStaysSilent)
{
    constexpr UINT kAnswer = WM_APP + 7;
    AnswerWindow window;
    ASSERT_NE(window.Handle(), nullptr);

    LocalHttpServer server("Version=4.5\r\nUrl=http://127.0.0.1/dl\r\n");
    ASSERT_TRUE(server.Listening());
    CUpdateCheck check;
    ASSERT_TRUE(check.Start(server.Url(), window.Handle(), kAnswer));
    EXPECT_TRUE(check.IsRunning());
    ASSERT_TRUE(window.Receives(kAnswer, 10000));
    UpdateInfo info;
    ASSERT_TRUE(check.TakeAnswer(info));
    EXPECT_EQ(info.version, "4.5");
    EXPECT_EQ(info.address, "http://127.0.0.1/dl");
    EXPECT_FALSE(check.IsRunning());
    EXPECT_FALSE(window.Receives(kAnswer, 300));

    // A slow server: abandoned before its answer, and nothing comes when the answer does.
    constexpr DWORD kAnswerAfterMs = 1500;
    LocalHttpServer slow("Version=4.6\r\n", 200, kAnswerAfterMs);
    ASSERT_TRUE(slow.Listening());
    ASSERT_TRUE(check.Start(slow.Url(), window.Handle(), kAnswer));
    ASSERT_TRUE(WaitUntilRequested(slow));
    const DWORD start = GetTickCount();
    check.Abandon();
    EXPECT_LT(GetTickCount() - start, 500u) << "abandoning does not wait for the worker";
    EXPECT_FALSE(check.IsRunning());
    EXPECT_FALSE(window.Receives(kAnswer, kAnswerAfterMs + 2500));
    EXPECT_FALSE(check.TakeAnswer(info));

    // Not abandoned, the same slow answer is posted and taken.
    ASSERT_TRUE(check.Start(slow.Url(), window.Handle(), kAnswer));
    ASSERT_TRUE(window.Receives(kAnswer, 10000));
    ASSERT_TRUE(check.TakeAnswer(info));
    EXPECT_EQ(info.version, "4.6");

    // A refusing server ends in time too, with no answer to take.
    LocalHttpServer missing("Version=9.9", 404);
    ASSERT_TRUE(check.Start(missing.Url(), window.Handle(), kAnswer));
    ASSERT_TRUE(window.Receives(kAnswer, 10000));
    info = UpdateInfo();
    EXPECT_FALSE(check.TakeAnswer(info));
    EXPECT_TRUE(info.version.empty());
}
