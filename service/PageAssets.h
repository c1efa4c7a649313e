#pragma once

#include <span>
#include <string_view>

namespace quorvel {

// One file of the results page, compiled into the binary.
struct PageAsset {
    std::string_view path;         // relative to the page's folder, e.g. "index.html"
    std::string_view contentType;
    std::string_view data;
};

std::span<const PageAsset> PageAssetFiles();

}  // namespace quorvel
