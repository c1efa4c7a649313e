#include "HttpServer.h"

#include <microhttpd.h>

#include <algorithm>
#include <cerrno>
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
namespace {

// One request from its first line to its answer: the target exactly as the
// client sent it (the library hands the routes a decoded path only).
struct Exchange {
    std::string target;
    bool headersSeen = false;
    bool answered = false;
};

void* onRequestLine(void*, const char* uri, MHD_Connection*) { return new Exchange{uri ? uri : ""}; }

void onCompleted(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
    delete static_cast<Exchange*>(*state);
    *state = nullptr;
}

void onConnection(void* self, MHD_Connection*, void**, MHD_ConnectionNotificationCode code) {
    if (code == MHD_CONNECTION_NOTIFY_STARTED) static_cast<HttpServer*>(self)->countConnection();
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

HttpServer::HttpServer(Handler handler) : m_handler(std::move(handler)) {}

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
    m_accepted = 0;
    m_daemon = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO, 0, nullptr, nullptr,
        &onRequest, this,
        MHD_OPTION_LISTEN_SOCKET, static_cast<MHD_socket>(fd),
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_TIMEOUT, limits.idleSeconds,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.requestBytes,
        MHD_OPTION_CONNECTION_LIMIT, limits.connections,
        MHD_OPTION_URI_LOG_CALLBACK, &onRequestLine, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &onCompleted, nullptr,
        MHD_OPTION_NOTIFY_CONNECTION, &onConnection, this,
        MHD_OPTION_END);
    if (!m_daemon) {
        close(fd);
        throw std::runtime_error("cannot start serving on " + host + ":" + std::to_string(bound));
    }
    return bound;
}

void HttpServer::stop() {
    if (!m_daemon) return;
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
}

}  // namespace quorvel
