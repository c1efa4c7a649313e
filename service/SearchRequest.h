#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "QueryFormat.h"
#include "SearchQuery.h"

namespace quorvel {

// Reads the search API's query string: the program's query format plus
// paging (page, size). Strict: a malformed or unknown value throws a
// ServiceError (BadParameter) naming the parameter. Unknown names are ignored.
class SearchRequest {
public:
    static constexpr int MaxPageSize = 100;
    static constexpr int MaxDepth = PagingDepth;  // page * size: how deep paging goes
    static constexpr std::size_t MaxKeywordBytes = 256;

    static SearchQuery parse(std::string_view rawQuery);

    // Whether area may name the place (the location list's places).
    static bool isKnownPlace(std::string_view place);

    // The known parameters of a query string, decoded; others are ignored,
    // one given twice throws ServiceError naming it.
    using Parameters = std::map<std::string, std::string, std::less<>>;
    static Parameters parameters(std::string_view rawQuery, const std::set<std::string, std::less<>>& known);

    // "%E7%83%AD" -> the bytes; throws ServiceError for a bad escape. "+" stays "+".
    static std::string percentDecode(std::string_view value, const std::string& parameter);
};

}  // namespace quorvel
