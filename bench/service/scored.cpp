// The score service under load on loopback: table fetches, web pages and score submissions per second
// and their 99th-percentile latency, from 64 keep-alive connections against the SQLite store, alone and
// mixed; and recordings of a ten-minute game verified per second, one after another as before and on the
// replay pool.
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "scores/ScoreToken.h"
#include "service/HttpServer.h"
#include "service/ReplayService.h"
#include "service/ScoreService.h"
#include "service/SqliteStore.h"
#include "service/WebService.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

using namespace mph;
using namespace mph::service;
using mph::ShapeCanvas;
using Clock = std::chrono::steady_clock;

namespace {

struct Options {
    int connections = 64;
    int loadThreads = 1;
    unsigned serverThreads = 4;
    double seconds = 3.0;
    std::string container;
};

// What one load thread saw: latencies in microseconds of the requests that finished within the
// measured period, and the failures (a status other than 200, a closed connection).
struct Tally {
    std::vector<uint32_t> latencies;
    long failures = 0;
};

// One keep-alive connection: sends a request, reads the whole reply, sends the next.
struct Connection {
    int fd = -1;
    std::string in;
    Clock::time_point sent;
};

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

// The length of the first complete reply in buffer and whether its status is 200 (or 304, for a
// conditional request); 0 while incomplete.
size_t completeReply(const std::string& buffer, bool& ok) {
    const size_t headEnd = buffer.find("\r\n\r\n");
    if (headEnd == std::string::npos) return 0;
    const size_t lengthAt = buffer.find("Content-Length: ");
    if (lengthAt == std::string::npos || lengthAt > headEnd) return 0;
    const size_t length = std::strtoul(buffer.c_str() + lengthAt + 16, nullptr, 10);
    if (buffer.size() < headEnd + 4 + length) return 0;
    ok = buffer.compare(0, 12, "HTTP/1.1 200") == 0 || buffer.compare(0, 12, "HTTP/1.1 304") == 0;
    return headEnd + 4 + length;
}

// Drives connections until stopAt; replies that finish after measureFrom count.
void drive(int port, int count, const std::function<std::string()>& nextRequest,
           Clock::time_point measureFrom, Clock::time_point stopAt, Tally& tally) {
    const int epoll = ::epoll_create1(0);
    std::vector<Connection> connections(static_cast<size_t>(count));
    auto send = [&](Connection& c) {
        const std::string request = nextRequest();
        c.sent = Clock::now();
        return ::send(c.fd, request.data(), request.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(request.size());
    };
    for (size_t i = 0; i < connections.size(); ++i) {
        Connection& c = connections[i];
        c.fd = connectTo(port);
        if (c.fd < 0) {
            ++tally.failures;
            continue;
        }
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u64 = i;
        ::epoll_ctl(epoll, EPOLL_CTL_ADD, c.fd, &ev);
        send(c);
    }
    epoll_event events[64];
    char buffer[65536];
    while (Clock::now() < stopAt) {
        const int n = ::epoll_wait(epoll, events, 64, 50);
        for (int e = 0; e < n; ++e) {
            Connection& c = connections[events[e].data.u64];
            const ssize_t got = ::recv(c.fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                ++tally.failures;
                ::epoll_ctl(epoll, EPOLL_CTL_DEL, c.fd, nullptr);
                continue;
            }
            c.in.append(buffer, static_cast<size_t>(got));
            bool ok = false;
            const size_t length = completeReply(c.in, ok);
            if (length == 0) continue;
            const Clock::time_point now = Clock::now();
            c.in.erase(0, length);
            if (now >= measureFrom && now < stopAt) {
                if (ok)
                    tally.latencies.push_back(static_cast<uint32_t>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now - c.sent).count()));
                else
                    ++tally.failures;
            }
            if (!send(c)) ++tally.failures;
        }
    }
    for (Connection& c : connections)
        if (c.fd >= 0) ::close(c.fd);
    ::close(epoll);
}

// Runs one kind of request on every connection and prints its rate and latencies.
void measure(const char* name, const Options& options, int port,
             const std::function<std::function<std::string()>(int thread)>& makeRequests) {
    const Clock::time_point start = Clock::now();
    const Clock::time_point measureFrom = start + std::chrono::milliseconds(500);
    const Clock::time_point stopAt = measureFrom + std::chrono::duration_cast<Clock::duration>(
                                                       std::chrono::duration<double>(options.seconds));
    std::vector<Tally> tallies(static_cast<size_t>(options.loadThreads));
    std::vector<std::thread> threads;
    for (int t = 0; t < options.loadThreads; ++t) {
        const int share =
            options.connections / options.loadThreads + (t < options.connections % options.loadThreads);
        threads.emplace_back([&, t, share] {
            drive(port, share, makeRequests(t), measureFrom, stopAt, tallies[static_cast<size_t>(t)]);
        });
    }
    for (auto& t : threads)
        t.join();
    std::vector<uint32_t> all;
    long failures = 0;
    for (const Tally& t : tallies) {
        all.insert(all.end(), t.latencies.begin(), t.latencies.end());
        failures += t.failures;
    }
    std::sort(all.begin(), all.end());
    auto percentile = [&](double p) {
        return all.empty() ? 0.0
                           : all[std::min(all.size() - 1, static_cast<size_t>(p * all.size()))] / 1000.0;
    };
    std::printf("scored %s_rate %.0f /s\n", name, all.size() / options.seconds);
    std::printf("scored %s_p50 %.2f ms\n", name, percentile(0.50));
    std::printf("scored %s_p99 %.2f ms\n", name, percentile(0.99));
    std::printf("scored %s_max %.2f ms\n", name, all.empty() ? 0.0 : all.back() / 1000.0);
    std::printf("scored %s_failures %ld count\n", name, failures);
    std::fflush(stdout);
}

// A submission URL for a game never sent before: names, nonces and scores run through a counter.
std::string submitRequest(uint32_t counter) {
    char name[8];
    std::snprintf(name, sizeof name, "b%06u", counter % 1000000u);
    const int32_t score = static_cast<int32_t>(counter % 50000u) * 7;
    const std::string token = scoretoken::make(static_cast<int32_t>(counter / 1000000u) + 1, name, 5, score);
    return std::string("GET /addglobalhs.jsp?game=mphl&mode=S&name=") + name + "&score=" + token +
           "&s=" + std::to_string(score) + " HTTP/1.1\r\nHost: bench\r\n\r\n";
}

// A bot game of ten minutes of game time (or to its end), ended from the menu.
ReplayFile tenMinuteGame(const std::string& container) {
    ReplayRecorder recorder(nullptr);
    HeadlessGame game;
    game.setObserver(&recorder);
    HeadlessGame::Options options;
    options.container = container;
    options.seed = 11;
    std::string error;
    if (!game.start(options, error) || !game.click("startdialog/bstart1", error)) return {};
    AutoPlayer bot(game);
    const uint32_t end = game.clock() + 10 * 60 * 1000;
    while (game.clock() < end && bot.step()) {
    }
    if (game.view().state != ShapeCanvas::kStart) {
        game.click("menuButton", error);
        game.click("menudlg/bendgame", error);
    }
    ReplayFile file = recorder.lastGame();
    file.name = "Bench";
    file.nonce = 1;
    return file;
}

// Recordings of a ten-minute game checked per second: one after another on one thread, each building
// its game anew, as the service did; then on the service's pool, every worker busy.
void measureVerify(const std::string& container, const std::string& dir) {
    std::string error;
    if (!ReplayService::loadGame(container, error)) {
        std::fprintf(stderr, "bench_scored: the game cannot run: %s\n", error.c_str());
        return;
    }
    const ReplayFile game = tenMinuteGame(container);
    const std::string bytes = game.encode();
    std::printf(
        "scored verify_game_ticks %lld ticks\n",
        static_cast<long long>(game.events.empty() ? 0 : game.events.back().input.tick - game.start.tick));
    std::printf("scored verify_game_bytes %zu bytes\n", bytes.size());
    const auto start = Clock::now();
    HeadlessGame empty;
    HeadlessGame::Options options;
    options.container = container;
    empty.start(options, error);
    std::printf("scored verify_game_start %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    constexpr int kRounds = 6;
    {
        ReplayPlayer::Options play;
        play.container = container;
        play.compose = false;
        const auto t0 = Clock::now();
        for (int i = 0; i < kRounds; ++i) {
            ReplayOutcome outcome;
            ReplayPlayer::play(game, play, outcome, error);
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("scored verify_per_s_one_at_a_time %.2f /s\n", kRounds / seconds);
    }
    {
        SqliteStore store(dir + "/verify.db");
        ScoreService::Config scoreConfig;
        ScoreService scores(store, scoreConfig);
        ReplayService::Config config;
        config.container = container;
        config.plausibility = false;
        ReplayService replays(store, scores, config, true);
        const unsigned workers = replays.workers();
        Request request;
        request.body = bytes;
        const auto t0 = Clock::now();
        std::vector<std::thread> threads;
        std::atomic<int> next{0};
        for (unsigned w = 0; w < workers; ++w)
            threads.emplace_back([&] {
                while (next.fetch_add(1) < kRounds * 2)
                    replays.check(request);
            });
        for (std::thread& t : threads)
            t.join();
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("scored verify_per_s %.2f /s\n", kRounds * 2 / seconds);
        std::printf("scored verify_workers %u threads\n", workers);
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        if (arg == "--seconds")
            options.seconds = std::atof(argv[i + 1]);
        else if (arg == "--connections")
            options.connections = std::atoi(argv[i + 1]);
        else if (arg == "--server-threads")
            options.serverThreads = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (arg == "--load-threads")
            options.loadThreads = std::atoi(argv[i + 1]);
        else if (arg == "--container")
            options.container = argv[i + 1];
    }
    std::string dir = (std::filesystem::temp_directory_path() / "bench-scored-XXXXXX").string();
    if (::mkdtemp(dir.data()) == nullptr) {
        std::perror("bench_scored: mkdtemp");
        return 1;
    }
    {
        SqliteStore store(dir + "/scores.db");
        // A full table, so every fetch carries 100 entries.
        for (int i = 0; i < 150; ++i)
            store.record(Submission{"S", "seed" + std::to_string(i), 1, 3, 1000 + i * 13, "127.0.0.1"});
        ScoreService::Config serviceConfig;
        serviceConfig.rateLimit = 0;
        serviceConfig.requireReplay = false;
        ScoreService service(store, serviceConfig);
        Router router;
        service.install(router);
        WebService web(service);
        web.install(router);
        HttpServer::Config serverConfig;
        serverConfig.bind = "127.0.0.1";
        serverConfig.port = 0;
        serverConfig.threads = options.serverThreads;
        serverConfig.perAddressConnections = 0;
        // The log lines are written, as in service, but to nowhere.
        serverConfig.logFd = ::open("/dev/null", O_WRONLY);
        HttpServer server(router, serverConfig);
        server.start();

        measure("fetch", options, server.port(), [](int) {
            return [] {
                return std::string("GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\nHost: bench\r\n\r\n");
            };
        });
        measure("page", options, server.port(), [](int) {
            return [] { return std::string("GET /table.html?mode=S HTTP/1.1\r\nHost: bench\r\n\r\n"); };
        });
        // What a site with visitors sees: the game's fetches, the pages, the JSON, a browser asking again
        // with its tag, and now and then a submission that makes every rendering stale.
        std::atomic<uint32_t> counter{0};
        std::atomic<uint32_t> turn{0};
        const std::string styleTag = WebAssets().style().etag;
        measure("mix", options, server.port(), [&](int) {
            return [&] {
                switch (turn++ % 8) {
                case 0:
                case 4:
                    return std::string("GET /globalhs.jsp?game=mphl&mode=S HTTP/1.1\r\nHost: bench\r\n\r\n");
                case 1:
                    return std::string("GET /table.html?mode=S HTTP/1.1\r\nHost: bench\r\n\r\n");
                case 2:
                    return std::string("GET / HTTP/1.1\r\nHost: bench\r\n\r\n");
                case 3:
                    return std::string("GET /table.json?mode=S HTTP/1.1\r\nHost: bench\r\n\r\n");
                case 5:
                    return std::string(
                        "GET /style.css HTTP/1.1\r\nHost: bench\r\nIf-None-Match: " + styleTag + "\r\n\r\n");
                case 6:
                    return submitRequest(counter++);
                default:
                    return std::string("GET /table.json?mode=N HTTP/1.1\r\nHost: bench\r\n\r\n");
                }
            };
        });
        measure("submit", options, server.port(),
                [&counter](int) { return [&counter] { return submitRequest(counter++); }; });
        server.stop(std::chrono::milliseconds(1000));
        ::close(serverConfig.logFd);
    }
    measureVerify(options.container, dir);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
