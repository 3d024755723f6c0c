// ReplayService: reading, replaying and verifying recorded games.
#include "service/ReplayService.h"

#include "game/GameClasses.h"
#include "headless/HeadlessGame.h"
#include "io/Resources.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "runtime/Exception.h"

#include <cstdio>

namespace mph::service {

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
      m_limiter(config.rateLimit, config.rateWindow) {}

void ReplayService::install(Router& router) {
    router.add(
        "POST", "/addreplay.jsp", [this](const Request& r) { return add(r); }, Router::Dispatch::Worker);
}

Response ReplayService::add(const Request& request) {
    if (!m_gameLoaded) return Response::text(503, "recorded games cannot be checked by this service");
    if (!m_limiter.allow(request.addressKey)) {
        Response r = Response::text(429, "too many recordings; try again later");
        r.headers.emplace_back("Retry-After",
                               std::to_string(m_limiter.retryAfterSeconds(request.addressKey)));
        return r;
    }
    ReplayFile file;
    std::string error;
    if (!ReplayFile::decode(request.body, file, error)) return Response::text(400, error);
    if (file.name.empty()) return Response::text(422, "the recording has no player's name");

    ReplayOutcome outcome;
    {
        {
            std::unique_lock<std::mutex> lock(m_turnLock);
            if (!m_turnFree.wait_for(lock, m_config.queueWait, [this] { return !m_replaying; })) {
                Response r = Response::text(503, "busy replaying other games; try again later");
                r.headers.emplace_back("Retry-After", "10");
                return r;
            }
            m_replaying = true;
        }
        struct TurnEnd {
            ReplayService& service;
            ~TurnEnd() {
                {
                    std::lock_guard<std::mutex> lock(service.m_turnLock);
                    service.m_replaying = false;
                }
                service.m_turnFree.notify_one();
            }
        } turnEnd{*this};
        ReplayPlayer::Options options;
        options.container = m_config.container;
        options.compose = false;
        if (!ReplayPlayer::play(file, options, outcome, error)) return Response::text(409, error);
    }
    if (outcome.tooLong) return Response::text(422, "the recording is longer than a game can last");
    if (!outcome.matches(file))
        return Response::text(422, "the recording does not replay to its score: it ends with " +
                                       std::to_string(outcome.score) + " at level " +
                                       std::to_string(outcome.level));
    const std::string mode = file.tableMode();
    int32_t entries = 0;
    try {
        entries = m_store.markVerified(mode, file.name, file.finalLevel, file.finalScore);
    } catch (const StoreError& e) {
        std::fprintf(stderr, "morphella-scored: %s\n", e.what());
        return Response::text(503, "the score store is unavailable");
    }
    if (entries == 0) return Response::text(404, "no submitted entry has this game's name, level and score");
    m_scores.tableChanged(mode);
    return Response::text(200, "verified " + std::to_string(entries));
}

} // namespace mph::service
