#include "SearchApi.h"

#include <chrono>
#include <cmath>

#include <nlohmann/json.hpp>

#include "CatalogError.h"
#include "CatalogIndex.h"
#include "SearchRequest.h"
#include "ServiceError.h"

namespace quorvel {

SearchApi::SearchApi(std::shared_ptr<const CatalogIndex> index) : m_index(std::move(index)) {}

std::string SearchApi::operator()(std::string_view rawQuery) const {
    const SearchQuery query = SearchRequest::parse(rawQuery);
    const auto started = std::chrono::steady_clock::now();
    SearchResult result;
    try {
        result = m_index->search(query);
    } catch (const CatalogError& e) {
        throw ServiceError(ErrorKind::CatalogUnavailable, e.what());
    }
    const double tookMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();

    nlohmann::json body;
    body["total"] = result.total;
    body["page"] = query.page;
    body["size"] = query.size;
    body["tookMs"] = std::round(tookMs * 100.0) / 100.0;
    body["items"] = nlohmann::json::array();
    for (const auto& item : result.items) body["items"].push_back(nlohmann::json::parse(item));
    return body.dump();
}

}  // namespace quorvel
