// morphella-tool play and random: the driver's protocol, its answers to bad commands and its determinism.
#include "ToolShell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using tooltest::bin;
using tooltest::container;
using tooltest::EditedData;
using tooltest::shell;

namespace {

// Runs the driver on the commands; gives its standard output and exit status.
std::string play(const std::string& commands, const std::string& options, int& status) {
    const std::filesystem::path input =
        std::filesystem::temp_directory_path() / ("mph-play-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(input) << commands;
    const std::string out = shell(bin() + "/morphella-tool play --container " + container() + " " + options +
                                      " < " + input.string() + " 2>/dev/null",
                                  status);
    std::filesystem::remove(input);
    return out;
}

size_t lines(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(PlayCommand, AGameRunsTheSameForTheSameSeedAndCommands) {
    const std::string commands =
        "click startdialog/bstart1\ntick 60\npress 100 420\nrelease 100 420\ntick 5\n"
        "move 200 200\npress 200 200\ntick 200\ntype k7qz\ntick\ndump\nquit\n";
    int status = 0;
    const std::string first = play(commands, "--seed 42", status);
    EXPECT_EQ(status, 0);
    const std::string second = play(commands, "--seed 42", status);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, play(commands, "--seed 43", status));
    EXPECT_NE(first.find("{\"t\":42,\"ev\":\"state\",\"to\":5}"), std::string::npos) << first.substr(0, 400);
    EXPECT_NE(first.find("\"ev\":\"level\",\"level\":1,\"mode\":0"), std::string::npos);
    EXPECT_NE(first.find("\"state\":2,"), std::string::npos); // the code completed the level
}

TEST(PlayCommand, TheBotPlaysOnlyAGameInProgressAndForTheTicksAsked) {
    int status = 0;
    const std::string out =
        play("auto 50\nclick startdialog/bstart1\ntick 60\nauto 250\nauto x\ndump\n", "--seed 9", status);
    EXPECT_EQ(status, 0);
    // On the start screen there is no game to play: no time passes.
    EXPECT_NE(out.find("{\"t\":9,\"ok\":true,\"placed\":0,\"discarded\":0,\"over\":true}"), std::string::npos)
        << out.substr(0, 300);
    // 60 ticks, then the bot's 250, from the seed's clock of 9 ms.
    const size_t answer = out.find("{\"t\":12409,\"ok\":true,\"placed\":");
    ASSERT_NE(answer, std::string::npos) << out.substr(0, 300);
    EXPECT_GT(std::atoi(out.c_str() + out.find("\"placed\":", answer) + 9), 10);
    EXPECT_NE(out.find("\"over\":false", answer), std::string::npos);
    EXPECT_NE(out.find("{\"error\":\"auto: bad count \\\"x\\\"\"}"), std::string::npos);
    EXPECT_EQ(out.find("\"score\":0,"), std::string::npos);
}

TEST(PlayCommand, BadCommandsAnswerAnErrorAndTheDriverGoesOn) {
    int status = 0;
    const std::string out = play("jump\ntick x\npress 1\nkey 999\nclick nosuch\nclick startdialog/nosuch\n"
                                 "sprite bg/x\nclick hsdlg/close\nsprite startdialog/level1\ntick 2\n",
                                 "", status);
    EXPECT_EQ(status, 0);
    size_t errors = 0;
    for (size_t at = out.find("{\"error\":"); at != std::string::npos; at = out.find("{\"error\":", at + 1))
        ++errors;
    EXPECT_EQ(errors, 8u) << out;
    EXPECT_NE(out.find("\"class\":\"NumberSprite\""), std::string::npos);
    EXPECT_NE(out.find("\"value\":1"), std::string::npos);
    EXPECT_NE(out.find("{\"t\":81,\"ok\":true}"), std::string::npos) << out; // two ticks of 40 ms from 1
    EXPECT_GE(lines(out), 11u);
}

TEST(PlayCommand, DataTheGameCannotUseIsRefusedWithWhatIsMissing) {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("mph-data-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    int status = 0;
    EditedData data(dir);
    // A sprite the game binds to is missing.
    std::string edited = data.pack([](std::string& s) {
        const size_t at = s.find("\nhourglass ");
        ASSERT_NE(at, std::string::npos);
        s.erase(at + 1, s.find('\n', at + 1) - at);
    });
    std::string out =
        shell("echo quit | " + bin() + "/morphella-tool play --container " + edited + " 2>&1", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("no sprite named \"hourglass\""), std::string::npos) << out;
    // Too few kinds for the levels: refused at once instead of looping for ever in the frame choice.
    edited = data.pack([](std::string& s) {
        const std::string kinds = "\n15\r\n4 4 4 4 4 4 4 4 4 4 4 4 4 4\r\n";
        const size_t at = s.find(kinds);
        ASSERT_NE(at, std::string::npos);
        s.replace(at, kinds.size(), "\n13\r\n4 4 4 4 4 4 4 4 4 4 4 4\r\n");
    });
    out = shell("echo quit | " + bin() + "/morphella-tool play --container " + edited + " 2>&1", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("level 15 needs 13 different ordinary kinds (the data has 12)"), std::string::npos)
        << out;
    std::filesystem::remove_all(dir);
}

TEST(RandomCommand, WordsAndBoundedDraws) {
    int status = 0;
    const std::string out = shell(bin() + "/morphella-tool random 7 300 3", status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lines(out), 300u);
    for (char c : out)
        EXPECT_TRUE(c == '\n' || (c >= '0' && c <= '3'));
    EXPECT_NE(std::system((bin() + "/morphella-tool random x 2 2>/dev/null").c_str()), 0);
}
