#pragma once

#include <cstdint>
#include <limits>
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
    int page = 1;           // from 1
    int size = 20;
};

struct SearchResult {
    std::uint64_t total = 0;          // exact number of matches
    std::vector<std::string> items;   // the page's items as JSON objects
};

}  // namespace quorvel
