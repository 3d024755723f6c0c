// ReplayService: POST /addreplay.jsp: a recorded game, played again headless with the game's own rules;
// when it ends exactly as recorded, the entries with its table, name, level and score become verified.
#pragma once

#include "service/RateLimiter.h"
#include "service/Router.h"
#include "service/ScoreService.h"
#include "service/Store.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>

namespace mph::service {

// One replay runs at a time (the game's data and pictures are shared by the whole process); a request
// that cannot start its replay within queueWait is answered 503. A replay is bounded by the ticks a real
// game can last, and the body by the HTTP server's limit.
class ReplayService {
public:
    struct Config {
        // The game's container; empty for where the game looks for it.
        std::string container;
        // Recordings one address may send per window; 0 for no limit.
        size_t rateLimit = 10;
        std::chrono::seconds rateWindow{60};
        std::chrono::milliseconds queueWait{10000};
    };

    // Loads the game's data and plays a few ticks of it headless (no display is needed); false with a
    // message when replays cannot be checked here. Call once, before the first request.
    static bool loadGame(const std::string& container, std::string& error);

    ReplayService(Store& store, ScoreService& scores, const Config& config, bool gameLoaded);

    // Adds POST /addreplay.jsp, run on the worker threads.
    void install(Router& router);
    Response add(const Request& request);

private:
    Store& m_store;
    ScoreService& m_scores;
    Config m_config;
    bool m_gameLoaded;
    RateLimiter m_limiter;
    // One replay at a time; others wait their turn for a while. (A flag under a plain mutex rather than a
    // timed mutex, whose timed lock the thread checker cannot follow.)
    std::mutex m_turnLock;
    std::condition_variable m_turnFree;
    bool m_replaying = false;
};

} // namespace mph::service
