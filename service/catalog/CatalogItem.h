#pragma once

#include <cstdint>
#include <string>

#include "Vocabulary.h"

namespace quorvel {

// One product of the catalog, as the feed gives it and the API returns it.
struct CatalogItem {
    std::uint64_t id = 0;
    std::string title;
    std::string categoryId;   // a category id of the vocabulary, e.g. "16"
    std::int64_t priceFen = 0;
    std::string province;     // may be empty (items from abroad)
    std::string city;         // a city, or the country for items from abroad
    std::string seller;
    int creditIndex = 0;      // row of the credit table, 0 (lowest) ... 19
    std::int64_t sales = 0;
    std::int64_t commission = 0;
    unsigned services = 0;    // bit i set: ServiceFilterTable()[i] applies
    std::string image;        // optional http(s) URLs
    std::string url;

};

}  // namespace quorvel
