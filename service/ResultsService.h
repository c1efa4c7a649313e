#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "HttpMessage.h"
#include "HttpServer.h"

namespace quorvel {

// Answers the search API: the raw query string in (after "?"), a JSON body out.
// Throws ServiceError for anything the caller got wrong.
using SearchFunction = std::function<std::string(std::string_view rawQuery)>;

// The results service: the page's files under /soft/quorvel/ and the search
// API beside them, served over HTTP on threads of its own.
class ResultsService {
public:
    static constexpr std::string_view BasePath = "/soft/quorvel/";

    // search may be empty: the API then answers 503 (no catalog).
    explicit ResultsService(SearchFunction search = {});
    ~ResultsService();
    ResultsService(const ResultsService&) = delete;
    ResultsService& operator=(const ResultsService&) = delete;

    // Answers GET .../api/suggest (the raw query in, JSON out); without one
    // that route answers 503. Call before start().
    void setSuggest(SearchFunction suggest) { m_suggest = std::move(suggest); }

    // Host names (with or without ":port") that requests may name besides the
    // listening address itself, e.g. the public name of a hosted service.
    // Call before start().
    void allowHosts(std::vector<std::string> hosts);

    // Binds host:port (port 0: the system picks one) and starts serving.
    // Throws std::runtime_error with a readable reason when it cannot listen.
    int start(const std::string& host, int port = 0, const HttpServer::Limits& limits = {});
    void stop();

    int port() const { return m_port; }
    std::string pageUrl() const;
    const HttpServer& server() const { return *m_server; }

    // The routes: one request in, its answer out; never throws.
    HttpResponse answer(const HttpRequest& request) const;

private:
    HttpResponse route(const HttpRequest& request) const;
    HttpResponse serveAsset(const HttpRequest& request) const;
    HttpResponse serveApi(const SearchFunction& api, const HttpRequest& request) const;
    bool hostAllowed(const HttpRequest& request) const;

    std::unique_ptr<HttpServer> m_server;
    SearchFunction m_search;
    SearchFunction m_suggest;
    std::vector<std::string> m_allowedHosts;  // as given, lowered
    std::vector<std::string> m_hostHeaders;   // every Host value accepted, made once at start
    std::string m_host;
    int m_port = 0;
};

}  // namespace quorvel
