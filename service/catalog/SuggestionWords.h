#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

class MappedFile;

// The words of a catalog's titles (lowered, as the keyword splits them),
// each with the number of titles holding it: what suggestions are drawn
// from. Written beside the index, one "word TAB count" line each, sorted.
class SuggestionWords {
public:
    class Builder {
    public:
        void addTitle(std::string_view title);
        void write(const std::filesystem::path& file) const;  // throws CatalogError

    private:
        std::unordered_map<std::string, std::uint64_t> m_counts;
    };

    struct Entry {
        std::string_view word;
        std::uint64_t titles;
    };

    // An empty list when the file is missing; throws CatalogError when damaged.
    static SuggestionWords open(const std::filesystem::path& file);

    // Words that start with or contain text (lowered), the most common first
    // (ties: those starting with it, then in order), at most limit.
    std::vector<Entry> matching(std::string_view text, std::size_t limit) const;
    std::size_t size() const { return m_entries.size(); }

private:
    std::shared_ptr<const MappedFile> m_file;
    std::vector<Entry> m_entries;  // sorted by word
};

}  // namespace quorvel
