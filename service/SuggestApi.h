#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

class CatalogHandle;
class CatalogIndex;

// GET /soft/quorvel/api/suggest?q=TEXT[&n=N]: words of the catalog's titles
// that start with or contain TEXT, the ones a search finds most items for
// first, {"suggestions": [{"text", "count"}]}. Strict like the search API:
// q is required (percent-encoded UTF-8, at most MaxTextBytes), n is 1 to
// MaxCount (default MaxCount); errors leave as ServiceError naming the parameter.
class SuggestApi {
public:
    static constexpr std::size_t MaxTextBytes = 64;
    static constexpr int MaxCount = 10;

    explicit SuggestApi(std::shared_ptr<const CatalogHandle> catalog);
    explicit SuggestApi(std::shared_ptr<const CatalogIndex> index);
    std::string operator()(std::string_view rawQuery) const;

private:
    std::shared_ptr<const CatalogHandle> m_catalog;
};

}  // namespace quorvel
