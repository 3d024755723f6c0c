// Attacks on the HTTP server, each performed: heads and bodies trickled in to hold connections, bodies
// held open to fill the memory, a GET with a body, and clients hiding behind a reverse proxy's header.
#include "HttpGet.h"
#include "TempDir.h"
#include "scores/ScoreToken.h"
#include "service/HttpServer.h"
#include "service/ScoreService.h"
#include "service/SqliteStore.h"

#include <gtest/gtest.h>

#include <fcntl.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

using namespace mph;
using namespace mph::service;
using namespace std::chrono_literals;

namespace {

// The score service plus POST /upload, which answers with the size of the body it got.
class Target {
public:
    explicit Target(HttpServer::Config server, ScoreService::Config scores = {}) {
        m_store = std::make_unique<SqliteStore>(m_dir.path() + "/scores.db");
        scores.requireReplay = false;
        m_scores = std::make_unique<ScoreService>(*m_store, scores);
        m_scores->install(m_router);
        m_router.add("POST", "/upload",
                     [](const Request& r) { return Response::text(200, std::to_string(r.body.size())); });
        server.bind = "127.0.0.1";
        server.port = 0;
        server.logFd = -1;
        m_server = std::make_unique<HttpServer>(m_router, server);
        m_server->start();
    }
    int port() const { return m_server->port(); }
    HttpServer& server() { return *m_server; }
    HttpReply fetch() const {
        return httpGet("http://127.0.0.1:" + std::to_string(port()) + "/globalhs.jsp?game=mphl&mode=S");
    }

private:
    TempDir m_dir;
    std::unique_ptr<SqliteStore> m_store;
    std::unique_ptr<ScoreService> m_scores;
    Router m_router;
    std::unique_ptr<HttpServer> m_server;
};

bool closedNow(int fd) {
    bool closed = false;
    readUntilClosed(fd, 0, &closed);
    return closed;
}

// The status of the first answer in text, 0 when there is none.
int statusOf(const std::string& text) {
    return text.rfind("HTTP/1.1 ", 0) == 0 ? std::atoi(text.c_str() + 9) : 0;
}

std::string request(const char* source, int port, const std::string& text) {
    const int fd = connectFrom(source, port);
    if (fd < 0) return {};
    sendText(fd, text);
    const std::string reply = readUntilClosed(fd, 3000);
    ::close(fd);
    return reply;
}

} // namespace

// Slowloris: connections from several addresses each send a header byte now and then, which the idle
// time-out never catches. The head deadline closes them all, and an honest fetch is answered meanwhile.
TEST(HttpAttack, TrickledHeadsAreClosedAtTheirDeadline) {
    HttpServer::Config config;
    config.headSeconds = 1;
    config.perAddressConnections = 6;
    Target target(config);
    std::vector<int> slow;
    for (const char* source : {"127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5"}) {
        for (int i = 0; i < 6; ++i) {
            const int fd = connectFrom(source, target.port());
            ASSERT_GE(fd, 0);
            sendText(fd, "GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\n");
            slow.push_back(fd);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    size_t closed = 0;
    std::vector<bool> isClosed(slow.size(), false);
    while (closed < slow.size() && std::chrono::steady_clock::now() - start < 5s) {
        std::this_thread::sleep_for(200ms);
        for (size_t i = 0; i < slow.size(); ++i) {
            if (isClosed[i]) continue;
            if (closedNow(slow[i])) {
                isClosed[i] = true;
                ++closed;
            } else {
                sendText(slow[i], "X");
            }
        }
        EXPECT_EQ(target.fetch().status, 200);
    }
    EXPECT_EQ(closed, slow.size());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_GE(target.server().deadlineCloses(), slow.size());
    for (int fd : slow)
        ::close(fd);
}

// A body sent a hundred bytes a tenth of a second never reaches the idle time-out either; it is below the
// minimum rate once the grace is over, and closed.
TEST(HttpAttack, ABodyUploadedTooSlowlyIsClosed) {
    HttpServer::Config config;
    config.uploadGraceSeconds = 1;
    Target target(config);
    const int fd = connectFrom("127.0.0.2", target.port());
    ASSERT_GE(fd, 0);
    sendText(fd, "POST /upload HTTP/1.1\r\nHost: x\r\nContent-Length: 100000\r\n\r\n");
    const auto start = std::chrono::steady_clock::now();
    while (!closedNow(fd) && std::chrono::steady_clock::now() - start < 5s) {
        sendText(fd, std::string(100, 'b'));
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    ::close(fd);
}

// Unfinished uploads held open would hold their bodies; past the budget for all of them together, the
// next upload is refused at once with 503 and Retry-After, and one past the body limit with 413.
TEST(HttpAttack, HeldBodiesStayWithinTheBudget) {
    HttpServer::Config config;
    config.maxBodyBytes = 150000;
    config.bodyBudgetBytes = 250000;
    Target target(config);
    std::vector<int> held;
    for (const char* source : {"127.0.0.2", "127.0.0.3"}) {
        const int fd = connectFrom(source, target.port());
        ASSERT_GE(fd, 0);
        sendText(fd, "POST /upload HTTP/1.1\r\nHost: x\r\nContent-Length: 150000\r\n\r\n" +
                         std::string(100000, 'b'));
        held.push_back(fd);
    }
    for (int i = 0; i < 100 && target.server().bufferedBytes() < 200000; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(target.server().bufferedBytes(), 200000u);
    const std::string refused =
        request("127.0.0.4", target.port(),
                "POST /upload HTTP/1.1\r\nHost: x\r\nContent-Length: 60000\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(refused), 503) << refused;
    EXPECT_NE(refused.find("Retry-After: "), std::string::npos) << refused;
    const std::string tooLarge =
        request("127.0.0.4", target.port(),
                "POST /upload HTTP/1.1\r\nHost: x\r\nContent-Length: 150001\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(tooLarge), 413) << tooLarge;
    EXPECT_EQ(target.fetch().status, 200);
    for (int fd : held)
        ::close(fd);
    for (int i = 0; i < 100 && target.server().bufferedBytes() > 0; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(target.server().bufferedBytes(), 0u) << "a closed upload gives its bytes back";
    const std::string fine =
        request("127.0.0.4", target.port(),
                "POST /upload HTTP/1.1\r\nHost: x\r\nContent-Length: 60000\r\nConnection: "
                "close\r\n\r\n" +
                    std::string(60000, 'b'));
    EXPECT_EQ(statusOf(fine), 200) << fine;
    EXPECT_NE(fine.find("\r\n\r\n60000\n"), std::string::npos) << fine;
}

// A GET with a body used to end in "internal error" and a dropped connection: it is refused with 400 and
// the connection serves the next request.
TEST(HttpAttack, AGetWithABodyIsRefusedAndTheConnectionGoesOn) {
    Target target(HttpServer::Config{});
    const std::string replies =
        request("127.0.0.2", target.port(),
                "GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello"
                "GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(replies), 400) << replies;
    const size_t second = replies.find("HTTP/1.1 ", 1);
    ASSERT_NE(second, std::string::npos) << replies;
    EXPECT_EQ(statusOf(replies.substr(second)), 200) << replies;
    // The store answers: the health check says so.
    EXPECT_EQ(httpGet("http://127.0.0.1:" + std::to_string(target.port()) + "/healthz").status, 200);
}

// Behind a reverse proxy every player shares the proxy's address. Only requests from the trusted proxy
// have their client taken from X-Forwarded-For (its last entry, the one the proxy saw); anyone else's
// header is ignored, so it cannot dodge its own limit.
TEST(HttpAttack, OnlyTheTrustedProxyNamesTheClient) {
    HttpServer::Config config;
    config.trustProxy = "127.0.0.1";
    ScoreService::Config scores;
    scores.rateLimit = 1;
    Target target(config, scores);
    int nonce = 1;
    auto submit = [&](const char* source, const std::string& forwarded) {
        const std::string name = "P" + std::to_string(nonce);
        const std::string target_ = "/addglobalhs.jsp?game=mphl&mode=S&name=" + name +
                                    "&score=" + scoretoken::make(nonce++, name, 1, 10) + "&s=10";
        return statusOf(request(source, target.port(),
                                "GET " + target_ + " HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: " + forwarded +
                                    "\r\nConnection: close\r\n\r\n"));
    };
    EXPECT_EQ(submit("127.0.0.1", "203.0.113.9, 198.51.100.1"), 200);
    EXPECT_EQ(submit("127.0.0.1", "203.0.113.7, 198.51.100.1"), 429) << "the same client behind the proxy";
    EXPECT_EQ(submit("127.0.0.1", "198.51.100.2"), 200) << "another client behind the proxy";
    EXPECT_EQ(submit("127.0.0.2", "198.51.100.3"), 200);
    EXPECT_EQ(submit("127.0.0.2", "198.51.100.4"), 429) << "not the proxy: its header counts for nothing";
}
