// The results service on loopback over the fixture catalog: the page, the
// search API and its error answers, the Host check.
#include <gtest/gtest.h>

#include <httplib.h>

#include <atomic>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "CatalogFixture.h"
#include "CatalogHandle.h"
#include "ServiceError.h"
#include "RawConnection.h"
#include "ResultsService.h"
#include "SearchApi.h"
#include "SuggestApi.h"

using namespace quorvel;

namespace {

class ServiceTest : public quorvel::testing::FixtureCatalogSuite {
protected:
    static void SetUpTestSuite() {
        FixtureCatalogSuite::SetUpTestSuite();
        s_service = std::make_unique<ResultsService>(SearchApi(s_index));
        s_service->setSuggest(SuggestApi(s_index));
        s_port = s_service->start("127.0.0.1", 0);
    }
    static void TearDownTestSuite() {
        s_service.reset();
        FixtureCatalogSuite::TearDownTestSuite();
    }

    static httplib::Result get(const std::string& path, const httplib::Headers& headers = {}) {
        httplib::Client client("127.0.0.1", s_port);
        return client.Get(path.c_str(), headers);
    }

    static inline std::unique_ptr<ResultsService> s_service;
    static inline int s_port = 0;
};

}  // namespace

TEST_F(ServiceTest, TheProgramsQueryFindsItems) {
    const auto r = get("/soft/quorvel/api/search?k=%E7%83%AD%E5%8D%96&sp=0&ep=99999999&area="
                       "&s=commissionVolume_desc&sc=1heart&ec=5goldencrown");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    EXPECT_EQ(r->get_header_value("Content-Type"), "application/json; charset=utf-8");
    EXPECT_EQ(r->get_header_value("X-Content-Type-Options"), "nosniff");
    const auto body = nlohmann::json::parse(r->body);
    EXPECT_EQ(body["total"], 3);
    EXPECT_EQ(body["items"].size(), 3u);
    EXPECT_EQ(body["items"][0]["id"], 106);
    EXPECT_TRUE(body["tookMs"].is_number());
    EXPECT_EQ(body["words"], (nlohmann::json{"热卖"}));  // the page marks these; it never splits a keyword
}

TEST_F(ServiceTest, ServesThePageWithAPolicyAgainstInlineScript) {
    for (const char* path : {"/soft/quorvel/", "/soft/quorvel/index.html", "/soft/quorvel/app.js"}) {
        const auto r = get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 200) << path;
        EXPECT_NE(r->get_header_value("Content-Security-Policy").find("script-src 'self'"), std::string::npos);
    }
    const auto redirect = get("/soft/quorvel");
    ASSERT_TRUE(redirect);
    EXPECT_EQ(redirect->status, 301);
}

TEST_F(ServiceTest, ErrorsAnswerWithTheirStatusAndAJsonError) {
    struct Case {
        std::string path;
        int status;
        const char* parameter;
    };
    const Case cases[] = {
        {"/soft/quorvel/api/search?k=%E7%8", 400, "k"},
        {"/soft/quorvel/api/search?s=nope", 400, "s"},
        {"/soft/quorvel/api/search?cid=1", 400, "cid"},
        {"/soft/quorvel/api/search?sp=abc", 400, "sp"},
        {"/soft/quorvel/api/search?k=" + std::string(5000, 'a'), 414, nullptr},
        {"/soft/quorvel/missing.html", 404, nullptr},
        {"/elsewhere", 404, nullptr},
    };
    for (const auto& c : cases) {
        const auto r = get(c.path);
        ASSERT_TRUE(r) << c.path.substr(0, 60);
        EXPECT_EQ(r->status, c.status) << c.path.substr(0, 60);
        const auto body = nlohmann::json::parse(r->body);
        EXPECT_EQ(body["error"]["status"], c.status);
        EXPECT_FALSE(body["error"]["message"].get<std::string>().empty());
        if (c.parameter) {
            EXPECT_EQ(body["error"]["parameter"], c.parameter);
        }
    }
    httplib::Client client("127.0.0.1", s_port);
    const auto post = client.Post("/soft/quorvel/api/search", "x", "text/plain");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->status, 405);
    EXPECT_EQ(post->get_header_value("Allow"), "GET, HEAD");
}

TEST_F(ServiceTest, RequestsNamingAnotherHostAreRefused) {
    const std::string port = ":" + std::to_string(s_port);
    const std::pair<std::string, int> cases[] = {
        {"127.0.0.1" + port, 200},
        {"localhost" + port, 200},
        {"attacker.example" + port, 403},  // DNS rebinding: a foreign name pointing here
        {"127.0.0.1", 403},                // wrong port
    };
    for (const auto& [host, status] : cases) {
        const auto r = get("/soft/quorvel/api/search?k=a", {{"Host", host}});
        ASSERT_TRUE(r) << host;
        EXPECT_EQ(r->status, status) << host;
    }
}

// Words of the titles, ranked by how many items a search for each finds.
TEST_F(ServiceTest, SuggestionsRankWordsByTheItemsTheyFind) {
    using Expected = std::vector<std::pair<std::string, int>>;
    const std::pair<std::string, Expected> cases[] = {
        {"q=%E8%BF%9E%E8%A1%A3", {{"连衣", 2}, {"连衣裙", 1}}},          // 连衣: the word is in one title, the search finds two
        {"q=%E7%83%AD", {{"热卖", 3}, {"<b>热水壶</b>", 1}}},            // 热: markup stays text
        {"q=%E7%83%AD&n=1", {{"热卖", 3}}},
        {"q=%E5%8D%96%20%E8%BF%9E%E8%A1%A3%E8%A3%99", {{"连衣裙", 1}}},  // the last word of a keyword is completed
        {"q=IPHONE", {{"iphone", 2}, {"iphone4手机壳", 1}}},
        {"q=%E7%81%AB%E6%98%9F", {}},                                    // 火星: nothing
        {"q=", {}},
    };
    for (const auto& [raw, expected] : cases) {
        const auto r = get("/soft/quorvel/api/suggest?" + raw);
        ASSERT_TRUE(r) << raw;
        ASSERT_EQ(r->status, 200) << raw << r->body;
        Expected got;
        const auto body = nlohmann::json::parse(r->body);
        for (const auto& s : body["suggestions"]) got.emplace_back(s["text"], s["count"]);
        EXPECT_EQ(got, expected) << raw << " " << r->body;
    }
    const std::pair<std::string, const char*> bad[] = {
        {"n=3", "q"}, {"q=%E7%8", "q"}, {"q=" + std::string(65, 'a'), "q"}, {"q=a&q=b", "q"},
        {"q=a&n=0", "n"}, {"q=a&n=11", "n"}, {"q=a&n=x", "n"},
    };
    for (const auto& [raw, parameter] : bad) {
        const auto r = get("/soft/quorvel/api/suggest?" + raw);
        ASSERT_TRUE(r) << raw;
        EXPECT_EQ(r->status, 400) << raw;
        EXPECT_EQ(nlohmann::json::parse(r->body)["error"]["parameter"], parameter) << raw;
    }
    EXPECT_EQ(get("/soft/quorvel/api/suggest?q=a", {{"Host", "attacker.example"}})->status, 403);
}

TEST_F(ServiceTest, TwoHostHeadersAreRefused) {
    quorvel::testing::RawConnection c(s_port);
    const std::string host = "Host: 127.0.0.1:" + std::to_string(s_port) + "\r\n";
    ASSERT_TRUE(c.send("GET /soft/quorvel/api/search?k=a HTTP/1.1\r\n" + host + "Host: attacker.example\r\n\r\n"));
    const auto answer = c.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 400);
}

// The page makes all its requests on a few kept-alive connections.
TEST_F(ServiceTest, OneConnectionCarriesManyRequests) {
    const auto before = s_service->server().connectionsAccepted();
    quorvel::testing::RawConnection c(s_port);
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(c.send(quorvel::testing::RawConnection::get("/soft/quorvel/api/search?k=&cid=1512&page=" +
                                                       std::to_string(i % 2 + 1) + "&size=2", s_port)));
        const auto answer = c.read();
        ASSERT_TRUE(answer) << "request " << i;
        ASSERT_EQ(answer->status, 200) << "request " << i;
        EXPECT_EQ(nlohmann::json::parse(answer->body)["page"], i % 2 + 1);
    }
    EXPECT_EQ(s_service->server().connectionsAccepted() - before, 1u);
}

TEST_F(ServiceTest, PipelinedRequestsAreAnsweredInOrder) {
    quorvel::testing::RawConnection c(s_port);
    std::string three;
    for (int page = 1; page <= 3; ++page) {
        three += quorvel::testing::RawConnection::get("/soft/quorvel/api/search?k=&cid=1512&size=1&page=" + std::to_string(page), s_port);
    }
    ASSERT_TRUE(c.send(three));
    for (int page = 1; page <= 3; ++page) {
        const auto answer = c.read();
        ASSERT_TRUE(answer) << "answer " << page;
        EXPECT_EQ(nlohmann::json::parse(answer->body)["page"], page);
    }
}

// Clients that send their headers a byte at a time, or connect and say
// nothing, hold up nobody else.
TEST_F(ServiceTest, SlowAndIdleClientsHoldUpNobody) {
    std::vector<std::unique_ptr<quorvel::testing::RawConnection>> slow, idle;
    for (int i = 0; i < 32; ++i) {
        slow.push_back(std::make_unique<quorvel::testing::RawConnection>(s_port));
        idle.push_back(std::make_unique<quorvel::testing::RawConnection>(s_port));
    }
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        const std::string request = quorvel::testing::RawConnection::get("/soft/quorvel/api/search?k=a", s_port);
        for (std::size_t at = 0; !done && at < request.size(); ++at) {
            for (auto& c : slow) c->send(request.substr(at, 1));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    quorvel::testing::RawConnection normal(s_port);
    ASSERT_TRUE(normal.send(quorvel::testing::RawConnection::get("/soft/quorvel/api/search?k=a", s_port)));
    const auto answer = normal.read(std::chrono::seconds(3));
    done = true;
    trickle.join();
    ASSERT_TRUE(answer) << "a normal request waited on slow clients";
    EXPECT_EQ(answer->status, 200);
}

TEST_F(ServiceTest, ABodyIsRefusedWithoutBeingRead) {
    quorvel::testing::RawConnection c(s_port);
    ASSERT_TRUE(c.send("POST /soft/quorvel/api/search HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(s_port) +
                       "\r\nContent-Length: 300000000\r\n\r\n" + std::string(65536, 'x')));
    const auto answer = c.read();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 405);
    EXPECT_TRUE(c.closedWithin(std::chrono::seconds(5)));
}

TEST(ServiceLimits, AnIdleConnectionIsClosed) {
    ResultsService service;
    HttpServer::Limits limits;
    limits.idleSeconds = 1;
    const int port = service.start("127.0.0.1", 0, limits);
    quorvel::testing::RawConnection c(port);
    EXPECT_TRUE(c.closedWithin(std::chrono::seconds(5)));
}

TEST(ServiceLimits, HeadersSentForeverAreCutOff) {
    ResultsService service;
    HttpServer::Limits limits;
    limits.headerSeconds = 1;
    const int port = service.start("127.0.0.1", 0, limits);
    quorvel::testing::RawConnection c(port);
    const std::string request = quorvel::testing::RawConnection::get("/soft/quorvel/", port);
    bool cut = false;
    for (std::size_t at = 0; at < request.size() && !cut; ++at) {  // a byte every 200 ms: never idle
        cut = !c.send(request.substr(at, 1)) || c.closedWithin(std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(cut) << "a request trickled in over " << request.size() / 5 << " s was still being read";
}

// Clients are told what is wrong with the catalog, not where its files are.
TEST(ServiceWithoutCatalog, TheReasonNamesNoFolder) {
    const std::string folder = (std::filesystem::temp_directory_path() / "no-such-quorvel-catalog").string();
    const SearchApi api(CatalogHandle::openInBackground(folder));
    try {
        api("k=a");
        FAIL() << "answered without a catalog";
    } catch (const ServiceError& e) {
        EXPECT_EQ(e.kind(), ErrorKind::CatalogUnavailable);
        EXPECT_EQ(std::string(e.what()).find(folder), std::string::npos) << e.what();
    }
}

TEST(ServiceWithoutCatalog, AnswersUnavailable) {
    ResultsService service;
    const int port = service.start("127.0.0.1", 0);
    httplib::Client client("127.0.0.1", port);
    const auto r = client.Get("/soft/quorvel/api/search?k=a");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 503);
}

TEST(ServiceStart, APortInUseIsAClearError) {
    ResultsService first;
    const int port = first.start("127.0.0.1", 0);
    ResultsService second;
    try {
        second.start("127.0.0.1", port);
        FAIL() << "started twice on one port";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(std::to_string(port)), std::string::npos) << e.what();
    }
}
