#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "CatalogItem.h"

namespace quorvel {

// What a search filters and sorts on, held in memory for every item, indexed
// by document id - 1 (items are stored in id order). Walking the index's
// postings with these at hand is far faster than asking the index to sort.
class CatalogColumns {
public:
    void reserve(std::size_t n);
    // In document id order; itemBytes is the length of the item's record in the items file.
    void add(const CatalogItem& item, std::uint64_t itemBytes);
    std::size_t size() const { return m_ids.size(); }

    std::uint64_t id(std::size_t i) const { return m_ids[i]; }
    std::int64_t price(std::size_t i) const { return m_prices[i]; }
    int credit(std::size_t i) const { return m_credits[i]; }
    std::int64_t sales(std::size_t i) const { return m_sales[i]; }
    std::int64_t commission(std::size_t i) const { return m_commissions[i]; }
    unsigned services(std::size_t i) const { return m_services[i]; }
    std::uint16_t province(std::size_t i) const { return m_provinces[i]; }
    std::uint16_t city(std::size_t i) const { return m_cities[i]; }
    std::string_view loweredTitle(std::size_t i) const;
    // Where the item's record lies in the items file: offset and length.
    std::pair<std::uint64_t, std::uint64_t> itemRecord(std::size_t i) const;

    // The place's id, 0 when no item has it.
    std::uint16_t placeId(std::string_view place) const;
    std::size_t placeCount() const { return m_places.size(); }

    void write(const std::filesystem::path& file) const;
    static CatalogColumns read(const std::filesystem::path& file);  // throws CatalogError

private:
    std::uint16_t internPlace(const std::string& place);

    std::vector<std::uint64_t> m_ids;
    std::vector<std::int64_t> m_prices;
    std::vector<std::uint8_t> m_credits;
    std::vector<std::int64_t> m_sales;
    std::vector<std::int64_t> m_commissions;
    std::vector<std::uint8_t> m_services;
    std::vector<std::uint16_t> m_provinces;
    std::vector<std::uint16_t> m_cities;
    std::vector<std::uint64_t> m_titleEnds;
    std::vector<std::uint64_t> m_itemEnds;
    std::string m_titles;
    std::vector<std::string> m_places{""};  // id 0: no place
    std::unordered_map<std::string, std::uint16_t> m_placeIds;  // the way back, for import and queries
};

}  // namespace quorvel
