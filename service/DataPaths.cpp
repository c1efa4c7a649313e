#include "DataPaths.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace quorvel {
namespace {

fs::path fromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? fs::path(value) : fs::path();
}

}  // namespace

fs::path UserCatalogDir() {
#if defined(_WIN32)
    fs::path base = fromEnv("APPDATA");
#elif defined(__APPLE__)
    fs::path base = fromEnv("HOME") / "Library" / "Application Support";
#else
    fs::path base = fromEnv("XDG_DATA_HOME");
    if (base.empty()) base = fromEnv("HOME") / ".local" / "share";
#endif
    return base / "Quorvel" / "catalog";
}

fs::path BundledCatalogDir(const fs::path& executableDir) {
    return executableDir.parent_path() / "share" / "quorvel" / "catalog";
}

}  // namespace quorvel
