#pragma once

#include <filesystem>

namespace quorvel {

// Where a catalog imported by the user lives; the program uses it in place
// of the bundled sample when it holds a catalog.
//   Linux: $XDG_DATA_HOME/Quorvel/catalog (~/.local/share/Quorvel/catalog)
//   Windows: %APPDATA%\Quorvel\catalog; macOS: ~/Library/Application Support/Quorvel/catalog
// Empty when the user has no home folder to be found (no absolute HOME or
// XDG_DATA_HOME, no home in the user database).
std::filesystem::path UserCatalogDir();

// The sample catalog shipped with the program, relative to its executable's folder.
std::filesystem::path BundledCatalogDir(const std::filesystem::path& executableDir);

}  // namespace quorvel
