#pragma once

#include <filesystem>

namespace quorvel {

// Where a catalog imported by the user lives; the program uses it in place
// of the bundled sample when it holds a catalog.
//   Linux: $XDG_DATA_HOME/Quorvel/catalog (~/.local/share/Quorvel/catalog)
//   Windows: %APPDATA%\Quorvel\catalog; macOS: ~/Library/Application Support/Quorvel/catalog
std::filesystem::path UserCatalogDir();

// The sample catalog shipped with the program, relative to its executable's folder.
std::filesystem::path BundledCatalogDir(const std::filesystem::path& executableDir);

}  // namespace quorvel
