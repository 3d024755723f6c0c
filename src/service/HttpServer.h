// HttpServer: the service's HTTP listener on libmicrohttpd's thread pool, handing requests to a Router.
#pragma once

#include "service/Router.h"
#include "service/WorkerPool.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

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
        // Connections one address may hold at once, so a few clients cannot take every socket.
        unsigned perAddressConnections = 32;
        // Seconds a connection may stay idle (mid-request or between requests) before it is closed.
        unsigned timeoutSeconds = 15;
        // The largest POST body taken (a recorded game); a larger one is answered 413 at once.
        size_t maxBodyBytes = 4u << 20;
        // Where the one line per request goes; -1 for nowhere.
        int logFd = 2;
    };

    HttpServer(const Router& router, const Config& config);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds and starts the threads; throws std::runtime_error when it cannot.
    void start();
    // Stops taking connections, gives the requests in flight up to grace to finish, lets the workers
    // finish what they hold, then closes every connection and joins the threads. Safe to call twice.
    void stop(std::chrono::milliseconds grace);

    uint16_t port() const { return m_port; }
    // The address and port listened on, as "127.0.0.1:8642" or "[::1]:8642".
    std::string endpoint() const;

    // Requests whose head arrived and whose answer is not yet sent.
    int inFlight() const { return m_inFlight.load(); }

private:
    struct Connection;
    struct Callbacks;

    void logRequest(const Connection& connection, unsigned status);

    const Router& m_router;
    Config m_config;
    MHD_Daemon* m_daemon = nullptr;
    std::unique_ptr<WorkerPool> m_workers;
    int m_quiescedFd = -1;
    uint16_t m_port = 0;
    std::atomic<int> m_inFlight{0};
};

} // namespace mph::service
