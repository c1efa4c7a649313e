#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <string>
#include <vector>

#include "CatalogItem.h"

namespace quorvel {

// Reads a catalog feed (JSON Lines) into items: stops at the first bad line
// with a FeedError; a later line with an id seen before replaces the earlier.
class FeedImporter {
public:
    struct Summary {
        std::uint64_t lines = 0;       // non-blank lines read
        std::uint64_t duplicates = 0;  // lines whose id came again later (replaced)
    };
    // No item comes near this; a longer line is refused where it starts.
    static constexpr std::size_t MaxLineBytes = 64 * 1024;

    // Called every few thousand lines with the bytes read so far.
    using Progress = std::function<void(std::uint64_t bytesRead, std::uint64_t lines)>;

    // Throws FeedError, or CatalogError when interrupted through cancel.
    static std::vector<CatalogItem> read(std::istream& feed, Summary& summary, const Progress& progress = {},
                                         const std::atomic<bool>* cancel = nullptr);
};

}  // namespace quorvel
