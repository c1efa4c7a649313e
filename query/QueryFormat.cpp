#include "QueryFormat.h"

namespace quorvel {

std::vector<std::string> KeywordWords(std::string_view keyword) {
    static constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";
    std::vector<std::string> words;
    std::string current;
    const auto close = [&] {
        if (!current.empty()) words.push_back(std::move(current));
        current.clear();
    };
    for (std::size_t i = 0; i < keyword.size();) {
        const char c = keyword[i];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
            close();
            ++i;
        } else if (keyword.substr(i, kIdeographicSpace.size()) == kIdeographicSpace) {
            close();
            i += kIdeographicSpace.size();
        } else {
            current += c;
            ++i;
        }
    }
    close();
    return words;
}

}  // namespace quorvel
