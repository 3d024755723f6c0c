// A game played by keys alone (pauses through the side panel reached with Tab and Shift+Tab included)
// is recorded, written, read back and replays to its score: key releases and Shift survive the file.
#include "game/ShapeCanvas.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int32_t kTab = 9, kEnter = 13, kSpace = 32, kUp = 38;

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

} // namespace

TEST(ReplayKeys, AGamePlayedByKeysReplaysToItsScore) {
    mph::ReplayRecorder recorder(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 77;
    std::string error;
    ASSERT_TRUE(game.start(options, error)) << error;
    game.setComposing(false);
    auto key = [&game](int32_t code, bool shift = false) { game.key(code, code, shift); };
    key(kTab);
    key(kTab); // the timed game's start button follows its level chooser
    key(kEnter);
    int32_t pauses = 0;
    bool ending = false;
    for (int32_t step = 0; recorder.finishedGames() == 0 && step < 20000; ++step) {
        const mph::GameView v = game.view();
        if (v.focus == "continueButton") {
            key(kEnter);
        } else if (v.state == mph::ShapeCanvas::kPlaying) {
            if (step >= 3000 && !ending) {
                ending = true;
                // A typed code ends the game.
                for (const char c : std::string("B2vX"))
                    game.key(c >= 'a' ? c - 32 : c, c);
            } else if (step % 500 == 499) {
                // To the pause button and back to the board: pause, resume, Shift+Tab round to the tray.
                key(kTab);
                key(kEnter);
                key(kEnter);
                key(kTab, true);
                for (int32_t i = 0; i < 8 && game.view().focus != ""; ++i)
                    key(kTab);
                ++pauses;
            } else if (v.held < 0 && v.trayFocus >= 0) {
                key(kUp);
            } else if (v.held >= 0) {
                key(v.target >= 0 ? kEnter : kSpace);
            }
        }
        game.tick(2);
    }
    ASSERT_EQ(recorder.finishedGames(), 1);
    ASSERT_GT(pauses, 0);
    const mph::ReplayFile& recorded = recorder.lastGame();
    ASSERT_GT(recorded.finalScore, 0);
    bool released = false, shifted = false;
    for (const mph::ReplayEvent& e : recorded.events) {
        released = released || e.input.id == mph::Event::kKeyUp;
        shifted = shifted || e.input.y != 0;
    }
    EXPECT_TRUE(released && shifted);

    mph::ReplayFile decoded;
    ASSERT_TRUE(mph::ReplayFile::decode(recorded.encode(), decoded, error)) << error;
    mph::ReplayPlayer::Options replayOptions;
    replayOptions.container = container();
    replayOptions.compose = false;
    mph::ReplayOutcome outcome;
    ASSERT_TRUE(mph::ReplayPlayer::play(decoded, replayOptions, outcome, error)) << error;
    EXPECT_TRUE(outcome.matches(recorded)) << outcome.score << " " << outcome.level << " misfits "
                                           << outcome.misfits << " of " << recorded.finalScore;
}
