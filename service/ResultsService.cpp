#include "ResultsService.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <cctype>
#include <stdexcept>

#include "HttpErrors.h"
#include "PageAssets.h"
#include "ServiceError.h"

namespace quorvel {
namespace {

// Catalog text is drawn by the page; forbidding inline script keeps a title
// holding markup from ever running as code.
constexpr const char* kContentSecurityPolicy =
    "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self' data: http: https:; "
    "connect-src 'self'; object-src 'none'; base-uri 'none'; frame-ancestors 'none'";

constexpr std::size_t kMaxQueryLength = 4096;

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

bool isLoopback(const std::string& host) {
    return host == "127.0.0.1" || host == "localhost" || host == "::1";
}

// Runs a route, turning every failure into an answer: nothing escapes to the server.
template <typename Fn>
void guarded(httplib::Response& response, Fn&& fn) {
    try {
        fn();
    } catch (const ServiceError& e) {
        WriteError(response, e);
    } catch (const std::exception& e) {
        WriteError(response, ServiceError(ErrorKind::Internal, std::string("internal error: ") + e.what()));
    } catch (...) {
        WriteError(response, ServiceError(ErrorKind::Internal, "internal error"));
    }
}

}  // namespace

ResultsService::ResultsService(SearchFunction search)
    : m_server(std::make_unique<httplib::Server>()), m_search(std::move(search)) {
    auto& server = *m_server;
    const std::string base(BasePath);

    // The library's default also sets SO_REUSEPORT, which lets a second
    // service bind a port that is taken instead of reporting it.
    server.set_socket_options([](socket_t sock) {
        int yes = 1;
#ifdef _WIN32
        setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes), sizeof yes);
#else
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
#endif
    });

    server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        if (hostAllowed(req)) return httplib::Server::HandlerResponse::Unhandled;
        WriteError(res, ServiceError(ErrorKind::ForeignHost, "requests must name this service's own address as Host"));
        return httplib::Server::HandlerResponse::Handled;
    });

    server.Get(base + "api/search", [this](const httplib::Request& req, httplib::Response& res) {
        guarded(res, [&] { serveSearch(req, res); });
    });
    server.Get(base.substr(0, base.size() - 1), [base](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(base, 301);
    });
    server.Get(base + ".*", [this](const httplib::Request& req, httplib::Response& res) {
        guarded(res, [&] { serveAsset(req, res); });
    });

    const auto notAllowed = [base](const httplib::Request& req, httplib::Response& res) {
        const bool ours = req.path.rfind(base, 0) == 0;
        WriteError(res, ours ? ServiceError(ErrorKind::MethodNotAllowed, "only GET and HEAD are served")
                             : ServiceError(ErrorKind::NotFound, "no such page: " + req.path));
    };
    server.Post(".*", notAllowed);
    server.Put(".*", notAllowed);
    server.Patch(".*", notAllowed);
    server.Delete(".*", notAllowed);
    server.Options(".*", notAllowed);

    // Unrouted requests and statuses set without a body get a JSON error too.
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty()) return;
        if (res.status == 404) {
            WriteError(res, ServiceError(ErrorKind::NotFound, "no such page: " + req.path));
        } else if (res.status == 414) {
            WriteError(res, ServiceError(ErrorKind::RequestTooLarge, "the request is too long"));
        } else if (res.status == 400) {
            WriteError(res, ServiceError(ErrorKind::BadParameter, "the request is malformed"));
        }
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        WriteError(res, ServiceError(ErrorKind::Internal, "internal error"));
    });
}

ResultsService::~ResultsService() { stop(); }

void ResultsService::allowHosts(std::vector<std::string> hosts) {
    for (auto& h : hosts) m_allowedHosts.push_back(lower(std::move(h)));
}

int ResultsService::start(const std::string& host, int port) {
    if (m_thread.joinable()) throw std::logic_error("the results service is already running");
    int bound = -1;
    if (port == 0) {
        bound = m_server->bind_to_any_port(host);
    } else if (m_server->bind_to_port(host, port)) {
        bound = port;
    }
    if (bound <= 0) {
        throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) +
                                 " (the port is taken or the address is not this machine's)");
    }
    m_host = host;
    m_port = bound;
    const std::string suffix = ":" + std::to_string(bound);
    m_hostHeaders = {lower(host) + suffix, "[" + lower(host) + "]" + suffix};
    if (isLoopback(host)) m_hostHeaders.insert(m_hostHeaders.end(), {"127.0.0.1" + suffix, "localhost" + suffix, "[::1]" + suffix});
    for (const auto& allowed : m_allowedHosts) m_hostHeaders.insert(m_hostHeaders.end(), {allowed, allowed + suffix});
    auto finished = std::make_shared<std::atomic<bool>>(false);
    m_thread = std::thread([this, finished] {
        m_server->listen_after_bind();
        *finished = true;
    });
    // A stop() that came before the loop started would be lost and leave the
    // thread serving forever; so return only once it runs.
    while (!m_server->is_running() && !*finished) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void ResultsService::stop() {
    if (!m_thread.joinable()) return;
    m_server->stop();
    m_thread.join();
}

std::string ResultsService::pageUrl() const {
    const std::string host = m_host.find(':') != std::string::npos ? "[" + m_host + "]" : m_host;
    return "http://" + host + ":" + std::to_string(m_port) + std::string(BasePath);
}

bool ResultsService::hostAllowed(const httplib::Request& req) const {
    const std::string host = lower(req.get_header_value("Host"));
    return !host.empty() && std::find(m_hostHeaders.begin(), m_hostHeaders.end(), host) != m_hostHeaders.end();
}

void ResultsService::serveAsset(const httplib::Request& req, httplib::Response& res) const {
    std::string rel = req.path.substr(BasePath.size());
    if (rel.empty()) rel = "index.html";
    for (const auto& asset : PageAssetFiles()) {
        if (asset.path == rel) {
            res.set_header("Content-Security-Policy", kContentSecurityPolicy);
            res.set_header("X-Content-Type-Options", "nosniff");
            res.set_header("Cache-Control", "no-cache");
            res.set_content(std::string(asset.data), std::string(asset.contentType));
            return;
        }
    }
    throw ServiceError(ErrorKind::NotFound, "no such page: " + req.path);
}

void ResultsService::serveSearch(const httplib::Request& req, httplib::Response& res) const {
    if (!m_search) throw ServiceError(ErrorKind::CatalogUnavailable, "this service has no catalog");
    const auto mark = req.target.find('?');
    const std::string_view raw = mark == std::string::npos ? std::string_view() : std::string_view(req.target).substr(mark + 1);
    if (raw.size() > kMaxQueryLength) {
        throw ServiceError(ErrorKind::RequestTooLarge,
                           "the query is longer than " + std::to_string(kMaxQueryLength) + " characters");
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(m_search(raw), "application/json; charset=utf-8");
}

}  // namespace quorvel
