#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "QueryFormat.h"
#include "Vocabulary.h"

namespace quorvel {

// A search of the catalog, as the API parsed it from the program's query.
struct SearchQuery {
    std::vector<std::string> words;  // each must occur in the title (KeywordWords of the keyword)
    std::string categoryId;          // empty: all categories
    std::int64_t priceFromFen = std::numeric_limits<std::int64_t>::min();
    std::int64_t priceToFen = std::numeric_limits<std::int64_t>::max();
    std::vector<std::string> places;  // empty: anywhere; else province or city is one of them
    SortOrder sort = SortOrder::CommissionDesc;
    int creditFrom = LowestCreditRow;
    int creditTo = HighestCreditRow;
    unsigned services = 0;  // bit i: ServiceFilterTable()[i] required
    bool counts = false;    // also count the matches by category, place, service and price
    bool totalOnly = false; // only the number of matches: no page of items
    int page = 1;           // from 1
    int size = 20;
};

// Exact counts of all matches, to narrow a search by.
struct SearchCounts {
    // Price ranges in whole yuan, inclusive at both ends as sp/ep are: 0-10,
    // 10-50, ..., 1000-5000 and 5000 up. An item priced exactly on an edge is
    // in both ranges, so each count is what narrowing to its range finds.
    static constexpr std::int64_t PriceEdgesYuan[] = {10, 50, 100, 200, 500, 1000, 5000};
    std::vector<std::uint64_t> categories;  // by row of the category table
    std::vector<std::uint64_t> places;      // by place id of the catalog: the province, else the city (abroad: the country)
    std::vector<std::string> placeNames;    // by place id
    std::vector<std::uint64_t> services;    // by row of the service filter table
    std::vector<std::uint64_t> prices;      // below each edge, and the rest
};

struct SearchResult {
    std::uint64_t total = 0;          // exact number of matches
    std::vector<std::string> items;   // the page's items as JSON objects
    std::optional<SearchCounts> counts;
};

}  // namespace quorvel
