// A game played on the windowed canvas (dummy video driver, its own render and input threads, input
// through its event queue) is recorded as it really went and replays headless to the same end; a
// recorded game shown in the window plays to its recorded end under the viewer's keys.
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
#include "replay/ReplayCanvas.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayStore.h"
#include "replay/ReplayWatch.h"
#include "runtime/CRandom.h"
#include "sprites/Sprite.h"
#include "sprites/TextSprite.h"

#include "TempDir.h"
#include "scores/ScoreServiceStub.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using mph::Event;
using mph::ShapeCanvas;

namespace {

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

// Counts what the canvas reports (from its threads) and passes it on to the recorder.
struct Watch : mph::GameObserver {
    explicit Watch(mph::ReplayRecorder& r) : recorder(r) {}
    void onGameStart(const mph::GameStart& s) override { recorder.onGameStart(s); }
    void onInput(const mph::GameInput& i) override {
        recorder.onInput(i);
        ++inputs;
    }
    void onResume(int32_t t) override {
        recorder.onResume(t);
        ++resumes;
    }
    void onGameEnd(int32_t score, int32_t level) override { recorder.onGameEnd(score, level); }
    void onNameEntered(std::string_view name) override { recorder.onNameEntered(name); }
    mph::ReplayRecorder& recorder;
    std::atomic<int> inputs{0}, resumes{0};
};

class WindowedGame : public ::testing::Test {
protected:
    void SetUp() override {
        mph::registerGameClasses();
        if (!mph::resourceChain()) mph::addResourceFile(lang::String(container().c_str()));
    }
    // Shows the canvas (a new reference, which the test keeps) in a window and starts its threads; the
    // watch observes it unless told otherwise.
    void open(ShapeCanvas* shown, bool watched = true) {
        canvas = shown;
        ASSERT_TRUE(mph::Application::init());
        frame = new mph::Frame;
        ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
        settings = lang::make<mph::User>();
        settings->openAt(dir.db());
        canvas->setDataBinding(lang::String(), settings.get(), lang::String("+datafile"), -1);
        ASSERT_TRUE(canvas->loadData());
        ASSERT_TRUE(canvas->isBound()) << canvas->bindError();
        if (watched) canvas->setObserver(&watch);
        m_watched = watched;
        frame->setVisible(true);
        canvas->setVisible(true);
        pump();
        canvas->startThreads();
    }
    void TearDown() override {
        if (canvas == nullptr) return;
        canvas->shutdown();
        if (frame != nullptr && frame->hasWindow()) frame->destroy();
        canvas->release();
        if (frame != nullptr) frame->release();
        mph::Application::shutdown();
    }
    static void pump() {
        for (int i = 0; i < 1000; ++i)
            if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone) return;
    }
    bool waitFor(const std::function<bool()>& done, int timeoutMs) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            pump();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Mouse events go to the canvas's queue, as the window layer hands them over; the call returns once
    // the input thread has handled them.
    void mouse(const std::vector<std::array<int32_t, 3>>& events) {
        const int before = watch.inputs.load();
        for (const auto& m : events) {
            lang::Ref<Event> e = lang::make<Event>(m[0], canvas, m[1], m[2], 0, lang::tickCount());
            e->clickCount = m[0] == Event::kMouseDown ? 1 : 0;
            if (m[0] == Event::kMouseDown)
                canvas->mouseDown(e.get(), m[1], m[2]);
            else if (m[0] == Event::kMouseUp)
                canvas->mouseUp(e.get(), m[1], m[2]);
            else
                canvas->mouseMove(e.get(), m[1], m[2]);
        }
        const int wanted = before + static_cast<int>(events.size());
        ASSERT_TRUE(waitFor([&] { return watch.inputs.load() >= wanted; }, 5000));
    }
    // Keys go to the same queue as the frame passes them on; the call returns once the input thread has
    // handled the press (the viewer takes its own keys at once).
    void key(int32_t virtualKey, int32_t character) {
        const int before = watch.inputs.load();
        lang::Ref<Event> e = lang::make<Event>(Event::kKeyDown, canvas, virtualKey, 0, 0, lang::tickCount());
        e->key = character;
        canvas->keyDown(e.get(), character);
        if (m_watched) {
            ASSERT_TRUE(waitFor([&] { return watch.inputs.load() > before; }, 5000));
        }
    }
    void click(const std::string& path) {
        std::string error;
        const mph::GameDump::Found found = mph::GameDump::find(*canvas, path, error);
        ASSERT_NE(found.sprite, nullptr) << error;
        const int32_t x = found.x + found.sprite->getBounds().width / 2;
        const int32_t y = found.y + found.sprite->getBounds().height / 2;
        mouse({{Event::kMouseMove, x - 7, y + 3},
               {Event::kMouseMove, x, y},
               {Event::kMouseDown, x, y},
               {Event::kMouseUp, x, y}});
    }
    mph::GameView view() { return mph::GameDump::view(*canvas, 0); }

    // Keys straight to the canvas, as the frame passes them on, without waiting for the game to see them.
    void press(int32_t virtualKey, int32_t character) {
        lang::Ref<Event> e = lang::make<Event>(Event::kKeyDown, canvas, virtualKey, 0, 0, lang::tickCount());
        e->key = character;
        canvas->keyDown(e.get(), character);
    }

    TempDir dir;
    // Outlives the canvas, which borrows it.
    mph::ReplayWatch replayWatch;
    mph::ReplayStore store{dir.path() + "/replays"};
    mph::ReplayRecorder recorder{&store};
    Watch watch{recorder};
    lang::Ref<mph::User> settings;
    mph::Frame* frame = nullptr;
    ShapeCanvas* canvas = nullptr;
    bool m_watched = false;
};

} // namespace

TEST_F(WindowedGame, APlayedGameIsRecordedWithItsNameAndReplaysHeadlessToTheSameEnd) {
    open(new ShapeCanvas(lang::tickCount()));
    ASSERT_TRUE(waitFor([&] { return view().dialogs.size() > 0; }, 5000));
    click("startdialog/bstart1");
    ASSERT_TRUE(waitFor([&] { return view().state == ShapeCanvas::kPlaying; }, 20000));
    // The bot plays, moving the mouse on its way, until two rows were cleared (each clear waits for frames).
    mph::AutoPlayer bot;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (watch.resumes.load() < 4 && std::chrono::steady_clock::now() < end) {
        const mph::GameView v = view();
        mph::AutoPlayer::Move move;
        if (!bot.choose(v, move)) {
            const int32_t tick = v.tick;
            waitFor([&] { return view().tick != tick; }, 1000);
            continue;
        }
        if (move.mouse.empty()) {
            key(move.virtualKey, move.character);
            continue;
        }
        const auto& drop = move.mouse[2];
        mouse({move.mouse[0],
               move.mouse[1],
               {Event::kMouseMove, (move.mouse[1][1] + drop[1]) / 2, drop[2] + 30},
               {Event::kMouseMove, drop[1], drop[2]},
               drop,
               move.mouse[3]});
    }
    ASSERT_GE(watch.resumes.load(), 4);
    click("menuButton");
    click("menudlg/bendgame");
    ASSERT_EQ(recorder.finishedGames(), 1);
    for (const char c : std::string("Ann\r"))
        key(c == '\r' ? 13 : c >= 'a' ? c - 32 : c, c);
    canvas->stopThreads();

    const std::vector<mph::ReplayStore::Entry> kept = store.entries();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "Ann");
    EXPECT_EQ(kept[0].score, view().score);
    mph::ReplayFile file;
    std::string error;
    ASSERT_TRUE(mph::ReplayFile::load(kept[0].path, file, error)) << error;
    EXPECT_GT(file.finalScore, 0);
    mph::ReplayPlayer::Options options;
    options.container = container();
    mph::ReplayOutcome outcome;
    ASSERT_TRUE(mph::ReplayPlayer::play(file, options, outcome, error)) << error;
    EXPECT_TRUE(outcome.matches(file))
        << "replayed " << outcome.score << " level " << outcome.level << ", recorded " << file.finalScore
        << " level " << file.finalLevel << ", misfits " << outcome.misfits;
}

// A short game the bot plays headless, ended from the menu.
mph::ReplayFile shortGame() {
    mph::ReplayRecorder headless(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&headless);
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 31;
    std::string error;
    EXPECT_TRUE(game.start(options, error)) << error;
    EXPECT_TRUE(game.click("startdialog/bstart1", error)) << error;
    mph::AutoPlayer bot(game);
    for (int32_t steps = 0; steps < 400; ++steps)
        bot.step();
    EXPECT_TRUE(game.click("menuButton", error) && game.click("menudlg/bendgame", error)) << error;
    return headless.lastGame();
}

TEST_F(WindowedGame, AWorldEntryPlaysOverTheRunningGameWithoutReachingItAndTheDialogComesBack) {
    const mph::ReplayFile recorded = shortGame();
    const std::string bytes = recorded.encode();
    ScoreServiceStub server([&](const std::string& target) {
        if (target == "/replay/5") return ScoreServiceStub::Reply{200, bytes};
        return ScoreServiceStub::Reply{200, "<scores><entry><name>Ana</name><score>10</score><level>1</level>"
                                            "<verified>1</verified><replay>5</replay></entry></scores>"};
    });
    auto* game = new ShapeCanvas(lang::tickCount());
    game->setWatch(&replayWatch);
    open(game);
    settings->setString("HSURL", lang::String(server.base().c_str()));
    ASSERT_TRUE(waitFor([&] { return view().dialogs.size() > 0; }, 5000));
    click("menuButton");
    click("menudlg/bglobal");
    ASSERT_TRUE(waitFor([&] { return !view().highScoreRows.empty(); }, 10000));
    const mph::GameView before = view();
    ASSERT_TRUE(before.highScoreRows[0].play);
    const int inputs = watch.inputs.load();
    for (const int32_t id : {Event::kMouseDown, Event::kMouseUp}) {
        const int32_t x = before.highScoreRows[0].playX, y = before.highScoreRows[0].playY;
        lang::Ref<Event> e = lang::make<Event>(id, canvas, x, y, 0, lang::tickCount());
        e->clickCount = id == Event::kMouseDown ? 1 : 0;
        if (id == Event::kMouseDown)
            canvas->mouseDown(e.get(), x, y);
        else
            canvas->mouseUp(e.get(), x, y);
    }
    ASSERT_TRUE(waitFor([&] { return replayWatch.isWatching(); }, 10000));
    for (int i = 0; i < 4; ++i)
        press(0x27, Event::kRight);
    ASSERT_TRUE(waitFor([&] { return view().watchEnded; }, 30000));
    EXPECT_EQ(view().watchSpeed, mph::ReplayWatch::kMaxSpeed);
    EXPECT_EQ(view().watchScore, recorded.finalScore);
    EXPECT_EQ(view().watchLevel, recorded.finalLevel);
    press('A', 'A');
    ASSERT_TRUE(waitFor([&] { return !replayWatch.isWatching(); }, 5000));
    // Only the press that started the show reached the game below.
    EXPECT_EQ(watch.inputs.load(), inputs + 1);
    const mph::GameView after = view();
    EXPECT_EQ(after.dialogs, before.dialogs);
    ASSERT_EQ(after.highScoreRows.size(), 1u);
    EXPECT_EQ(after.highScoreRows[0].name, "Ana");
    EXPECT_TRUE(after.highScoreRows[0].play);
    EXPECT_GT(after.tick, before.tick) << "the game below ticked on";
}

TEST_F(WindowedGame, TheViewerPausesSpeedsUpAndEndsWhereTheRecordingEndsShowingItsScoreUntilAKey) {
    const mph::ReplayFile recorded = shortGame();
    ASSERT_GT(recorded.finalScore, 0);
    auto* viewer = new mph::ReplayCanvas(recorded);
    open(viewer, false);
    for (int i = 0; i < 5; ++i)
        key(0x27, Event::kRight);
    EXPECT_EQ(viewer->speed(), mph::ReplayCanvas::kMaxSpeed);
    key(' ', ' ');
    ASSERT_TRUE(viewer->isPaused());
    const int32_t paused = view().tick;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(view().tick, paused);
    key(' ', ' ');
    ASSERT_TRUE(waitFor([&] { return viewer->hasEnded(); }, 20000));
    EXPECT_EQ(view().score, recorded.finalScore);
    EXPECT_EQ(view().level, recorded.finalLevel);
    // The end card shows the final score and level until a key.
    ASSERT_TRUE(waitFor([&] { return viewer->caption().isEndShown(); }, 3000));
    lang::String grouped;
    grouped.formatThousands(recorded.finalScore);
    EXPECT_NE(viewer->caption().endScore()->getText().str().find(grouped.str()), std::string::npos)
        << viewer->caption().endScore()->getText().str();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_TRUE(frame->hasWindow());
    key('A', 'A');
    EXPECT_TRUE(waitFor([&] { return !frame->hasWindow(); }, 3000));
}
