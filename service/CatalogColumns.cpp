#include "CatalogColumns.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "CatalogError.h"
#include "Utf8.h"

namespace quorvel {
namespace {

constexpr char kMagic[8] = {'Q', 'V', 'C', 'O', 'L', 'S', '0', '2'};
constexpr std::uint32_t kByteOrderMark = 0x01020304;

template <typename T>
void put(std::ofstream& out, const std::vector<T>& v) {
    const std::uint64_t n = v.size();
    out.write(reinterpret_cast<const char*>(&n), sizeof n);
    out.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(n * sizeof(T)));
}

void put(std::ofstream& out, const std::string& s) {
    const std::uint64_t n = s.size();
    out.write(reinterpret_cast<const char*>(&n), sizeof n);
    out.write(s.data(), static_cast<std::streamsize>(n));
}

struct Reader {
    std::ifstream& in;
    const std::filesystem::path& file;

    void bytes(void* to, std::size_t n) {
        if (!in.read(static_cast<char*>(to), static_cast<std::streamsize>(n))) {
            throw CatalogError("catalog columns " + file.string() + " are truncated");
        }
    }
    std::uint64_t count(std::uint64_t limit) {
        std::uint64_t n = 0;
        bytes(&n, sizeof n);
        if (n > limit) throw CatalogError("catalog columns " + file.string() + " are damaged");
        return n;
    }
    template <typename T>
    void get(std::vector<T>& v, std::uint64_t expected) {
        const std::uint64_t n = count(expected);
        if (n != expected) throw CatalogError("catalog columns " + file.string() + " are damaged");
        v.resize(n);
        bytes(v.data(), n * sizeof(T));
    }
    void get(std::string& s, std::uint64_t limit) {
        s.resize(count(limit));
        bytes(s.data(), s.size());
    }
};

}  // namespace

void CatalogColumns::reserve(std::size_t n) {
    m_ids.reserve(n);
    m_prices.reserve(n);
    m_credits.reserve(n);
    m_sales.reserve(n);
    m_commissions.reserve(n);
    m_services.reserve(n);
    m_provinces.reserve(n);
    m_cities.reserve(n);
    m_titleEnds.reserve(n);
    m_itemEnds.reserve(n);
}

std::uint16_t CatalogColumns::internPlace(const std::string& place) {
    if (place.empty()) return 0;
    if (const auto it = m_placeIds.find(place); it != m_placeIds.end()) return it->second;
    if (m_places.size() >= 65535) throw CatalogError("a catalog holds at most 65534 different places");
    m_places.push_back(place);
    const auto id = static_cast<std::uint16_t>(m_places.size() - 1);
    m_placeIds.emplace(place, id);
    return id;
}

void CatalogColumns::add(const CatalogItem& item, std::uint64_t itemBytes) {
    m_itemEnds.push_back((m_itemEnds.empty() ? 0 : m_itemEnds.back()) + itemBytes);
    m_ids.push_back(item.id);
    m_prices.push_back(item.priceFen);
    m_credits.push_back(static_cast<std::uint8_t>(item.creditIndex));
    m_sales.push_back(item.sales);
    m_commissions.push_back(item.commission);
    m_services.push_back(static_cast<std::uint8_t>(item.services));
    m_provinces.push_back(internPlace(item.province));
    m_cities.push_back(internPlace(item.city));
    m_titles += LowerAscii(item.title);
    m_titleEnds.push_back(m_titles.size());
}

std::string_view CatalogColumns::loweredTitle(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : m_titleEnds[i - 1];
    return std::string_view(m_titles).substr(begin, m_titleEnds[i] - begin);
}

std::pair<std::uint64_t, std::uint64_t> CatalogColumns::itemRecord(std::size_t i) const {
    const std::uint64_t begin = i == 0 ? 0 : m_itemEnds[i - 1];
    return {begin, m_itemEnds[i] - begin};
}

std::uint16_t CatalogColumns::placeId(std::string_view place) const {
    const auto it = m_placeIds.find(std::string(place));
    return it == m_placeIds.end() ? 0 : it->second;
}

void CatalogColumns::write(const std::filesystem::path& file) const {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out) throw CatalogError("cannot write " + file.string());
    out.write(kMagic, sizeof kMagic);
    out.write(reinterpret_cast<const char*>(&kByteOrderMark), sizeof kByteOrderMark);
    put(out, m_ids);
    put(out, m_prices);
    put(out, m_credits);
    put(out, m_sales);
    put(out, m_commissions);
    put(out, m_services);
    put(out, m_provinces);
    put(out, m_cities);
    put(out, m_titleEnds);
    put(out, m_itemEnds);
    put(out, m_titles);
    const std::uint64_t places = m_places.size();
    out.write(reinterpret_cast<const char*>(&places), sizeof places);
    for (const auto& p : m_places) put(out, p);
    out.flush();
    if (!out) throw CatalogError("cannot write " + file.string() + " (disk full?)");
}

CatalogColumns CatalogColumns::read(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw CatalogError("cannot read " + file.string());
    Reader r{in, file};
    char magic[sizeof kMagic];
    std::uint32_t order = 0;
    r.bytes(magic, sizeof magic);
    r.bytes(&order, sizeof order);
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0 || order != kByteOrderMark) {
        throw CatalogError(file.string() + " is not a catalog column file of this build");
    }
    CatalogColumns c;
    const std::uint64_t n = r.count(std::uint64_t{1} << 40);
    c.m_ids.resize(n);
    r.bytes(c.m_ids.data(), n * sizeof(std::uint64_t));
    r.get(c.m_prices, n);
    r.get(c.m_credits, n);
    r.get(c.m_sales, n);
    r.get(c.m_commissions, n);
    r.get(c.m_services, n);
    r.get(c.m_provinces, n);
    r.get(c.m_cities, n);
    r.get(c.m_titleEnds, n);
    r.get(c.m_itemEnds, n);
    r.get(c.m_titles, std::uint64_t{1} << 40);
    const std::uint64_t places = r.count(65535);
    c.m_places.assign(places, {});
    for (auto& p : c.m_places) r.get(p, 4096);
    for (std::size_t id = 1; id < c.m_places.size(); ++id) c.m_placeIds.emplace(c.m_places[id], static_cast<std::uint16_t>(id));
    if (places == 0 || (n > 0 && c.m_titleEnds.back() != c.m_titles.size())) {
        throw CatalogError("catalog columns " + file.string() + " are damaged");
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (c.m_provinces[i] >= places || c.m_cities[i] >= places || c.m_credits[i] > 19 ||
            (i > 0 && (c.m_titleEnds[i] < c.m_titleEnds[i - 1] || c.m_itemEnds[i] < c.m_itemEnds[i - 1]))) {
            throw CatalogError("catalog columns " + file.string() + " are damaged");
        }
    }
    return c;
}

}  // namespace quorvel
