#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

class CatalogHandle;
class CatalogIndex;

// GET /soft/quorvel/api/search: the raw query in, the JSON answer out
// ({total, page, size, tookMs, words, items}). Errors leave as ServiceError.
class SearchApi {
public:
    explicit SearchApi(std::shared_ptr<const CatalogHandle> catalog);
    explicit SearchApi(std::shared_ptr<const CatalogIndex> index);
    std::string operator()(std::string_view rawQuery) const;

private:
    std::shared_ptr<const CatalogHandle> m_catalog;
};

}  // namespace quorvel
