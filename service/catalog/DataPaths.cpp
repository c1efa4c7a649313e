#include "DataPaths.h"

#include <cstdlib>

#if !defined(_WIN32)
#include <pwd.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace quorvel {
namespace {

// Only absolute places count: a relative one would depend on where the
// program happens to be started.
fs::path fromEnv(const char* name) {
    const char* value = std::getenv(name);
    const fs::path path = value && *value ? fs::path(value) : fs::path();
    return path.is_absolute() ? path : fs::path();
}

fs::path home() {
    fs::path path = fromEnv("HOME");
#if !defined(_WIN32)
    if (path.empty()) {
        if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) path = user->pw_dir;
        if (!path.is_absolute()) path.clear();
    }
#endif
    return path;
}

}  // namespace

fs::path UserCatalogDir() {
#if defined(_WIN32)
    fs::path base = fromEnv("APPDATA");
#elif defined(__APPLE__)
    fs::path base = home().empty() ? fs::path() : home() / "Library" / "Application Support";
#else
    fs::path base = fromEnv("XDG_DATA_HOME");
    if (base.empty() && !home().empty()) base = home() / ".local" / "share";
#endif
    return base.empty() ? fs::path() : base / "Quorvel" / "catalog";
}

fs::path BundledCatalogDir(const fs::path& executableDir) {
    return executableDir.parent_path() / "share" / "quorvel" / "catalog";
}

}  // namespace quorvel
