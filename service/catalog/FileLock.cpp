#include "FileLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "CatalogError.h"

namespace quorvel {

std::unique_ptr<FileLock> FileLock::tryLock(const std::filesystem::path& file, Mode mode, bool create) {
    const int fd = ::open(file.c_str(), (create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC, 0644);
    if (fd < 0) throw CatalogError("cannot read " + file.string());
    if (flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) return nullptr;
        throw CatalogError("cannot lock " + file.string());
    }
    return std::unique_ptr<FileLock>(new FileLock(fd));
}

FileLock::~FileLock() { ::close(m_fd); }

void SyncToDisk(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CatalogError("cannot open " + path.string() + " to flush it to the disk");
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (!synced) throw CatalogError("cannot flush " + path.string() + " to the disk");
}

}  // namespace quorvel
