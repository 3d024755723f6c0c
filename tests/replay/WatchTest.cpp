// Watching a world table's recorded game through the driver, against a loopback stand-in for the score
// service: the game plays to its end over the high-score dialog, which is back as it was afterwards; a
// download that fails and a recording that does not check only say so in the dialog's console.
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "io/User.h"
#include "replay/ReplayRecorder.h"
#include "scores/ScoreServiceStub.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

// A short timed game the bot plays, ended from the menu.
mph::ReplayFile recordShortGame() {
    mph::ReplayRecorder recorder(nullptr);
    mph::HeadlessGame game;
    game.setObserver(&recorder);
    mph::HeadlessGame::Options options;
    options.container = container();
    options.seed = 31;
    std::string error;
    EXPECT_TRUE(game.start(options, error)) << error;
    EXPECT_TRUE(game.click("startdialog/bstart1", error)) << error;
    mph::AutoPlayer bot(game);
    for (int32_t steps = 0; steps < 150; ++steps)
        bot.step();
    EXPECT_TRUE(game.click("menuButton", error) && game.click("menudlg/bendgame", error)) << error;
    return recorder.lastGame();
}

// The driver's answers to the commands, one line each.
std::vector<std::string> drive(const std::string& commands, const std::string& store, const TempDir& dir) {
    const std::string input = dir.path() + "/commands.txt";
    std::ofstream(input) << commands;
    const std::string command = std::string(std::getenv("MPH_BIN")) + "/morphella-tool play --seed 5 --container " +
                                container() + " --store " + store + " < " + input + " 2>/dev/null";
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    std::string line;
    for (int c; pipe != nullptr && (c = std::fgetc(pipe)) != EOF;) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        // Events of the live game interleave with the answers; only answers are kept.
        if (line.find("\"ev\":") == std::string::npos) lines.push_back(line);
        line.clear();
    }
    if (pipe != nullptr) pclose(pipe);
    return lines;
}

std::string part(const std::string& dump, const std::string& key) {
    const size_t at = dump.find("\"" + key + "\":");
    if (at == std::string::npos) return {};
    const size_t end = key == "highScores" ? dump.find(",\"watch\":", at)
                       : key == "dialogs"  ? dump.find(']', at)
                                           : dump.find('}', at);
    return dump.substr(at, end - at + 1);
}

// The middle of the play mark of the row named name, from a dump.
bool playMark(const std::string& dump, const std::string& name, int& x, int& y) {
    const std::regex row("\"name\":\"" + name + "\",[^}]*\"play\":true,\"x\":(\\d+),\"y\":(\\d+)");
    std::smatch m;
    if (!std::regex_search(dump, m, row)) return false;
    x = std::stoi(m[1]);
    y = std::stoi(m[2]);
    return true;
}

} // namespace

TEST(Watching, AWorldEntryIsWatchedToItsEndOverTheDialogWhichIsBackAsItWas) {
    const mph::ReplayFile recorded = recordShortGame();
    ASSERT_GT(recorded.finalScore, 0);
    const std::string bytes = recorded.encode();
    std::string damaged = bytes;
    damaged[damaged.size() / 2] ^= 0x20;
    ScoreServiceStub server([&](const std::string& target) {
        if (target == "/replay/17") return ScoreServiceStub::Reply{200, bytes};
        if (target == "/replay/19") return ScoreServiceStub::Reply{200, damaged};
        if (target.rfind("/globalhs.jsp", 0) == 0)
            return ScoreServiceStub::Reply{
                200, "<scores><entry><name>Ana</name><score>" + std::to_string(recorded.finalScore) +
                         "</score><level>1</level><verified>1</verified><replay>17</replay></entry>"
                         "<entry><name>Bo</name><score>30</score><level>1</level><verified>1</verified>"
                         "<replay>18</replay></entry>"
                         "<entry><name>Cy</name><score>20</score><level>1</level><verified>1</verified>"
                         "<replay>19</replay></entry></scores>"};
        return ScoreServiceStub::Reply{404, "not found"};
    });
    TempDir dir;
    {
        lang::Ref<mph::User> settings = lang::make<mph::User>();
        settings->openAt(dir.db());
        settings->setString("HSURL", lang::String(server.base().c_str()));
    }
    const std::string open = "click menuButton\nclick menudlg/bglobal\ndump\n";
    const std::vector<std::string> first = drive(open + "quit\n", dir.db(), dir);
    ASSERT_GE(first.size(), 3u);
    const std::string table = first[2];
    int ax = 0, ay = 0, bx = 0, by = 0, cx = 0, cy = 0;
    ASSERT_TRUE(playMark(table, "Ana", ax, ay)) << table;
    ASSERT_TRUE(playMark(table, "Bo", bx, by)) << table;
    ASSERT_TRUE(playMark(table, "Cy", cx, cy)) << table;

    std::ostringstream script;
    script << open << "press " << ax << " " << ay << "\nrelease " << ax << " " << ay << "\ndump\n" // 3, 5
           << "key 32\ntick 10\ndump\ntick 5\ndump\n"                                             // 8, 10
           << "key 32\nkey 39\nkey 39\nkey 39\nkey 39\ndump\n"                                     // 16
           << "tick 3000\ndump\n"                                                                  // 18
           << "key 13\ndump\n"                                                                     // 20
           << "press " << bx << " " << by << "\nrelease " << bx << " " << by << "\ndump\n"         // 23
           << "tick 101\ndump\n"                                                                   // 25
           << "press " << cx << " " << cy << "\nrelease " << cx << " " << cy << "\ndump\nquit\n";  // 28
    const std::vector<std::string> out = drive(script.str(), dir.db(), dir);
    ASSERT_GE(out.size(), 29u);
    EXPECT_NE(out[5].find("\"watch\":{\"on\":true,\"paused\":false,\"ended\":false,\"speed\":1,"),
              std::string::npos)
        << out[5];
    // Space pauses the recorded game.
    const std::regex tick("\"paused\":true,\"ended\":false,\"speed\":1,\"tick\":(\\d+)");
    std::smatch pausedAt, later;
    ASSERT_TRUE(std::regex_search(out[8], pausedAt, tick)) << out[8];
    ASSERT_TRUE(std::regex_search(out[10], later, tick)) << out[10];
    EXPECT_EQ(pausedAt[1], later[1]);
    EXPECT_NE(out[16].find("\"paused\":false,\"ended\":false,\"speed\":16,"), std::string::npos) << out[16];
    // It ends where the recording ended, and says so until a key.
    EXPECT_NE(out[18].find("\"ended\":true,\"speed\":16,"), std::string::npos) << out[18];
    EXPECT_NE(out[18].find("\"score\":" + std::to_string(recorded.finalScore) +
                           ",\"level\":" + std::to_string(recorded.finalLevel) + "}"),
              std::string::npos)
        << out[18];
    EXPECT_EQ(part(out[20], "watch"), "\"watch\":{\"on\":false}");
    EXPECT_EQ(part(out[20], "highScores"), part(table, "highScores"));
    EXPECT_EQ(part(out[20], "dialogs"), part(table, "dialogs"));

    // A download that fails: the message, nothing shown, and the table back after a while.
    EXPECT_NE(out[23].find("\"message\":\"The recorded game could not be fetched from the high-score server."),
              std::string::npos)
        << out[23];
    EXPECT_NE(out[23].find("\"rows\":[]"), std::string::npos);
    EXPECT_EQ(part(out[23], "watch"), "\"watch\":{\"on\":false}");
    EXPECT_EQ(part(out[25], "highScores"), part(table, "highScores"));
    // A recording whose bytes do not check.
    EXPECT_NE(out[28].find("\"message\":\"This recorded game is damaged and cannot be shown.\""),
              std::string::npos)
        << out[28];
    EXPECT_EQ(part(out[28], "watch"), "\"watch\":{\"on\":false}");
}

TEST(Watching, APersonalRowsPlayMarkPlaysTheGameThisComputerKeptAPadPausesItAndEscapeLeavesIt) {
    TempDir dir;
    const std::string replays = dir.path() + "/replays";
    const std::vector<std::string> out =
        drive("click startdialog/bstart1\ntick 200\ntype k7qz\ntick\nclick menuButton\nclick menudlg/bendgame\n"
              "type Ann\nkey 13\ndump\n"           // 8
              "click hsdlg/play0\ntick 5\ndump\n"  // 11
              "pad a\ntick 5\ndump\n"              // 14
              "key 27\ndump\nquit\n",               // 16
              dir.db() + " --replays " + replays, dir);
    ASSERT_GE(out.size(), 17u);
    EXPECT_NE(out[8].find("\"view\":\"personal\""), std::string::npos) << out[8];
    EXPECT_NE(out[8].find("\"name\":\"Ann\""), std::string::npos) << out[8];
    EXPECT_NE(out[8].find("\"play\":true"), std::string::npos) << out[8];
    EXPECT_NE(out[11].find("\"watch\":{\"on\":true,\"paused\":false,\"ended\":false"), std::string::npos)
        << out[11];
    EXPECT_NE(out[14].find("\"watch\":{\"on\":true,\"paused\":true,"), std::string::npos) << out[14];
    EXPECT_EQ(part(out[16], "watch"), "\"watch\":{\"on\":false}");
    EXPECT_EQ(part(out[16], "highScores"), part(out[8], "highScores"));
}
