#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <mutex>

namespace quorvel {

class CatalogIndex;

// The catalog a service searches: opened on a thread of its own so that
// nothing waits for it but a search, and followed to the newest generation
// when an import switches the folder while the service runs.
class CatalogHandle {
public:
    using Opener = std::function<std::shared_ptr<const CatalogIndex>(const std::filesystem::path&)>;
    using Done = std::function<void(const std::exception_ptr& failure)>;

    // Starts opening dir at once and returns; done (if given) is called on
    // the opening thread when it has finished, with the failure if any.
    static std::shared_ptr<CatalogHandle> openInBackground(std::filesystem::path dir, Opener open = {},
                                                           Done done = {});
    // An index already open, followed in its folder like any other.
    static std::shared_ptr<CatalogHandle> of(std::shared_ptr<const CatalogIndex> index);

    ~CatalogHandle();
    CatalogHandle(const CatalogHandle&) = delete;
    CatalogHandle& operator=(const CatalogHandle&) = delete;

    // The newest catalog, waiting while the first one opens. Throws
    // CatalogError when it could not be opened. A newer generation that
    // cannot be opened leaves the one in use serving.
    std::shared_ptr<const CatalogIndex> current() const;

    // How often the folder is looked at for a newer generation.
    static constexpr std::chrono::milliseconds FollowInterval{250};

private:
    CatalogHandle(std::filesystem::path dir, Opener open);
    void follow() const;

    std::filesystem::path m_dir;
    Opener m_open;
    std::shared_future<std::shared_ptr<const CatalogIndex>> m_first;
    mutable std::mutex m_mutex;  // guards m_index
    mutable std::shared_ptr<const CatalogIndex> m_index;
    mutable std::mutex m_following;  // one thread opens a newer generation at a time
    mutable std::atomic<std::int64_t> m_nextLook{0};
};

}  // namespace quorvel
