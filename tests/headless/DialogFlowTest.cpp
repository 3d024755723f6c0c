// The game's dialogs as a player uses them: level choosers, the menu and exit question, the name prompt
// and the way to the high-score table.
#include "GameFixture.h"
#include "headless/AutoPlayer.h"

#include "io/User.h"

using namespace gametest;
using mph::GameView;
using mph::ShapeCanvas;

namespace {
int32_t chooserValue(const std::string& json) {
    const size_t at = json.find("\"value\":");
    return at == std::string::npos ? -1 : std::atoi(json.c_str() + at + 8);
}
} // namespace

class DialogFlow : public GameTest {};

TEST_F(DialogFlow, ChoosersStopAtTheirLimitsAndRepeatWhileHeld) {
    start();
    EXPECT_NE(sprite("startdialog/bdown1").find("\"enabled\":false"), std::string::npos);
    // Held: one step at once, the next after 10 ticks, then one a tick.
    pressOn("startdialog/bup2");
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 2);
    game.tick(9);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 2);
    game.tick(1);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 3);
    game.tick(5);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 8);
    game.mouse(mph::Event::kMouseUp, 0, 0);
    game.tick(5);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 8);
    // Down to the lower limit, where the down button turns off and the repeat ends.
    pressOn("startdialog/bdown2");
    game.tick(30);
    EXPECT_EQ(chooserValue(sprite("startdialog/level2")), 1);
    EXPECT_NE(sprite("startdialog/bdown2").find("\"enabled\":false"), std::string::npos);
    game.mouse(mph::Event::kMouseUp, 0, 0);
    // Up to 99 and no further.
    pressOn("startdialog/bup1");
    game.tick(120);
    game.mouse(mph::Event::kMouseUp, 0, 0);
    EXPECT_EQ(chooserValue(sprite("startdialog/level1")), 99);
    EXPECT_NE(sprite("startdialog/bup1").find("\"enabled\":false"), std::string::npos);
    std::string error;
    game.click("startdialog/bup1", error); // a disabled button does nothing
    EXPECT_EQ(chooserValue(sprite("startdialog/level1")), 99);
}

TEST_F(DialogFlow, TheMenuAndTheExitQuestionPauseAndCloseLeavesThePause) {
    start();
    startGame(true, 1);
    click("menuButton");
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    EXPECT_TRUE(shown("menudlg"));
    EXPECT_TRUE(shown("blackness"));
    click("menudlg/bclose");
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    EXPECT_FALSE(shown("menudlg"));
    EXPECT_TRUE(shown("paused"));
    click("resumeButton");
    EXPECT_EQ(game.view().state, ShapeCanvas::kPlaying);
    click("exitButton");
    EXPECT_EQ(game.view().state, ShapeCanvas::kPaused);
    click("exitdlg/bmenu");
    EXPECT_TRUE(shown("menudlg"));
}

TEST_F(DialogFlow, AGameEndedWithPointsAsksForANameOfAtMostSevenCharacters) {
    start(4);
    startGame(true, 1);
    type("k7qz");
    game.tick();
    const int32_t score = game.view().score;
    ASSERT_GT(score, 0);
    click("menuButton");
    click("menudlg/bendgame");
    EXPECT_EQ(game.view().state, ShapeCanvas::kStart);
    ASSERT_TRUE(shown("hsprompt"));
    EXPECT_NE(sprite("hsprompt/limit").find("\"visible\":false"), std::string::npos);
    type("Annabelle");
    EXPECT_NE(sprite("hsprompt/name").find("\"text\":\"Annabel\""), std::string::npos);
    // The refused letters bring up the note that a name is full, for two seconds.
    EXPECT_NE(sprite("hsprompt/limit").find("\"visible\":true,\"text\":\"7 letters at most\""),
              std::string::npos)
        << sprite("hsprompt/limit");
    game.tick(49);
    EXPECT_NE(sprite("hsprompt/limit").find("\"visible\":true"), std::string::npos);
    game.tick();
    EXPECT_NE(sprite("hsprompt/limit").find("\"visible\":false"), std::string::npos);
    type("x");
    game.key(8, 8);
    EXPECT_NE(sprite("hsprompt/limit").find("\"visible\":false"), std::string::npos) << "a deletion hides it";
    type("-");
    game.key(13, 13);
    // Without a score service the table comes straight up, the new entry on it.
    EXPECT_FALSE(shown("hsprompt"));
    EXPECT_FALSE(shown("globalask"));
    EXPECT_TRUE(shown("hsdlg"));
    mph::User* settings = game.settings();
    EXPECT_EQ(settings->getScore(lang::String("N"), 0), score);
    EXPECT_EQ(settings->getName(lang::String("N"), 0), lang::String("Annabe-"));
    EXPECT_EQ(settings->getString("MRUHSNAME", ""), lang::String("Annabe-"));
}

TEST_F(DialogFlow, NoPointsNoPromptAndACheatSkipsTheGlobalTable) {
    start(8);
    startGame(true, 1);
    click("menuButton");
    click("menudlg/bendgame");
    EXPECT_EQ(game.view().state, ShapeCanvas::kStart);
    EXPECT_FALSE(shown("hsprompt"));
    // With a service configured the player is offered the global table, unless a code was used or no
    // name was entered (the service takes no entry without one).
    game.settings()->setString("HSURL", "http://127.0.0.1:9");
    for (const char* name : {"", "Ann"}) {
        game.tick(40);
        startGame(true, 1);
        type("k7qz");
        game.tick();
        click("menuButton");
        click("menudlg/bendgame");
        for (int i = 0; i < 8; ++i)
            game.key(8, 8);
        type(name);
        game.key(13, 13);
        if (*name != '\0') break;
        EXPECT_FALSE(shown("globalask"));
        EXPECT_TRUE(shown("hsdlg"));
        EXPECT_EQ(game.settings()->getName(lang::String("N"), 0), lang::String("")) << "kept personally";
        click("hsdlg/close");
    }
    EXPECT_TRUE(shown("globalask"));
    click("globalask/bgohighscore");
    game.tick(20);
    EXPECT_TRUE(shown("hsdlg"));
    click("hsdlg/close");
    game.tick(20);
    startGame(true, 1);
    type("j9rm");
    type("k7qz");
    game.tick();
    click("menuButton");
    click("menudlg/bendgame");
    game.key(13, 13);
    EXPECT_FALSE(shown("globalask"));
    EXPECT_TRUE(shown("hsdlg"));
    // A game the built-in bot played counts as a cheat too.
    click("hsdlg/close");
    game.tick(20);
    startGame(true, 1);
    mph::AutoPlayer bot(game);
    for (int i = 0; i < 300 && game.view().score == 0; ++i)
        bot.step();
    ASSERT_GT(game.view().score, 0);
    click("menuButton");
    click("menudlg/bendgame");
    game.key(13, 13);
    EXPECT_FALSE(shown("globalask"));
    EXPECT_TRUE(shown("hsdlg"));
}
