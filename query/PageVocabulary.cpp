#include "PageVocabulary.h"

#include <cstdio>
#include <string_view>

#include "QueryFormat.h"
#include "Vocabulary.h"

namespace quorvel {
namespace {

// A JavaScript string literal (JSON rules) of UTF-8 text.
std::string literal(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string rows(const VocabularyTable& table) {
    std::string out = "[";
    for (const auto& row : table.rows()) {
        out += "\n  { code: " + literal(row.code) + ", display: " + literal(row.display) + " },";
    }
    return out + "\n]";
}

}  // namespace

std::string PageVocabularyModule() {
    std::string js = "// Generated at build time from the search vocabulary (query/); do not edit.\n\n";
    js += "export const MIN_PRICE = " + std::to_string(MinPrice) + ";\n";
    js += "export const MAX_PRICE = " + std::to_string(MaxPrice) + ";\n";
    js += "export const PAGING_DEPTH = " + std::to_string(PagingDepth) + ";\n";
    js += "export const DEFAULT_KEYWORD = " + literal(DefaultKeyword) + ";\n";
    js += "export const LOWEST_CREDIT = " + literal(CreditTable().at(LowestCreditRow).code) + ";\n";
    js += "export const HIGHEST_CREDIT = " + literal(CreditTable().at(HighestCreditRow).code) + ";\n";
    js += "\n// The service filters in the query's order: parameter and caption.\nexport const SERVICES = [";
    for (const auto& f : ServiceFilterTable()) {
        js += "\n  { code: " + literal(f.name) + ", caption: " + literal(f.caption) + " },";
    }
    js += "\n];\n\nexport const SORTS = " + rows(SortTable()) + ";\n";
    js += "\nexport const CREDITS = " + rows(CreditTable()) + ";\n";
    return js;
}

}  // namespace quorvel
