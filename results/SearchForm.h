#pragma once

#include "SearchSettings.h"

namespace quorvel {

// The search panel as the quick search command sees it.
class SearchForm {
public:
    virtual ~SearchForm() = default;
    virtual SearchSettings readSettings() const = 0;
    // Set through the price fields, so the values clamp to their range.
    virtual void writePriceRange(int from, int to) = 0;
    virtual void writeCreditRange(int fromIndex, int toIndex) = 0;
};

}  // namespace quorvel
