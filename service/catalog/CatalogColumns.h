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

// What a search filters and sorts on, for every item, indexed by document
// id - 1 (items are stored in id order). The column file is mapped, not
// read: opening it costs the same at any size, and walking the index's
// postings with these at hand is far faster than asking the index to sort.
class CatalogColumns {
public:
    // Throws CatalogError when the file is not a column file of this build,
    // or its size or checksum does not match what its header says.
    static CatalogColumns open(const std::filesystem::path& file);

    std::size_t size() const { return m_size; }

    std::uint64_t id(std::size_t i) const { return m_ids[i]; }
    std::int64_t price(std::size_t i) const { return m_prices[i]; }
    int credit(std::size_t i) const { return m_credits[i]; }
    std::int64_t sales(std::size_t i) const { return m_sales[i]; }
    std::int64_t commission(std::size_t i) const { return m_commissions[i]; }
    unsigned services(std::size_t i) const { return m_services[i]; }
    int category(std::size_t i) const { return m_categories[i]; }  // row of the category table
    std::uint16_t province(std::size_t i) const { return m_provinces[i]; }
    std::uint16_t city(std::size_t i) const { return m_cities[i]; }
    // Throws CatalogError when the column is damaged.
    std::string_view loweredTitle(std::size_t i) const;
    // Where the item's record lies in the items file: offset and length.
    // Throws CatalogError when the column is damaged.
    std::pair<std::uint64_t, std::uint64_t> itemRecord(std::size_t i) const;
    std::uint64_t recordBytes() const { return m_size ? m_itemEnds[m_size - 1] : 0; }
    // The checksum of block b of the items file, and how many there are.
    std::uint64_t recordSum(std::size_t b) const { return m_recordSums[b]; }
    std::size_t recordBlocks() const { return m_recordBlocks; }

    // The place's id, 0 when no item has it.
    std::uint16_t placeId(std::string_view place) const;
    std::size_t placeCount() const { return m_placeCount; }
    std::string_view placeName(std::uint16_t id) const { return id < m_placeNames.size() ? m_placeNames[id] : ""; }

private:
    std::shared_ptr<const MappedFile> m_file;
    std::size_t m_size = 0;
    const std::uint64_t* m_ids = nullptr;
    const std::int64_t* m_prices = nullptr;
    const std::int64_t* m_sales = nullptr;
    const std::int64_t* m_commissions = nullptr;
    const std::uint64_t* m_titleEnds = nullptr;
    const std::uint64_t* m_itemEnds = nullptr;
    const std::uint64_t* m_recordSums = nullptr;
    std::size_t m_recordBlocks = 0;
    const std::uint16_t* m_provinces = nullptr;
    const std::uint16_t* m_cities = nullptr;
    const std::uint8_t* m_credits = nullptr;
    const std::uint8_t* m_services = nullptr;
    const std::uint8_t* m_categories = nullptr;
    std::string_view m_titles;
    std::size_t m_placeCount = 0;
    std::unordered_map<std::string, std::uint16_t> m_placeIds;
    std::vector<std::string_view> m_placeNames;  // into the mapped file
};

}  // namespace quorvel
