#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>
#include <string>
#include <string_view>

#include "CatalogColumns.h"
#include "SearchQuery.h"
#include "SuggestionWords.h"

namespace Xapian {
class Database;
}

namespace quorvel {

class FileLock;
class MappedFile;

// A catalog opened for searching. Thread-safe: the columns are shared and
// read-only, and each search reads the index through a reader of its own,
// taken from the index's pool.
// Every Xapian error is caught here and becomes a CatalogError.
class CatalogIndex {
public:
    // Throws CatalogError naming the folder when it is missing or not a catalog.
    static std::shared_ptr<const CatalogIndex> open(const std::filesystem::path& dir);

    ~CatalogIndex();
    CatalogIndex(const CatalogIndex&) = delete;
    CatalogIndex& operator=(const CatalogIndex&) = delete;

    SearchResult search(const SearchQuery& query) const;

    // Up to limit words of the titles that start with or contain text, each
    // with the number of items a search for it finds, the most first.
    struct Suggestion {
        std::string word;
        std::uint64_t items;
    };
    std::vector<Suggestion> suggest(std::string_view text, std::size_t limit) const;

    std::size_t size() const { return m_columns.size(); }
    const std::filesystem::path& folder() const { return m_folder; }

    // Whether dir holds a catalog (its CURRENT file).
    static bool exists(const std::filesystem::path& dir);

    // The generation CURRENT names in dir. Throws CatalogError.
    static std::string currentGeneration(const std::filesystem::path& dir);
    // The generation this index was opened from.
    std::string generation() const { return m_generation.filename().string(); }

private:
    CatalogIndex(std::filesystem::path folder, std::filesystem::path generation, CatalogColumns columns,
                 std::shared_ptr<const MappedFile> records, SuggestionWords words, std::unique_ptr<FileLock> inUse);
    static std::shared_ptr<const CatalogIndex> openGeneration(const std::filesystem::path& dir,
                                                              const std::string& generation);
    std::unique_ptr<Xapian::Database> takeReader() const;
    void giveBack(std::unique_ptr<Xapian::Database> reader) const;
    std::string itemRecord(std::size_t i) const;

    std::filesystem::path m_folder;
    std::filesystem::path m_generation;
    CatalogColumns m_columns;
    std::shared_ptr<const MappedFile> m_records;  // the item records, as the page reads them
    SuggestionWords m_words;
    mutable std::mutex m_suggestMutex;  // guards m_wordItems
    mutable std::unordered_map<std::string, std::uint64_t> m_wordItems;  // items a search for a word finds
    std::unique_ptr<FileLock> m_inUse;            // keeps imports from removing this generation
    // Each block of the records: 0 not yet checked, 1 matches its checksum, 2 damaged.
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_recordBlockState;
    mutable std::mutex m_readersMutex;
    mutable std::vector<std::unique_ptr<Xapian::Database>> m_readers;  // idle; one per search at once
};

}  // namespace quorvel
