#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// The limits and defaults of the query format, in one place for the panel,
// the builder, the service and (through a module generated from these at
// build time) the results page.
inline constexpr std::int32_t MinPrice = 0;
inline constexpr std::int32_t MaxPrice = 99999999;  // yuan; the price fields' range
inline constexpr std::string_view DefaultKeyword = "热卖";
inline constexpr int CreditGrades = 20;            // rows of the credit table, lowest first
inline constexpr int LowestCreditRow = 0;
inline constexpr int HighestCreditRow = CreditGrades - 1;
inline constexpr int PagingDepth = 10000;          // page * size: how deep results go

// The words of a keyword, each of which must occur in a title: the keyword
// split on ASCII white space and the ideographic space U+3000. Any other
// character (a no-break space too) is part of a word.
std::vector<std::string> KeywordWords(std::string_view keyword);

}  // namespace quorvel
