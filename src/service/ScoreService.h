// ScoreService: the two requests of the game, fetching a mode's table and submitting a score.
#pragma once

#include "service/RateLimiter.h"
#include "service/Router.h"
#include "service/Store.h"
#include "service/TableCache.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace mph::service {

class ScoreService {
public:
    struct Config {
        // Submission attempts one address may make per window; 0 for no limit.
        size_t rateLimit = 10;
        std::chrono::seconds rateWindow{60};
        // How long a rendered table may be served; 0 until this instance records a score.
        std::chrono::milliseconds cacheMaxAge{0};
        int32_t tableSize = 100;
        // Only entries whose recorded game was replayed to their score are listed (--accept-unverified
        // lists the others too).
        bool requireReplay = true;
        // Whether submissions keep the client's address at all (--keep-addresses 0 keeps none).
        bool keepAddresses = true;
    };

    ScoreService(Store& store, const Config& config);

    // Adds the service's routes: GET /globalhs.jsp, GET /addglobalhs.jsp and GET /healthz.
    void install(Router& router);

    Response fetch(const Request& request);
    Response submit(const Request& request);
    // The mode's table as last read (from the cache, or the store when it changed); throws StoreError.
    std::shared_ptr<const RenderedTable> rendered(const std::string& mode) { return m_cache.entries(mode); }
    // Something else changed mode's entries (a verification): the next fetch reads them again.
    void tableChanged(const std::string& mode) { m_cache.invalidate(mode); }
    // Entries were removed or hidden (mode "" for any): no rendering that may hold them is served again.
    void entriesRemoved(const std::string& mode) { m_cache.drop(mode); }

private:
    // The mode's table as a reply document, with the highlight when above 0.
    Response table(const std::string& mode, int32_t highlight);

    Store& m_store;
    Config m_config;
    RateLimiter m_limiter;
    TableCache m_cache;
};

} // namespace mph::service
