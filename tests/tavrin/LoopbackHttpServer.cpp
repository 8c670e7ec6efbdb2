#include "LoopbackHttpServer.h"

#include <ws2tcpip.h>

namespace {

struct WinsockInit {
    WinsockInit() {
        WSADATA d;
        WSAStartup(MAKEWORD(2, 2), &d);
    }
};

void EnsureWinsock() { static WinsockInit once; }

SOCKET LoopbackSocket(unsigned short port, unsigned short* bound) {
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return s;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    int len = sizeof(a);
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof(a)) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    *bound = ntohs(a.sin_port);
    return s;
}

const char* Reason(int status) {
    switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    default: return "Status";
    }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
    EnsureWinsock();
    listener_ = LoopbackSocket(0, &port_);
    if (listener_ == INVALID_SOCKET) return;
    if (listen(listener_, 8) != 0) {
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        return;
    }
    thread_ = std::thread([this] { Run(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
}

std::wstring LoopbackHttpServer::Url(const std::string& path) const {
    return L"http://127.0.0.1:" + std::to_wstring(port_) + std::wstring(path.begin(), path.end());
}

unsigned short LoopbackHttpServer::ClosedPort() {
    EnsureWinsock();
    unsigned short port = 0;
    SOCKET s = LoopbackSocket(0, &port);
    if (s != INVALID_SOCKET) closesocket(s);  // bound and released, never listened on
    return port;
}

void LoopbackHttpServer::Run() {
    while (!stop_) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(listener_, &set);
        timeval tv{0, 50 * 1000};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
        SOCKET c = accept(listener_, nullptr, nullptr);
        if (c == INVALID_SOCKET) continue;
        Answer(c);
        closesocket(c);
    }
}

void LoopbackHttpServer::Answer(SOCKET s) {
    DWORD timeout = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
        int n = recv(s, buf, sizeof(buf), 0);
        if (n <= 0) return;
        request.append(buf, static_cast<size_t>(n));
    }
    ++requests_;
    // "GET /path HTTP/1.1"
    std::string path;
    size_t sp = request.find(' ');
    if (sp != std::string::npos) {
        size_t sp2 = request.find(' ', sp + 1);
        if (sp2 != std::string::npos) path = request.substr(sp + 1, sp2 - sp - 1);
    }
    Reply reply{404, "<html><body>Not Found</body></html>"};
    auto it = replies_.find(path);
    if (it != replies_.end()) reply = it->second;
    if (reply.delayMs) Sleep(reply.delayMs);
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                      "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(reply.body.size()) +
                      "\r\nConnection: close\r\n\r\n" + reply.body;
    size_t sent = 0;
    while (sent < out.size()) {
        int n = send(s, out.data() + sent, static_cast<int>(out.size() - sent), 0);
        if (n <= 0) return;
        sent += static_cast<size_t>(n);
    }
    shutdown(s, SD_SEND);
}
