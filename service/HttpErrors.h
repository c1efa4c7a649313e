#pragma once

#include <string>

#include "ServiceError.h"

namespace httplib {
struct Response;
}

namespace quorvel {

// The one place where the service's errors become HTTP answers.
int HttpStatusFor(ErrorKind kind);

// Writes {"error": {"status", "message", "parameter"?}} with the mapped status.
void WriteError(httplib::Response& response, const ServiceError& error);

}  // namespace quorvel
