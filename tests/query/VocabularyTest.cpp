#include <gtest/gtest.h>

#include <fstream>

#include <nlohmann/json.hpp>

#include "QueryFormat.h"
#include "Vocabulary.h"

using namespace quorvel;

TEST(Vocabulary, TablesHaveTheirRowCounts) {
    EXPECT_EQ(CategoryTable().size(), 81);
    EXPECT_EQ(LocationTable().size(), 63);
    EXPECT_EQ(SortTable().size(), 5);
    EXPECT_EQ(CreditTable().size(), 20);
    EXPECT_EQ(ServiceFilterTable().size(), 7u);
}

struct RowCase {
    const VocabularyTable& (*table)();
    int index;
    const char* display;
    const char* code;
};

TEST(Vocabulary, BoundaryRows) {
    const RowCase cases[] = {
        {CategoryTable, 0, "所有类目", ""},
        {CategoryTable, 1, "女装/女士精品", "16"},
        {CategoryTable, 14, "手机", "1512"},
        {CategoryTable, 80, "其它", "50011150"},
        {LocationTable, 0, "所有地区", ""},
        {LocationTable, 1, "江浙沪", "江苏,浙江,上海"},
        {LocationTable, 3, "港澳台", "香港,澳门,台湾"},
        {LocationTable, 4, "海外",
         "美国,英国,法国,瑞士,澳洲,新西兰,加拿大,奥地利,韩国,日本,德国,意大利,西班牙,俄罗斯,泰国,印度,荷兰,新加坡,其它国家"},
        {LocationTable, 5, "北京", "北京"},
        {LocationTable, 6, "香港", "香港"},
        {LocationTable, 62, "浙江", "浙江"},
        {SortTable, 0, "默认排序", "commissionVolume_desc"},
        {SortTable, 4, "销量从高到低", "commissionNum_desc"},
        {CreditTable, 0, "  一  心", "1heart"},
        {CreditTable, 9, "  五  钻", "5diamond"},
        {CreditTable, 10, " 一皇冠", "1crown"},
        {CreditTable, 19, " 五金冠", "5goldencrown"},
    };
    for (const auto& c : cases) {
        const auto& table = c.table();
        SCOPED_TRACE(std::string(table.field()) + " " + std::to_string(c.index));
        EXPECT_EQ(table.at(c.index).display, c.display);
        EXPECT_EQ(table.at(c.index).code, c.code);
        if (*c.code != '\0') {
            EXPECT_EQ(table.indexOfCode(c.code), c.index);
        }
    }
}

TEST(Vocabulary, UnknownCodeHasNoIndex) {
    EXPECT_FALSE(SortTable().indexOfCode("price").has_value());
    EXPECT_FALSE(CreditTable().indexOfCode("6crown").has_value());
}

TEST(Vocabulary, EverySortRowHasItsOrder) {
    const SortOrder orders[] = {SortOrder::CommissionDesc, SortOrder::PriceAsc, SortOrder::PriceDesc,
                                SortOrder::CreditDesc, SortOrder::SalesDesc};
    for (int row = 0; row < SortTable().size(); ++row) EXPECT_EQ(SortOrderOfRow(row), orders[row]) << row;
}

// One table of keyword to words, read by these tests and by the page's.
TEST(QueryFormat, KeywordWordsSplitOnAsciiAndIdeographicSpaceOnly) {
    std::ifstream in(QUORVEL_KEYWORD_WORDS);
    ASSERT_TRUE(in) << QUORVEL_KEYWORD_WORDS;
    const auto table = nlohmann::json::parse(in);
    ASSERT_FALSE(table.empty());
    for (const auto& row : table) {
        EXPECT_EQ(KeywordWords(row["keyword"].get<std::string>()), row["words"].get<std::vector<std::string>>())
            << row["keyword"];
    }
}
