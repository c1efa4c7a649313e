#pragma once

#include <cstdint>
#include <optional>

namespace quorvel {

// The column file: a header, then each column as a plain array starting on
// an 8-byte boundary, so that the file is searched where it is mapped.
//   ids u64, prices i64, sales i64, commissions i64, titleEnds u64,
//   itemEnds u64, recordSums u64[recordBlocks], placeEnds u64[places],
//   provinces u16, cities u16, credits u8, services u8, categories u8 (row
//   of the category table), titles (lowered, back to back), place names.
// Place 0 is "no place". Every count is in the header, so the file's size
// is known before anything is read, and checked against it. checksum is the
// XXH3 hash of everything after the header; recordSums hold the XXH3 hash
// of each RecordBlockBytes block of the items file.
struct ColumnsHeader {
    char magic[8];
    std::uint32_t byteOrder;
    std::uint32_t recordBlockBytes;
    std::uint64_t items;
    std::uint64_t titleBytes;
    std::uint64_t places;
    std::uint64_t placeBytes;
    std::uint64_t recordBlocks;
    std::uint64_t checksum;
};

struct ColumnsLayout {
    std::uint64_t ids, prices, sales, commissions, titleEnds, itemEnds, recordSums, placeEnds, provinces, cities, credits,
        services, categories, titles, placeNames, total;

    // Offsets of every column; nothing when the counts cannot describe a
    // file (too large, overflowing).
    static std::optional<ColumnsLayout> of(const ColumnsHeader& h) {
        constexpr std::uint64_t kMaxItems = std::uint64_t{1} << 36, kMaxBytes = std::uint64_t{1} << 40;
        if (h.items > kMaxItems || h.titleBytes > kMaxBytes || h.places > 65535 || h.placeBytes > kMaxBytes ||
            h.recordBlocks > kMaxItems || h.recordBlockBytes != RecordBlockBytes) {
            return std::nullopt;
        }
        const auto align = [](std::uint64_t at) { return (at + 7) & ~std::uint64_t{7}; };
        ColumnsLayout l{};
        std::uint64_t at = sizeof(ColumnsHeader);
        const auto next = [&](std::uint64_t bytes) {
            const std::uint64_t start = align(at);
            at = start + bytes;
            return start;
        };
        const std::uint64_t n = h.items;
        l.ids = next(8 * n);
        l.prices = next(8 * n);
        l.sales = next(8 * n);
        l.commissions = next(8 * n);
        l.titleEnds = next(8 * n);
        l.itemEnds = next(8 * n);
        l.recordSums = next(8 * h.recordBlocks);
        l.placeEnds = next(8 * h.places);
        l.provinces = next(2 * n);
        l.cities = next(2 * n);
        l.credits = next(n);
        l.services = next(n);
        l.categories = next(n);
        l.titles = next(h.titleBytes);
        l.placeNames = next(h.placeBytes);
        l.total = at;
        return l;
    }

    static constexpr int Version = 5;  // the last two characters of the mark
    static constexpr char Magic[8] = {'Q', 'V', 'C', 'O', 'L', 'S', '0', '0' + Version};
    static constexpr std::uint32_t RecordBlockBytes = 64 * 1024;
    static constexpr std::uint32_t ByteOrderMark = 0x01020304;
};

}  // namespace quorvel
