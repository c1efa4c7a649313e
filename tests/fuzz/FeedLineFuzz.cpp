// libFuzzer target: one line of the catalog feed. Every bad line must be a
// FeedError with a bounded message; a line that parses must give an item
// whose record reads back as the same item.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "FeedParser.h"
#include "ItemRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    try {
        const quorvel::CatalogItem item = quorvel::ParseFeedLine(line, 1);
        const quorvel::CatalogItem again = quorvel::ParseFeedLine(quorvel::ItemRecord(item), 1);
        if (again.id != item.id || again.title != item.title || again.priceFen != item.priceFen) std::abort();
    } catch (const quorvel::FeedError& e) {
        if (std::string_view(e.what()).size() > 400) std::abort();
    }
    return 0;
}
