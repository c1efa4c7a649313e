#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "CatalogItem.h"

namespace quorvel {

// The deterministic sample catalog: the same count and seed give the same
// items on every machine. Chinese product titles across the 80 categories,
// the places of the location list, prices, credit grades, sales, commission
// and service flags spread the way a marketplace's are (few items sell a lot).
class SampleCatalog {
public:
    static constexpr std::uint64_t DefaultSeed = 20101111;
    static std::vector<CatalogItem> generate(std::size_t count, std::uint64_t seed = DefaultSeed);
};

}  // namespace quorvel
