// Two service instances on one PostgreSQL database, each with a long-lived cache: an instance always
// reads its own writes, a new entry or a repeated one that the other instance recorded first; and a
// database that stalls.
#include "PgCluster.h"
#include "scores/ScoreToken.h"
#include "service/PostgresStore.h"
#include "service/ReplayDownload.h"
#include "service/ScoreService.h"
#include "service/WebService.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace mph;
using namespace mph::service;

namespace {

Request submission(const std::string& name, int32_t score, int32_t nonce) {
    Request r;
    r.method = "GET";
    r.path = "/addglobalhs.jsp";
    r.query = "game=mphl&mode=S&name=" + name + "&score=" + scoretoken::make(nonce, name, 2, score) +
              "&s=" + std::to_string(score);
    ClientAddress::fromText("192.0.2.1", r.client);
    return r;
}

Request get(const std::string& path, const std::string& query = std::string()) {
    Request r;
    r.method = "GET";
    r.path = path;
    r.query = query;
    return r;
}

Request fetch() {
    Request r;
    r.method = "GET";
    r.path = "/globalhs.jsp";
    r.query = "game=mphl&mode=S";
    return r;
}

} // namespace

TEST(PgCache, AnInstanceReadsItsOwnWritesAtOnce) {
    PgCluster cluster;
    if (!cluster.running()) GTEST_SKIP() << "PostgreSQL not tested: " << cluster.why();
    ASSERT_TRUE(cluster.createDatabase("ryow"));
    PostgresStore storeA(cluster.conninfo("ryow"), 2), storeB(cluster.conninfo("ryow"), 2);
    ScoreService::Config config;
    config.requireReplay = false;
    config.cacheMaxAge = std::chrono::milliseconds(60000);
    ScoreService a(storeA, config), b(storeB, config);
    EXPECT_EQ(a.fetch(fetch()).body.find("<entry>"), std::string::npos) << "A caches an empty table";

    ASSERT_EQ(a.submit(submission("Ann", 500, 11)).status, 200);
    EXPECT_NE(a.fetch(fetch()).body.find("<name>Ann</name>"), std::string::npos) << "A's own new entry";

    // Bo's submission reaches B first; the game's retry of the same URL then reaches A.
    EXPECT_EQ(b.submit(submission("Bo", 700, 12)).status, 200);
    EXPECT_EQ(a.fetch(fetch()).body.find("<name>Bo</name>"), std::string::npos) << "within --cache-ms";
    const Response retried = a.submit(submission("Bo", 700, 12));
    EXPECT_NE(retried.body.find("<highlight>1</highlight>"), std::string::npos) << retried.body;
    EXPECT_NE(a.fetch(fetch()).body.find("<name>Bo</name>"), std::string::npos) << "A's repeated entry";
}

// A database that stalls (there, but answering nothing) freezes nothing: fetches are answered from the
// last good table, submissions fail with 503 within the statement wait, the health check says so, and
// all is well again once the database answers.
TEST(PgCache, AStalledDatabaseFreezesNothing) {
    PgCluster cluster;
    if (!cluster.running()) GTEST_SKIP() << "PostgreSQL not tested: " << cluster.why();
    ASSERT_TRUE(cluster.createDatabase("stall"));
    PostgresStore::Limits limits;
    limits.poolWait = std::chrono::milliseconds(300);
    limits.statementWait = std::chrono::milliseconds(500);
    limits.connectSeconds = 1;
    PostgresStore store(cluster.conninfo("stall"), 2, limits);
    ScoreService::Config config;
    config.requireReplay = false;
    config.cacheMaxAge = std::chrono::milliseconds(100);
    ScoreService service(store, config);
    ASSERT_EQ(service.submit(submission("Ann", 500, 11)).status, 200);
    ASSERT_NE(service.fetch(fetch()).body.find("<name>Ann</name>"), std::string::npos);

    cluster.stall(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    auto timed = [](auto&& f) {
        const auto start = std::chrono::steady_clock::now();
        f();
        return std::chrono::steady_clock::now() - start;
    };
    for (int i = 0; i < 3; ++i) {
        Response r;
        EXPECT_LT(timed([&] { r = service.fetch(fetch()); }), std::chrono::milliseconds(1500));
        EXPECT_EQ(r.status, 200);
        EXPECT_NE(r.body.find("<name>Ann</name>"), std::string::npos) << "the last good table";
    }
    // The page of the table read before is served on; one never read, and a recording, cannot be.
    WebService web(service);
    EXPECT_EQ(web.table(get("/table.html", "mode=S"), false).status, 200);
    EXPECT_EQ(web.table(get("/table.json", "mode=N"), true).status, 503);
    ReplayDownload downloads(store);
    EXPECT_EQ(downloads.answer(get("/replay/1")).status, 503);
    Response refused;
    EXPECT_LT(timed([&] { refused = service.submit(submission("Bo", 700, 12)); }),
              std::chrono::milliseconds(2500));
    EXPECT_EQ(refused.status, 503);
    EXPECT_FALSE(store.reachable());
    cluster.stall(false);

    Response back = Response::text(0, "not yet");
    for (int i = 0; i < 40 && back.status != 200; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        back = service.submit(submission("Bo", 700, 12));
    }
    EXPECT_EQ(back.status, 200);
    const std::string table = service.fetch(fetch()).body;
    EXPECT_NE(table.find("<name>Bo</name>"), std::string::npos) << back.body << "\n" << table;
    EXPECT_TRUE(store.reachable());
}

// The operator's deletion on one instance's database reaches the other instance through NOTIFY within a
// second, though its cache would keep the table for a minute.
TEST(PgCache, AnotherInstanceDropsADeletedEntryAtOnce) {
    PgCluster cluster;
    if (!cluster.running()) GTEST_SKIP() << "PostgreSQL not tested: " << cluster.why();
    ASSERT_TRUE(cluster.createDatabase("notify"));
    PostgresStore serving(cluster.conninfo("notify"), 2), operatorStore(cluster.conninfo("notify"), 1);
    ScoreService::Config config;
    config.requireReplay = false;
    config.cacheMaxAge = std::chrono::milliseconds(60000);
    ScoreService service(serving, config);
    serving.watch([&service](const std::string& mode) { service.entriesRemoved(mode); });
    ASSERT_EQ(service.submit(submission("Cheat", 900, 13)).status, 200);
    ASSERT_NE(service.fetch(fetch()).body.find("<name>Cheat</name>"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the listener is up
    ASSERT_EQ(operatorStore.remove({operatorStore.list("S", 10).at(0).id}), 1);
    bool gone = false;
    for (int i = 0; i < 10 && !gone; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        gone = service.fetch(fetch()).body.find("<name>Cheat</name>") == std::string::npos;
    }
    EXPECT_TRUE(gone) << "within a second";
    serving.stopWatching();
}
