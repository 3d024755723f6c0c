// HttpServer: the service's HTTP listener on libmicrohttpd's thread pool, handing requests to a Router,
// with an absolute deadline on every request's head and body, connection limits per client key, and a
// budget for the request bodies it holds.
#pragma once

#include "service/ClientAddress.h"
#include "service/Router.h"
#include "service/WorkerPool.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>

struct MHD_Daemon;

namespace mph::service {

class HttpServer {
public:
    struct Config {
        // An IPv4 or IPv6 address; "::" listens on both families.
        std::string bind = "0.0.0.0";
        // 0 picks a free port; port() tells which.
        uint16_t port = 8642;
        unsigned threads = 4;
        // Threads for requests that wait on the store; submissions waiting together share a commit.
        unsigned workers = 32;
        unsigned maxConnections = 1000;
        // Connections one client key (an address, an IPv6 /64) may hold at once, so a few clients cannot
        // take every socket; 0 for no limit.
        unsigned perAddressConnections = 16;
        // Seconds a connection may stay idle while an answer is sent.
        unsigned timeoutSeconds = 15;
        // A request's head must have arrived this long after the connection opened (or the last answer
        // went), and its body this long after the head, however steadily the bytes trickle in.
        unsigned headSeconds = 10;
        unsigned bodySeconds = 30;
        // After the first uploadGraceSeconds of a body, it must have come at least this fast on average.
        size_t minUploadBytesPerSecond = 4096;
        unsigned uploadGraceSeconds = 5;
        // The largest POST body taken (a recorded game); a larger one is answered 413 at once. A
        // recording grows by about 4 KB a minute of play: three hours, the longest game, about 760 KB.
        size_t maxBodyBytes = 1u << 20;
        // Request bodies held at once, summed over every connection; past it a body is answered 503.
        size_t bodyBudgetBytes = 32u << 20;
        // When set, requests from this address (a reverse proxy) have their client taken from the last
        // entry of X-Forwarded-For, and the address has no connection limit of its own.
        std::string trustProxy;
        // Where the one line per request goes; -1 for nowhere.
        int logFd = 2;
    };

    HttpServer(const Router& router, const Config& config);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and starts the threads; throws std::runtime_error when it cannot.
    void start();
    // Stops taking connections, lets the async handlers cancel what waits, gives the requests in flight
    // up to grace to finish, ends what still runs, lets the workers finish what they hold, then closes
    // every connection and joins the threads. Safe to call twice.
    void stop(std::chrono::milliseconds grace);

    uint16_t port() const { return m_port; }
    // The address and port listened on, as "127.0.0.1:8642" or "[::1]:8642".
    std::string endpoint() const;

    // Requests whose head arrived and whose answer is not yet sent.
    int inFlight() const { return m_inFlight.load(); }
    // Connections closed for missing a deadline or uploading too slowly, and request bodies held now.
    uint64_t deadlineCloses() const { return m_deadlineCloses.load(); }
    size_t bufferedBytes() const { return m_buffered.load(); }

private:
    struct Connection;
    struct Callbacks;

    void logRequest(const Connection& connection, unsigned status);
    void watchDeadlines();

    const Router& m_router;
    Config m_config;
    MHD_Daemon* m_daemon = nullptr;
    std::unique_ptr<WorkerPool> m_workers;
    int m_quiescedFd = -1;
    uint16_t m_port = 0;
    bool m_haveProxy = false;
    ClientAddress m_proxy;
    std::atomic<int> m_inFlight{0};
    std::atomic<size_t> m_buffered{0};
    std::atomic<uint64_t> m_deadlineCloses{0};
    // Every open connection (for the deadline watch) and the count per client key.
    std::mutex m_connectionsMutex;
    std::unordered_set<Connection*> m_connections;
    std::unordered_map<ClientKey, unsigned, ClientKeyHash> m_perKey;
    std::thread m_watch;
    std::mutex m_watchMutex;
    std::condition_variable m_watchWake;
    bool m_watchStop = false;
};

} // namespace mph::service
