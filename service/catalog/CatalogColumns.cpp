#include "CatalogColumns.h"

#include <cstring>

#include <xxhash.h>

#include "CatalogError.h"
#include "ColumnsFormat.h"
#include "MappedFile.h"

namespace quorvel {
namespace {

CatalogError damaged() { return CatalogError("the catalog is damaged (its columns do not add up); import it again"); }

template <typename T>
const T* at(const MappedFile& file, std::uint64_t offset) {
    return reinterpret_cast<const T*>(file.data() + offset);
}

}  // namespace

CatalogColumns CatalogColumns::open(const std::filesystem::path& file) {
    auto mapped = std::make_shared<const MappedFile>(file);
    ColumnsHeader header{};
    if (mapped->size() < sizeof header) throw damaged();
    std::memcpy(&header, mapped->data(), sizeof header);
    if (std::memcmp(header.magic, ColumnsLayout::Magic, 6) != 0) throw damaged();
    if (std::memcmp(header.magic, ColumnsLayout::Magic, sizeof header.magic) != 0 ||
        header.byteOrder != ColumnsLayout::ByteOrderMark) {
        throw CatalogError("the catalog was written by another version of Quorvel; import it again");
    }
    const auto layout = ColumnsLayout::of(header);
    if (!layout || layout->total != mapped->size()) throw damaged();
    // Every byte is checked once here (about 10 ms for a million items), so
    // no flipped byte is ever served as data.
    if (XXH3_64bits(mapped->data() + sizeof header, mapped->size() - sizeof header) != header.checksum) {
        throw CatalogError("the catalog is damaged (its columns do not match their checksum); import it again");
    }

    CatalogColumns c;
    const MappedFile& f = *mapped;
    c.m_size = header.items;
    c.m_ids = at<std::uint64_t>(f, layout->ids);
    c.m_prices = at<std::int64_t>(f, layout->prices);
    c.m_sales = at<std::int64_t>(f, layout->sales);
    c.m_commissions = at<std::int64_t>(f, layout->commissions);
    c.m_titleEnds = at<std::uint64_t>(f, layout->titleEnds);
    c.m_itemEnds = at<std::uint64_t>(f, layout->itemEnds);
    c.m_recordSums = at<std::uint64_t>(f, layout->recordSums);
    c.m_recordBlocks = header.recordBlocks;
    c.m_provinces = at<std::uint16_t>(f, layout->provinces);
    c.m_cities = at<std::uint16_t>(f, layout->cities);
    c.m_credits = at<std::uint8_t>(f, layout->credits);
    c.m_services = at<std::uint8_t>(f, layout->services);
    c.m_categories = at<std::uint8_t>(f, layout->categories);
    c.m_titles = std::string_view(f.data() + layout->titles, header.titleBytes);

    // The few places are read now; the per-item columns only when searched.
    if (header.places == 0) throw damaged();
    const std::uint64_t* placeEnds = at<std::uint64_t>(f, layout->placeEnds);
    const std::string_view names(f.data() + layout->placeNames, header.placeBytes);
    std::uint64_t begin = 0;
    for (std::uint64_t id = 0; id < header.places; ++id) {
        if (placeEnds[id] < begin || placeEnds[id] > names.size()) throw damaged();
        const std::string_view name = names.substr(begin, placeEnds[id] - begin);
        c.m_placeNames.push_back(name);
        if (id > 0) c.m_placeIds.emplace(std::string(name), static_cast<std::uint16_t>(id));
        begin = placeEnds[id];
    }
    c.m_placeCount = header.places;
    if (c.m_size > 0 && c.m_titleEnds[c.m_size - 1] != c.m_titles.size()) throw damaged();
    c.m_file = std::move(mapped);
    return c;
}

std::string_view CatalogColumns::loweredTitle(std::size_t i) const {
    const std::uint64_t begin = i == 0 ? 0 : m_titleEnds[i - 1];
    const std::uint64_t end = m_titleEnds[i];
    if (begin > end || end > m_titles.size()) throw damaged();
    return m_titles.substr(begin, end - begin);
}

std::pair<std::uint64_t, std::uint64_t> CatalogColumns::itemRecord(std::size_t i) const {
    const std::uint64_t begin = i == 0 ? 0 : m_itemEnds[i - 1];
    if (begin > m_itemEnds[i]) throw damaged();
    return {begin, m_itemEnds[i] - begin};
}

std::uint16_t CatalogColumns::placeId(std::string_view place) const {
    const auto it = m_placeIds.find(std::string(place));
    return it == m_placeIds.end() ? 0 : it->second;
}

}  // namespace quorvel
