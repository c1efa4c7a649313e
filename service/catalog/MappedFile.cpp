#include "MappedFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CatalogError.h"

namespace quorvel {

MappedFile::MappedFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CatalogError("cannot read " + file.filename().string() + " of the catalog");
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        ::close(fd);
        throw CatalogError("cannot read " + file.filename().string() + " of the catalog");
    }
    m_size = static_cast<std::size_t>(info.st_size);
    if (m_size > 0) {
        void* at = mmap(nullptr, m_size, PROT_READ, MAP_SHARED, fd, 0);
        if (at == MAP_FAILED) {
            ::close(fd);
            throw CatalogError("cannot map " + file.filename().string() + " of the catalog into memory");
        }
        m_data = static_cast<const char*>(at);
    }
    ::close(fd);  // the mapping keeps the file
}

MappedFile::~MappedFile() {
    if (m_data) munmap(const_cast<char*>(m_data), m_size);
}

}  // namespace quorvel
