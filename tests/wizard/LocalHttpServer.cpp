#include "LocalHttpServer.h"

namespace {

struct WinsockStart {
    WinsockStart()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

SOCKET ListenOnLoopback(int& port)
{
    static WinsockStart started;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return s;
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int size = sizeof address;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(s, 8) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

}  // namespace

LocalHttpServer::LocalHttpServer(const std::string& body, int status, DWORD answerAfterMs)
    : m_body(body), m_status(status), m_answerAfterMs(answerAfterMs)
{
    m_listener = ListenOnLoopback(m_port);
    if (m_listener != INVALID_SOCKET)
        m_thread = std::thread([this] { Serve(); });
    else
        m_port = 0;
}

LocalHttpServer::~LocalHttpServer()
{
    m_stop = true;
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    if (m_thread.joinable())
        m_thread.join();
    for (SOCKET held : m_held)
        closesocket(held);
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> LocalHttpServer::Requests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

int LocalHttpServer::UnusedPort()
{
    int port = 0;
    SOCKET s = ListenOnLoopback(port);
    if (s != INVALID_SOCKET)
        closesocket(s);
    return port;
}

void LocalHttpServer::Serve()
{
    while (!m_stop) {
        fd_set ready;
        FD_ZERO(&ready);
        FD_SET(m_listener, &ready);
        timeval wait = {0, 100000};
        if (select(0, &ready, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
        std::string request;
        char buffer[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<size_t>(got));
        }
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_requests.push_back(request.substr(0, request.find("\r\n")));
        }
        if (m_status == kNeverAnswer) {
            m_held.push_back(client);
            continue;
        }
        const std::string reply = "HTTP/1.1 " + std::to_string(m_status) + (m_status == 200 ? " OK" : " Error") +
                                  "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(m_body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + m_body;
        if (Reply(client, reply))
            ++m_answers;
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

bool LocalHttpServer::Reply(SOCKET client, const std::string& reply)
{
    size_t sent = 0;
    if (m_answerAfterMs > 0) {
        const size_t head = reply.find("\r\n\r\n");
        const DWORD start = GetTickCount();
        for (; sent < head; ++sent) {
            // Byte i goes out at its share of the delay; the head's end, and the body, at its end.
            const DWORD due = static_cast<DWORD>(static_cast<unsigned long long>(m_answerAfterMs) * sent / head);
            while (GetTickCount() - start < due) {
                if (m_stop)
                    return false;
                Sleep(10);
            }
            if (send(client, reply.data() + sent, 1, 0) != 1)
                return false;
        }
        while (GetTickCount() - start < m_answerAfterMs) {
            if (m_stop)
                return false;
            Sleep(10);
        }
    }
    const int rest = static_cast<int>(reply.size() - sent);
    return send(client, reply.data() + sent, rest, 0) == rest;
}
