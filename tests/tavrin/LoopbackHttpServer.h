// A tiny HTTP server on 127.0.0.1 for tests: serves canned answers by path on an ephemeral port,
// one connection at a time, on its own thread.
#pragma once
#include <winsock2.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>

class LoopbackHttpServer {
public:
    struct Reply {
        int status = 200;
        std::string body;
        DWORD delayMs = 0;  // waits this long before answering
    };

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    bool Ok() const { return listener_ != INVALID_SOCKET; }
    // Set before the first request.
    void Serve(const std::string& path, Reply reply) { replies_[path] = std::move(reply); }
    std::wstring Url(const std::string& path) const;
    int Requests() const { return requests_; }

    // A port on the loopback address where nothing listens.
    static unsigned short ClosedPort();

private:
    void Run();
    void Answer(SOCKET s);
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::map<std::string, Reply> replies_;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};
