#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Keyword matching is a case-insensitive substring test on the title. The
// index holds every code point and every pair of neighbouring code points of
// the lowered title, so a word of one or two code points is one exact term,
// and a longer word is found by all its pairs, then checked in the title.
class TitleTerms {
public:
    // The distinct index terms of a title (prefixed).
    static std::vector<std::string> ofTitle(std::string_view title);

    struct Word {
        std::string lowered;
        std::vector<std::string> terms;  // prefixed, distinct
        bool needsCheck = false;         // longer than two code points
    };
    static Word ofWord(std::string_view word);
};

}  // namespace quorvel
