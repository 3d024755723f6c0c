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

TEST(PlayCommand, ADamagedTranslationPlaysInEnglishWithAMessage) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("mph-damaged-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(container(), dir / "morphella.bin", fs::copy_options::overwrite_existing);
    const fs::path german = fs::path(container()).parent_path() / "morphella.de.bin";
    ASSERT_TRUE(fs::exists(german));
    fs::copy_file(german, dir / "morphella.de.bin", fs::copy_options::overwrite_existing);
    {
        // One byte of a picture changed, as a bad copy would.
        std::fstream f(dir / "morphella.de.bin", std::ios::in | std::ios::out | std::ios::binary);
        f.seekg(-100, std::ios::end);
        const char c = static_cast<char>(f.get());
        f.seekp(-100, std::ios::end);
        f.put(static_cast<char>(c ^ 0x55));
    }
    const std::string commands = (dir / "commands.txt").string();
    int status = 0;
    for (const char* which : {"en", "de"}) {
        std::ofstream(commands) << "tick 20\nsnapshot " << (dir / which).string() << ".png\n";
        const std::string options = which == std::string("de") ? " --language de" : "";
        shell(bin() + "/morphella-tool play --container " + (dir / "morphella.bin").string() + options +
                  " < " + commands + " > /dev/null 2> " + (dir / which).string() + ".err",
              status);
        EXPECT_EQ(status, 0) << which;
    }
    std::ifstream err(dir / "de.err");
    const std::string message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("is damaged"), std::string::npos) << message;
    EXPECT_NE(message.find("playing in English"), std::string::npos) << message;
    std::ifstream en(dir / "en.png", std::ios::binary), de(dir / "de.png", std::ios::binary);
    const std::string enBytes((std::istreambuf_iterator<char>(en)), std::istreambuf_iterator<char>());
    const std::string deBytes((std::istreambuf_iterator<char>(de)), std::istreambuf_iterator<char>());
    EXPECT_FALSE(enBytes.empty());
    EXPECT_EQ(enBytes, deBytes);
    // A language with no overlay at all is refused by the driver.
    play("quit\n", "--language sv", status);
    EXPECT_NE(status, 0);
    fs::remove_all(dir);
}

TEST(PlayCommand, TheWindowIsTheOneTheGameWouldOpenOnTheDisplayGiven) {
    int status = 0;
    EXPECT_NE(play("dump\n", "", status).find("\"window\":{\"w\":800,\"h\":600,\"scale\":1,"),
              std::string::npos);
    const std::string large = play("dump\n", "--display 3840x2160", status);
    EXPECT_NE(large.find("\"window\":{\"w\":2400,\"h\":1800,\"scale\":3,\"fullScreen\":false}"),
              std::string::npos)
        << large.substr(large.find("\"window\""));
    play("dump\n", "--display 3840", status);
    EXPECT_EQ(status, 2);
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
