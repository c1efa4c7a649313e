#pragma once

#include <string>

#include "CatalogItem.h"

namespace quorvel {

// The item as the search API returns it: one JSON object, which is also
// its record in the catalog's items file (sent as stored).
std::string ItemRecord(const CatalogItem& item);

}  // namespace quorvel
