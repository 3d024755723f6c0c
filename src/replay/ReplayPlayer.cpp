// ReplayPlayer: the headless game driven by a ReplayDriver, with a tick budget and optional pictures.
#include "replay/ReplayPlayer.h"

#include "game/ShapeCanvas.h"
#include "headless/HeadlessGame.h"
#include "replay/ReplayDriver.h"

#include <cstdio>

namespace mph {

namespace {

// Passes every report on to the caller's observer and notes the game's end.
class EndWatch : public GameObserver {
public:
    explicit EndWatch(GameObserver* next) : m_next(next) {}
    void onState(int32_t to) override {
        pass([&](GameObserver& o) { o.onState(to); });
    }
    void onSound(int32_t index) override {
        pass([&](GameObserver& o) { o.onSound(index); });
    }
    void onLevel(int32_t level, int32_t mode) override {
        pass([&](GameObserver& o) { o.onLevel(level, mode); });
    }
    void onPopup(int32_t points) override {
        pass([&](GameObserver& o) { o.onPopup(points); });
    }
    void onGameStart(const GameStart& start) override {
        pass([&](GameObserver& o) { o.onGameStart(start); });
    }
    void onInput(const GameInput& input) override {
        pass([&](GameObserver& o) { o.onInput(input); });
    }
    void onResume(int32_t tick) override {
        pass([&](GameObserver& o) { o.onResume(tick); });
    }
    void onPickUp(int32_t arrived, int32_t tick) override {
        pass([&](GameObserver& o) { o.onPickUp(arrived, tick); });
    }
    void onPlace(int32_t tick) override {
        pass([&](GameObserver& o) { o.onPlace(tick); });
    }
    void onGameEnd(int32_t score, int32_t level) override {
        if (!ended) {
            ended = true;
            this->score = score;
            this->level = level;
            if (driver != nullptr) driver->stop();
        }
        pass([&](GameObserver& o) { o.onGameEnd(score, level); });
    }

    ReplayDriver* driver = nullptr;
    bool ended = false;
    int32_t score = 0;
    int32_t level = 0;

private:
    template <class F> void pass(F f) {
        if (m_next != nullptr) f(*m_next);
    }
    GameObserver* m_next;
};

class HeadlessTarget : public ReplayDriver::Target {
public:
    HeadlessTarget(HeadlessGame& game, const ReplayPlayer::Options& options)
        : m_game(game), m_options(options) {}
    ShapeCanvas& canvas() override { return m_game.canvas(); }
    void setClock(uint32_t ms) override { m_game.setClock(ms); }
    void runTick() override {
        if (ticks >= m_options.maxTicks) {
            tooLong = true;
            driver->stop();
            return;
        }
        if (m_options.abort != nullptr && m_options.abort->load(std::memory_order_relaxed)) {
            aborted = true;
            driver->stop();
            return;
        }
        m_game.tick();
        ++ticks;
        if (m_options.snapshotEvery > 0 && ticks % m_options.snapshotEvery == 0) snapshot();
    }

    ReplayDriver* driver = nullptr;
    int64_t ticks = 0;
    bool tooLong = false;
    bool aborted = false;

private:
    void snapshot() {
        char name[48];
        std::snprintf(name, sizeof(name), "/replay-%07lld.png", static_cast<long long>(ticks));
        std::string error;
        if (!m_game.snapshot(m_options.snapshotFolder + name, error))
            std::fprintf(stderr, "morphella: %s\n", error.c_str());
    }
    HeadlessGame& m_game;
    const ReplayPlayer::Options& m_options;
};

} // namespace

bool ReplayPlayer::play(const ReplayFile& file, const Options& options, ReplayOutcome& outcome,
                        std::string& error) {
    outcome = ReplayOutcome();
    HeadlessGame game;
    EndWatch watch(options.observer);
    game.setObserver(&watch);
    HeadlessGame::Options start;
    start.container = options.container;
    if (!game.start(start, error)) return false;
    // The data is known only once the container is open.
    if (!file.playableHere(error)) return false;
    game.setComposing(options.compose);

    HeadlessTarget target(game, options);
    ReplayDriver driver(file, target);
    target.driver = &driver;
    watch.driver = &driver;
    game.setFrameWait([&driver] { driver.frameWait(); });
    driver.begin();
    while (!driver.stopped()) {
        driver.deliverDue();
        if (!driver.stopped()) target.runTick();
    }
    outcome.ended = watch.ended;
    outcome.tooLong = target.tooLong;
    outcome.aborted = target.aborted;
    outcome.score = watch.ended ? watch.score : game.canvas().getScore();
    outcome.level = watch.ended ? watch.level : game.canvas().getLevel();
    outcome.ticks = target.ticks;
    outcome.misfits = driver.misfits();
    return true;
}

} // namespace mph
