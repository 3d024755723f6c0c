// The morphella-scored program: a kill -9 loses no acknowledged submission; SIGTERM lets the request in
// flight finish and exits with status 0.
#include "HttpGet.h"
#include "ScoredProcess.h"
#include "TempDir.h"
#include "scores/ScoreToken.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <regex>
#include <set>
#include <thread>

using namespace mph;
using namespace std::chrono_literals;

TEST(ScoredProcess, KillNineLosesNoAcknowledgedSubmission) {
    TempDir dir;
    ScoredProcess scored(dir, {"--accept-unverified"});
    ASSERT_GT(scored.port(), 0);
    std::mutex mutex;
    std::set<std::string> acknowledged;
    std::atomic<bool> stop{false};
    std::vector<std::thread> clients;
    for (int c = 0; c < 4; ++c) {
        clients.emplace_back([&, c] {
            for (int i = 0; !stop; ++i) {
                const std::string name = std::to_string(c * 100000 + i);
                const std::string url = "http://127.0.0.1:" + std::to_string(scored.port()) +
                                        "/addglobalhs.jsp?game=mphl&mode=N&name=" + name +
                                        "&score=" + scoretoken::make(i, name, 1, i) +
                                        "&s=" + std::to_string(i);
                const HttpReply r = httpGet(url);
                if (r.status == 200 && r.body.find("<highlight>") != std::string::npos) {
                    std::lock_guard<std::mutex> guard(mutex);
                    acknowledged.insert(name);
                }
                if (r.status == 0) return;
            }
        });
    }
    std::this_thread::sleep_for(400ms);
    ::kill(scored.pid(), SIGKILL);
    EXPECT_EQ(scored.wait(5000ms), -1);
    stop = true;
    for (auto& t : clients)
        t.join();

    ASSERT_GT(acknowledged.size(), 20u);
    service::SqliteStore reopened(scored.dbPath());
    std::set<std::string> stored;
    for (const auto& row : reopened.top("N", 1000000))
        stored.insert(row.name);
    for (const std::string& name : acknowledged)
        EXPECT_TRUE(stored.count(name)) << name << " was acknowledged";
}

TEST(ScoredProcess, SigtermFinishesTheRequestInFlightAndExitsZero) {
    TempDir dir;
    ScoredProcess scored(dir);
    ASSERT_GT(scored.port(), 0);
    // A request whose head is half sent when the signal comes.
    const int fd = connectFrom("127.0.0.1", scored.port());
    ASSERT_GE(fd, 0);
    sendText(fd, "GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\n");
    std::this_thread::sleep_for(100ms);
    ::kill(scored.pid(), SIGTERM);
    EXPECT_EQ(scored.wait(200ms), -2) << "it waits for the request in flight";
    sendText(fd, "Host: x\r\n\r\n");
    const std::string reply = readUntilClosed(fd, 3000);
    EXPECT_EQ(reply.rfind("HTTP/1.1 200 OK", 0), 0u) << reply;
    ::close(fd);
    EXPECT_EQ(scored.wait(5000ms), 0);

    std::ifstream in(scored.logPath());
    const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(log.find("listening on 127.0.0.1:" + std::to_string(scored.port())), std::string::npos) << log;
    // Each line carries its UTC time stamp; a request's line its query, status and duration; the start-up
    // lines name the game data replays are checked with.
    EXPECT_TRUE(std::regex_search(
        log, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z "
                        "127\\.0\\.0\\.1 GET /globalhs\\.jsp\\?game=mphl&mode=S 200 \\d+\\.\\dms\n")))
        << log;
    EXPECT_NE(log.find("recorded games replayed with the game's version "), std::string::npos) << log;
    EXPECT_NE(log.find("morphella.bin where the game finds it (hash "), std::string::npos) << log;
}

namespace {

// Runs morphella-scored admin with args; its exit status, and its output in out.
int admin(const std::vector<std::string>& args, std::string& out) {
    std::string command = std::string(std::getenv("MPH_BIN")) + "/morphella-scored admin";
    for (const std::string& a : args)
        command += " '" + a + "'";
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[4096];
    out.clear();
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// The operator's commands on the file a running service uses: the service shows a deletion and a hidden
// name within a second, never serving the removed entry from its cache.
TEST(ScoredProcess, TheOperatorsChangesShowWithinASecond) {
    TempDir dir;
    ScoredProcess scored(dir, {"--accept-unverified", "--quiet"});
    ASSERT_GT(scored.port(), 0);
    for (const auto& [name, score] : {std::pair<std::string, int>{"Ann", 500}, {"Cheat", 999}, {"Bo", 300}})
        ASSERT_EQ(httpGet(scored.base() + "/addglobalhs.jsp?game=mphl&mode=S&name=" + name + "&score=" +
                          scoretoken::make(score % 997 + 1, name, 2, score) + "&s=" + std::to_string(score))
                      .status,
                  200);
    const std::string table = scored.base() + "/globalhs.jsp?game=mphl&mode=S";
    ASSERT_NE(httpGet(table).body.find("<name>Cheat</name>"), std::string::npos);
    std::string out;
    ASSERT_EQ(admin({"list", "S", "--db", scored.dbPath()}, out), 0) << out;
    EXPECT_EQ(out.rfind("id\trank\tname\tscore\tlevel\tstate\taddress\tcreated\n", 0), 0u) << out;
    const size_t line = out.find("\t1\tCheat\t999\t2\t-\t127.0.0.1\t");
    ASSERT_NE(line, std::string::npos) << out;
    const std::string id = out.substr(out.rfind('\n', line) + 1, line - out.rfind('\n', line) - 1);

    auto gone = [&](const std::string& name) {
        for (int i = 0; i < 10; ++i) {
            if (httpGet(table).body.find("<name>" + name + "</name>") == std::string::npos) return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    };
    ASSERT_EQ(admin({"delete", id, "--db", scored.dbPath()}, out), 0) << out;
    EXPECT_EQ(out, "deleted 1\n");
    EXPECT_TRUE(gone("Cheat")) << "within a second";
    ASSERT_EQ(admin({"hide", "Bo", "--db", scored.dbPath()}, out), 0) << out;
    EXPECT_TRUE(gone("Bo"));
    EXPECT_NE(httpGet(table).body.find("<name>Ann</name>"), std::string::npos);
    EXPECT_EQ(admin({"delete", id, "--db", scored.dbPath()}, out), 1) << "no such entry any more";
    EXPECT_EQ(admin({"frobnicate", "--db", scored.dbPath()}, out), 2);
    EXPECT_EQ(httpGet(scored.base() + "/healthz").status, 200);
}
