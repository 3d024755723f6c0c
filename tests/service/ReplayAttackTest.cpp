// Attacks through recordings, each performed: a flood of replays from several addresses must neither
// delay submissions nor queue without bound; hostile recordings must not swell the memory; SIGTERM with
// replays waiting answers them and stops within its grace, and a second signal at once.
#include "HttpGet.h"
#include "ReplayHelpers.h"
#include "ScoredProcess.h"
#include "TempDir.h"
#include "service/HttpServer.h"
#include "service/ReplayService.h"
#include "service/ScoreService.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>
#include <vector>

using namespace mph;
using namespace mph::service;
using namespace replaytest;
using namespace std::chrono_literals;

namespace {

// A POST of body from source (127.0.0.x), the whole answer as text.
std::string postFrom(const char* source, int port, const std::string& body) {
    const int fd = connectFrom(source, port);
    if (fd < 0) return {};
    sendText(fd, "POST /addreplay.jsp HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) +
                     "\r\nConnection: close\r\n\r\n" + body);
    const std::string reply = readUntilClosed(fd, 30000);
    ::close(fd);
    return reply;
}

int statusOf(const std::string& text) {
    return text.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(text.c_str() + 9) : 0;
}

// Recording bytes that pass the size and checksum checks and claim as many two-byte "resume" records as
// fit in bytes.
std::string hostileRecording(const ReplayFile& real, size_t bytes) {
    ReplayFile f = real;
    f.events.clear();
    std::string out = f.encode();
    out.resize(out.size() - 13); // the count (0), the end and the checksum
    const uint64_t count = (bytes - out.size() - 16) / 2;
    for (uint64_t v = count;; v >>= 7) {
        out.push_back(static_cast<char>((v & 0x7F) | (v >= 0x80 ? 0x80 : 0)));
        if (v < 0x80) break;
    }
    for (uint64_t i = 0; i < count; ++i)
        out += std::string("\x03\x00", 2);
    out += std::string(8, '\0'); // score and level
    const uint32_t crc = static_cast<uint32_t>(crc32(
        crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size())));
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(crc >> (8 * i)));
    return out;
}

} // namespace

// Forty recordings from four addresses at once, with one replay thread: each address gets its share of
// the queue, the rest are answered at once (503 with Retry-After, or 429 past an address's share), and an
// honest submission meanwhile is answered at once, since replays never hold the submission workers.
TEST(ReplayAttack, AFloodOfReplaysNeitherQueuesWithoutBoundNorDelaysSubmissions) {
    std::string error;
    ASSERT_TRUE(ReplayService::loadGame(container(), error)) << error;
    TempDir dir;
    SqliteStore store(dir.path() + "/scores.db");
    ScoreService::Config scoreConfig;
    scoreConfig.requireReplay = false;
    scoreConfig.rateLimit = 0;
    ScoreService scores(store, scoreConfig);
    ReplayService::Config replayConfig;
    replayConfig.container = container();
    replayConfig.workers = 1;
    replayConfig.queue = 3;
    replayConfig.rateLimit = 0;
    replayConfig.plausibility = false;
    ReplayService replays(store, scores, replayConfig, true);
    Router router;
    scores.install(router);
    replays.install(router);
    HttpServer::Config serverConfig;
    serverConfig.bind = "127.0.0.1";
    serverConfig.port = 0;
    serverConfig.logFd = -1;
    HttpServer server(router, serverConfig);
    server.start();

    ReplayFile game = recordGame("Ann", 1500);
    game.nonce = 1;
    const std::string body = game.encode();
    std::vector<std::future<std::string>> answers;
    for (int i = 0; i < 40; ++i) {
        static const char* sources[] = {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"};
        answers.push_back(std::async(std::launch::async, postFrom, sources[i % 4], server.port(), body));
    }
    std::this_thread::sleep_for(50ms);
    const auto start = std::chrono::steady_clock::now();
    const std::string token = scoretoken::make(7, "Bo", 1, 10);
    const HttpReply honest = httpGet("http://127.0.0.1:" + std::to_string(server.port()) +
                                     "/addglobalhs.jsp?game=mphl&mode=N&name=Bo&score=" + token + "&s=10");
    EXPECT_EQ(honest.status, 200);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s) << "a submission waits for no replay";
    int played = 0, busy = 0, share = 0;
    for (auto& answer : answers) {
        const std::string reply = answer.get();
        const int status = statusOf(reply);
        if (status == 503 || status == 429)
            EXPECT_NE(reply.find("Retry-After: "), std::string::npos) << reply;
        played += status == 404; // replayed to its score; no such entry was submitted
        busy += status == 503;
        share += status == 429;
    }
    // One running and three waiting at most, two per address.
    EXPECT_LE(played, 4 + 4) << "replays started later as the queue drained";
    EXPECT_GE(played, 1);
    EXPECT_EQ(played + busy + share, 40);
    EXPECT_GT(busy + share, 30);
}

// Twenty hostile recordings at once, each as large as the service takes and claiming hundreds of
// thousands of records: the service decodes only when a recording's turn comes and allocates only what it
// really reads, so it stays under the ceiling the README states (200 MB resident with two replay
// threads, both busy with real recordings meanwhile).
TEST(ReplayAttack, HostileRecordingsKeepTheMemoryUnderItsCeiling) {
    TempDir dir;
    ScoredProcess scored(dir, {"--container", container(), "--quiet", "--replay-workers", "2"});
    ASSERT_GT(scored.port(), 0);
    const long before = scored.peakKiB();
    ReplayFile game = recordGame("Eve", 1500);
    const std::string body = hostileRecording(game, 1u << 20);
    game.nonce = 1;
    const std::string valid = game.encode();
    std::vector<std::future<std::string>> answers, replays;
    // Valid recordings from other addresses keep both replay threads busy meanwhile.
    for (const char* source : {"127.0.0.6", "127.0.0.7", "127.0.0.8"})
        replays.push_back(std::async(std::launch::async, postFrom, source, scored.port(), valid));
    for (int i = 0; i < 20; ++i) {
        static const char* sources[] = {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"};
        answers.push_back(std::async(std::launch::async, postFrom, sources[i % 4], scored.port(), body));
    }
    int refused = 0;
    for (auto& answer : answers) {
        const int status = statusOf(answer.get());
        refused += status == 400 || status == 429 || status == 503;
    }
    EXPECT_EQ(refused, 20);
    for (auto& replay : replays)
        EXPECT_EQ(statusOf(replay.get()), 404) << "replayed, but nobody submitted the entry";
    const long peak = scored.peakKiB();
    std::printf("resident at most %ld KiB (%ld KiB after start)\n", peak, before);
    if (!kSanitized) EXPECT_LT(peak, 200 * 1024) << "peak " << peak << " KiB, at start " << before << " KiB";
    ::kill(scored.pid(), SIGTERM);
    EXPECT_EQ(scored.wait(5000ms), 0);
}

// SIGTERM with replays running and waiting: the waiting ones are answered 503 at once, the running one
// has the grace time, and the process is gone soon after it; a second signal ends it at once.
TEST(ReplayAttack, StoppingAnswersWaitingReplaysAndASecondSignalEndsAtOnce) {
    ReplayFile game = recordGame("Ann", 3000);
    game.nonce = 1;
    const std::string body = game.encode();
    for (const bool twice : {false, true}) {
        TempDir dir;
        ScoredProcess scored(dir, {"--container", container(), "--quiet", "--replay-workers", "1", "--grace",
                                   "1", "--no-plausibility"});
        ASSERT_GT(scored.port(), 0);
        std::vector<std::future<std::string>> answers;
        for (const char* source : {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"})
            answers.push_back(std::async(std::launch::async, postFrom, source, scored.port(), body));
        std::this_thread::sleep_for(150ms);
        const auto start = std::chrono::steady_clock::now();
        ::kill(scored.pid(), SIGTERM);
        if (twice) {
            std::this_thread::sleep_for(50ms);
            ::kill(scored.pid(), SIGTERM);
            // (A sanitizer's report at the exit takes its time and sets its own status.)
            const int status = scored.wait(kSanitized ? 20000ms : 1000ms);
            EXPECT_TRUE(status == 1 || (kSanitized && status > 0))
                << "a second signal stops at once: " << status;
            for (auto& answer : answers)
                answer.get();
            continue;
        }
        EXPECT_EQ(scored.wait(kSanitized ? 30000ms : 4000ms), 0);
        if (!kSanitized)
            EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms) << "within the grace of a second";
        int stopping = 0;
        for (auto& answer : answers) {
            const std::string reply = answer.get();
            stopping += statusOf(reply) == 503;
        }
        EXPECT_GE(stopping, 3) << "the waiting replays are answered";
    }
}
