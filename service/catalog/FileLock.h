#pragma once

#include <filesystem>
#include <memory>

namespace quorvel {

// An advisory lock on a file, held while the object lives and released by
// the system when the process ends, however it ends. Imports take the
// catalog folder's lock exclusively; a service holds its generation's lock
// shared, so that no import removes a generation a service still reads.
// The one adapter over the system's file locks.
class FileLock {
public:
    enum class Mode { Shared, Exclusive };

    // The lock, or nothing when another holder's lock is in the way. Throws
    // CatalogError when the file cannot be opened (create: made if missing).
    static std::unique_ptr<FileLock> tryLock(const std::filesystem::path& file, Mode mode, bool create = false);

    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd;
};

// Flushes a file or a folder (its entries) to the disk. Throws CatalogError.
void SyncToDisk(const std::filesystem::path& path);

}  // namespace quorvel
