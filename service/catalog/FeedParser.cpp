#include "FeedParser.h"

#include <nlohmann/json.hpp>

#include "QueryFormat.h"
#include "Utf8.h"

namespace quorvel {
namespace {

using nlohmann::json;

constexpr std::size_t kMaxTitleBytes = 600;
constexpr std::size_t kMaxTextBytes = 200;
constexpr std::size_t kMaxUrlBytes = 2048;
constexpr std::int64_t kMaxPriceFen = std::int64_t{MaxPrice} * 100;  // the form's highest price, in fen

struct LineReader {
    const json& object;
    std::uint64_t line;

    [[noreturn]] void fail(const std::string& field, const std::string& reason) const {
        throw FeedError(line, field, reason);
    }

    const json* find(const char* field) const {
        const auto it = object.find(field);
        return it == object.end() || it->is_null() ? nullptr : &*it;
    }

    std::string text(const char* field, bool required, std::size_t maxBytes) const {
        const json* v = find(field);
        if (!v) {
            if (required) fail(field, "is missing");
            return {};
        }
        if (!v->is_string()) fail(field, "must be text");
        std::string s = v->get<std::string>();
        if (required && s.empty()) fail(field, "must not be empty");
        if (s.size() > maxBytes) fail(field, "is longer than " + std::to_string(maxBytes) + " bytes");
        if (!IsValidUtf8(s)) fail(field, "is not valid UTF-8");
        return s;
    }

    std::int64_t whole(const char* field, std::int64_t max) const {
        const json* v = find(field);
        if (!v) fail(field, "is missing");
        if (!v->is_number_integer()) fail(field, "must be a whole number");
        if (v->is_number_unsigned() ? v->get<std::uint64_t>() > static_cast<std::uint64_t>(max)
                                    : (v->get<std::int64_t>() < 0 || v->get<std::int64_t>() > max)) {
            fail(field, "must be from 0 to " + std::to_string(max));
        }
        return v->get<std::int64_t>();
    }

    std::string link(const char* field) const {
        std::string s = text(field, false, kMaxUrlBytes);
        if (!s.empty() && s.rfind("http://", 0) != 0 && s.rfind("https://", 0) != 0) {
            fail(field, "must be an http or https address");
        }
        return s;
    }
};

}  // namespace

namespace {

// A feed's own text in a message is cut short: a bad line may be huge.
std::string bounded(std::string text, std::size_t max = 200) {
    if (text.size() <= max) return text;
    std::size_t cut = max;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    text.resize(cut);
    return text + "…";
}

}  // namespace

FeedError::FeedError(std::uint64_t line, std::string field, std::string reason)
    : std::runtime_error("line " + std::to_string(line) +
                         (field.empty() ? "" : ", field \"" + bounded(field, 60) + "\"") + ": " + bounded(reason)),
      m_line(line), m_field(bounded(std::move(field), 60)), m_reason(bounded(std::move(reason))) {}

CatalogItem ParseFeedLine(std::string_view text, std::uint64_t lineNumber) {
    json object;
    // The last key read at the top level names the field a failure is in.
    std::string field;
    const json::parser_callback_t noteKey = [&field](int depth, json::parse_event_t event, json& parsed) {
        if (depth == 1 && event == json::parse_event_t::key) field = parsed.get<std::string>();
        return true;
    };
    try {
        object = json::parse(text, noteKey);
    } catch (const json::out_of_range&) {
        throw FeedError(lineNumber, field, "holds a number too large to read");
    } catch (const json::exception& e) {
        throw FeedError(lineNumber, field, std::string("not valid JSON (") + e.what() + ")");
    }
    if (!object.is_object()) throw FeedError(lineNumber, "", "must be a JSON object");
    const LineReader r{object, lineNumber};

    CatalogItem item;
    const json* id = r.find("id");
    if (!id) r.fail("id", "is missing");
    if (!id->is_number_unsigned() || id->get<std::uint64_t>() == 0 ||
        id->get<std::uint64_t>() > (std::uint64_t{1} << 53)) {
        r.fail("id", "must be a whole number from 1 to 2^53");
    }
    item.id = id->get<std::uint64_t>();
    item.title = r.text("title", true, kMaxTitleBytes);
    item.categoryId = r.text("cid", true, kMaxTextBytes);
    const auto category = CategoryTable().indexOfCode(item.categoryId);
    if (!category || *category == 0) r.fail("cid", "\"" + item.categoryId + "\" is not a known category id");
    item.priceFen = r.whole("price", kMaxPriceFen);
    item.province = r.text("province", false, kMaxTextBytes);
    item.city = r.text("city", false, kMaxTextBytes);
    if (item.province.empty() && item.city.empty()) r.fail("city", "an item needs a province or a city");
    item.seller = r.text("seller", true, kMaxTextBytes);
    const std::string credit = r.text("credit", true, kMaxTextBytes);
    const auto creditIndex = CreditTable().indexOfCode(credit);
    if (!creditIndex) r.fail("credit", "\"" + credit + "\" is not a credit grade key (1heart ... 5goldencrown)");
    item.creditIndex = *creditIndex;
    item.sales = r.whole("sales", std::int64_t{1} << 40);
    item.commission = r.whole("commission", std::int64_t{1} << 40);

    if (const json* services = r.find("services")) {
        if (!services->is_array()) r.fail("services", "must be a list of service names");
        for (const json& name : *services) {
            bool known = false;
            for (std::size_t i = 0; i < ServiceFilterTable().size(); ++i) {
                if (name.is_string() && name.get<std::string>() == ServiceFilterTable()[i].name) {
                    item.services |= 1u << i;
                    known = true;
                }
            }
            if (!known) r.fail("services", name.dump() + " is not one of oi, co, rd, sr, mall, or, gu");
        }
    }
    item.image = r.link("image");
    item.url = r.link("url");
    return item;
}

}  // namespace quorvel
