#pragma once

#include <optional>

#include <QString>

namespace quorvel {

// The three script functions of the results page (SoItem, ShowPage, DelPage),
// as the program calls them.
// Every failure (no page, no such function, a thrown error, an answer that
// does not convert, no answer in time) is "no value" and is never shown.
class PageScript {
public:
    virtual ~PageScript() = default;
    virtual std::optional<int> SoItem(const QString& query, int n) = 0;
    virtual bool ShowPage(int index) = 0;
    virtual std::optional<int> DelPage(int index) = 0;
    // The number of results of page index, once the page has it (for the
    // tab's tooltip); nothing when it cannot tell.
    virtual std::optional<int> ResultCount(int) { return std::nullopt; }
};

}  // namespace quorvel
