#pragma once
// A tiny HTTP server of the test's own on the loopback address: every GET is answered with one
// fixed body (or, with kNeverAnswer, accepted and held open without a byte of answer until the
// server ends), and the request lines it received are kept for the test to read. A slow server
// answers each request whole only `answerAfterMs` after it came: its head trickles out a byte at a
// time meanwhile, so no single wait of the client lasts long, as a slow network's would not.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    static constexpr int kNeverAnswer = 0;      // the status of a server that never answers

    explicit LocalHttpServer(const std::string& body, int status = 200, DWORD answerAfterMs = 0);
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    bool Listening() const { return m_port != 0; }
    int Port() const { return m_port; }
    std::string Url(const std::string& path = "/update.ini") const;
    std::vector<std::string> Requests() const;       // "GET /update.ini HTTP/1.1", in order
    size_t Answers() const { return m_answers; }     // answers sent whole so far

    // A loopback port that nothing listens on (taken and given back at once).
    static int UnusedPort();

private:
    void Serve();
    // Sends the reply; a slow server spreads its head over the delay. False when the server ends.
    bool Reply(SOCKET client, const std::string& reply);

    std::string m_body;
    int m_status;
    DWORD m_answerAfterMs;
    SOCKET m_listener = INVALID_SOCKET;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<size_t> m_answers{0};
    mutable std::mutex m_lock;
    std::vector<std::string> m_requests;
    std::vector<SOCKET> m_held;             // connections left unanswered
    std::thread m_thread;
};
