// ReplayService: admitting, reading, replaying and verifying recorded games.
#include "service/ReplayService.h"

#include "game/GameClasses.h"
#include "headless/HeadlessGame.h"
#include "io/Resources.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "runtime/Exception.h"
#include "service/Log.h"
#include "service/Plausibility.h"

#include <cinttypes>
#include <cstdio>
#include <thread>

namespace mph::service {

namespace {

// A full queue frees up within a replay or two.
constexpr long kQueueRetrySeconds = 10;

std::string hex(uint64_t v) {
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

} // namespace

bool ReplayService::loadGame(const std::string& container, std::string& error) {
    registerGameClasses();
    if (!resourceChain()) {
        try {
            addResourceFile(lang::String(container.empty() ? kContainerName : container.c_str()));
        } catch (lang::Exception* e) {
            error = e->getMessage().str();
            e->release();
            return false;
        }
    }
    // A game that cannot start here could not replay anything either.
    HeadlessGame game;
    HeadlessGame::Options options;
    options.container = container;
    if (!game.start(options, error)) return false;
    game.setComposing(false);
    game.tick(10);
    return true;
}

ReplayService::ReplayService(Store& store, ScoreService& scores, const Config& config, bool gameLoaded)
    : m_store(store), m_scores(scores), m_config(config), m_gameLoaded(gameLoaded),
      m_limiter(config.rateLimit, config.rateWindow),
      m_budget(static_cast<uint64_t>(config.budgetSeconds) * 1000, config.budgetWindow) {
    const unsigned cores = std::thread::hardware_concurrency();
    const unsigned workers = config.workers > 0 ? config.workers : (cores > 0 ? cores : 1);
    m_pool = std::make_unique<WorkerPool>(workers, config.queue);
}

ReplayService::~ReplayService() {
    stop(true);
}

void ReplayService::install(Router& router) {
    router.addAsync(
        "POST", "/addreplay.jsp",
        [this](Request r, Router::Reply reply) { add(std::move(r), std::move(reply)); },
        [this](bool graceOver) { stop(graceOver); });
}

void ReplayService::stop(bool graceOver) {
    if (!graceOver) {
        m_pool->cancelWaiting();
        return;
    }
    m_abort.store(true);
    m_pool->stop(false);
}

void ReplayService::leave(const ClientKey& key) {
    std::lock_guard<std::mutex> guard(m_clientsMutex);
    const auto found = m_perClient.find(key);
    if (found != m_perClient.end() && --found->second == 0) m_perClient.erase(found);
}

void ReplayService::add(Request request, Router::Reply reply) {
    if (!m_gameLoaded) return reply(Response::text(503, "recorded games cannot be checked by this service"));
    const ClientKey key = request.client.key;
    if (!m_limiter.allow(key))
        return reply(Response::retryLater(429, "too many recordings; try again later",
                                          m_limiter.retryAfterSeconds(key)));
    if (!m_budget.hasRoom(key))
        return reply(Response::retryLater(429, "your recordings took too long to check; try again later",
                                          m_budget.retryAfterSeconds(key)));
    {
        std::lock_guard<std::mutex> guard(m_clientsMutex);
        unsigned& mine = m_perClient[key];
        if (mine >= m_config.perClient) {
            if (mine == 0) m_perClient.erase(key);
            return reply(Response::retryLater(429, "your earlier recordings are still being checked",
                                              kQueueRetrySeconds));
        }
        ++mine;
    }
    // The reply is shared by the job and its cancellation; exactly one of them runs.
    auto shared = std::make_shared<Router::Reply>(std::move(reply));
    std::function<void()> job = [this, shared, request = std::move(request)] {
        Response response = check(request);
        leave(request.client.key);
        (*shared)(std::move(response));
    };
    std::function<void()> cancel = [this, shared, key] {
        leave(key);
        (*shared)(Response::retryLater(503, "the service is stopping; try again later", kQueueRetrySeconds));
    };
    const WorkerPool::Posted posted = m_pool->post(job, cancel);
    if (posted == WorkerPool::Posted::Taken) return;
    leave(key);
    (*shared)(Response::retryLater(503,
                                   posted == WorkerPool::Posted::Full
                                       ? "busy replaying other games; try again later"
                                       : "the service is stopping; try again later",
                                   kQueueRetrySeconds));
}

Response ReplayService::check(const Request& request) {
    ReplayFile file;
    std::string error;
    if (!ReplayFile::decode(request.body, file, error)) return Response::text(400, error);
    if (file.name.empty()) return Response::text(422, "the recording has no player's name");
    if (file.nonce == 0) return Response::text(422, "the recording names no submission (it has no nonce)");

    ReplayOutcome outcome;
    ReplayPlayer::Options options;
    options.container = m_config.container;
    options.compose = false;
    options.abort = &m_abort;
    options.maxTicks = m_config.maxTicks;
    // The replay also times the hand's moves for the plausibility check.
    HandTimes hand;
    HandWatch handWatch(hand);
    if (m_config.plausibility) options.observer = &handWatch;
    const auto started = std::chrono::steady_clock::now();
    const bool played = ReplayPlayer::play(file, options, outcome, error);
    const auto took = std::chrono::steady_clock::now() - started;
    m_budget.charge(
        request.client.key,
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    if (!played) return Response::text(409, error);
    if (outcome.aborted)
        return Response::retryLater(503, "the service is stopping; try again later", kQueueRetrySeconds);
    if (outcome.tooLong) return Response::text(422, "the recording is longer than a game can last");
    if (!outcome.matches(file))
        return Response::text(422, "the recording does not replay to its score: it ends with " +
                                       std::to_string(outcome.score) + " at level " +
                                       std::to_string(outcome.level));
    Verification v;
    v.mode = file.tableMode();
    v.name = file.name;
    v.nonce = file.nonce;
    v.level = file.finalLevel;
    v.score = file.finalScore;
    v.gameHash = hex(file.gameHash());
    v.ticks = outcome.ticks;
    v.recording = request.body;
    if (m_config.plausibility) {
        const Plausibility::Verdict verdict = Plausibility::judge(file, hand);
        v.human = verdict.human;
        v.reasons = verdict.summary();
    }
    VerifyResult result;
    try {
        result = m_store.verify(v);
    } catch (const StoreError& e) {
        log::line("%s", e.what());
        return Response::text(503, "the score store is unavailable");
    }
    switch (result) {
    case VerifyResult::NoEntry:
        return Response::text(404, "no submitted entry has this game's nonce, name, level and score");
    case VerifyResult::GameTaken:
        return Response::text(409, "this game already verified another entry");
    case VerifyResult::Review:
        log::line("a game of %s waits for review: %s", log::escaped(file.name).c_str(), v.reasons.c_str());
        return Response::text(202, "kept for review: " + v.reasons);
    case VerifyResult::Verified:
        break;
    }
    m_scores.tableChanged(v.mode);
    return Response::text(200, "verified 1");
}

} // namespace mph::service
