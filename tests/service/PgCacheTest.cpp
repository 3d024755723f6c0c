// Two service instances on one PostgreSQL database, each with a long-lived cache: an instance always
// reads its own writes, a new entry or a repeated one that the other instance recorded first.
#include "PgCluster.h"
#include "scores/ScoreToken.h"
#include "service/PostgresStore.h"
#include "service/ScoreService.h"

#include <gtest/gtest.h>

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
