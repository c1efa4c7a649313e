#include "CatalogHandle.h"

#include <string>

#include "CatalogError.h"
#include "CatalogIndex.h"

namespace quorvel {
namespace {

std::int64_t nowTicks() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

}  // namespace

CatalogHandle::CatalogHandle(std::filesystem::path dir, Opener open)
    : m_dir(std::move(dir)), m_open(open ? std::move(open) : Opener(&CatalogIndex::open)) {}

CatalogHandle::~CatalogHandle() {
    // The opening thread uses this object; wait for it.
    if (m_first.valid()) m_first.wait();
}

std::shared_ptr<CatalogHandle> CatalogHandle::openInBackground(std::filesystem::path dir, Opener open, Done done) {
    std::shared_ptr<CatalogHandle> handle(new CatalogHandle(std::move(dir), std::move(open)));
    CatalogHandle* self = handle.get();
    self->m_first = std::async(std::launch::async, [self, done = std::move(done)] {
        try {
            auto index = self->m_open(self->m_dir);
            if (done) done(nullptr);
            return index;
        } catch (...) {
            if (done) done(std::current_exception());
            throw;
        }
    }).share();
    return handle;
}

std::shared_ptr<CatalogHandle> CatalogHandle::of(std::shared_ptr<const CatalogIndex> index) {
    std::shared_ptr<CatalogHandle> handle(new CatalogHandle(index->folder(), {}));
    std::promise<std::shared_ptr<const CatalogIndex>> opened;
    opened.set_value(std::move(index));
    handle->m_first = opened.get_future().share();
    return handle;
}

std::shared_ptr<const CatalogIndex> CatalogHandle::current() const {
    std::shared_ptr<const CatalogIndex> index;
    {
        std::lock_guard lock(m_mutex);
        index = m_index;
    }
    if (!index) {
        try {
            index = m_first.get();  // waits for the first open
        } catch (const CatalogError& e) {
            // Said in full where the service was started; clients are not
            // told where its files are.
            std::string reason = e.what();
            const std::string folder = m_dir.string();
            for (auto at = reason.find(folder); !folder.empty() && at != std::string::npos; at = reason.find(folder)) {
                reason.replace(at, folder.size(), "the catalog folder");
            }
            throw CatalogError(reason);
        }
        std::lock_guard lock(m_mutex);
        if (!m_index) m_index = index;
        index = m_index;
    }
    if (nowTicks() >= m_nextLook.load(std::memory_order_relaxed)) follow();
    std::lock_guard lock(m_mutex);
    return m_index;
}

void CatalogHandle::follow() const {
    std::unique_lock opening(m_following, std::try_to_lock);
    if (!opening.owns_lock()) return;  // another search is looking already
    m_nextLook = nowTicks() + std::chrono::duration_cast<std::chrono::steady_clock::duration>(FollowInterval).count();
    std::shared_ptr<const CatalogIndex> index;
    {
        std::lock_guard lock(m_mutex);
        index = m_index;
    }
    try {
        if (CatalogIndex::currentGeneration(m_dir) == index->generation()) return;
        auto newer = m_open(m_dir);
        std::lock_guard lock(m_mutex);
        m_index = std::move(newer);
    } catch (const CatalogError&) {
        // A switch half seen or a damaged newer catalog: keep serving the one
        // in use and look again later.
    }
}

}  // namespace quorvel
