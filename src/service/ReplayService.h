// ReplayService: POST /addreplay.jsp: a recorded game, played again headless with the game's own rules;
// when it ends exactly as recorded and within a person's limits, the one entry it was submitted with
// becomes verified.
#pragma once

#include "replay/ReplayFile.h"
#include "service/RateLimiter.h"
#include "service/Router.h"
#include "service/ScoreService.h"
#include "service/Store.h"
#include "service/WorkerPool.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace mph::service {

// Replays run on a pool of their own, never on the submission workers: a request waits in a bounded queue
// and is answered 503 with Retry-After at once when the queue is full. Its body is decoded only when its
// turn comes. Each client key may have a few recordings waiting or running, a number of recordings per
// window and a budget of replay time per window; a replay is bounded by the ticks a real game can last.
class ReplayService {
public:
    struct Config {
        // The game's container; empty for where the game looks for it.
        std::string container;
        // Recordings one client may send per window; 0 for no limit.
        size_t rateLimit = 10;
        std::chrono::seconds rateWindow{60};
        // Threads that replay (0: one per core) and recordings that may wait for one.
        unsigned workers = 0;
        size_t queue = 16;
        // Recordings of one client waiting or running at once.
        unsigned perClient = 2;
        // Seconds of replaying one client may cost per budget window; 0 for no budget.
        unsigned budgetSeconds = 60;
        std::chrono::seconds budgetWindow{600};
        // Judge each game against a person's limits (off for private tables and games played by script).
        bool plausibility = true;
        int64_t maxTicks = mph::ReplayFile::kMaxTicks;
    };

    // Loads the game's data and plays a few ticks of it headless (no display is needed); false with a
    // message when replays cannot be checked here. Call once, before the first request.
    static bool loadGame(const std::string& container, std::string& error);

    ReplayService(Store& store, ScoreService& scores, const Config& config, bool gameLoaded);
    ~ReplayService();

    // Adds POST /addreplay.jsp, answered from the replay pool.
    void install(Router& router);
    void add(Request request, Router::Reply reply);
    // The answer for one recording, on the calling thread (the pool's job; benchmarks call it directly).
    Response check(const Request& request);
    // Cancels what waits (503), or with graceOver also ends what runs (503), and joins the pool.
    void stop(bool graceOver);

    unsigned workers() const { return m_pool->threads(); }

private:
    void leave(const ClientKey& key);

    Store& m_store;
    ScoreService& m_scores;
    Config m_config;
    bool m_gameLoaded;
    RateLimiter m_limiter;
    // Milliseconds of replaying per client.
    RateLimiter m_budget;
    std::unique_ptr<WorkerPool> m_pool;
    std::atomic<bool> m_abort{false};
    std::mutex m_clientsMutex;
    // Recordings per client waiting or running; only clients with some are kept.
    std::unordered_map<ClientKey, unsigned, ClientKeyHash> m_perClient;
};

} // namespace mph::service
