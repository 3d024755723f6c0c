// morphella-tool play and random: the driver's protocol, its answers to bad commands and its determinism.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string bin() { return std::getenv("MPH_BIN") ? std::getenv("MPH_BIN") : "."; }
std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : bin() + "/morphella.bin";
}

// Runs the driver on the commands; gives its standard output and exit status.
std::string play(const std::string& commands, const std::string& options, int& status) {
    const std::filesystem::path input =
        std::filesystem::temp_directory_path() / ("mph-play-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(input) << commands;
    std::string out;
    FILE* pipe = popen((bin() + "/morphella-tool play --container " + container() + " " + options + " < " +
                        input.string() + " 2>/dev/null")
                           .c_str(),
                       "r");
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::filesystem::remove(input);
    return out;
}

size_t lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

} // namespace

TEST(PlayCommand, AGameRunsTheSameForTheSameSeedAndCommands) {
    const std::string commands = "click startdialog/bstart1\ntick 60\npress 100 420\nrelease 100 420\ntick 5\n"
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

TEST(PlayCommand, BadCommandsAnswerAnErrorAndTheDriverGoesOn) {
    int status = 0;
    const std::string out = play("jump\ntick x\npress 1\nkey 999\nclick nosuch\nclick startdialog/nosuch\n"
                                 "sprite bg/x\nclick hsdlg/close\nsprite startdialog/level1\ntick 2\n",
                                 "", status);
    EXPECT_EQ(status, 0);
    size_t errors = 0;
    for (size_t at = out.find("{\"error\":"); at != std::string::npos; at = out.find("{\"error\":", at + 1)) ++errors;
    EXPECT_EQ(errors, 8u) << out;
    EXPECT_NE(out.find("\"class\":\"NumberSprite\""), std::string::npos);
    EXPECT_NE(out.find("\"value\":1"), std::string::npos);
    EXPECT_NE(out.find("{\"t\":81,\"ok\":true}"), std::string::npos) << out; // two ticks of 40 ms from 1
    EXPECT_GE(lines(out), 11u);
}

TEST(RandomCommand, WordsAndBoundedDraws) {
    int status = 0;
    std::string out;
    FILE* pipe = popen((bin() + "/morphella-tool random 7 300 3").c_str(), "r");
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
    status = pclose(pipe);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(lines(out), 300u);
    for (char c : out) EXPECT_TRUE(c == '\n' || (c >= '0' && c <= '3'));
    EXPECT_NE(std::system((bin() + "/morphella-tool random x 2 2>/dev/null").c_str()), 0);
}
