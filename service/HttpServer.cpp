#include "HttpServer.h"

#include <microhttpd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvel {

// The library bounds how long a connection may stay silent, not how long it
// may take to send a request: a client sending a header byte now and then
// would hold its connection for ever. The watchdog ends, by shutting its
// socket, a connection that has not completed a request's headers within
// the deadline since it opened or since its last answer.
struct HttpServer::Watchdog {
    using Clock = std::chrono::steady_clock;
    struct Waiting {
        int fd;
        Clock::time_point since;
        bool inRequest;
    };

    std::mutex mutex;
    std::condition_variable wake;
    std::unordered_map<const MHD_Connection*, Waiting> connections;
    std::uint64_t accepted = 0;
    bool stopping = false;
    std::thread thread;

    void opened(const MHD_Connection* c, int fd) {
        std::lock_guard lock(mutex);
        connections[c] = {fd, Clock::now(), false};
        ++accepted;
    }
    void closed(const MHD_Connection* c) {
        std::lock_guard lock(mutex);  // before the library closes the socket
        connections.erase(c);
    }
    void headersIn(const MHD_Connection* c) { mark(c, true); }
    void answered(const MHD_Connection* c) { mark(c, false); }

    void run(std::chrono::seconds deadline) {
        std::unique_lock lock(mutex);
        while (!stopping) {
            wake.wait_for(lock, std::chrono::milliseconds(500));
            const auto now = Clock::now();
            for (auto& [c, w] : connections) {
                if (!w.inRequest && now - w.since > deadline) {
                    ::shutdown(w.fd, SHUT_RDWR);  // the library sees it and closes the connection
                    w.since = Clock::time_point::max() - deadline;
                }
            }
        }
    }

private:
    void mark(const MHD_Connection* c, bool inRequest) {
        std::lock_guard lock(mutex);
        const auto it = connections.find(c);
        if (it == connections.end()) return;
        it->second.inRequest = inRequest;
        it->second.since = Clock::now();
    }
};

namespace {

// One request from its first line to its answer: the target exactly as the
// client sent it (the library hands the routes a decoded path only).
struct Exchange {
    std::string target;
    bool headersSeen = false;
    bool answered = false;
};

void* onRequestLine(void*, const char* uri, MHD_Connection*) { return new Exchange{uri ? uri : ""}; }

void onCompleted(void* self, MHD_Connection* connection, void** state, MHD_RequestTerminationCode) {
    delete static_cast<Exchange*>(*state);
    *state = nullptr;
    static_cast<HttpServer*>(self)->watchdog().answered(connection);
}

void onConnection(void* self, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
    auto& watchdog = static_cast<HttpServer*>(self)->watchdog();
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        if (info) watchdog.opened(connection, info->connect_fd);
    } else {
        watchdog.closed(connection);
    }
}

MHD_Result collectHosts(void* hosts, MHD_ValueKind, const char* key, const char* value) {
    if (key && strcasecmp(key, "Host") == 0) static_cast<std::vector<std::string>*>(hosts)->emplace_back(value ? value : "");
    return MHD_YES;
}

void freeBody(void* body) { delete static_cast<std::string*>(body); }

MHD_Result send(MHD_Connection* connection, HttpResponse&& answer) {
    auto* body = new std::string(std::move(answer.body));
    MHD_Response* response =
        MHD_create_response_from_buffer_with_free_callback_cls(body->size(), body->data(), &freeBody, body);
    if (!response) {
        delete body;
        return MHD_NO;
    }
    if (!answer.contentType.empty()) MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.contentType.c_str());
    for (const auto& [name, value] : answer.headers) MHD_add_response_header(response, name.c_str(), value.c_str());
    const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return queued;
}

bool hasBody(MHD_Connection* connection) {
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING) ||
           (length && std::strcmp(length, "0") != 0);
}

MHD_Result onRequest(void* self, MHD_Connection* connection, const char*, const char* method, const char*,
                     const char*, std::size_t* uploadSize, void** state) {
    auto* exchange = static_cast<Exchange*>(*state);
    if (!exchange) return MHD_NO;
    if (exchange->answered) {
        *uploadSize = 0;  // a body after the answer: dropped as it comes, never held
        return MHD_YES;
    }
    // The first call comes with the headers. A request without a body is
    // answered on the second, so that the connection stays open for the
    // next one; one with a body (no route takes any) is answered at once,
    // which makes the library close the connection instead of reading it.
    if (!exchange->headersSeen) {
        exchange->headersSeen = true;
        static_cast<HttpServer*>(self)->watchdog().headersIn(connection);
        if (!hasBody(connection)) return MHD_YES;
    }
    exchange->answered = true;
    HttpRequest request;
    request.method = method ? method : "";
    const auto mark = exchange->target.find('?');
    request.path = exchange->target.substr(0, mark);
    if (mark != std::string::npos) request.rawQuery = exchange->target.substr(mark + 1);
    MHD_get_connection_values(connection, MHD_HEADER_KIND, &collectHosts, &request.hosts);
    return send(connection, static_cast<HttpServer*>(self)->answer(request));
}

// Binds and listens ourselves: the library would set SO_REUSEPORT-like
// options on some systems, and we want a clear error for a taken port.
int listenOn(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found) != 0 || !found) {
        throw std::runtime_error("cannot listen on " + host + ":" + service + " (no such address)");
    }
    std::unique_ptr<addrinfo, decltype(&freeaddrinfo)> addresses(found, &freeaddrinfo);
    int error = 0;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        const int yes = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(fd, a->ai_addr, a->ai_addrlen) == 0 && listen(fd, 1024) == 0) {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
            return fd;
        }
        error = errno;
        close(fd);
    }
    throw std::runtime_error("cannot listen on " + host + ":" + service + " (" + std::strerror(error) +
                             ": the port is taken or the address is not this machine's)");
}

int boundPort(int fd) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return -1;
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&address)->sin6_port);
    return -1;
}

}  // namespace

HttpServer::HttpServer(Handler handler) : m_handler(std::move(handler)), m_watchdog(std::make_unique<Watchdog>()) {}

std::uint64_t HttpServer::connectionsAccepted() const {
    std::lock_guard lock(m_watchdog->mutex);
    return m_watchdog->accepted;
}

HttpServer::~HttpServer() { stop(); }

HttpResponse HttpServer::answer(const HttpRequest& request) const {
    try {
        return m_handler(request);
    } catch (...) {
        // The handler catches its own errors; this is the last line.
        HttpResponse failed;
        failed.status = 500;
        failed.contentType = "text/plain; charset=utf-8";
        failed.body = "internal error\n";
        return failed;
    }
}

int HttpServer::start(const std::string& host, int port, const Limits& limits) {
    if (m_daemon) throw std::logic_error("the HTTP server is already running");
    const int fd = listenOn(host, port);
    const int bound = boundPort(fd);
    const unsigned threads = limits.threads ? limits.threads : std::max(2u, std::thread::hardware_concurrency());
    m_daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO, 0, nullptr, nullptr,
        &onRequest, this,
        MHD_OPTION_LISTEN_SOCKET, static_cast<MHD_socket>(fd),
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_TIMEOUT, limits.idleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.requestBytes,
        MHD_OPTION_CONNECTION_LIMIT, limits.connections,
        MHD_OPTION_URI_LOG_CALLBACK, &onRequestLine, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &onCompleted, this,
        MHD_OPTION_NOTIFY_CONNECTION, &onConnection, this,
        MHD_OPTION_END);
    if (!m_daemon) {
        close(fd);
        throw std::runtime_error("cannot start serving on " + host + ":" + std::to_string(bound));
    }
    m_watchdog->stopping = false;
    m_watchdog->thread = std::thread(&Watchdog::run, m_watchdog.get(), std::chrono::seconds(limits.headerSeconds));
    return bound;
}

void HttpServer::stop() {
    if (!m_daemon) return;
    {
        std::lock_guard lock(m_watchdog->mutex);
        m_watchdog->stopping = true;
    }
    m_watchdog->wake.notify_all();
    m_watchdog->thread.join();
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
}

}  // namespace quorvel
