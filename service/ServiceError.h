#pragma once

#include <stdexcept>
#include <string>

namespace quorvel {

// What went wrong, in the terms the service answers with. HttpErrors maps each
// kind to its status code in one place.
enum class ErrorKind {
    BadParameter,       // a request parameter is malformed or unknown
    BadRequest,         // the request itself is malformed (e.g. two Host headers)
    RequestTooLarge,    // the query is longer than the service accepts
    NotFound,
    MethodNotAllowed,
    ForeignHost,        // the request names another host (DNS rebinding)
    CatalogUnavailable, // the catalog cannot be read
    Internal,
};

class ServiceError : public std::runtime_error {
public:
    ServiceError(ErrorKind kind, const std::string& message, std::string parameter = {})
        : std::runtime_error(message), m_kind(kind), m_parameter(std::move(parameter)) {}

    ErrorKind kind() const { return m_kind; }
    // The request parameter at fault, for BadParameter; empty otherwise.
    const std::string& parameter() const { return m_parameter; }

private:
    ErrorKind m_kind;
    std::string m_parameter;
};

}  // namespace quorvel
