#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "QueryFormat.h"
#include "Vocabulary.h"

namespace quorvel {

// The values of the search panel at the moment of a search. Texts are UTF-8.
struct SearchSettings {
    std::string keywordText = "热卖";
    int categoryIndex = 0;
    std::string categoryText = "所有类目";
    std::int32_t priceFrom = 0;
    std::int32_t priceTo = MaxPrice;
    int locationIndex = 0;
    std::string locationText = "所有地区";
    int sortIndex = 0;
    int creditFrom = LowestCreditRow;
    int creditTo = HighestCreditRow;
    // Indexed by ServiceFilter, i.e. in the builder's order.
    std::array<bool, ServiceFilterCount> serviceFilters{};

    bool& filter(ServiceFilter f) { return serviceFilters[static_cast<std::size_t>(f)]; }
    bool filter(ServiceFilter f) const { return serviceFilters[static_cast<std::size_t>(f)]; }
};

}  // namespace quorvel
