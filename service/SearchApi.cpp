#include "SearchApi.h"

#include <chrono>

#include <charconv>

#include <nlohmann/json.hpp>

#include "CatalogError.h"
#include "CatalogHandle.h"
#include "CatalogIndex.h"
#include "SearchRequest.h"
#include "ServiceError.h"

namespace quorvel {

SearchApi::SearchApi(std::shared_ptr<const CatalogHandle> catalog) : m_catalog(std::move(catalog)) {}

SearchApi::SearchApi(std::shared_ptr<const CatalogIndex> index) : m_catalog(CatalogHandle::of(std::move(index))) {}

std::string SearchApi::operator()(std::string_view rawQuery) const {
    const SearchQuery query = SearchRequest::parse(rawQuery);
    const auto started = std::chrono::steady_clock::now();
    SearchResult result;
    try {
        result = m_catalog->current()->search(query);
    } catch (const CatalogError& e) {
        throw ServiceError(ErrorKind::CatalogUnavailable, e.what());
    }
    const double tookMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();

    // Item records are stored as the JSON objects the page reads: they go out
    // as they are, with no parse and dump per request. words are the words
    // the search matched, which the page marks (it never splits a keyword).
    char took[32];
    // to_chars: the same text under any locale the program runs in.
    const auto tookEnd = std::to_chars(took, took + sizeof took, tookMs, std::chars_format::fixed, 2).ptr;
    std::string body = "{\"total\":" + std::to_string(result.total) + ",\"page\":" + std::to_string(query.page) +
                       ",\"size\":" + std::to_string(query.size) + ",\"tookMs\":" + std::string(took, tookEnd) +
                       ",\"words\":" + nlohmann::json(query.words).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) +
                       ",\"items\":[";
    std::size_t bytes = body.size() + 2;
    for (const auto& item : result.items) bytes += item.size() + 1;
    body.reserve(bytes);
    for (std::size_t k = 0; k < result.items.size(); ++k) {
        if (k) body += ',';
        body += result.items[k];
    }
    body += "]}";
    return body;
}

}  // namespace quorvel
