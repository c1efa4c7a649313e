#include "HttpErrors.h"

#include <nlohmann/json.hpp>

namespace quorvel {

int HttpStatusFor(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::BadParameter: return 400;
    case ErrorKind::BadRequest: return 400;
    case ErrorKind::ForeignHost: return 403;
    case ErrorKind::NotFound: return 404;
    case ErrorKind::MethodNotAllowed: return 405;
    case ErrorKind::RequestTooLarge: return 414;
    case ErrorKind::CatalogUnavailable: return 503;
    case ErrorKind::Internal: return 500;
    }
    return 500;
}

HttpResponse ErrorResponse(const ServiceError& error) {
    nlohmann::json body;
    body["error"]["status"] = HttpStatusFor(error.kind());
    body["error"]["message"] = error.what();
    if (!error.parameter().empty()) body["error"]["parameter"] = error.parameter();
    HttpResponse response;
    response.status = HttpStatusFor(error.kind());
    if (error.kind() == ErrorKind::MethodNotAllowed) response.setHeader("Allow", "GET, HEAD");
    response.setHeader("X-Content-Type-Options", "nosniff");
    response.setHeader("Cache-Control", "no-store");
    response.contentType = "application/json; charset=utf-8";
    response.body = body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    return response;
}

}  // namespace quorvel
