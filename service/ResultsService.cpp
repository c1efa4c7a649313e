#include "ResultsService.h"

#include <algorithm>
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

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

ResultsService::ResultsService(SearchFunction search)
    : m_server(std::make_unique<HttpServer>([this](const HttpRequest& r) { return answer(r); })),
      m_search(std::move(search)) {}

ResultsService::~ResultsService() { stop(); }

void ResultsService::allowHosts(std::vector<std::string> hosts) {
    for (auto& h : hosts) m_allowedHosts.push_back(lower(std::move(h)));
}

int ResultsService::start(const std::string& host, int port, const HttpServer::Limits& limits) {
    if (m_server->running()) throw std::logic_error("the results service is already running");
    const int bound = m_server->start(host, port, limits);
    m_host = host;
    m_port = bound;
    const std::string suffix = ":" + std::to_string(bound);
    m_hostHeaders = {lower(host) + suffix, "[" + lower(host) + "]" + suffix};
    if (isLoopback(host)) m_hostHeaders.insert(m_hostHeaders.end(), {"127.0.0.1" + suffix, "localhost" + suffix, "[::1]" + suffix});
    for (const auto& allowed : m_allowedHosts) m_hostHeaders.insert(m_hostHeaders.end(), {allowed, allowed + suffix});
    return bound;
}

void ResultsService::stop() { m_server->stop(); }

std::string ResultsService::pageUrl() const {
    const std::string host = m_host.find(':') != std::string::npos ? "[" + m_host + "]" : m_host;
    return "http://" + host + ":" + std::to_string(m_port) + std::string(BasePath);
}

HttpResponse ResultsService::answer(const HttpRequest& request) const {
    // Every failure becomes an answer here: nothing escapes to the server.
    try {
        return route(request);
    } catch (const ServiceError& e) {
        return ErrorResponse(e);
    } catch (const std::exception& e) {
        return ErrorResponse(ServiceError(ErrorKind::Internal, std::string("internal error: ") + e.what()));
    } catch (...) {
        return ErrorResponse(ServiceError(ErrorKind::Internal, "internal error"));
    }
}

HttpResponse ResultsService::route(const HttpRequest& request) const {
    if (request.hosts.size() > 1) throw ServiceError(ErrorKind::BadRequest, "the request names more than one Host");
    if (!hostAllowed(request)) {
        throw ServiceError(ErrorKind::ForeignHost, "requests must name this service's own address as Host");
    }
    const std::string_view base = BasePath;
    const bool ours = startsWith(request.path, base);
    if (request.method != "GET" && request.method != "HEAD") {
        if (ours) throw ServiceError(ErrorKind::MethodNotAllowed, "only GET and HEAD are served");
        throw ServiceError(ErrorKind::NotFound, "no such page: " + request.path);
    }
    if (request.path == base.substr(0, base.size() - 1)) {
        HttpResponse moved;
        moved.status = 301;
        moved.setHeader("Location", std::string(base));
        return moved;
    }
    if (request.path == std::string(base) + "api/search") return serveApi(m_search, request);
    if (request.path == std::string(base) + "api/suggest") return serveApi(m_suggest, request);
    if (ours) return serveAsset(request);
    throw ServiceError(ErrorKind::NotFound, "no such page: " + request.path);
}

bool ResultsService::hostAllowed(const HttpRequest& request) const {
    if (request.hosts.size() != 1) return false;
    const std::string host = lower(request.hosts.front());
    return !host.empty() && std::find(m_hostHeaders.begin(), m_hostHeaders.end(), host) != m_hostHeaders.end();
}

HttpResponse ResultsService::serveAsset(const HttpRequest& request) const {
    std::string rel = request.path.substr(BasePath.size());
    if (rel.empty()) rel = "index.html";
    for (const auto& asset : PageAssetFiles()) {
        if (asset.path == rel) {
            HttpResponse file;
            file.contentType = std::string(asset.contentType);
            file.body = std::string(asset.data);
            file.setHeader("Content-Security-Policy", kContentSecurityPolicy);
            file.setHeader("X-Content-Type-Options", "nosniff");
            file.setHeader("Cache-Control", "no-cache");
            return file;
        }
    }
    throw ServiceError(ErrorKind::NotFound, "no such page: " + request.path);
}

HttpResponse ResultsService::serveApi(const SearchFunction& api, const HttpRequest& request) const {
    if (!api) throw ServiceError(ErrorKind::CatalogUnavailable, "this service has no catalog");
    if (request.rawQuery.size() > kMaxQueryLength) {
        throw ServiceError(ErrorKind::RequestTooLarge,
                           "the query is longer than " + std::to_string(kMaxQueryLength) + " characters");
    }
    HttpResponse found;
    found.contentType = "application/json; charset=utf-8";
    found.body = api(request.rawQuery);
    found.setHeader("Cache-Control", "no-store");
    found.setHeader("X-Content-Type-Options", "nosniff");
    return found;
}

}  // namespace quorvel
