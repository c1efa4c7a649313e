#include "SearchRequest.h"

#include <charconv>
#include <map>
#include <set>

#include "ServiceError.h"
#include "TitleTerms.h"
#include "Utf8.h"
#include "Vocabulary.h"

namespace quorvel {
namespace {

[[noreturn]] void bad(const std::string& parameter, const std::string& why) {
    throw ServiceError(ErrorKind::BadParameter, "parameter \"" + parameter + "\": " + why, parameter);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::int64_t wholeNumber(const std::string& name, const std::string& text, std::int64_t min, std::int64_t max) {
    std::int64_t value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (!text.empty() && text[0] == '+') ++first;  // the program's fields accept a typed "+"
    const auto [end, err] = std::from_chars(first, last, value);
    if (text.empty() || first == last || err != std::errc() || end != last) {
        bad(name, "\"" + text + "\" is not a whole number");
    }
    if (value < min || value > max) {
        bad(name, std::to_string(value) + " is outside " + std::to_string(min) + ".." + std::to_string(max));
    }
    return value;
}

// Every place a location list row can name: single places and group members.
const std::set<std::string, std::less<>>& knownPlaces() {
    static const std::set<std::string, std::less<>> places = [] {
        std::set<std::string, std::less<>> all;
        for (const auto& row : LocationTable().rows()) {
            std::string_view area = row.code;
            while (!area.empty()) {
                const auto comma = area.find(',');
                all.emplace(area.substr(0, comma));
                area = comma == std::string_view::npos ? std::string_view() : area.substr(comma + 1);
            }
        }
        return all;
    }();
    return places;
}

}  // namespace

std::string SearchRequest::percentDecode(std::string_view value, const std::string& parameter) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            out += value[i];
            continue;
        }
        if (i + 2 >= value.size()) bad(parameter, "a \"%\" must be followed by two hex digits");
        const int hi = hexValue(value[i + 1]);
        const int lo = hexValue(value[i + 2]);
        if (hi < 0 || lo < 0) bad(parameter, "a \"%\" must be followed by two hex digits");
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
    }
    if (!IsValidUtf8(out)) bad(parameter, "is not UTF-8 text");
    return out;
}

SearchRequest::Parameters SearchRequest::parameters(std::string_view raw,
                                                   const std::set<std::string, std::less<>>& known) {
    Parameters params;
    while (!raw.empty()) {
        const auto amp = raw.find('&');
        const std::string_view part = raw.substr(0, amp);
        raw = amp == std::string_view::npos ? std::string_view() : raw.substr(amp + 1);
        if (part.empty()) continue;
        const auto eq = part.find('=');
        const std::string name(part.substr(0, eq));
        if (!known.count(name)) continue;  // not ours: ignored
        if (params.count(name)) bad(name, "is given more than once");
        params[name] = percentDecode(eq == std::string_view::npos ? std::string_view() : part.substr(eq + 1), name);
    }
    return params;
}

SearchQuery SearchRequest::parse(std::string_view raw) {
    static const std::set<std::string, std::less<>> known{"k", "cid", "sp", "ep", "area", "s", "sc", "ec",
                                                          "oi", "co", "rd", "sr", "mall", "or", "gu", "page", "size", "counts"};
    const Parameters params = parameters(raw, known);
    const auto get = [&](const char* name) -> const std::string* {
        const auto it = params.find(name);
        return it == params.end() ? nullptr : &it->second;
    };

    SearchQuery q;
    if (const auto* k = get("k")) {
        if (k->size() > MaxKeywordBytes) bad("k", "is longer than " + std::to_string(MaxKeywordBytes) + " bytes");
        q.words = KeywordWords(*k);
    }
    if (const auto* cid = get("cid")) {
        const auto row = CategoryTable().indexOfCode(*cid);
        if (!row || *row == 0) bad("cid", "\"" + *cid + "\" is not a known category id");
        q.categoryId = *cid;
    }
    // Prices are whole yuan, inclusive; the index holds fen.
    constexpr std::int64_t kYuanLimit = 1'000'000'000'000;
    if (const auto* sp = get("sp")) q.priceFromFen = wholeNumber("sp", *sp, -kYuanLimit, kYuanLimit) * 100;
    if (const auto* ep = get("ep")) q.priceToFen = wholeNumber("ep", *ep, -kYuanLimit, kYuanLimit) * 100;
    if (const auto* area = get("area")) {
        std::string_view rest = *area;
        for (bool more = !rest.empty(); more;) {
            const auto comma = rest.find(',');
            const std::string place(rest.substr(0, comma));
            more = comma != std::string_view::npos;
            if (more) rest = rest.substr(comma + 1);
            if (place.empty()) bad("area", "has an empty place");
            if (!knownPlaces().count(place)) bad("area", "\"" + place + "\" is not a known place");
            q.places.push_back(place);
        }
    }
    if (const auto* s = get("s")) {
        const auto row = SortTable().indexOfCode(*s);
        if (!row) bad("s", "\"" + *s + "\" is not a sort key");
        q.sort = SortOrderOfRow(*row);
    }
    const auto credit = [&](const char* name, int& into) {
        if (const auto* v = get(name)) {
            const auto row = CreditTable().indexOfCode(*v);
            if (!row) bad(name, "\"" + *v + "\" is not a credit grade key");
            into = *row;
        }
    };
    credit("sc", q.creditFrom);
    credit("ec", q.creditTo);
    for (std::size_t f = 0; f < ServiceFilterTable().size(); ++f) {
        const std::string name(ServiceFilterTable()[f].name);
        if (const auto* v = get(name.c_str())) {
            if (*v == "true") q.services |= 1u << f;
            else if (*v != "false") bad(name, "must be true or false");
        }
    }
    if (const auto* counts = get("counts")) {
        if (*counts == "true") q.counts = true;
        else if (*counts != "false") bad("counts", "must be true or false");
    }
    if (const auto* page = get("page")) q.page = static_cast<int>(wholeNumber("page", *page, 1, MaxDepth));
    if (const auto* size = get("size")) q.size = static_cast<int>(wholeNumber("size", *size, 1, MaxPageSize));
    if (static_cast<long long>(q.page) * q.size > MaxDepth) {
        bad("page", "results go no deeper than " + std::to_string(MaxDepth) + " items");
    }
    return q;
}

bool SearchRequest::isKnownPlace(std::string_view place) { return knownPlaces().count(place) > 0; }

}  // namespace quorvel
