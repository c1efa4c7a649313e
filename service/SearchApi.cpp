#include "SearchApi.h"

#include <chrono>

#include <algorithm>
#include <charconv>
#include <functional>
#include <iterator>

#include <nlohmann/json.hpp>

#include "CatalogError.h"
#include "CatalogHandle.h"
#include "CatalogIndex.h"
#include "SearchRequest.h"
#include "ServiceError.h"
#include "Vocabulary.h"

namespace quorvel {
namespace {

constexpr std::size_t kTopEntries = 12;

// The indexes of the largest counts (none of 0), largest first, ties in index order.
std::vector<std::size_t> top(const std::vector<std::uint64_t>& counts, const std::function<bool(std::size_t)>& wanted) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] > 0 && wanted(i)) order.push_back(i);
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return counts[a] > counts[b]; });
    if (order.size() > kTopEntries) order.resize(kTopEntries);
    return order;
}

std::string text(std::string_view t) { return std::string(t); }

// {"categories": [{cid, name, count}], "places": [{name, count}],
//  "services": [{code, name, count}], "prices": [{from, to, count}]} (whole yuan, inclusive;
//  to null: no upper end)
nlohmann::json countsJson(const SearchCounts& c) {
    nlohmann::json out;
    out["categories"] = nlohmann::json::array();
    for (const std::size_t row : top(c.categories, [](std::size_t row) { return row > 0; })) {
        const auto& category = CategoryTable().at(static_cast<int>(row));
        out["categories"].push_back({{"cid", text(category.code)}, {"name", text(category.display)}, {"count", c.categories[row]}});
    }
    out["places"] = nlohmann::json::array();
    // Only places the area parameter takes: a count is there to narrow by.
    for (const std::size_t id : top(c.places, [&](std::size_t id) { return id > 0 && SearchRequest::isKnownPlace(c.placeNames[id]); })) {
        out["places"].push_back({{"name", c.placeNames[id]}, {"count", c.places[id]}});
    }
    out["services"] = nlohmann::json::array();
    for (std::size_t f = 0; f < c.services.size(); ++f) {
        if (c.services[f] == 0) continue;
        const auto& row = ServiceFilterTable()[f];
        out["services"].push_back({{"code", text(row.name)}, {"name", text(row.caption)}, {"count", c.services[f]}});
    }
    out["prices"] = nlohmann::json::array();
    for (std::size_t b = 0; b < c.prices.size(); ++b) {
        if (c.prices[b] == 0) continue;
        nlohmann::json bucket{{"from", b == 0 ? 0 : SearchCounts::PriceEdgesYuan[b - 1]}, {"count", c.prices[b]}};
        bucket["to"] = b < std::size(SearchCounts::PriceEdgesYuan) ? nlohmann::json(SearchCounts::PriceEdgesYuan[b])
                                                                    : nlohmann::json(nullptr);
        out["prices"].push_back(std::move(bucket));
    }
    return out;
}

}  // namespace

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
                       (result.counts ? ",\"counts\":" + countsJson(*result.counts).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) : std::string()) +
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
