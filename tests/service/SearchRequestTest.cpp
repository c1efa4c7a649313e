// The search API's query parsing, as a table, with no sockets.
#include <gtest/gtest.h>

#include "SearchRequest.h"
#include "ServiceError.h"

using namespace quorvel;

TEST(SearchRequest, TheProgramsDefaultQuery) {
    const SearchQuery q = SearchRequest::parse(
        "k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area=&s=commissionVolume_desc&sc=1heart&ec=5goldencrown");
    EXPECT_EQ(q.words, std::vector<std::string>{"热卖"});
    EXPECT_TRUE(q.categoryId.empty());
    EXPECT_EQ(q.priceFromFen, 0);
    EXPECT_EQ(q.priceToFen, 9999999900);
    EXPECT_TRUE(q.places.empty());
    EXPECT_EQ(q.sort, SortOrder::CommissionDesc);
    EXPECT_EQ(q.creditFrom, 0);
    EXPECT_EQ(q.creditTo, 19);
    EXPECT_EQ(q.services, 0u);
    EXPECT_EQ(q.page, 1);
    EXPECT_EQ(q.size, 20);
}

TEST(SearchRequest, GoodValues) {
    const SearchQuery q = SearchRequest::parse(
        "k=%61%20%62%E3%80%80c&cid=1512&sp=-5&ep=%2B7&area=%E6%B1%9F%E8%8B%8F%2C%E6%B5%99%E6%B1%9F&s=price_asc"
        "&sc=1diamond&ec=2crown&oi=true&co=false&gu=true&page=3&size=50&unknown=%ZZ&x");
    EXPECT_EQ(q.words, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(q.categoryId, "1512");
    EXPECT_EQ(q.priceFromFen, -500);
    EXPECT_EQ(q.priceToFen, 700);
    EXPECT_EQ(q.places, (std::vector<std::string>{"江苏", "浙江"}));
    EXPECT_EQ(q.sort, SortOrder::PriceAsc);
    EXPECT_EQ(q.creditFrom, 5);
    EXPECT_EQ(q.creditTo, 11);
    EXPECT_EQ(q.services, (1u << 0) | (1u << 6));
    EXPECT_EQ(q.page, 3);
    EXPECT_EQ(q.size, 50);
}

TEST(SearchRequest, BadValuesNameTheParameter) {
    const std::pair<const char*, const char*> cases[] = {
        {"k=%E7%8", "k"},               // cut escape
        {"k=%G1", "k"},                 // not hex
        {"k=%FF%FE", "k"},              // not UTF-8
        {"k=%C0%AF", "k"},              // overlong UTF-8
        {"cid=0", "cid"},               // not a category id
        {"cid=abc", "cid"},
        {"sp=1.5", "sp"},               // not whole
        {"sp=", "sp"},
        {"ep=12abc", "ep"},
        {"ep=99999999999999999999", "ep"},
        {"area=%E7%81%AB%E6%98%9F", "area"},  // 火星: not a known place
        {"area=%E6%B1%9F%E8%8B%8F%2C", "area"},  // trailing comma
        {"s=price", "s"},
        {"sc=6heart", "sc"},
        {"ec=", "ec"},
        {"oi=yes", "oi"},
        {"counts=1", "counts"},
        {"page=0", "page"},
        {"size=101", "size"},
        {"page=200&size=100", "page"},  // deeper than paging goes
        {"s=price_asc&s=price_desc", "s"},  // given twice
    };
    for (const auto& [query, parameter] : cases) {
        try {
            SearchRequest::parse(query);
            ADD_FAILURE() << query << ": accepted";
        } catch (const ServiceError& e) {
            EXPECT_EQ(e.kind(), ErrorKind::BadParameter) << query;
            EXPECT_EQ(e.parameter(), parameter) << query << ": " << e.what();
        }
    }
}

TEST(SearchRequest, PlusIsNotASpace) {
    EXPECT_EQ(SearchRequest::parse("k=a+b").words, std::vector<std::string>{"a+b"});
}
