#include "ColumnsBuilder.h"

#include <cstring>
#include <fstream>
#include <memory>

#include <xxhash.h>

#include "CatalogError.h"
#include "ColumnsFormat.h"
#include "Utf8.h"
#include "Vocabulary.h"

namespace quorvel {

void ColumnsBuilder::reserve(std::size_t n) {
    m_ids.reserve(n);
    m_prices.reserve(n);
    m_credits.reserve(n);
    m_sales.reserve(n);
    m_commissions.reserve(n);
    m_services.reserve(n);
    m_categories.reserve(n);
    m_provinces.reserve(n);
    m_cities.reserve(n);
    m_titleEnds.reserve(n);
    m_itemEnds.reserve(n);
}

std::uint16_t ColumnsBuilder::internPlace(const std::string& place) {
    if (place.empty()) return 0;
    if (const auto it = m_placeIds.find(place); it != m_placeIds.end()) return it->second;
    if (m_places.size() >= 65535) throw CatalogError("a catalog holds at most 65534 different places");
    m_places.push_back(place);
    const auto id = static_cast<std::uint16_t>(m_places.size() - 1);
    m_placeIds.emplace(place, id);
    return id;
}

void ColumnsBuilder::add(const CatalogItem& item, std::uint64_t itemBytes) {
    m_itemEnds.push_back((m_itemEnds.empty() ? 0 : m_itemEnds.back()) + itemBytes);
    m_ids.push_back(item.id);
    m_prices.push_back(item.priceFen);
    m_credits.push_back(static_cast<std::uint8_t>(item.creditIndex));
    m_sales.push_back(item.sales);
    m_commissions.push_back(item.commission);
    m_services.push_back(static_cast<std::uint8_t>(item.services));
    m_categories.push_back(static_cast<std::uint8_t>(CategoryTable().indexOfCode(item.categoryId).value_or(0)));
    m_provinces.push_back(internPlace(item.province));
    m_cities.push_back(internPlace(item.city));
    m_titles += LowerAscii(item.title);
    m_titleEnds.push_back(m_titles.size());
}

void ColumnsBuilder::write(const std::filesystem::path& file) const {
    std::string names;
    std::vector<std::uint64_t> placeEnds;
    for (const auto& p : m_places) {
        names += p;
        placeEnds.push_back(names.size());
    }
    ColumnsHeader header{};
    std::memcpy(header.magic, ColumnsLayout::Magic, sizeof header.magic);
    header.byteOrder = ColumnsLayout::ByteOrderMark;
    header.items = m_ids.size();
    header.titleBytes = m_titles.size();
    header.places = m_places.size();
    header.placeBytes = names.size();
    header.recordBlockBytes = ColumnsLayout::RecordBlockBytes;
    header.recordBlocks = m_recordSums.size();
    const auto layout = ColumnsLayout::of(header);
    if (!layout) throw CatalogError("the catalog is too large for its column file");

    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw CatalogError("cannot write " + file.string());
    out.write(reinterpret_cast<const char*>(&header), sizeof header);  // its checksum comes last
    std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> hash(XXH3_createState(), &XXH3_freeState);
    XXH3_64bits_reset(hash.get());
    std::uint64_t at = sizeof header;
    const auto put = [&](std::uint64_t offset, const void* data, std::uint64_t bytes) {
        static const char zeros[8] = {};
        out.write(zeros, static_cast<std::streamsize>(offset - at));  // padding to the column's start
        XXH3_64bits_update(hash.get(), zeros, offset - at);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(bytes));
        XXH3_64bits_update(hash.get(), data, bytes);
        at = offset + bytes;
    };
    const auto column = [&](std::uint64_t offset, const auto& v) {
        put(offset, v.data(), v.size() * sizeof(v[0]));
    };
    column(layout->ids, m_ids);
    column(layout->prices, m_prices);
    column(layout->sales, m_sales);
    column(layout->commissions, m_commissions);
    column(layout->titleEnds, m_titleEnds);
    column(layout->itemEnds, m_itemEnds);
    column(layout->recordSums, m_recordSums);
    column(layout->placeEnds, placeEnds);
    column(layout->provinces, m_provinces);
    column(layout->cities, m_cities);
    column(layout->credits, m_credits);
    column(layout->services, m_services);
    column(layout->categories, m_categories);
    put(layout->titles, m_titles.data(), m_titles.size());
    put(layout->placeNames, names.data(), names.size());
    header.checksum = XXH3_64bits_digest(hash.get());
    out.seekp(0);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.flush();
    if (!out || at != layout->total) throw CatalogError("cannot write " + file.string() + " (disk full?)");
}

}  // namespace quorvel
