#include <gtest/gtest.h>

#include "QueryBuilder.h"

using namespace quorvel;

namespace {
const std::string kDefaultQuery =
    "k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown";
}

TEST(QueryBuilder, StoredDefaults) {
    const BuiltQuery q = BuildQuery(SearchSettings{});
    EXPECT_EQ(q.query, kDefaultQuery);
    EXPECT_FALSE(q.priceSwapped);
    EXPECT_FALSE(q.creditSwapped);
}

TEST(QueryBuilder, ReversedRangesAndFilters) {
    SearchSettings s;
    s.keywordText = "abc";
    s.categoryIndex = 14;
    s.categoryText = "手机";
    s.priceFrom = 500;
    s.priceTo = 100;
    s.locationIndex = 1;
    s.locationText = "江浙沪";
    s.sortIndex = 1;
    s.creditFrom = 19;
    s.creditTo = 5;
    s.filter(ServiceFilter::Overseas) = true;
    s.filter(ServiceFilter::Mall) = true;
    const BuiltQuery q = BuildQuery(s);
    EXPECT_EQ(q.query,
              "k=%61%62%63&cid=1512&sp=100&ep=500&area=%E6%B1%9F%E8%8B%8F%2C%E6%B5%99%E6%B1%9F%2C%E4%B8%8A%E6%B5%B7"
              "&s=price_asc&sc=1diamond&ec=5goldencrown&oi=true&mall=true");
    EXPECT_TRUE(q.priceSwapped);
    EXPECT_EQ(q.priceFrom, 100);
    EXPECT_EQ(q.priceTo, 500);
    EXPECT_TRUE(q.creditSwapped);
    EXPECT_EQ(q.creditFrom, 5);
    EXPECT_EQ(q.creditTo, 19);
}

struct EdgeCase {
    const char* name;
    void (*change)(SearchSettings&);
    const char* expectedPart;  // must occur in the query
    bool priceSwapped = false;
    bool creditSwapped = false;
};

TEST(QueryBuilder, EdgeCases) {
    const EdgeCase cases[] = {
        {"empty keyword, category 0 sends the default", [](SearchSettings& s) { s.keywordText.clear(); },
         "k=%E7%83%AD%E5%8D%96&sp="},
        {"empty keyword with a category is sent empty",
         [](SearchSettings& s) { s.keywordText.clear(); s.categoryIndex = 3; }, "k=&cid=50010788&sp="},
        {"spaces become %20", [](SearchSettings& s) { s.keywordText = "a b"; }, "k=%61%20%62&"},
        {"a lone space is a keyword", [](SearchSettings& s) { s.keywordText = " "; }, "k=%20&"},
        {"equal prices are not swapped", [](SearchSettings& s) { s.priceFrom = s.priceTo = 7; }, "&sp=7&ep=7&"},
        {"swapped values clamp", [](SearchSettings& s) { s.priceFrom = 100000000; s.priceTo = 5; },
         "&sp=5&ep=99999999&", true},
        {"swapped negative clamps to 0", [](SearchSettings& s) { s.priceFrom = 3; s.priceTo = -5; }, "&sp=0&ep=3&",
         true},
        {"reversed credits are swapped", [](SearchSettings& s) { s.creditFrom = 19; s.creditTo = 5; },
         "&sc=1diamond&ec=5goldencrown", false, true},
        {"negative price in order is sent as typed", [](SearchSettings& s) { s.priceFrom = -5; }, "&sp=-5&ep=99999999&"},
        {"too high price in order is sent as typed", [](SearchSettings& s) { s.priceTo = 123456789; },
         "&ep=123456789&"},
        {"location 0 gives an empty area", [](SearchSettings&) {}, "&area=&s="},
        {"location 3 gives its group", [](SearchSettings& s) { s.locationIndex = 3; s.locationText = "港澳台"; },
         "&area=%E9%A6%99%E6%B8%AF%2C%E6%BE%B3%E9%97%A8%2C%E5%8F%B0%E6%B9%BE&"},
        {"location 5 uses its text", [](SearchSettings& s) { s.locationIndex = 5; s.locationText = "北京"; },
         "&area=%E5%8C%97%E4%BA%AC&"},
        {"location 6 is the city alone", [](SearchSettings& s) { s.locationIndex = 6; s.locationText = "香港"; },
         "&area=%E9%A6%99%E6%B8%AF&"},
        {"equal credits are not swapped", [](SearchSettings& s) { s.creditFrom = s.creditTo = 12; },
         "&sc=3crown&ec=3crown"},
        {"all filters in builder order", [](SearchSettings& s) { s.serviceFilters.fill(true); },
         "&ec=5goldencrown&oi=true&co=true&rd=true&sr=true&mall=true&or=true&gu=true"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SearchSettings s;
        c.change(s);
        const BuiltQuery built = BuildQuery(s);
        EXPECT_NE(built.query.find(c.expectedPart), std::string::npos) << built.query;
        EXPECT_EQ(built.priceSwapped, c.priceSwapped);
        EXPECT_EQ(built.creditSwapped, c.creditSwapped);
    }
}

TEST(QueryBuilder, OutOfRangeIndexesThrow) {
    const std::pair<const char*, void (*)(SearchSettings&)> cases[] = {
        {"category", [](SearchSettings& s) { s.categoryIndex = 81; }},
        {"location", [](SearchSettings& s) { s.locationIndex = -1; }},
        {"location", [](SearchSettings& s) { s.locationIndex = 63; }},
        {"sort", [](SearchSettings& s) { s.sortIndex = 5; }},
        {"credit", [](SearchSettings& s) { s.creditTo = 20; }},
    };
    for (const auto& [field, change] : cases) {
        SearchSettings s;
        change(s);
        try {
            BuildQuery(s);
            ADD_FAILURE() << field << ": no error";
        } catch (const VocabularyError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(field, 0), 0u) << e.what();
        }
    }
    SearchSettings s;
    s.categoryIndex = 81;
    try {
        BuildQuery(s);
    } catch (const VocabularyError& e) {
        EXPECT_STREQ(e.what(), "category index 81 is outside 0..80");  // names the field and the value
    }
}

TEST(QueryBuilder, Encoders) {
    EXPECT_EQ(EncodeQueryValue(""), "");
    EXPECT_EQ(EncodeQueryValue("abc"), "%61%62%63");
    EXPECT_EQ(EncodeQueryValue(","), "%2C");
    EXPECT_EQ(PercentEncodeBytes(std::string("\x00\xff", 2)), "%00%FF");
}
