// The game with nothing but a gamepad or a finger: a timed game started, level 1 cleared and a name typed
// on the on-screen keyboard by pad buttons alone; the stick's dead zone and its pointer pressing where it
// points; a level played by touch alone, by taps and by drags.
#include "GameFixture.h"

#include "io/User.h"
#include "platform/PadButton.h"

using namespace gametest;
using mph::AutoPlayer;
using mph::GameView;
using mph::ShapeCanvas;

namespace {

std::string oskKey(mph::HeadlessGame& game) {
    const std::string dump = game.dumpJson();
    const std::string shown = "\"osk\":{\"visible\":true,\"key\":\"";
    const size_t at = dump.find(shown);
    if (at == std::string::npos) return std::string();
    const size_t from = at + shown.size();
    return dump.substr(from, dump.find('"', from) - from);
}

} // namespace

class Gamepad : public GameTest {
protected:
    void pad(int32_t button) { game.pad(button, true), game.pad(button, false); }
    // Moves the focus with the D-pad until it rests on path.
    void focusOn(const std::string& path) {
        for (int32_t i = 0; i < 12 && game.view().focus != path; ++i)
            pad(mph::kPadDown);
        ASSERT_EQ(game.view().focus, path);
    }
    // Walks the on-screen keyboard row by row until the key's label shows, then types it.
    void typeOnScreen(const std::string& label) {
        for (int32_t i = 0; i < 70 && oskKey(game) != label; ++i)
            pad(i % 10 == 9 ? mph::kPadDown : mph::kPadRight);
        ASSERT_EQ(oskKey(game), label);
        pad(mph::kPadA);
    }
};

TEST_F(Gamepad, ATimedGameLevelOneAndANameOnTheScreensKeyboardByPadAlone) {
    start(3);
    pad(mph::kPadDown); // the first press only shows the ring
    for (int32_t i = 0; i < 8 && game.view().focus != "startdialog/bstart1"; ++i)
        pad(mph::kPadRight);
    ASSERT_EQ(game.view().focus, "startdialog/bstart1");
    pad(mph::kPadA);
    ASSERT_TRUE(tickUntil([](const GameView& v) { return v.state == ShapeCanvas::kPlaying; }, 200));
    // Up takes the focused shape, A drops it in the target hole, B throws away one that fits nowhere, Start
    // goes on after the level; L and R walk the tray.
    int32_t walks = 0;
    for (int32_t i = 0; i < 3000; ++i) {
        const GameView v = game.view();
        if (v.level == 2 && v.state == ShapeCanvas::kPlaying) break;
        if (v.state == ShapeCanvas::kLevelComplete) {
            pad(mph::kPadStart);
        } else if (v.state == ShapeCanvas::kPlaying) {
            if (v.held < 0 && v.trayFocus >= 0 && i % 97 == 0) {
                pad(mph::kPadR);
                walks += game.view().trayFocus != v.trayFocus ? 1 : 0;
                pad(mph::kPadL);
            } else if (v.held < 0 && v.trayFocus >= 0) {
                pad(mph::kPadUp);
            } else if (v.held >= 0) {
                pad(v.target >= 0 ? mph::kPadA : mph::kPadB);
            }
        }
        game.tick(2);
    }
    ASSERT_EQ(game.view().level, 2);
    EXPECT_GT(walks, 0) << "R moved along the tray";
    // Start pauses and resumes.
    pad(mph::kPadStart);
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    pad(mph::kPadStart);
    EXPECT_EQ(game.view().state, ShapeCanvas::kPlaying);
    // Back opens the menu; B closes it, and the game stays paused.
    pad(mph::kPadBack);
    ASSERT_TRUE(shown("menudlg"));
    pad(mph::kPadB);
    EXPECT_FALSE(shown("menudlg"));
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    pad(mph::kPadBack);
    focusOn("menudlg/bendgame");
    pad(mph::kPadA);
    ASSERT_TRUE(tickUntil([this](const GameView&) { return shown("hsprompt"); }, 200));
    ASSERT_EQ(oskKey(game), "A") << "the keyboard shows beside the prompt after a gamepad's input";
    typeOnScreen("\\u00c9");
    typeOnScreen("V");
    typeOnScreen("Shift");
    typeOnScreen("\\u00e4"); // small letters now
    typeOnScreen("Space");
    pad(mph::kPadA);
    pad(mph::kPadB); // Backspace takes the second space
    pad(mph::kPadStart);
    game.tick(5);
    EXPECT_FALSE(shown("hsprompt"));
    EXPECT_EQ(game.settings()->getString("MRUHSNAME", "").str(), "\xC9V\xE4 ");
    EXPECT_EQ(game.dumpJson().find("\"osk\":{\"visible\":true"), std::string::npos);
}

TEST_F(Gamepad, AKeyboardKeyHidesTheScreensKeyboard) {
    start(3);
    click("startdialog/bstart1");
    ASSERT_TRUE(tickUntil([](const GameView& v) { return v.state == ShapeCanvas::kPlaying; }, 200));
    AutoPlayer bot(game);
    while (game.view().score == 0)
        bot.step();
    pad(mph::kPadBack);
    focusOn("menudlg/bendgame");
    pad(mph::kPadA);
    ASSERT_TRUE(tickUntil([this](const GameView&) { return shown("hsprompt"); }, 200));
    ASSERT_FALSE(oskKey(game).empty());
    type("Zo");
    EXPECT_TRUE(oskKey(game).empty());
    EXPECT_NE(sprite("hsprompt/name").find("\"text\":\"Zo\""), std::string::npos);
}

TEST_F(Gamepad, TheStickRestsInItsDeadZoneAndItsPointerPressesWhereItPoints) {
    start();
    game.stick(5000, -5000);
    game.tick(100);
    GameView v = game.view();
    EXPECT_EQ(v.pointerX, 400);
    EXPECT_EQ(v.pointerY, 300);
    EXPECT_EQ(v.state, ShapeCanvas::kStart);
    // Steered onto the timed game's Play button, A presses there and the game begins.
    std::string error;
    const mph::GameDump::Found play = mph::GameDump::find(game.canvas(), "startdialog/bstart1", error);
    ASSERT_NE(play.sprite, nullptr) << error;
    const int32_t tx = play.x + play.sprite->getWidth() / 2, ty = play.y + play.sprite->getHeight() / 2;
    int32_t slowest = 1 << 30, fastest = 0;
    for (int32_t i = 0; i < 300; ++i) {
        v = game.view();
        const int32_t dx = tx - v.pointerX, dy = ty - v.pointerY;
        if (std::abs(dx) + std::abs(dy) < 4) break;
        // Always past the dead zone, further the further away.
        const auto axis = [](int32_t d) {
            return d == 0 ? 0 : (d > 0 ? 1 : -1) * std::min(32767, 9000 + std::abs(d) * 200);
        };
        game.stick(axis(dx), axis(dy));
        game.tick();
        const GameView after = game.view();
        const int32_t step = std::abs(after.pointerX - v.pointerX) + std::abs(after.pointerY - v.pointerY);
        slowest = std::min(slowest, step);
        fastest = std::max(fastest, step);
    }
    game.stick(0, 0);
    EXPECT_LT(std::abs(game.view().pointerX - tx) + std::abs(game.view().pointerY - ty), 4);
    EXPECT_GT(fastest, 3 * std::max(slowest, 1)) << "the speed grows with the deflection";
    EXPECT_NE(sprite("pointer").find("\"visible\":true"), std::string::npos) << "the pointer is drawn";
    pad(mph::kPadA);
    EXPECT_EQ(game.view().state, ShapeCanvas::kCurtainsClosing);
    // The mouse takes over: the drawn pointer gives way.
    game.mouse(mph::Event::kMouseMove, 10, 10);
    EXPECT_NE(sprite("pointer").find("\"visible\":false"), std::string::npos);
}

TEST_F(Gamepad, ALevelPlayedByTouchAloneWithTapsAndDrags) {
    start(3);
    auto tap = [this](const std::string& path) {
        std::string error;
        const mph::GameDump::Found f = mph::GameDump::find(game.canvas(), path, error);
        ASSERT_NE(f.sprite, nullptr) << error;
        const int32_t x = f.x + f.sprite->getWidth() / 2, y = f.y + f.sprite->getHeight() / 2;
        game.touch(mph::Event::kMouseDown, x, y);
        game.touch(mph::Event::kMouseUp, x, y);
    };
    tap("startdialog/bstart1");
    ASSERT_TRUE(tickUntil([](const GameView& v) { return v.state == ShapeCanvas::kPlaying; }, 200));
    AutoPlayer bot;
    int32_t drags = 0, taps = 0;
    for (int32_t i = 0; i < 3000; ++i) {
        const GameView v = game.view();
        if (v.level == 2 && v.state == ShapeCanvas::kPlaying) break;
        AutoPlayer::Move move;
        if (v.state == ShapeCanvas::kLevelComplete) {
            tap("continueButton");
        } else if (v.state == ShapeCanvas::kPlaying && bot.choose(v, move)) {
            if (move.mouse.empty()) {
                tap("trash");
            } else if (i % 2 == 0) {
                // Tap the shape, tap its hole.
                for (const auto& [id, x, y] : move.mouse)
                    game.touch(id, x, y);
                ++taps;
            } else {
                // Or drag it there and lift the finger over the hole.
                const auto& from = move.mouse[0];
                const auto& to = move.mouse[2];
                game.touch(mph::Event::kMouseDown, from[1], from[2]);
                for (int32_t s = 1; s <= 4; ++s)
                    game.touch(mph::Event::kMouseDrag, from[1] + (to[1] - from[1]) * s / 4,
                               from[2] + (to[2] - from[2]) * s / 4);
                game.touch(mph::Event::kMouseUp, to[1], to[2]);
                ++drags;
            }
        }
        game.tick(2);
    }
    EXPECT_EQ(game.view().level, 2);
    EXPECT_GT(taps, 0);
    EXPECT_GT(drags, 0);
    EXPECT_NE(sprite("pointer").find("\"visible\":false"), std::string::npos) << "no pointer under a finger";
}
