// Feed import: bad lines, duplicates, and writes that fail or are
// interrupted leaving the previous catalog in place.
#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <sys/wait.h>
#endif
#include <sstream>

#include <optional>
#include <thread>

#include "CatalogError.h"
#include "CatalogFixture.h"
#include "CatalogFolder.h"
#include "CatalogHandle.h"
#include "DataPaths.h"
#include "FileLock.h"
#include "SearchApi.h"
#include "FeedParser.h"
#include "SampleCatalog.h"

#include <nlohmann/json.hpp>

using namespace quorvel;
using quorvel::testing::BuildFixtureCatalog;
using quorvel::testing::TempDir;

namespace {

const char* kGood =
    R"({"id": 1, "title": "t", "cid": "16", "price": 100, "province": "浙江", "city": "杭州", "seller": "s", )"
    R"("credit": "1heart", "sales": 0, "commission": 0})";

std::string withField(const std::string& field, const std::string& value) {
    auto j = nlohmann::json::parse(kGood);
    if (value.empty()) j.erase(field);
    else j[field] = nlohmann::json::parse(value);
    return j.dump();
}

}  // namespace

TEST(FeedParser, BadLinesNameLineFieldAndReason) {
    const std::pair<std::string, const char*> cases[] = {
        {"{not json", ""},
        {"[1, 2]", ""},
        {withField("id", ""), "id"},
        {withField("id", "0"), "id"},
        {withField("id", "\"7\""), "id"},
        {withField("title", "\"\""), "title"},
        {withField("cid", "\"12345\""), "cid"},
        {withField("price", "1.5"), "price"},
        {withField("price", "-1"), "price"},
        {withField("credit", "\"6heart\""), "credit"},
        {withField("services", "[\"xx\"]"), "services"},
        {withField("url", "\"javascript:alert(1)\""), "url"},
        {withField("image", "\"file:///etc/passwd\""), "image"},
        {R"({"id": 1, "title": "t", "price": 1e999})", "price"},                  // a number past any range
        {R"({"id": 1, "title": ")" + std::string(1 << 20, 'a'), "title"},         // never closed: not echoed whole
    };
    for (const auto& [line, field] : cases) {
        try {
            ParseFeedLine(line, 42);
            ADD_FAILURE() << line << ": accepted";
        } catch (const FeedError& e) {
            EXPECT_EQ(e.line(), 42u) << line;
            EXPECT_EQ(e.field(), field) << line << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find("line 42"), std::string::npos);
            EXPECT_LT(std::string(e.what()).size(), 400u) << "a message as long as the line";
        }
    }
    EXPECT_EQ(ParseFeedLine(kGood, 1).title, "t");
}

TEST(FeedImporter, LaterDuplicateWinsAndIsCounted) {
    std::istringstream feed(std::string(kGood) + "\n\n" + withField("title", "\"second\"") + "\n" +
                            withField("id", "2") + "\n");
    FeedImporter::Summary summary;
    const auto items = FeedImporter::read(feed, summary);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].title, "second");
    EXPECT_EQ(summary.lines, 3u);
    EXPECT_EQ(summary.duplicates, 1u);
}

TEST(FeedImporter, StopsAtTheFirstBadLine) {
    std::istringstream feed(std::string(kGood) + "\n" + withField("price", "\"x\"") + "\n" + "{bad\n");
    FeedImporter::Summary summary;
    try {
        FeedImporter::read(feed, summary);
        FAIL() << "accepted";
    } catch (const FeedError& e) {
        EXPECT_EQ(e.line(), 2u);
        EXPECT_EQ(e.field(), "price");
    }
}

TEST(FeedImporter, ALineOverTheLimitIsRefusedWhereItStarts) {
    std::istringstream feed(std::string(kGood) + "\n" + std::string(FeedImporter::MaxLineBytes + 10, ' ') + "x\n");
    FeedImporter::Summary summary;
    try {
        FeedImporter::read(feed, summary);
        FAIL() << "accepted";
    } catch (const FeedError& e) {
        EXPECT_EQ(e.line(), 2u);
        EXPECT_NE(std::string(e.what()).find("longer than"), std::string::npos) << e.what();
    }
}

TEST(CatalogWriter, InterruptedWriteKeepsThePreviousCatalog) {
    TempDir dir;
    BuildFixtureCatalog(dir.path());
    std::atomic<bool> cancel{false};
    auto items = SampleCatalog::generate(3000);
    EXPECT_THROW(CatalogWriter::write(
                     dir.path(), items, [&](std::size_t done, std::size_t) { cancel = done >= 1000; }, &cancel),
                 CatalogError);
    const auto index = CatalogIndex::open(dir.path());
    EXPECT_EQ(index->size(), 9u);
    std::vector<std::string> entries;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) entries.push_back(e.path().filename().string());
    std::sort(entries.begin(), entries.end());
    ASSERT_EQ(entries.size(), 3u);  // nothing half-written left behind
    EXPECT_EQ(entries[0], "CURRENT");
    EXPECT_EQ(entries[1], "LOCK");
    EXPECT_EQ(entries[2].rfind("gen-", 0), 0u);

    CatalogWriter::write(dir.path(), items);  // a later write replaces it
    EXPECT_EQ(CatalogIndex::open(dir.path())->size(), 3000u);
}

TEST(CatalogTool, ABadFeedChangesNothing) {
    TempDir dir;
    BuildFixtureCatalog(dir.path() / "catalog");
    const auto feed = dir.path() / "feed.jsonl";
    std::ofstream(feed) << kGood << "\n" << withField("cid", "\"nope\"") << "\n";
    const std::string command = std::string(QUORVEL_CATALOG_TOOL) + " import " + feed.string() + " --into " +
                                (dir.path() / "catalog").string() + " 2> " + (dir.path() / "err.txt").string();
    const int status = std::system(command.c_str());
    EXPECT_NE(status, 0);
    std::ifstream err(dir.path() / "err.txt");
    const std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("line 2, field \"cid\""), std::string::npos) << message;
    EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 9u);

    std::ofstream(feed) << kGood << "\n";
    EXPECT_EQ(std::system((std::string(QUORVEL_CATALOG_TOOL) + " import " + feed.string() + " --into " +
                           (dir.path() / "catalog").string() + " > /dev/null").c_str()),
              0);
    EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 1u);
}

#ifndef _WIN32
// What a command says and how it ends.
struct Ran {
    int status;
    std::string said;
};

Ran runTool(const std::string& arguments, const TempDir& dir) {
    const auto out = dir.path() / "said.txt";
    const int status = std::system((arguments + " > " + out.string() + " 2>&1").c_str());
    std::ifstream in(out);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>())};
}

TEST(CatalogTool, AnEmptyFeedIsRefusedUnlessAskedFor) {
    TempDir dir;
    BuildFixtureCatalog(dir.path() / "catalog");
    const auto feed = dir.path() / "empty.jsonl";
    std::ofstream(feed) << "\n";
    const std::string import = std::string(QUORVEL_CATALOG_TOOL) + " import " + feed.string() + " --into " +
                               (dir.path() / "catalog").string();
    const Ran refused = runTool(import, dir);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.said.find("no items"), std::string::npos) << refused.said;
    EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 9u);
    EXPECT_EQ(runTool(import + " --allow-empty", dir).status, 0);
    EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 0u);
}

TEST(CommandLines, BadNumbersAreUsageErrorsNamingTheOption) {
    TempDir dir;
    const std::pair<std::string, const char*> cases[] = {
        {std::string(QUORVEL_CATALOG_TOOL) + " sample --items -5 --into " + dir.path().string(), "--items"},
        {std::string(QUORVEL_CATALOG_TOOL) + " sample --items 12x --into " + dir.path().string(), "--items"},
        {std::string(QUORVEL_SERVICE_TOOL) + " --catalog " + dir.path().string() + " --listen 127.0.0.1:8080abc", "--listen"},
        {std::string(QUORVEL_SERVICE_TOOL) + " --catalog " + dir.path().string() + " --listen 127.0.0.1:", "--listen"},
    };
    for (const auto& [command, option] : cases) {
        const Ran ran = runTool(command, dir);
        EXPECT_EQ(ran.status, 2) << command << "\n" << ran.said;
        EXPECT_NE(ran.said.find(option), std::string::npos) << ran.said;
    }
}

TEST(DataPaths, TheUserCatalogIsNeverRelative) {
    const auto keep = [](const char* name) {
        const char* v = std::getenv(name);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    const auto home = keep("HOME"), data = keep("XDG_DATA_HOME");
    for (const char* relative : {"", "relative/dir"}) {
        setenv("HOME", relative, 1);
        setenv("XDG_DATA_HOME", relative, 1);
        const auto dir = UserCatalogDir();
        EXPECT_TRUE(dir.empty() || dir.is_absolute()) << dir;
    }
    unsetenv("HOME");
    unsetenv("XDG_DATA_HOME");
    const auto dir = UserCatalogDir();
    EXPECT_TRUE(dir.empty() || dir.is_absolute()) << dir;
    if (home) setenv("HOME", home->c_str(), 1);
    if (data) setenv("XDG_DATA_HOME", data->c_str(), 1);
    else unsetenv("XDG_DATA_HOME");
}
#endif

#ifndef _WIN32
TEST(CatalogTool, CtrlCLeavesThePreviousCatalog) {
    TempDir dir;
    BuildFixtureCatalog(dir.path() / "catalog");
    // SIGINT while the tool writes a large catalog over the fixture one.
    const std::string command = "timeout --preserve-status -s INT 0.7 " + std::string(QUORVEL_CATALOG_TOOL) +
                                " sample --items 150000 --into " + (dir.path() / "catalog").string() +
                                " > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 9u);
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "catalog")) {
        EXPECT_NE(e.path().extension(), ".partial") << e.path();
    }
}
#endif

TEST(CatalogWriter, ASecondImportIntoTheFolderIsRefused) {
    TempDir dir;
    BuildFixtureCatalog(dir.path());
    const auto running = FileLock::tryLock(dir.path() / CatalogFolder::LockFile, FileLock::Mode::Exclusive, true);
    ASSERT_TRUE(running);  // stands for an import in another process
    try {
        CatalogWriter::write(dir.path(), SampleCatalog::generate(10));
        FAIL() << "a second import ran";
    } catch (const CatalogError& e) {
        EXPECT_NE(std::string(e.what()).find("another import"), std::string::npos) << e.what();
    }
    EXPECT_EQ(CatalogIndex::open(dir.path())->size(), 9u);
}

#ifndef _WIN32
TEST(CatalogTool, TwoImportsAtOnceLeaveAValidCatalog) {
    TempDir dir;
    for (int round = 0; round < 5; ++round) {
        const std::string tool = std::string(QUORVEL_CATALOG_TOOL) + " sample --items " + std::to_string(2000 + round) +
                                 " --into " + (dir.path() / "catalog").string();
        const std::string both = "(" + tool + " > " + (dir.path() / "a.txt").string() + " 2>&1; echo $? > " +
                                 (dir.path() / "a.status").string() + ") & (" + tool + " > " +
                                 (dir.path() / "b.txt").string() + " 2>&1; echo $? > " +
                                 (dir.path() / "b.status").string() + "); wait";
        ASSERT_EQ(std::system(both.c_str()), 0);
        int succeeded = 0;
        for (const char* who : {"a", "b"}) {
            std::ifstream status(dir.path() / (std::string(who) + ".status"));
            int code = -1;
            status >> code;
            std::ifstream out(dir.path() / (std::string(who) + ".txt"));
            const std::string said((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
            if (code == 0) ++succeeded;
            else EXPECT_NE(said.find("another import"), std::string::npos) << said;
        }
        EXPECT_GE(succeeded, 1);
        EXPECT_EQ(CatalogIndex::open(dir.path() / "catalog")->size(), 2000u + static_cast<unsigned>(round));
    }
}
#endif

// Searches from threads that open their readers only now, as a service's
// workers do, while imports replace the catalog under them.
TEST(CatalogWriter, ARunningServiceAnswersThroughImports) {
    TempDir dir;
    BuildFixtureCatalog(dir.path());
    const SearchApi api(CatalogHandle::openInBackground(dir.path()));
    const auto searchOnAFreshThread = [&api] {
        std::string answer, failure;
        std::thread([&] {
            try {
                answer = api("k=&size=1");
            } catch (const std::exception& e) {
                failure = e.what();
            }
        }).join();
        EXPECT_EQ(failure, "");
        return answer.empty() ? 0 : nlohmann::json::parse(answer)["total"].get<int>();
    };
    EXPECT_EQ(searchOnAFreshThread(), 9);
    for (int import = 1; import <= 3; ++import) {
        CatalogWriter::write(dir.path(), SampleCatalog::generate(100 * static_cast<std::size_t>(import)));
        const int total = searchOnAFreshThread();  // the old catalog or the new, never an error
        EXPECT_TRUE(total == 100 * import || total == 100 * (import - 1) || total == 9) << total;
    }
    std::this_thread::sleep_for(CatalogHandle::FollowInterval * 2);
    searchOnAFreshThread();
    EXPECT_EQ(searchOnAFreshThread(), 300);
}
