#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "QueryFormat.h"
#include "SearchSettings.h"

namespace quorvel {

// The query string with the ranges as they went into it.
struct BuiltQuery {
    std::string query;
    std::int32_t priceFrom = 0;
    std::int32_t priceTo = 0;
    bool priceSwapped = false;
    int creditFrom = 0;
    int creditTo = 0;
    bool creditSwapped = false;
};

// Turns the panel's values into the query string the results page receives.
// Throws VocabularyError for an index outside its table.
BuiltQuery BuildQuery(const SearchSettings& settings);

// Every UTF-8 byte of text as a percent-escape, ASCII included ("abc" -> "%61%62%63").
std::string EncodeQueryValue(std::string_view text);

// "%" and two uppercase hex digits for every byte, in order.
std::string PercentEncodeBytes(std::string_view bytes);

}  // namespace quorvel
