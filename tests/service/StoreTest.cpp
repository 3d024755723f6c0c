// Both stores: ranking with ties, the top 100, a retried submission recorded once, names kept as bytes,
// verification by recording, the operator's commands; a file of the first schema is upgraded.
#include "PgCluster.h"
#include "TempDir.h"
#include "service/PostgresStore.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

using namespace mph::service;

namespace {

Submission entry(const std::string& mode, const std::string& name, int32_t score, int32_t nonce = 1,
                 int32_t level = 2) {
    return Submission{mode, name, nonce, level, score, "127.0.0.1"};
}

void checkRankingAndTop(Store& store) {
    EXPECT_EQ(store.record(entry("S", "A", 100)).rank, 1);
    EXPECT_EQ(store.record(entry("S", "B", 300)).rank, 1);
    EXPECT_EQ(store.record(entry("S", "C", 200)).rank, 2);
    // A tie ranks below the older entry.
    EXPECT_EQ(store.record(entry("S", "D", 200)).rank, 3);
    store.record(entry("N", "E", 999));

    std::vector<ScoreRow> rows = store.top("S", 100);
    ASSERT_EQ(rows.size(), 4u);
    const char* order[] = {"B", "C", "D", "A"};
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].name, order[i]);
        EXPECT_EQ(rows[i].rank, static_cast<int32_t>(i) + 1);
        EXPECT_EQ(rows[i].level, 2);
    }
    EXPECT_EQ(store.top("N", 100).size(), 1u);

    for (int i = 1; i <= 120; ++i)
        store.record(entry("S", std::to_string(i), 1000 + i));
    rows = store.top("S", 100);
    ASSERT_EQ(rows.size(), 100u);
    EXPECT_EQ(rows.front().score, 1120);
    EXPECT_EQ(rows.back().score, 1021);
    EXPECT_EQ(rows.back().rank, 100);
    // Below the 120, B, C and D, above A.
    EXPECT_EQ(store.record(entry("S", "late", 150)).rank, 124);
}

void checkRetryRecordedOnce(Store& store) {
    const Recorded first = store.record(entry("S", "Ann", 500, 42, 7));
    EXPECT_TRUE(first.inserted);
    store.record(entry("S", "Bob", 900));
    const Recorded again = store.record(entry("S", "Ann", 500, 42, 7));
    EXPECT_FALSE(again.inserted);
    EXPECT_EQ(again.id, first.id);
    EXPECT_EQ(again.rank, 2);
    // The same score with another nonce is another game.
    EXPECT_TRUE(store.record(entry("S", "Ann", 500, 43, 7)).inserted);

    // Retries racing each other still leave one entry.
    std::vector<std::thread> threads;
    std::vector<Recorded> results(8);
    for (size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { results[i] = store.record(entry("N", "Race", 10, 5)); });
    for (auto& t : threads)
        t.join();
    int inserted = 0;
    for (const Recorded& r : results) {
        inserted += r.inserted;
        EXPECT_EQ(r.id, results[0].id);
    }
    EXPECT_EQ(inserted, 1);
    EXPECT_EQ(store.top("S", 100).size(), 3u);
    EXPECT_EQ(store.top("N", 100).size(), 1u);
}

void checkNamesKeptAsBytes(Store& store) {
    const std::vector<std::string> names = {"Jos\xe9",
                                            "Stra\xdf"
                                            "e",
                                            "');--", "<b>&'\"", "\xff\x80"};
    for (size_t i = 0; i < names.size(); ++i)
        store.record(entry("S", names[i], 100 - static_cast<int32_t>(i)));
    const std::vector<ScoreRow> rows = store.top("S", 100);
    ASSERT_EQ(rows.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(rows[i].name, names[i]);
}

Verification game(const std::string& name, int32_t nonce, const std::string& hash, bool human = true) {
    Verification v;
    v.mode = "S";
    v.name = name;
    v.nonce = nonce;
    v.level = 7;
    v.score = 500;
    v.gameHash = hash;
    v.human = human;
    v.reasons = human ? "" : "too fast";
    v.ticks = 100;
    v.recording = std::string("MPHR\0game", 9);
    return v;
}

// Two games of Ann with the same end (two entries): a recording verifies the one entry its nonce names,
// once; the same game (a renamed copy) verifies nothing else; a game beyond a person's limits waits for
// review. The listing of verified entries ranks them among themselves.
void checkVerification(Store& store) {
    store.record(entry("S", "Bo", 900));
    store.record(entry("S", "Ann\xe9", 500, 1, 7));
    store.record(entry("S", "Ann\xe9", 500, 2, 7));
    store.record(entry("S", "Cy", 500, 3, 7));
    store.record(entry("S", "Dee", 500, 4, 7));
    EXPECT_EQ(store.verify(game("Ann\xe9", 9, "a1")), VerifyResult::NoEntry) << "no entry has that nonce";
    Verification wrongLevel = game("Ann\xe9", 1, "a1");
    wrongLevel.level = 6;
    EXPECT_EQ(store.verify(wrongLevel), VerifyResult::NoEntry);
    EXPECT_EQ(store.verify(game("Ann\xe9", 1, "a1")), VerifyResult::Verified);
    EXPECT_EQ(store.verify(game("Ann\xe9", 1, "a1")), VerifyResult::Verified) << "a repeated upload";
    EXPECT_EQ(store.verify(game("Cy", 3, "a1")), VerifyResult::GameTaken) << "the same game renamed";
    EXPECT_EQ(store.verify(game("Dee", 4, "d1", false)), VerifyResult::Review);
    EXPECT_EQ(store.verify(game("Ann\xe9", 1, "a2")), VerifyResult::Verified) << "the first game stays";
    const std::vector<ScoreRow> all = store.top("S", 100);
    ASSERT_EQ(all.size(), 5u);
    EXPECT_TRUE(all[1].verified);
    EXPECT_FALSE(all[2].verified) << "Ann's other entry";
    // The verified entry's recording, byte for byte, and only while the entry is verified and listed.
    EXPECT_TRUE(all[1].replay);
    EXPECT_FALSE(all[2].replay || all[4].replay);
    ASSERT_EQ(all[1].created.size(), 20u);
    EXPECT_EQ(all[1].created[10], 'T');
    EXPECT_EQ(all[1].created.back(), 'Z');
    const std::optional<KeptRecording> kept = store.recording(all[1].id);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->bytes, std::string("MPHR\0game", 9));
    EXPECT_EQ(kept->mode, "S");
    EXPECT_EQ(kept->gameHash, "a1");
    EXPECT_FALSE(store.recording(all[2].id)) << "not verified";
    EXPECT_FALSE(store.recording(all[4].id)) << "waiting for review";
    EXPECT_FALSE(store.recording(all[4].id + 1000)) << "no such entry";
    EXPECT_TRUE(store.hide("Ann\xe9", true));
    EXPECT_FALSE(store.recording(all[1].id)) << "kept off the tables";
    EXPECT_TRUE(store.hide("Ann\xe9", false));
    const std::vector<ScoreRow> verified = store.top("S", 100, true);
    ASSERT_EQ(verified.size(), 1u);
    EXPECT_EQ(verified[0].name, "Ann\xe9");
    EXPECT_EQ(verified[0].rank, 1);

    // The operator's view and commands.
    std::vector<AdminRow> rows = store.list("S", 100);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].name, "Bo");
    EXPECT_EQ(rows[1].state, "verified");
    EXPECT_EQ(rows[2].state, "-");
    EXPECT_EQ(rows[4].state, "review");
    EXPECT_EQ(rows[0].address, "127.0.0.1");
    EXPECT_FALSE(rows[0].created.empty());
    EXPECT_TRUE(store.hide("Bo", true));
    EXPECT_FALSE(store.hide("Bo", true));
    EXPECT_EQ(store.top("S", 100).size(), 4u);
    EXPECT_TRUE(store.list("S", 100)[0].hidden);
    EXPECT_EQ(store.remove({rows[1].id, rows[2].id, 999999}), 2);
    EXPECT_FALSE(store.recording(rows[1].id)) << "removed";
    EXPECT_TRUE(store.top("S", 100, true).empty());
    EXPECT_EQ(store.list("S", 100).size(), 3u);
    EXPECT_TRUE(store.hide("Bo", false));
    EXPECT_EQ(store.top("S", 100).size(), 3u);
    EXPECT_EQ(store.forgetAddresses(30), 0) << "all entries are new";
    EXPECT_EQ(store.forgetAddresses(-1), 3) << "all entries are older than tomorrow";
    EXPECT_EQ(store.list("S", 100)[0].address, "");
    EXPECT_TRUE(store.reachable());
    // The operator verifies the game waiting for review; nothing else can be approved.
    EXPECT_FALSE(store.approve(rows[0].id)) << "Bo's entry has no recording";
    EXPECT_TRUE(store.approve(rows[4].id));
    EXPECT_FALSE(store.approve(rows[4].id)) << "already verified";
    const std::vector<ScoreRow> approved = store.top("S", 100, true);
    ASSERT_EQ(approved.size(), 1u);
    EXPECT_EQ(approved[0].name, "Dee");
}

} // namespace

TEST(SqliteStore, VerifiesEntriesAndUpgradesAFileOfTheFirstSchema) {
    TempDir dir;
    const std::string path = dir.path() + "/scores.db";
    {
        SqliteStore store(path);
        checkVerification(store);
    }
    // A file as the first version of the service left it: no verified column, user_version 1.
    const std::string old = dir.path() + "/old.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(old.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TABLE scores(id INTEGER PRIMARY KEY AUTOINCREMENT, mode TEXT NOT NULL, "
                     "name BLOB NOT NULL, score INTEGER NOT NULL, level INTEGER NOT NULL, nonce INTEGER "
                     "NOT NULL, address TEXT NOT NULL, created TEXT NOT NULL DEFAULT '', "
                     "UNIQUE(mode, nonce, name, level, score));"
                     "INSERT INTO scores(mode, name, score, level, nonce, address) "
                     "VALUES('S', X'416E6E', 40, 2, 1, '');"
                     "PRAGMA user_version = 1;",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    SqliteStore upgraded(old);
    const std::vector<AdminRow> rows = upgraded.list("S", 10);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "Ann");
    EXPECT_EQ(rows[0].state, "-");
    EXPECT_EQ(upgraded.top("S", 10).at(0).created, "") << "the first schema kept no time";
}

TEST(SqliteStore, RanksTiesOlderFirstAndKeepsTheTop100) {
    TempDir dir;
    SqliteStore store(dir.path() + "/new/folders/scores.db");
    checkRankingAndTop(store);
}

TEST(SqliteStore, RecordsARetryOnce) {
    TempDir dir;
    SqliteStore store(dir.path() + "/scores.db");
    checkRetryRecordedOnce(store);
}

TEST(SqliteStore, KeepsNamesAsBytesAndSurvivesReopening) {
    TempDir dir;
    {
        SqliteStore store(dir.path() + "/scores.db");
        checkNamesKeptAsBytes(store);
    }
    SqliteStore reopened(dir.path() + "/scores.db");
    EXPECT_EQ(reopened.top("S", 100).size(), 5u);
}

TEST(SqliteStore, AFileThatIsNoDatabaseIsAStoreError) {
    TempDir dir;
    const std::string path = dir.path() + "/scores.db";
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fputs("this is not a database, just some text that is long enough to have a header", f);
    std::fclose(f);
    EXPECT_THROW(SqliteStore store(path), StoreError);
}

TEST(PostgresStore, SameBehaviourOnAThrowawayCluster) {
    PgCluster cluster;
    if (!cluster.running()) GTEST_SKIP() << "PostgreSQL store not tested: " << cluster.why();
    int n = 0;
    for (auto check :
         {checkRankingAndTop, checkRetryRecordedOnce, checkNamesKeptAsBytes, checkVerification}) {
        const std::string db = std::string("t").append(std::to_string(n++));
        ASSERT_TRUE(cluster.createDatabase(db));
        PostgresStore store(cluster.conninfo(db), 8);
        check(store);
    }
    // A second instance on the same database sees the first one's entries.
    PostgresStore other(cluster.conninfo("t2"), 2);
    EXPECT_EQ(other.top("S", 100).size(), 5u);
    EXPECT_THROW(PostgresStore(cluster.conninfo("missing"), 1), StoreError);
}
