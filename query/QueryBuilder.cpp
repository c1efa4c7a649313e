#include "QueryBuilder.h"

#include <algorithm>
#include <utility>

namespace quorvel {

std::string PercentEncodeBytes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        out += '%';
        out += kHex[byte >> 4];
        out += kHex[byte & 0x0F];
    }
    return out;
}

std::string EncodeQueryValue(std::string_view text) {
    // Texts are UTF-8 already, so the bytes are encoded as they stand.
    return PercentEncodeBytes(text);
}

BuiltQuery BuildQuery(const SearchSettings& s) {
    BuiltQuery built;

    const bool useTyped = !s.keywordText.empty() || s.categoryIndex != 0;
    built.query = "k=" + EncodeQueryValue(useTyped ? std::string_view(s.keywordText) : DefaultKeyword);

    const VocabularyRow& category = CategoryTable().at(s.categoryIndex);
    if (s.categoryIndex > 0) {
        built.query += "&cid=";
        built.query += category.code;
    }

    // Only swapped values are clamped: they are written back through the price
    // fields, which clamp. Values in order are sent exactly as typed.
    built.priceFrom = s.priceFrom;
    built.priceTo = s.priceTo;
    if (built.priceFrom > built.priceTo) {
        std::swap(built.priceFrom, built.priceTo);
        built.priceFrom = std::clamp(built.priceFrom, MinPrice, MaxPrice);
        built.priceTo = std::clamp(built.priceTo, MinPrice, MaxPrice);
        built.priceSwapped = true;
    }
    built.query += "&sp=" + std::to_string(built.priceFrom) + "&ep=" + std::to_string(built.priceTo);

    const VocabularyRow& location = LocationTable().at(s.locationIndex);
    const std::string_view area = s.locationIndex < FirstSinglePlaceRow ? location.code : std::string_view(s.locationText);
    built.query += "&area=" + EncodeQueryValue(area);

    built.query += "&s=";
    built.query += SortTable().at(s.sortIndex).code;

    built.creditFrom = s.creditFrom;
    built.creditTo = s.creditTo;
    if (built.creditFrom > built.creditTo) {
        std::swap(built.creditFrom, built.creditTo);
        built.creditSwapped = true;
    }
    built.query += "&sc=";
    built.query += CreditTable().at(built.creditFrom).code;
    built.query += "&ec=";
    built.query += CreditTable().at(built.creditTo).code;

    for (const auto& row : ServiceFilterTable()) {
        if (s.filter(row.filter)) built.query += row.fragment;
    }
    return built;
}

}  // namespace quorvel
