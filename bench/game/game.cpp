// The game measured while the bot plays from level 7 (wildcards, morphing shapes, power-ups): one tick
// with its composition on the headless game, CPU use of the windowed game (dummy video driver, its own
// threads, input through its event queue, 25 ticks a second), and the speed of a headless replay.
#include "game/GameClasses.h"
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/GameDump.h"
#include "headless/HeadlessGame.h"
#include "io/Resources.h"
#include "io/User.h"
#include "platform/Application.h"
#include "platform/Event.h"
#include "platform/Frame.h"
#include "platform/MessageLoop.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "runtime/CRandom.h"
#include "sprites/Sprite.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using mph::Event;
using mph::ShapeCanvas;

constexpr int32_t kStartLevel = 7;
constexpr int32_t kMeasuredTicks = 5000;
constexpr int32_t kWindowSeconds = 10;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Adds the calling thread's CPU time over its lifetime to total.
class DriverTime {
public:
    explicit DriverTime(double& total) : m_total(total), m_began(threadSeconds()) {}
    ~DriverTime() { m_total += threadSeconds() - m_began; }

private:
    static double threadSeconds() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return t.tv_sec + t.tv_nsec / 1e9;
    }
    double& m_total;
    double m_began;
};

std::string containerPath() {
    if (const char* given = std::getenv("MPH_TEST_CONTAINER")) return given;
    return (std::filesystem::canonical("/proc/self/exe").parent_path() / "morphella.bin").string();
}

// The headless bot game: every tick that is not part of a move is timed (tick and composition). The game
// is recorded, and ended by its typed code once enough ticks were measured.
bool measureTicks(std::vector<double>& ticksMs, mph::ReplayRecorder& recorder) {
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = containerPath();
    options.seed = 2024;
    std::string error;
    if (!game.start(options, error)) {
        std::fprintf(stderr, "bench_game: %s\n", error.c_str());
        return false;
    }
    for (int32_t i = 1; i < kStartLevel; ++i)
        game.click("startdialog/bup1", error);
    game.click("startdialog/bstart1", error);
    mph::AutoPlayer bot(game);
    for (int32_t steps = 0; recorder.finishedGames() == 0 && steps < 400000; ++steps) {
        const mph::GameView v = game.view();
        mph::AutoPlayer::Move move;
        if (v.state != ShapeCanvas::kPlaying) {
            if (!bot.step()) game.tick();
            continue;
        }
        // The code does nothing in a bonus round, so it is typed again now and then.
        if (static_cast<int32_t>(ticksMs.size()) >= kMeasuredTicks && steps % 200 == 0)
            for (const char c : std::string("B2VX"))
                game.key(c, c);
        if (bot.choose(v, move)) {
            for (const auto& m : move.mouse)
                game.mouse(m[0], m[1], m[2]);
            if (move.mouse.empty()) game.key(move.virtualKey, move.character);
            continue;
        }
        const Clock::time_point began = Clock::now();
        game.tick();
        ticksMs.push_back(seconds(Clock::now() - began) * 1000.0);
    }
    return recorder.finishedGames() == 1;
}

void pump() {
    for (int i = 0; i < 1000; ++i)
        if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone) return;
}

// The windowed game under the dummy video driver with its render and input threads, the main thread
// running the program's own message loop. The bot plays on a thread of its own: it reads the state at
// most once a tick and hands its moves to the main thread as the window system's events would arrive.
// Returns the process's CPU share over the window; mainShare is the main thread's part; the bot's thread
// (reading the state, choosing, and its own waits) is left out of both and given in driverShare.
double measureWindowedCpu(int32_t& ticksRun, int32_t& placements, double& mainShare, double& driverShare) {
    ticksRun = 0;
    if (!mph::Application::init()) return -1;
    auto* frame = new mph::Frame;
    auto* canvas = new ShapeCanvas(lang::tickCount());
    char folder[] = "/tmp/mph-bench-game-XXXXXX";
    if (mkdtemp(folder) == nullptr) return -1;
    double share = -1;
    lang::Ref<mph::User> settings = lang::make<mph::User>();
    settings->openAt(std::string(folder) + "/settings.db");
    if (frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)) &&
        canvas->create(frame, lang::Rectangle(0, 0, 800, 600))) {
        canvas->setDataBinding(lang::String(), settings.get(), lang::String("+datafile"), -1);
        if (canvas->loadData() && canvas->isBound()) {
            frame->setVisible(true);
            canvas->setVisible(true);
            pump();
            canvas->startThreads();
            const auto press = [&](int32_t id, int32_t x, int32_t y) {
                lang::Ref<Event> e = lang::make<Event>(id, canvas, x, y, 0, lang::tickCount());
                e->clickCount = id == Event::kMouseDown ? 1 : 0;
                if (id == Event::kMouseDown)
                    canvas->mouseDown(e.get(), x, y);
                else if (id == Event::kMouseUp)
                    canvas->mouseUp(e.get(), x, y);
                else
                    canvas->mouseMove(e.get(), x, y);
            };
            const auto click = [&](const char* path) {
                std::string error;
                const mph::GameDump::Found found = mph::GameDump::find(*canvas, path, error);
                if (found.sprite == nullptr) return;
                const int32_t x = found.x + found.sprite->getBounds().width / 2;
                const int32_t y = found.y + found.sprite->getBounds().height / 2;
                press(Event::kMouseDown, x, y);
                press(Event::kMouseUp, x, y);
            };
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            for (int32_t i = 1; i < kStartLevel; ++i)
                click("startdialog/bup1");
            click("startdialog/bstart1");
            pump();
            mph::AutoPlayer bot;
            double driverSeconds = 0;
            std::atomic<bool> done{false};
            const int32_t firstTick = canvas->getFrameCounter();
            const double cpuBefore = cpuSeconds(RUSAGE_SELF);
            const double mainBefore = cpuSeconds(RUSAGE_THREAD);
            const Clock::time_point began = Clock::now();
            std::thread driver([&] {
                DriverTime timed(driverSeconds);
                int32_t lastTick = -1;
                while (!done.load()) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(8));
                    const mph::GameView v = mph::GameDump::view(*canvas, 0);
                    if (v.tick == lastTick) continue;
                    lastTick = v.tick;
                    mph::AutoPlayer::Move move;
                    if (v.state == ShapeCanvas::kLevelComplete || v.state == ShapeCanvas::kBonusLost ||
                        v.state == ShapeCanvas::kBonusWon) {
                        mph::Application::post(nullptr, [&] { click("continueButton"); });
                    } else if (bot.choose(v, move)) {
                        mph::Application::post(nullptr, [&, move] {
                            for (const auto& m : move.mouse)
                                press(m[0], m[1], m[2]);
                            if (move.mouse.empty()) {
                                lang::Ref<Event> e = lang::make<Event>(Event::kKeyDown, canvas, move.virtualKey,
                                                                       0, 0, lang::tickCount());
                                e->key = move.character;
                                canvas->keyDown(e.get(), move.character);
                            }
                        });
                    }
                }
            });
            // The program's loop: messages as they come, waiting in between.
            while (Clock::now() - began < std::chrono::seconds(kWindowSeconds))
                if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone)
                    mph::MessageLoop::waitMessage(100);
            const double wall = seconds(Clock::now() - began);
            const double mainSeconds = cpuSeconds(RUSAGE_THREAD) - mainBefore;
            const double processSeconds = cpuSeconds(RUSAGE_SELF) - cpuBefore;
            done.store(true);
            driver.join();
            share = (processSeconds - driverSeconds) / wall * 100.0;
            mainShare = mainSeconds / wall * 100.0;
            driverShare = driverSeconds / wall * 100.0;
            pump();
            ticksRun = canvas->getFrameCounter() - firstTick;
            placements = bot.placements();
        }
    }
    canvas->shutdown();
    if (frame->hasWindow()) frame->destroy();
    canvas->release();
    frame->release();
    settings = nullptr;
    mph::Application::shutdown();
    std::filesystem::remove_all(folder);
    return share;
}

} // namespace

int main() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    mph::registerGameClasses();

    std::vector<double> ticksMs;
    mph::ReplayRecorder recorder(nullptr);
    if (!measureTicks(ticksMs, recorder) || ticksMs.empty()) {
        std::fprintf(stderr, "bench_game: the bot's game did not run\n");
        return 1;
    }
    std::vector<double> sorted = ticksMs;
    std::sort(sorted.begin(), sorted.end());
    double total = 0;
    for (const double t : ticksMs)
        total += t;
    std::printf("game tick_mean %.3f ms\n", total / static_cast<double>(ticksMs.size()));
    std::printf("game tick_p99 %.3f ms\n", sorted[sorted.size() * 99 / 100]);
    std::printf("game tick_worst %.3f ms\n", sorted.back());
    std::printf("game ticks_measured %zu ticks\n", ticksMs.size());
    std::printf("game levels_played %d levels\n", recorder.lastGame().finalLevel - kStartLevel + 1);
    std::fflush(stdout);
    // For profiling a replay outside the benchmark (morphella-tool replay FILE).
    if (const char* keep = std::getenv("MPH_BENCH_KEEP_RECORDING")) {
        std::ofstream out(keep, std::ios::binary);
        out << recorder.lastGame().encode();
    }

    // The recorded game replayed as the checker does it (no pictures), then with every picture composed.
    for (const bool compose : {false, true}) {
        mph::ReplayPlayer::Options options;
        options.container = containerPath();
        options.compose = compose;
        mph::ReplayOutcome outcome;
        std::string error;
        const Clock::time_point began = Clock::now();
        if (!mph::ReplayPlayer::play(recorder.lastGame(), options, outcome, error)) {
            std::fprintf(stderr, "bench_game: %s\n", error.c_str());
            return 1;
        }
        const double rate = outcome.ticks / seconds(Clock::now() - began);
        std::printf("game %s %.0f ticks/s\n", compose ? "replay_composed_ticks_per_s" : "replay_ticks_per_s",
                    rate);
        if (!outcome.matches(recorder.lastGame())) std::printf("game replay_mismatch 1 flag\n");
    }
    std::fflush(stdout);

    int32_t windowTicks = 0, windowPlacements = 0;
    double mainShare = 0, driverShare = 0;
    const double cpu = measureWindowedCpu(windowTicks, windowPlacements, mainShare, driverShare);
    std::printf("game cpu %.2f %%\n", cpu);
    std::printf("game cpu_main_thread %.2f %%\n", mainShare);
    std::printf("game cpu_driver_left_out %.2f %%\n", driverShare);
    std::printf("game window_ticks_per_s %.1f ticks/s\n", windowTicks / static_cast<double>(kWindowSeconds));
    std::printf("game window_placements %d shapes\n", windowPlacements);
    mph::clearResourceFiles();
    return 0;
}
