// The whole game by keys alone: starting a timed game, clearing level 1 into level 2, the menu, the
// options' effects knob, the instructions' pages and the name prompt; held Enter repeats a chooser; letters
// never move the focus and the rings give way to the mouse.
#include "GameFixture.h"

#include "io/User.h"
#include "runtime/Cast.h"
#include "scores/InstructDialog.h"

using namespace gametest;
using mph::GameView;
using mph::ShapeCanvas;

namespace {
constexpr int32_t kTab = 9, kEnter = 13, kSpace = 32, kLeft = 37, kUp = 38;

int32_t chooserValue(const std::string& json) {
    const size_t at = json.find("\"value\":");
    return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + 8);
}
} // namespace

class Keyboard : public GameTest {
protected:
    void key(int32_t code, bool shift = false) { game.key(code, code, shift); }
    // Tabs until the ring is on path; fails when a whole round of the stops does not reach it.
    void focusOn(const std::string& path) {
        for (int32_t i = 0; i < 12 && game.view().focus != path; ++i)
            key(kTab);
        ASSERT_EQ(game.view().focus, path);
    }
    void pressOn(const std::string& path) {
        focusOn(path);
        key(kEnter);
        game.tick(30);
    }
    void startTimedGame() {
        key(kTab);
        pressOn("startdialog/bstart1");
        ASSERT_TRUE(tickUntil([](const GameView& v) { return v.state == ShapeCanvas::kPlaying; }, 200));
    }
    // Plays by keys: Up takes the tray's focused shape, Enter drops it into the target hole, space throws
    // away one that fits no hole in view; Enter on a finished level's continue button goes on.
    void playByKeysUntil(const std::function<bool(const GameView&)>& done, int32_t limit) {
        for (int32_t i = 0; i < limit; ++i) {
            const GameView v = game.view();
            if (done(v)) return;
            if (v.focus == "continueButton") {
                key(kEnter);
            } else if (v.state == ShapeCanvas::kPlaying) {
                if (v.held < 0 && v.trayFocus >= 0)
                    key(kUp);
                else if (v.held >= 0)
                    key(v.target >= 0 ? kEnter : kSpace);
            }
            game.tick(2);
        }
        FAIL() << "not done after " << limit << " steps";
    }
};

TEST_F(Keyboard, ATimedGameStartedByKeysClearsLevelOneAndReachesLevelTwo) {
    start(3);
    startTimedGame();
    playByKeysUntil([](const GameView& v) { return v.level == 2 && v.state == ShapeCanvas::kPlaying; }, 3000);
    EXPECT_GT(game.view().score, 0);
    // Tab reaches the side panel: pause, then Enter on the resume button the focus moves to.
    focusOn("pauseButton");
    key(kEnter);
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    EXPECT_EQ(game.view().focus, "resumeButton");
    key(kEnter);
    EXPECT_EQ(game.view().state, ShapeCanvas::kPlaying);
    // Shift+Tab goes the other way round.
    focusOn("menuButton");
    key(kTab, true);
    EXPECT_EQ(game.view().focus, "pauseButton");
}

TEST_F(Keyboard, TheMenuTheEffectsKnobAndTheInstructionsByKeys) {
    start();
    key(kTab);
    pressOn("menuButton");
    ASSERT_TRUE(shown("menudlg"));
    EXPECT_EQ(game.view().focus, "menudlg/binstruct") << "a dialog that opens has its first button focused";
    pressOn("menudlg/boptions");
    ASSERT_TRUE(shown("optdlg"));
    focusOn("optdlg/butfxknob");
    const int32_t before = game.settings()->getInt("VOLUMEFX", 255);
    key(kLeft);
    key(kLeft);
    EXPECT_EQ(game.view().focus, "optdlg/butfxknob") << "Left moves the knob, not the focus";
    pressOn("optdlg/bclose");
    EXPECT_FALSE(shown("optdlg"));
    EXPECT_EQ(game.settings()->getInt("VOLUMEFX", 255), before - 16);

    key(kTab);
    pressOn("menuButton");
    pressOn("menudlg/binstruct");
    auto* instructions = lang::as<mph::InstructDialog>(game.canvas().findSprite("instdlg"));
    ASSERT_NE(instructions, nullptr);
    EXPECT_EQ(instructions->getCurrentPage(), 1);
    pressOn("instdlg/bnext");
    pressOn("instdlg/bnext");
    EXPECT_EQ(instructions->getCurrentPage(), 3);
    pressOn("instdlg/bclose");
    EXPECT_FALSE(shown("instdlg"));
}

TEST_F(Keyboard, ANameIsEnteredInThePromptAfterAGameEndedByKeys) {
    start(3);
    startTimedGame();
    playByKeysUntil([](const GameView& v) { return v.score > 0; }, 400);
    pressOn("menuButton");
    pressOn("menudlg/bendgame");
    ASSERT_TRUE(tickUntil([this](const GameView&) { return shown("hsprompt"); }, 200));
    type("Ann B"); // letters and the space are typed, never taken for navigation
    key(kEnter);
    game.tick(30);
    EXPECT_FALSE(shown("hsprompt"));
    EXPECT_EQ(game.settings()->getString("MRUHSNAME", "").str(), "Ann B");
}

TEST_F(Keyboard, HeldEnterRepeatsAChooserLettersDoNotNavigateAndTheMouseHidesTheRings) {
    start();
    key(kTab);
    EXPECT_EQ(game.view().focus, "startdialog/bup1") << "the first key only shows the ring";
    type("xyz12");
    EXPECT_EQ(game.view().focus, "startdialog/bup1");
    focusOn("startdialog/bup2");
    // Enter held down: one step at once, the next after 10 ticks; the key's own repeats add nothing.
    auto send = [this](int32_t id) {
        lang::Ref<mph::Event> e = lang::make<mph::Event>(id, nullptr, kEnter, 0, 0, game.clock());
        e->key = kEnter;
        game.canvas().handleKey(e.get());
    };
    send(mph::Event::kKeyDown);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 2);
    game.tick(5);
    send(mph::Event::kKeyDown);
    game.tick(5);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 3);
    send(mph::Event::kKeyUp);
    game.tick(20);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 3);

    game.mouse(mph::Event::kMouseMove, 10, 10);
    EXPECT_EQ(game.view().focus, "");
    key(kEnter); // hidden rings: Enter only shows where the focus is
    EXPECT_EQ(game.view().focus, "startdialog/bup2");
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 3);
}
