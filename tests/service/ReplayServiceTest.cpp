// POST /addreplay.jsp: a recording that replays to a submitted entry verifies it (and a listing of
// verified entries then shows it); a moved input, damage, other data or a body too large verify nothing;
// the real program checks recordings with no display at all.
#include "service/ReplayService.h"
#include "HttpGet.h"
#include "ReplayHelpers.h"
#include "TempDir.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "scores/ScoreToken.h"
#include "service/HttpServer.h"
#include "service/Plausibility.h"
#include "service/ReplayDownload.h"
#include "service/ScoreService.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>
#include <vector>

using namespace mph;
using namespace mph::service;
using namespace replaytest;

namespace {

// Both services in this process, on SQLite, on a free port of 127.0.0.1.
class Services {
public:
    explicit Services(bool requireReplay, bool plausibility = false, ReplayService::Config replay = {}) {
        std::string error;
        EXPECT_TRUE(ReplayService::loadGame(container(), error)) << error;
        m_store = std::make_unique<SqliteStore>(m_dir.path() + "/scores.db");
        ScoreService::Config config;
        config.requireReplay = requireReplay;
        m_scores = std::make_unique<ScoreService>(*m_store, config);
        replay.container = container();
        // The bot's games are no person's: most tests take them as they come.
        replay.plausibility = plausibility;
        m_replays = std::make_unique<ReplayService>(*m_store, *m_scores, replay, error.empty());
        m_scores->install(m_router);
        m_replays->install(m_router);
        m_downloads = std::make_unique<ReplayDownload>(*m_store);
        m_downloads->install(m_router);
        HttpServer::Config server;
        server.bind = "127.0.0.1";
        server.port = 0;
        server.logFd = -1;
        m_server = std::make_unique<HttpServer>(m_router, server);
        m_server->start();
    }
    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_server->port()) + path;
    }
    HttpReply table(const std::string& mode) const {
        return httpGet(url("/globalhs.jsp?game=mphl&mode=" + mode));
    }
    Store& store() { return *m_store; }
    std::string dbPath() const { return m_dir.path() + "/scores.db"; }

private:
    TempDir m_dir;
    std::unique_ptr<SqliteStore> m_store;
    std::unique_ptr<ScoreService> m_scores;
    std::unique_ptr<ReplayService> m_replays;
    std::unique_ptr<ReplayDownload> m_downloads;
    Router m_router;
    std::unique_ptr<HttpServer> m_server;
};

// The verdict on a game with the hand's times of its replay, as the service judges it.
Plausibility::Verdict judgeReplayed(const ReplayFile& game) {
    HandTimes hand;
    HandWatch watch(hand);
    ReplayPlayer::Options options;
    options.container = container();
    options.compose = false;
    options.observer = &watch;
    ReplayOutcome outcome;
    std::string error;
    EXPECT_TRUE(ReplayPlayer::play(game, options, outcome, error)) << error;
    return Plausibility::judge(game, hand);
}

} // namespace

TEST(ReplayService, AMatchingRecordingVerifiesItsEntryAndNothingElseDoes) {
    Services services(false);
    ReplayFile ann = recordGame("Ann");
    ASSERT_GT(ann.finalScore, 0);
    ASSERT_EQ(httpGet(services.url(submitPath(ann, 1))).status, 200);
    // The same game once more, moved by one input: submitted with the recorded score, never verified.
    ReplayFile cy = ann;
    cy.name = "Cy";
    for (size_t i = cy.events.size() / 2; i < cy.events.size(); ++i) {
        if (cy.events[i].resume || cy.events[i].input.id != Event::kMouseDown) continue;
        cy.events[i].input.tick += 30;
        break;
    }
    ASSERT_EQ(httpGet(services.url(submitPath(cy, 2))).status, 200);

    HttpReply r = post(services.url("/addreplay.jsp"), cy.encode());
    EXPECT_EQ(r.status, 422) << r.body;
    r = post(services.url("/addreplay.jsp"), ann.encode());
    EXPECT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(r.body, "verified 1\n");
    const std::string listing = services.table(ann.tableMode()).body;
    EXPECT_NE(listing.find("<name>Ann</name><score>" + std::to_string(ann.finalScore) + "</score><level>" +
                           std::to_string(ann.finalLevel) + "</level><rank>1</rank><verified>1</verified>"),
              std::string::npos)
        << listing;
    EXPECT_NE(listing.find("<name>Cy</name><score>" + std::to_string(cy.finalScore) + "</score><level>" +
                           std::to_string(cy.finalLevel) + "</level><rank>2</rank></entry>"),
              std::string::npos)
        << listing;

    ReplayFile nobody = ann;
    nobody.name = "Dee";
    EXPECT_EQ(post(services.url("/addreplay.jsp"), nobody.encode()).status, 404) << "no such entry";
    ReplayFile other = ann;
    other.dataHash ^= 1;
    EXPECT_EQ(post(services.url("/addreplay.jsp"), other.encode()).status, 409);
    std::string damaged = ann.encode();
    damaged[damaged.size() / 2] ^= 1;
    EXPECT_EQ(post(services.url("/addreplay.jsp"), damaged).status, 400);
    EXPECT_EQ(post(services.url("/addreplay.jsp"), std::string((1u << 20) + 1, 'M')).status, 413);
    EXPECT_EQ(httpGet(services.url("/addreplay.jsp")).status, 405);
}

TEST(ReplayService, WhenReplaysAreRequiredOnlyVerifiedEntriesAreListedAndTheirRecordingsServed) {
    Services services(true);
    ReplayFile ann = recordGame("Ann");
    const HttpReply submitted = httpGet(services.url(submitPath(ann, 1)));
    EXPECT_EQ(submitted.status, 200);
    EXPECT_EQ(submitted.body.find("<entry>"), std::string::npos);
    EXPECT_EQ(submitted.body.find("<highlight>"), std::string::npos);
    ReplayFile bo = ann;
    bo.name = "Bo";
    ASSERT_EQ(httpGet(services.url(submitPath(bo, 2))).status, 200);
    ASSERT_EQ(post(services.url("/addreplay.jsp"), ann.encode()).status, 200);
    const std::string listing = services.table(ann.tableMode()).body;
    EXPECT_NE(listing.find("<name>Ann</name>"), std::string::npos) << listing;

    // The recording downloads byte for byte from the id the reply names; Bo's unverified entry has none.
    const std::vector<AdminRow> rows = services.store().list(ann.tableMode(), 10);
    ASSERT_EQ(rows.size(), 2u);
    const int64_t annId = rows[0].name == "Ann" ? rows[0].id : rows[1].id;
    const int64_t boId = rows[0].name == "Bo" ? rows[0].id : rows[1].id;
    EXPECT_NE(listing.find("<verified>1</verified><replay>" + std::to_string(annId) + "</replay>"),
              std::string::npos);
    const HttpReply download = httpGet(services.url("/replay/" + std::to_string(annId)));
    EXPECT_EQ(download.status, 200);
    EXPECT_TRUE(download.body == ann.encode()) << "the recording as sent";
    EXPECT_EQ(httpGet(services.url("/replay/" + std::to_string(boId))).status, 404);
    // Kept in the store's file: what a restarted service opens.
    SqliteStore reopened(services.dbPath());
    const std::optional<KeptRecording> kept = reopened.recording(annId);
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(kept->bytes == ann.encode());
}

TEST(ReplayService, TheProgramChecksRecordingsWithoutADisplay) {
    TempDir dir;
    const std::string bin = std::string(std::getenv("MPH_BIN")) + "/morphella-scored";
    const std::string portFile = dir.path() + "/port", db = dir.path() + "/scores.db", data = container();
    const std::string home = "HOME=" + dir.path();
    // Nothing of a desktop session: no display, no SDL drivers, no runtime folder; only a sanitizer's
    // settings are passed on, so its run is judged as the test's own.
    std::vector<std::string> kept = {"PATH=/usr/bin:/bin", home};
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"})
        if (const char* value = std::getenv(name)) kept.push_back(std::string(name) + "=" + value);
    std::vector<const char*> environment;
    for (const std::string& entry : kept)
        environment.push_back(entry.c_str());
    environment.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execle(bin.c_str(), bin.c_str(), "--bind", "127.0.0.1", "--port", "0", "--port-file",
                 portFile.c_str(), "--db", db.c_str(), "--container", data.c_str(), "--quiet",
                 "--no-plausibility", static_cast<char*>(nullptr), environment.data());
        ::_exit(127);
    }
    int port = 0;
    for (int i = 0; i < 1000 && port == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(portFile) >> port;
    }
    ASSERT_GT(port, 0);
    const std::string base = "http://127.0.0.1:" + std::to_string(port);
    ReplayFile ann = recordGame("Ann");
    EXPECT_EQ(httpGet(base + submitPath(ann, 9)).status, 200);
    const HttpReply r = post(base + "/addreplay.jsp", ann.encode());
    EXPECT_EQ(r.status, 200) << r.body;
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// The renaming attack: the name is not part of the game and the checksum has no key, so a copy of Ann's
// recording renamed to Cy (with Cy's forged entry's nonce) replays just as well. One game verifies one
// entry: the copy verifies nothing, and of Ann's two entries with the same end only the one whose nonce
// the recording carries is verified.
TEST(ReplayService, OneRecordingVerifiesOneEntryAndARenamedCopyNone) {
    Services services(false);
    ReplayFile ann = recordGame("Ann");
    ASSERT_EQ(httpGet(services.url(submitPath(ann, 1))).status, 200);
    ReplayFile again = ann;
    ASSERT_EQ(httpGet(services.url(submitPath(again, 2))).status, 200) << "the same end, another game";
    ReplayFile cy = ann;
    cy.name = "Cy";
    ASSERT_EQ(httpGet(services.url(submitPath(cy, 3))).status, 200);
    ann.nonce = 1;
    HttpReply r = post(services.url("/addreplay.jsp"), ann.encode());
    EXPECT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(post(services.url("/addreplay.jsp"), ann.encode()).status, 200) << "a repeated upload";
    r = post(services.url("/addreplay.jsp"), cy.encode());
    EXPECT_EQ(r.status, 409) << r.body;
    EXPECT_EQ(post(services.url("/addreplay.jsp"), again.encode()).status, 409) << "the same game again";
    const std::string listing = services.table(ann.tableMode()).body;
    size_t verified = 0;
    for (size_t at = listing.find("<verified>1"); at != std::string::npos;
         at = listing.find("<verified>1", at + 1))
        ++verified;
    EXPECT_EQ(verified, 1u) << listing;
    ReplayFile old = ann;
    old.nonce = 0;
    EXPECT_EQ(post(services.url("/addreplay.jsp"), old.encode()).status, 422) << "no nonce: no entry named";
}

// The built-in bot's game replays to its score, but no person plays like it: it is kept for review and
// stays off a table of verified entries.
TEST(ReplayService, ABotGameWaitsForReviewInsteadOfBeingVerified) {
    Services services(true, true);
    ReplayFile bot = recordGame("Bot");
    ASSERT_EQ(httpGet(services.url(submitPath(bot, 4))).status, 200);
    const HttpReply r = post(services.url("/addreplay.jsp"), bot.encode());
    EXPECT_EQ(r.status, 202) << r.body;
    EXPECT_NE(r.body.find("kept for review"), std::string::npos) << r.body;
    // It drops each shape in the tick it takes it.
    EXPECT_NE(r.body.find("dropped into their hole less than 100 ms"), std::string::npos) << r.body;
    EXPECT_EQ(services.table(bot.tableMode()).body.find("<entry>"), std::string::npos);
}

// A finger lands on each place it presses without a way there; a touch player's game is not held for
// those jumps, while the same presses made by a mouse that never moved would be.
TEST(ReplayService, ATouchPlayersJumpingPressesAreJudgedHuman) {
    ReplayFile game = recordHumanGame("Fi", 2500, 5, true);
    const Plausibility::Verdict verdict = Plausibility::judge(game);
    ASSERT_GE(verdict.presses, 10);
    EXPECT_TRUE(verdict.human) << verdict.summary();
    EXPECT_LT(verdict.jumpShare, 0.1) << "only the mouse's few clicks between levels may count";
    for (ReplayEvent& e : game.events)
        if (e.input.kind == mph::GameInput::kTouch) e.input.kind = mph::GameInput::kMouse;
    EXPECT_FALSE(Plausibility::judge(game).human);
}

// A hand that takes each shape the moment it may, even if it carries it at a person's pace, is a program's.
TEST(ReplayService, AGameThatTakesEveryShapeAtOnceWaitsForReview) {
    Services services(true, true);
    ReplayFile game = recordHumanGame("Grab", 1500, 5, false, true);
    const Plausibility::Verdict verdict = judgeReplayed(game);
    std::printf("a grabbing hand: reaction %d ms and carry %d ms (medians) over %d and %d; %s\n",
                verdict.medianReactionMs, verdict.medianCarryMs, verdict.reactions, verdict.carries,
                verdict.summary().c_str());
    ASSERT_EQ(httpGet(services.url(submitPath(game, 6))).status, 200);
    const HttpReply r = post(services.url("/addreplay.jsp"), game.encode());
    EXPECT_EQ(r.status, 202) << r.body;
    EXPECT_NE(r.body.find("pick-ups less than 100 ms after the shape could be taken"), std::string::npos)
        << r.body;
    EXPECT_EQ(r.body.find("dropped into their hole"), std::string::npos) << r.body;
}

// A game played at a person's pace passes the plausibility check and is verified.
TEST(ReplayService, AGameAtAPersonsPaceIsVerified) {
    Services services(true, true);
    ReplayFile game = recordHumanGame("Hu", 2500);
    ASSERT_GT(game.finalScore, 0);
    const Plausibility::Verdict verdict = judgeReplayed(game);
    EXPECT_GE(verdict.presses, Plausibility::kRegularityMinPresses) << "every limit applies";
    EXPECT_GE(std::min(verdict.reactions, verdict.carries), Plausibility::kHandMinCount);
    EXPECT_TRUE(verdict.human) << verdict.summary();
    std::printf("a person's pace: %d presses, peak %d actions in 10 s, %.2f fast aimed, %.2f jumps, "
                "variation %.2f, reaction %d ms and carry %d ms (medians); %zu bytes for %d ticks\n",
                verdict.presses, verdict.peakActionsPer10s, verdict.fastAimedShare, verdict.jumpShare,
                verdict.variation, verdict.medianReactionMs, verdict.medianCarryMs, game.encode().size(),
                game.events.empty() ? 0 : game.events.back().input.tick - game.start.tick);
    ASSERT_EQ(httpGet(services.url(submitPath(game, 5))).status, 200);
    const HttpReply r = post(services.url("/addreplay.jsp"), game.encode());
    EXPECT_EQ(r.status, 200) << r.body;
    EXPECT_NE(services.table(game.tableMode()).body.find("<name>Hu</name>"), std::string::npos);
}
