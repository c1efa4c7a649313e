#include "Utf8.h"

namespace quorvel {
namespace {

// Length of the sequence starting at text[i], 0 when it is not valid UTF-8.
std::size_t sequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) n = 2;
    else if (b0 == 0xE0) { n = 3; lo = 0xA0; }
    else if (b0 == 0xED) { n = 3; hi = 0x9F; }  // no surrogates
    else if ((b0 >= 0xE1 && b0 <= 0xEC) || b0 == 0xEE || b0 == 0xEF) n = 3;
    else if (b0 == 0xF0) { n = 4; lo = 0x90; }
    else if (b0 >= 0xF1 && b0 <= 0xF3) n = 4;
    else if (b0 == 0xF4) { n = 4; hi = 0x8F; }
    else return 0;
    if (i + n > text.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return n;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequenceLength(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::vector<std::string_view> SplitCodePoints(std::string_view text) {
    std::vector<std::string_view> points;
    points.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = sequenceLength(text, i);
        const std::size_t take = n == 0 ? 1 : n;  // a stray byte stands for itself
        points.push_back(text.substr(i, take));
        i += take;
    }
    return points;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace quorvel
