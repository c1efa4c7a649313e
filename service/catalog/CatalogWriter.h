#pragma once

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <vector>

#include "CatalogItem.h"

namespace quorvel {

// Writes a catalog folder (CatalogFolder.h names its files). A new generation is built beside the one in use, flushed to the disk and
// made current by replacing CURRENT in one rename, so a failed or
// interrupted write, or a power cut, leaves the previous catalog intact and
// usable. A second import into the same folder at once is refused.
class CatalogWriter {
public:
    using Progress = std::function<void(std::size_t indexed, std::size_t total)>;

    // items need not be sorted; their ids must be distinct. cancel, when set,
    // is polled: the write then stops, cleans up and throws CatalogError.
    static void write(const std::filesystem::path& dir, std::vector<CatalogItem> items,
                      const Progress& progress = {}, const std::atomic<bool>* cancel = nullptr);

};

}  // namespace quorvel
