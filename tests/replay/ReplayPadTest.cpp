// A game played with a gamepad's buttons and stick and with a finger is recorded, written, read back and
// replays to its score: the pad's records, the stick's pointer and the finger's presses survive the file.
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "platform/PadButton.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

} // namespace

TEST(ReplayPad, AGameOfPadStickAndFingerReplaysToItsScore) {
    mph::ReplayRecorder recorder(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 91;
    std::string error;
    ASSERT_TRUE(game.start(options, error)) << error;
    game.setComposing(false);
    auto pad = [&game](int32_t button) { game.pad(button, true), game.pad(button, false); };
    // The stick left deflected as the game begins is part of its start.
    game.stick(20000, 0);
    game.tick(3);
    ASSERT_TRUE(game.click("startdialog/bstart1", error)) << error;
    mph::AutoPlayer bot;
    for (int32_t step = 0; recorder.finishedGames() == 0 && step < 4000; ++step) {
        const mph::GameView v = game.view();
        if (step == 40) game.stick(0, 0);
        if (v.state == mph::ShapeCanvas::kLevelComplete || v.state == mph::ShapeCanvas::kBonusLost ||
            v.state == mph::ShapeCanvas::kBonusWon || v.state == mph::ShapeCanvas::kPaused) {
            pad(mph::kPadStart);
        } else if (v.state == mph::ShapeCanvas::kPlaying && step >= 1500) {
            pad(mph::kPadBack);
            for (int32_t i = 0; i < 12 && game.view().focus != "menudlg/bendgame"; ++i)
                pad(mph::kPadDown);
            pad(mph::kPadA);
        } else if (v.state == mph::ShapeCanvas::kPlaying && step % 3 == 0) {
            // A finger's turn: the bot's taps, made by touch.
            mph::AutoPlayer::Move move;
            if (bot.choose(v, move))
                for (const auto& [id, x, y] : move.mouse)
                    game.touch(id, x, y);
        } else if (v.state == mph::ShapeCanvas::kPlaying && step % 50 == 1) {
            // The stick's turn: a sweep, then A at the pointer over the board.
            game.stick(-30000, 12000);
            game.tick(3);
            game.stick(0, 0);
            pad(mph::kPadA);
        } else if (v.state == mph::ShapeCanvas::kPlaying) {
            if (v.held < 0 && v.trayFocus >= 0)
                pad(step % 7 == 0 ? mph::kPadR : mph::kPadUp);
            else if (v.held >= 0)
                pad(v.target >= 0 ? mph::kPadA : mph::kPadB);
            else
                pad(mph::kPadDown);
        }
        game.tick(2);
    }
    ASSERT_EQ(recorder.finishedGames(), 1);
    const mph::ReplayFile& recorded = recorder.lastGame();
    ASSERT_GT(recorded.finalScore, 0);
    EXPECT_EQ(recorded.start.stickX, 20000);
    int32_t kinds[6] = {};
    for (const mph::ReplayEvent& e : recorded.events)
        if (!e.resume) ++kinds[e.input.kind];
    EXPECT_GT(kinds[mph::GameInput::kPad], 0);
    EXPECT_GT(kinds[mph::GameInput::kStick], 0);
    EXPECT_GT(kinds[mph::GameInput::kTouch], 0);

    mph::ReplayFile decoded;
    ASSERT_TRUE(mph::ReplayFile::decode(recorded.encode(), decoded, error)) << error;
    EXPECT_EQ(decoded.encode(), recorded.encode());
    mph::ReplayPlayer::Options replayOptions;
    replayOptions.container = container();
    replayOptions.compose = false;
    mph::ReplayOutcome outcome;
    ASSERT_TRUE(mph::ReplayPlayer::play(decoded, replayOptions, outcome, error)) << error;
    EXPECT_TRUE(outcome.matches(recorded)) << outcome.score << " " << outcome.level << " misfits "
                                           << outcome.misfits << " of " << recorded.finalScore;
}
