#include "FeedImporter.h"

#include <unordered_map>

#include "CatalogError.h"
#include "FeedParser.h"

namespace quorvel {
namespace {

// Reads one line, but never more than one byte past the limit: a feed
// without line breaks must not fill the memory. The rest of an overlong
// line is left unread (the import stops there).
bool readLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            if (line.empty()) {
                in.setstate(std::ios::eofbit);
                return false;
            }
            return true;
        }
        if (c == '\n') return true;
        line.push_back(static_cast<char>(c));
        if (line.size() > FeedImporter::MaxLineBytes) return true;
    }
}

}  // namespace

std::vector<CatalogItem> FeedImporter::read(std::istream& feed, Summary& summary, const Progress& progress,
                                            const std::atomic<bool>* cancel) {
    std::vector<CatalogItem> items;
    std::unordered_map<std::uint64_t, std::size_t> byId;
    std::string line;
    std::uint64_t lineNumber = 0;
    std::uint64_t bytes = 0;
    while (readLine(feed, line)) {
        ++lineNumber;
        if (line.size() > MaxLineBytes) {
            throw FeedError(lineNumber, "", "the line is longer than " + std::to_string(MaxLineBytes) + " bytes");
        }
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
