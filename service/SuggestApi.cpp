#include "SuggestApi.h"

#include <charconv>
#include <set>

#include <nlohmann/json.hpp>

#include "CatalogError.h"
#include "CatalogHandle.h"
#include "CatalogIndex.h"
#include "SearchRequest.h"
#include "ServiceError.h"
#include "QueryFormat.h"
#include "Utf8.h"

namespace quorvel {
namespace {

[[noreturn]] void bad(const std::string& name, const std::string& why) {
    throw ServiceError(ErrorKind::BadParameter, "parameter \"" + name + "\": " + why, name);
}

}  // namespace

SuggestApi::SuggestApi(std::shared_ptr<const CatalogHandle> catalog) : m_catalog(std::move(catalog)) {}

SuggestApi::SuggestApi(std::shared_ptr<const CatalogIndex> index) : m_catalog(CatalogHandle::of(std::move(index))) {}

std::string SuggestApi::operator()(std::string_view raw) const {
    static const std::set<std::string, std::less<>> known{"q", "n"};
    const SearchRequest::Parameters params = SearchRequest::parameters(raw, known);
    const auto q = params.find("q");
    if (q == params.end()) bad("q", "is missing");
    if (q->second.size() > MaxTextBytes) bad("q", "is longer than " + std::to_string(MaxTextBytes) + " bytes");
    if (!IsValidUtf8(q->second)) bad("q", "is not valid UTF-8");
    int count = MaxCount;
    if (const auto n = params.find("n"); n != params.end()) {
        const auto [end, error] = std::from_chars(n->second.data(), n->second.data() + n->second.size(), count);
        if (n->second.empty() || error != std::errc() || end != n->second.data() + n->second.size() || count < 1 ||
            count > MaxCount) {
            bad("n", "must be a whole number from 1 to " + std::to_string(MaxCount));
        }
    }
    // The words a keyword would be split into: suggestions for the last one.
    const std::vector<std::string> words = KeywordWords(q->second);
    nlohmann::json body;
    body["suggestions"] = nlohmann::json::array();
    if (!words.empty()) {
        try {
            for (const auto& s : m_catalog->current()->suggest(words.back(), static_cast<std::size_t>(count))) {
                body["suggestions"].push_back({{"text", s.word}, {"count", s.items}});
            }
        } catch (const CatalogError& e) {
            throw ServiceError(ErrorKind::CatalogUnavailable, e.what());
        }
    }
    return body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace quorvel
