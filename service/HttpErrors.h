#pragma once

#include "HttpMessage.h"
#include "ServiceError.h"

namespace quorvel {

// The one place where the service's errors become HTTP answers.
int HttpStatusFor(ErrorKind kind);

// {"error": {"status", "message", "parameter"?}} with the mapped status.
HttpResponse ErrorResponse(const ServiceError& error);

}  // namespace quorvel
