// Searches of a real Xapian catalog built from the fixture feed.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include <nlohmann/json.hpp>

#include "CatalogError.h"
#include "CatalogFixture.h"
#include "QueryBuilder.h"
#include "SearchApi.h"
#include "SearchRequest.h"

using namespace quorvel;
using quorvel::testing::TempDir;

namespace {

class CatalogIndexTest : public quorvel::testing::FixtureCatalogSuite {
protected:
    // Ids found by an API query string, in answer order, with the exact total.
    static std::vector<std::uint64_t> ids(const std::string& raw, std::uint64_t* total = nullptr) {
        const SearchResult r = s_index->search(SearchRequest::parse(raw));
        if (total) *total = r.total;
        std::vector<std::uint64_t> out;
        for (const auto& item : r.items) out.push_back(nlohmann::json::parse(item)["id"].get<std::uint64_t>());
        return out;
    }
};

using Ids = std::vector<std::uint64_t>;

}  // namespace

TEST_F(CatalogIndexTest, KeywordsAreCaseInsensitiveSubstrings) {
    const std::pair<const char*, Ids> cases[] = {
        {"k=%E8%BF%9E%E8%A1%A3%E8%A3%99", {101}},                // 连衣裙: not 102, which has 连衣 and 衣裙 apart
        {"k=%E8%A1%A3%E8%A3%99", {101, 102}},                    // 衣裙
        {"k=iPhone", {103, 104}},                                // in iPhone4手机壳 and IPHONE
        {"k=%E7%83%AD", {106, 105, 107, 108}},                   // 热: one character
        {"k=%E7%83%AD%E5%8D%96", {106, 105, 107}},               // 热卖
        {"k=%E7%83%AD%E5%8D%96%20%E5%8C%85%E9%82%AE", {106}},    // 热卖 包邮: both words
        {"k=%E6%89%8B%E6%9C%BA%E5%A3%B3", {103}},                // 手机壳 inside iPhone4手机壳
        {"k=4%E6%89%8B", {103}},                                 // mixed text across the boundary
        {"k=%E7%81%AB%E6%98%9F", {}},                            // 火星: nowhere
        {"k=", {103, 104, 109, 106, 105, 101, 102, 107, 108}},   // no keyword: everything
    };
    for (const auto& [raw, expected] : cases) {
        EXPECT_EQ(ids(raw), expected) << raw;
    }
}

TEST_F(CatalogIndexTest, Filters) {
    const std::pair<const char*, Ids> cases[] = {
        {"cid=1512", {105}},
        {"cid=16", {101, 102}},
        {"sp=25&ep=99", {104, 102, 107, 108}},  // whole yuan, inclusive: 25.00 and 99.00 are in
        {"sp=26&ep=98", {102, 107}},
        {"sp=-5&ep=15", {103}},
        {"area=%E6%B1%9F%E8%8B%8F,%E6%B5%99%E6%B1%9F,%E4%B8%8A%E6%B5%B7", {104, 101, 102}},  // 江苏,浙江,上海
        {"area=%E5%B9%BF%E4%B8%9C", {103, 109}},     // 广东: the province
        {"area=%E5%B9%BF%E5%B7%9E", {109}},          // 广州: the city
        {"area=%E6%97%A5%E6%9C%AC", {106}},          // 日本: the country
        {"area=%E6%BE%B3%E9%97%A8", {}},             // 澳门: known, but no item there
        {"sc=1diamond&ec=5diamond", {106, 101}},
        {"sc=5goldencrown&ec=5goldencrown", {108}},
        {"oi=true", {106}},
        {"co=true&sr=true", {101}},
        {"rd=true&gu=true", {103}},
        {"mall=true", {104}},
        {"or=true", {109, 107}},
        {"k=%E7%83%AD%E5%8D%96&co=true", {105}},          // 热卖 with a flag
        {"k=%E7%83%AD&oi=true&gu=true", {106}},           // 热 with two flags
        {"cid=16&k=%E8%A1%A3%E8%A3%99&area=%E6%B1%9F%E8%8B%8F&sc=1heart&ec=1heart", {102}},
    };
    for (const auto& [raw, expected] : cases) {
        EXPECT_EQ(ids(raw), expected) << raw;
    }
}

TEST_F(CatalogIndexTest, SortsBreakTiesByItemId) {
    const std::pair<const char*, Ids> cases[] = {
        {"s=commissionVolume_desc", {103, 104, 109, 106, 105, 101, 102, 107, 108}},  // 103 and 104 tie
        {"s=price_asc", {103, 104, 107, 102, 108, 101, 106, 109, 105}},
        {"s=price_desc", {105, 109, 106, 101, 108, 102, 107, 104, 103}},
        {"s=credit_desc", {108, 105, 109, 103, 106, 101, 104, 107, 102}},
        {"s=commissionNum_desc", {103, 107, 105, 102, 106, 109, 101, 104, 108}},
    };
    for (const auto& [raw, expected] : cases) {
        EXPECT_EQ(ids(raw), expected) << raw;
    }
}

TEST_F(CatalogIndexTest, PagingIsStableWithExactTotals) {
    std::uint64_t total = 0;
    Ids all;
    for (int page = 1; page <= 5; ++page) {
        const Ids part = ids("s=price_asc&size=2&page=" + std::to_string(page), &total);
        EXPECT_EQ(total, 9u);
        all.insert(all.end(), part.begin(), part.end());
    }
    EXPECT_EQ(all, ids("s=price_asc"));
    EXPECT_TRUE(ids("size=5&page=3", &total).empty());
    EXPECT_EQ(total, 9u);
}

TEST_F(CatalogIndexTest, ItemsCarryTheirFields) {
    const SearchResult r = s_index->search(SearchRequest::parse("k=%E8%BF%9E%E8%A1%A3%E8%A3%99"));
    ASSERT_EQ(r.items.size(), 1u);
    const auto item = nlohmann::json::parse(r.items[0]);
    EXPECT_EQ(item["title"], "2026新款 连衣裙 韩版");
    EXPECT_EQ(item["category"], "女装/女士精品");
    EXPECT_EQ(item["price"], 12900);
    EXPECT_EQ(item["city"], "杭州");
    EXPECT_EQ(item["creditText"], "  三  钻");
    EXPECT_EQ(item["services"], (nlohmann::json{"co", "sr"}));
    EXPECT_EQ(item["url"], "https://shop.example.com/101");
}

// Every count a search answers with is the total of the search narrowed by it.
TEST_F(CatalogIndexTest, CountsAreTheTotalsOfTheNarrowedSearches) {
    const SearchApi api(s_index);
    const auto total = [&](const std::string& raw) { return nlohmann::json::parse(api(raw))["total"].get<std::uint64_t>(); };
    for (const std::string base : {"k=", "k=%E7%83%AD", "k=&co=true", "k=&s=price_asc&sc=2heart&ec=5goldencrown"}) {
        SCOPED_TRACE(base);
        const auto answer = nlohmann::json::parse(api(base + "&counts=true"));
        const auto& counts = answer["counts"];
        std::uint64_t inCategories = 0;
        for (const auto& c : counts["categories"]) {
            EXPECT_EQ(c["count"].get<std::uint64_t>(), total(base + "&cid=" + c["cid"].get<std::string>())) << c;
            inCategories += c["count"].get<std::uint64_t>();
        }
        EXPECT_EQ(inCategories, answer["total"].get<std::uint64_t>());  // every fixture item has a category
        for (const auto& p : counts["places"]) {
            EXPECT_EQ(p["count"].get<std::uint64_t>(),
                      total(base + "&area=" + EncodeQueryValue(p["name"].get<std::string>()))) << p;
        }
        for (const auto& f : counts["services"]) {
            if (base.find(f["code"].get<std::string>() + "=") != std::string::npos) continue;  // required already
            EXPECT_EQ(f["count"].get<std::uint64_t>(), total(base + "&" + f["code"].get<std::string>() + "=true")) << f;
        }
        for (const auto& r : counts["prices"]) {
            const std::string to = r["to"].is_null() ? "" : "&ep=" + std::to_string(r["to"].get<int>());
            EXPECT_EQ(r["count"].get<std::uint64_t>(), total(base + "&sp=" + std::to_string(r["from"].get<int>()) + to)) << r;
        }
    }
    EXPECT_FALSE(nlohmann::json::parse(api("k="))
                     .contains("counts"));  // only when asked for
}

TEST(CatalogOpen, MissingOrNotACatalogNamesTheFolder) {
    TempDir dir;
    const auto expectError = [](const std::filesystem::path& p, const std::string& part) {
        try {
            CatalogIndex::open(p);
            ADD_FAILURE() << p << " opened";
        } catch (const CatalogError& e) {
            EXPECT_NE(std::string(e.what()).find(p.string()), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
    };
    expectError(dir.path() / "nothing", "no catalog folder");
    expectError(dir.path(), "not a catalog folder");
    std::ofstream(dir.path() / "CURRENT") << "gen-missing\n";
    expectError(dir.path(), "cannot read");
}

// A damaged or foreign catalog is refused at open with a clear word, before
// anything its files claim is believed.
TEST(CatalogOpen, DamagedFilesAreRefused) {
    namespace fs = std::filesystem;
    using Damage = std::function<void(const fs::path& generation)>;
    const auto patch = [](const fs::path& file, std::size_t offset, const std::string& bytes) {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(offset));
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    const std::pair<const char*, Damage> cases[] = {
        {"import it again", [&](const fs::path& g) { patch(g / "columns", 0, "QVCOLS02"); }},  // an older format
        {"damaged", [&](const fs::path& g) { patch(g / "columns", 0, "XXXXXXXX"); }},
        {"damaged", [&](const fs::path& g) { patch(g / "columns", 16, std::string(8, '\xff')); }},  // item count
        {"damaged", [&](const fs::path& g) { patch(g / "columns", 24, std::string("\x01\x00\x00\x00\x00\x01\x00\x00", 8)); }},
        {"damaged", [&](const fs::path& g) { fs::resize_file(g / "columns", fs::file_size(g / "columns") - 1); }},
        {"checksum", [&](const fs::path& g) { patch(g / "columns", fs::file_size(g / "columns") / 2, "\x7f"); }},
        {"damaged", [&](const fs::path& g) { fs::resize_file(g / "columns", 10); }},
        {"damaged", [&](const fs::path& g) { fs::resize_file(g / "items", fs::file_size(g / "items") - 5); }},
        {"cannot read", [&](const fs::path& g) { fs::remove(g / "items"); }},
    };
    for (const auto& [expected, damage] : cases) {
        TempDir dir;
        quorvel::testing::BuildFixtureCatalog(dir.path());
        damage(dir.path() / CatalogIndex::currentGeneration(dir.path()));
        try {
            CatalogIndex::open(dir.path());
            ADD_FAILURE() << "a damaged catalog opened (" << expected << ")";
        } catch (const CatalogError& e) {
            EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
        }
    }
}

TEST(CatalogOpen, ADamagedItemRecordIsNeverSent) {
    TempDir dir;
    quorvel::testing::BuildFixtureCatalog(dir.path());
    const auto items = dir.path() / CatalogIndex::currentGeneration(dir.path()) / "items";
    {
        std::fstream f(items, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(10);
        f.write("#", 1);
    }
    const auto index = CatalogIndex::open(dir.path());  // records are checked as they are sent
    try {
        index->search(SearchRequest::parse("k="));
        ADD_FAILURE() << "a damaged record was sent";
    } catch (const CatalogError& e) {
        EXPECT_NE(std::string(e.what()).find("import it again"), std::string::npos) << e.what();
    }
}

TEST(CatalogOpen, CurrentMayEndInCarriageReturnOrSpace) {
    TempDir dir;
    quorvel::testing::BuildFixtureCatalog(dir.path());
    const std::string generation = CatalogIndex::currentGeneration(dir.path());
    std::ofstream(dir.path() / "CURRENT", std::ios::trunc) << generation << " \r\n";
    EXPECT_EQ(CatalogIndex::open(dir.path())->size(), 9u);
}

#ifdef __linux__
// Files this process holds open under folder, as the system lists them.
static int openFilesUnder(const std::filesystem::path& folder) {
    int count = 0;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const auto target = std::filesystem::read_symlink(fd.path(), ec);
        if (!ec && target.string().rfind(folder.string(), 0) == 0) ++count;
    }
    return count;
}

// A replaced catalog lets go of every file once no search uses it, so an
// import into a running service does not keep the old one's disk space.
TEST(CatalogOpen, AReleasedCatalogHoldsNoFiles) {
    TempDir dir;
    quorvel::testing::BuildFixtureCatalog(dir.path());
    auto index = CatalogIndex::open(dir.path());
    for (int i = 0; i < 3; ++i) index->search(SearchRequest::parse("k=%E7%83%AD"));
    EXPECT_GT(openFilesUnder(dir.path()), 0);
    index.reset();
    EXPECT_EQ(openFilesUnder(dir.path()), 0);
}
#endif
