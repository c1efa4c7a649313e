#include "TitleTerms.h"

#include <algorithm>

#include "TermPrefixes.h"
#include "Utf8.h"

namespace quorvel {
namespace {

bool isSpace(std::string_view cp) {
    return cp == " " || cp == "\t" || cp == "\n" || cp == "\r" || cp == "\f" || cp == "\v" || cp == "\xE3\x80\x80";
}

void distinct(std::vector<std::string>& terms) {
    std::sort(terms.begin(), terms.end());
    terms.erase(std::unique(terms.begin(), terms.end()), terms.end());
}

std::vector<std::string> grams(std::string_view loweredText) {
    const std::vector<std::string_view> cps = SplitCodePoints(loweredText);
    std::vector<std::string> terms;
    terms.reserve(cps.size() * 2);
    for (std::size_t i = 0; i < cps.size(); ++i) {
        if (isSpace(cps[i])) continue;
        terms.push_back(TermPrefixes::text(cps[i]));
        if (i + 1 < cps.size() && !isSpace(cps[i + 1])) {
            std::string pair(cps[i]);
            pair.append(cps[i + 1]);
            terms.push_back(TermPrefixes::text(pair));
        }
    }
    return terms;
}

}  // namespace

std::vector<std::string> TitleTerms::ofTitle(std::string_view title) {
    std::vector<std::string> terms = grams(LowerAscii(title));
    distinct(terms);
    return terms;
}

TitleTerms::Word TitleTerms::ofWord(std::string_view word) {
    Word w;
    w.lowered = LowerAscii(word);
    const std::size_t length = SplitCodePoints(w.lowered).size();
    std::vector<std::string> all = grams(w.lowered);
    for (auto& t : all) {
        // One code point: its own term. Longer: the pairs carry all the information.
        const std::size_t cps = SplitCodePoints(std::string_view(t).substr(TermPrefixes::Text.size())).size();
        if (length == 1 || cps == 2) w.terms.push_back(std::move(t));
    }
    distinct(w.terms);
    w.needsCheck = length > 2;
    return w;
}

}  // namespace quorvel
