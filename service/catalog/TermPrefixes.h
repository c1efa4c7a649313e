#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The one table of the catalog index's term prefixes. Every term the index
// writes or reads is made here.
struct TermPrefixes {
    static constexpr std::string_view Text = "K";      // a title's code point or pair of code points, lowered
    static constexpr std::string_view Category = "XC"; // the category id
    static constexpr std::string_view Service = "XF";  // a service flag name (oi, co, ...)

    static std::string text(std::string_view gram) { return std::string(Text).append(gram); }
    static std::string category(std::string_view id) { return std::string(Category).append(id); }
    static std::string service(std::string_view name) { return std::string(Service).append(name); }
};

}  // namespace quorvel
