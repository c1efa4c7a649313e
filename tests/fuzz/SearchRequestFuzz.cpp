// libFuzzer target: the search API's query parsing, and the whole route for
// a request built from the same bytes. Bad input must be a 4xx, never a
// crash, a sanitizer report or a 500.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ResultsService.h"
#include "SearchRequest.h"
#include "ServiceError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view raw(reinterpret_cast<const char*>(data), size);
    try {
        quorvel::SearchRequest::parse(raw);
    } catch (const quorvel::ServiceError& e) {
        if (e.kind() != quorvel::ErrorKind::BadParameter) std::abort();
    }
    // The route around it: a service with no catalog answers 400s, 404s or 503.
    static quorvel::ResultsService service;
    quorvel::HttpRequest request{"GET", "/soft/quorvel/api/search", std::string(raw), {"127.0.0.1:0"}};
    if (service.answer(request).status == 500) std::abort();
    request.path = "/soft/quorvel/" + std::string(raw.substr(0, 64));
    if (service.answer(request).status == 500) std::abort();
    return 0;
}
