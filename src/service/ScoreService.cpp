// ScoreService: checking, recording and answering fetches and submissions.
#include "service/ScoreService.h"

#include "scores/ScoreToken.h"
#include "service/ScoreParams.h"
#include "service/TableXml.h"

#include "service/Log.h"

#include <cstdio>

namespace mph::service {

namespace {

Response unavailable(const StoreError& e) {
    log::line("%s", e.what());
    return Response::retryLater(503, "the score store is unavailable", 10);
}

} // namespace

ScoreService::ScoreService(Store& store, const Config& config)
    : m_store(store), m_config(config), m_limiter(config.rateLimit, config.rateWindow),
      m_cache(
          [this](const std::string& mode) {
              return std::make_shared<const RenderedTable>(
                  mode, m_store.top(mode, m_config.tableSize, m_config.requireReplay));
          },
          config.cacheMaxAge) {}

void ScoreService::install(Router& router) {
    router.add("GET", "/globalhs.jsp", [this](const Request& r) { return fetch(r); });
    // A fetch is mostly a cached page; a submission waits for its commit.
    router.add(
        "GET", "/addglobalhs.jsp", [this](const Request& r) { return submit(r); }, Router::Dispatch::Worker);
    // For a load balancer or a watchdog: the store answers or not.
    router.add(
        "GET", "/healthz",
        [this](const Request&) {
            return m_store.reachable() ? Response::text(200, "ok")
                                       : Response::text(503, "the score store is unavailable");
        },
        Router::Dispatch::Worker);
}

Response ScoreService::fetch(const Request& request) {
    ScoreParams params;
    const std::string error = ScoreParams::readFetch(request.query, params);
    if (!error.empty()) return Response::text(400, error);
    return table(params.mode, 0);
}

Response ScoreService::submit(const Request& request) {
    if (!m_limiter.allow(request.client.key))
        return Response::retryLater(429, "too many submissions; try again later",
                                    m_limiter.retryAfterSeconds(request.client.key));
    ScoreParams params;
    const std::string error = ScoreParams::readSubmit(request.query, params);
    if (!error.empty()) return Response::text(400, error);
    const int32_t level = scoretoken::check(params.token, params.name, params.score);
    if (level < 0) return Response::text(403, "the score token does not check");
    scoretoken::Parts parts;
    scoretoken::parse(params.token, parts);

    Submission submission;
    submission.mode = params.mode;
    submission.name = params.name;
    submission.nonce = parts.nonce;
    submission.level = level;
    submission.score = params.score;
    submission.address = m_config.keepAddresses ? request.client.text : std::string();
    Recorded recorded;
    try {
        recorded = m_store.record(submission);
    } catch (const StoreError& e) {
        return unavailable(e);
    }
    // Read your own writes: whether new or a repeat (which another instance may have recorded), the next
    // fetch here reads the table again.
    m_cache.invalidate(params.mode);
    // A listing of verified entries does not hold this one yet: nothing to highlight.
    return table(params.mode, m_config.requireReplay ? 0 : recorded.rank);
}

Response ScoreService::table(const std::string& mode, int32_t highlight) {
    Response r;
    try {
        r.body = TableXml::document(m_cache.entries(mode)->xml(), highlight);
    } catch (const StoreError& e) {
        return unavailable(e);
    }
    r.contentType = "text/xml; charset=ISO-8859-1";
    r.headers.emplace_back("Cache-Control", "no-store");
    return r;
}

} // namespace mph::service
