#include "FeedImporter.h"

#include <unordered_map>

#include "CatalogError.h"
#include "FeedParser.h"

namespace quorvel {

std::vector<CatalogItem> FeedImporter::read(std::istream& feed, Summary& summary, const Progress& progress,
                                            const std::atomic<bool>* cancel) {
    std::vector<CatalogItem> items;
    std::unordered_map<std::uint64_t, std::size_t> byId;
    std::string line;
    std::uint64_t lineNumber = 0;
    std::uint64_t bytes = 0;
    while (std::getline(feed, line)) {
        ++lineNumber;
        bytes += line.size() + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;  // blank lines are allowed
        if (cancel && cancel->load()) throw CatalogError("the import was interrupted");
        CatalogItem item = ParseFeedLine(line, lineNumber);
        ++summary.lines;
        const auto [it, added] = byId.emplace(item.id, items.size());
        if (added) {
            items.push_back(std::move(item));
        } else {
            items[it->second] = std::move(item);  // the later line wins
            ++summary.duplicates;
        }
        if (progress && lineNumber % 5000 == 0) progress(bytes, lineNumber);
    }
    if (feed.bad()) throw CatalogError("the feed could not be read to its end");
    if (progress) progress(bytes, lineNumber);
    return items;
}

}  // namespace quorvel
