#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "HttpMessage.h"

struct MHD_Daemon;

namespace quorvel {

// The one adapter over the event-driven HTTP library: a few threads each
// watch many connections, so slow, idle and many clients wait on nobody.
// Headers and body go out in one write with Nagle off; keep-alive lasts as
// long as the client keeps it, bounded by an idle timeout.
class HttpServer {
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    struct Limits {
        unsigned idleSeconds = 15;            // a connection silent this long is closed
        unsigned headerSeconds = 30;          // to send a request's headers, however slowly
        std::size_t requestBytes = 32 * 1024; // request line and headers, per connection
        unsigned connections = 4000;          // at once; more are refused at accept
        unsigned threads = 0;                 // 0: one per core, at least 2
    };

    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds host:port (port 0: the system picks one), starts serving, returns
    // the port. Throws std::runtime_error with a readable reason.
    int start(const std::string& host, int port, const Limits& limits);
    void stop();
    bool running() const { return m_daemon != nullptr; }

    // Connections accepted since start (tests check keep-alive with it).
    std::uint64_t connectionsAccepted() const;

    // Used by the library's callbacks.
    HttpResponse answer(const HttpRequest& request) const;
    struct Watchdog;
    Watchdog& watchdog() { return *m_watchdog; }

private:
    Handler m_handler;
    MHD_Daemon* m_daemon = nullptr;
    std::unique_ptr<Watchdog> m_watchdog;
};

}  // namespace quorvel
