#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "CatalogItem.h"

namespace quorvel {

// A bad line of a catalog feed: where, which field, and why.
class FeedError : public std::runtime_error {
public:
    FeedError(std::uint64_t line, std::string field, std::string reason);
    std::uint64_t line() const { return m_line; }
    const std::string& field() const { return m_field; }
    const std::string& reason() const { return m_reason; }

private:
    std::uint64_t m_line;
    std::string m_field;
    std::string m_reason;
};

// Reads one JSON Lines record of the catalog feed (docs/catalog-feed.md).
// Throws FeedError naming the line, the field and the reason.
CatalogItem ParseFeedLine(std::string_view text, std::uint64_t lineNumber);

}  // namespace quorvel
