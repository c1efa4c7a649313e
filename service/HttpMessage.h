#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quorvel {

// One request as the routes see it, built by the server from the wire or by a
// test from strings.
struct HttpRequest {
    std::string method;              // "GET", "HEAD", ...
    std::string path;                // as sent, not decoded: "/soft/quorvel/app.js"
    std::string rawQuery;            // after "?", as sent; empty without one
    std::vector<std::string> hosts;  // every Host header sent (a valid request has one)
};

struct HttpResponse {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;

    void setHeader(std::string name, std::string value) { headers.emplace_back(std::move(name), std::move(value)); }
};

}  // namespace quorvel
