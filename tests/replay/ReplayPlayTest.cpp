// Recorded games played again headless: a bot's game replays to its score and reports the very same
// stream; a moved input is caught; recordings of other data are refused, also by `morphella-tool replay`;
// a new game carries nothing over from a game ended from the menu.
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

using mph::ReplayEvent;
using mph::ReplayFile;
using mph::ReplayOutcome;
using mph::ReplayPlayer;

namespace {

struct ToolRun {
    int code = -1;
    std::string out;
};

ToolRun runTool(const std::string& arguments) {
    ToolRun run;
    const std::string command =
        std::string(std::getenv("MPH_BIN")) + "/morphella-tool replay " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[512];
    while (pipe != nullptr && std::fgets(buffer, sizeof(buffer), pipe) != nullptr)
        run.out += buffer;
    const int status = pipe != nullptr ? pclose(pipe) : -1;
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

// A bot game of the timed game from level 7 (wildcards, morphing shapes and power-ups) to game over.
ReplayFile recordBotGame() {
    mph::ReplayRecorder recorder(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 4242;
    std::string error;
    EXPECT_TRUE(game.start(options, error)) << error;
    for (int32_t i = 1; i < 7; ++i)
        EXPECT_TRUE(game.click("startdialog/bup1", error)) << error;
    EXPECT_TRUE(game.click("startdialog/bstart1", error)) << error;
    mph::AutoPlayer bot(game);
    // The bot may play on for ever; after a while a typed code ends its game.
    for (int32_t steps = 0; recorder.finishedGames() == 0 && steps < 20000; ++steps) {
        if (steps == 6000)
            for (const char c : std::string("B2vX"))
                game.key(c >= 'a' ? c - 32 : c, c);
        if (!bot.step()) game.tick();
    }
    EXPECT_EQ(recorder.finishedGames(), 1);
    return recorder.lastGame();
}

const ReplayFile& botGame() {
    static const ReplayFile game = recordBotGame();
    return game;
}

ReplayOutcome replay(const ReplayFile& file, mph::GameObserver* observer = nullptr) {
    ReplayPlayer::Options options;
    options.container = container();
    options.compose = false;
    options.observer = observer;
    ReplayOutcome outcome;
    std::string error;
    EXPECT_TRUE(ReplayPlayer::play(file, options, outcome, error)) << error;
    return outcome;
}

} // namespace

TEST(ReplayPlay, ABotGameReplaysToItsScoreAndReportsTheSameStreamAgain) {
    const ReplayFile& recorded = botGame();
    int32_t resumes = 0;
    for (const ReplayEvent& e : recorded.events)
        resumes += e.resume ? 1 : 0;
    ASSERT_GT(recorded.finalScore, 0);
    EXPECT_GE(recorded.finalLevel, 7);
    EXPECT_GT(resumes, 0) << "no row was cleared, so no frame wait was recorded";

    mph::ReplayRecorder again(nullptr);
    const ReplayOutcome outcome = replay(recorded, &again);
    EXPECT_TRUE(outcome.matches(recorded))
        << outcome.score << " " << outcome.level << " misfits " << outcome.misfits;
    EXPECT_EQ(again.lastGame().encode(), recorded.encode());
}

TEST(ReplayPlay, AMovedDropDoesNotMatch) {
    ReplayFile moved = botGame();
    // The last drop of a shape on the board (a press that waited for frames would do as well).
    size_t drop = 0;
    for (size_t i = 3; i < moved.events.size(); ++i)
        if (!moved.events[i].resume && moved.events[i].input.id == mph::Event::kMouseDown &&
            moved.events[i - 2].input.id == mph::Event::kMouseDown)
            drop = i;
    ASSERT_GT(drop, 0u);
    moved.events[drop].input.tick += 40;
    moved.events[drop].input.clock += 40 * 40;
    const ReplayOutcome outcome = replay(moved);
    EXPECT_FALSE(outcome.matches(moved));
}

TEST(ReplayPlay, TheToolChecksRecordingsAndRefusesOtherDataAndDamage) {
    TempDir dir;
    const auto write = [&dir](const std::string& name, const std::string& bytes) {
        std::ofstream(dir.path() + "/" + name, std::ios::binary) << bytes;
        return dir.path() + "/" + name + " --container " + container();
    };
    const ReplayFile& recorded = botGame();
    const ToolRun good = runTool(write("good.mphr", recorded.encode()));
    EXPECT_EQ(good.code, 0) << good.out;
    EXPECT_NE(good.out.find("\"score\":" + std::to_string(recorded.finalScore) +
                            ",\"level\":" + std::to_string(recorded.finalLevel)),
              std::string::npos)
        << good.out;
    EXPECT_NE(good.out.find("\"match\":true"), std::string::npos);

    ReplayFile other = recorded;
    other.dataHash ^= 1;
    EXPECT_EQ(runTool(write("other.mphr", other.encode())).code, 1);
    std::string damaged = recorded.encode();
    damaged[damaged.size() / 2] ^= 0x20;
    EXPECT_EQ(runTool(write("damaged.mphr", damaged)).code, 2);
}

TEST(ReplayPlay, ANewGameStartsWithoutThePowerUpIconsOfAGameEndedFromTheMenu) {
    mph::HeadlessGame game;
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 77;
    std::string error;
    ASSERT_TRUE(game.start(options, error)) << error;
    ASSERT_TRUE(game.click("startdialog/bstart1", error)) << error;
    mph::AutoPlayer bot(game);
    const auto iconShown = [&game] {
        const std::vector<int32_t> kinds = game.view().powerUps;
        return std::any_of(kinds.begin(), kinds.end(), [](int32_t kind) { return kind >= 0; });
    };
    // The code makes the next dealt shape carry a power-up; placing it shows the icon.
    for (int32_t steps = 0; !iconShown() && steps < 3000; ++steps) {
        if (game.view().state == mph::ShapeCanvas::kPlaying && steps % 100 == 0)
            for (const char c : std::string("T4WY"))
                game.key(c, c);
        bot.step();
    }
    ASSERT_TRUE(iconShown());
    ASSERT_TRUE(game.click("menuButton", error) && game.click("menudlg/bendgame", error)) << error;
    game.key(13, 13);
    for (const std::string& d : game.view().dialogs)
        if (d != "startdialog" && d != "blackness" && !game.click(d + "/close", error))
            game.click(d + "/bclose", error);
    game.tick(10);
    ASSERT_TRUE(game.click("startdialog/bstart1", error)) << error;
    EXPECT_FALSE(iconShown());
}
