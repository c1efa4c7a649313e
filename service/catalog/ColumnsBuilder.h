#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <vector>

#include "CatalogItem.h"

namespace quorvel {

// Gathers the columns of a catalog being written, item by item in document
// order, and writes them as the column file CatalogColumns maps.
class ColumnsBuilder {
public:
    void reserve(std::size_t n);
    // itemBytes is the length of the item's record in the items file.
    void add(const CatalogItem& item, std::uint64_t itemBytes);
    std::size_t size() const { return m_ids.size(); }
    // The checksums of the items file's blocks (ColumnsLayout::RecordBlockBytes each).
    void setRecordSums(std::vector<std::uint64_t> sums) { m_recordSums = std::move(sums); }
    void write(const std::filesystem::path& file) const;  // throws CatalogError

private:
    std::uint16_t internPlace(const std::string& place);

    std::vector<std::uint64_t> m_ids;
    std::vector<std::int64_t> m_prices;
    std::vector<std::uint8_t> m_credits;
    std::vector<std::int64_t> m_sales;
    std::vector<std::int64_t> m_commissions;
    std::vector<std::uint8_t> m_services;
    std::vector<std::uint8_t> m_categories;
    std::vector<std::uint16_t> m_provinces;
    std::vector<std::uint16_t> m_cities;
    std::vector<std::uint64_t> m_titleEnds;
    std::vector<std::uint64_t> m_itemEnds;
    std::vector<std::uint64_t> m_recordSums;
    std::string m_titles;
    std::vector<std::string> m_places{""};  // id 0: no place
    std::unordered_map<std::string, std::uint16_t> m_placeIds;
};

}  // namespace quorvel
