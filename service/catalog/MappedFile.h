#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace quorvel {

// A file mapped read-only into memory: opening costs the same at any size,
// pages are read when touched, and copies of the service on one machine
// share them. The one adapter over the system's mapping call.
class MappedFile {
public:
    // Throws CatalogError naming the file when it cannot be opened or mapped.
    explicit MappedFile(const std::filesystem::path& file);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::string_view bytes() const { return {m_data, m_size}; }

private:
    const char* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace quorvel
