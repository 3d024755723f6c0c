// The game's rules as a player meets them, through the headless game: placements and combos, typed
// codes, the bonus round, row clears, the rising-rows game, pause, and a bot that plays whole levels.
#include "GameFixture.h"

#include "rules/Scoring.h"

#include <algorithm>

using namespace gametest;
using mph::GameView;
using mph::ShapeCanvas;

namespace {

// A tray shape and an empty slot of its frame that a drop reaches now, or {-1, -1}.
std::pair<int32_t, int32_t> findMove(const GameView& v, int32_t wantedFrame = -1) {
    for (size_t i = 0; i < v.tray.size(); ++i) {
        const GameView::Tray& t = v.tray[i];
        if (!t.visible || t.x >= v.boardLeft + v.boardWidth - 1 ||
            (wantedFrame >= 0 && t.frame != wantedFrame))
            continue;
        for (size_t s = 0; s < v.slots.size(); ++s) {
            const GameView::Slot& slot = v.slots[s];
            if (!slot.visible || slot.filled || slot.frame != t.frame) continue;
            if (slot.x <= v.boardLeft - v.slotPitch + 20 || slot.x >= v.boardLeft + v.boardWidth - 20)
                continue;
            return {static_cast<int32_t>(i), static_cast<int32_t>(s)};
        }
    }
    return {-1, -1};
}

} // namespace

class GamePlay : public GameTest {
protected:
    // Picks the tray shape up with a quick click and presses over the slot.
    void place(const GameView& v, std::pair<int32_t, int32_t> move) {
        const GameView::Tray& t = v.tray[move.first];
        press(t.x + v.shapeWidth / 2, t.y + v.shapeHeight / 2);
        const GameView::Slot& s = v.slots[move.second];
        press(s.x + v.slotPitch / 2, s.y + v.rowPitch / 2);
    }
};

TEST_F(GamePlay, ALevelOnePlacementScores240AndTheSameFrameAgainStartsACombo) {
    start(7);
    startGame(true, 1);
    GameView v = game.view();
    EXPECT_EQ(v.level, 1);
    EXPECT_EQ(v.speedBonus, 140);
    auto move = findMove(v);
    ASSERT_GE(move.first, 0);
    const int32_t frame = v.tray[move.first].frame;
    events.clear();
    place(v, move);
    v = game.view();
    EXPECT_EQ(v.score, 240);
    EXPECT_EQ(v.held, -1);
    EXPECT_EQ(v.lastPlacedFrame, frame);
    EXPECT_EQ(events.sounds, (std::vector<int32_t>{ShapeCanvas::kSoundPickUp, ShapeCanvas::kSoundPlace}));
    // The same frame again pays (level + 4) * 50 as a pop-up and doubles the combo.
    ASSERT_TRUE(tickUntil([frame](const GameView& w) { return findMove(w, frame).first >= 0; }, 2000));
    v = game.view();
    const int32_t before = v.score;
    events.clear();
    place(v, findMove(v, frame));
    v = game.view();
    EXPECT_EQ(events.popups, (std::vector<int32_t>{250}));
    EXPECT_EQ(v.combo, 2);
    EXPECT_EQ(v.score - before, 250 + mph::Scoring::placement(1, events.sounds.empty() ? 0 : v.speedBonus));
    EXPECT_EQ(events.sounds.back(), 9);
}

TEST_F(GamePlay, TypedCodesEndTheLevelOrTheGame) {
    start(3);
    startGame(true, 1);
    type("k7qz");
    game.tick();
    EXPECT_EQ(game.view().state, ShapeCanvas::kLevelComplete);
    // A level ends with the time bonus; continue appears 30 ticks later.
    EXPECT_GE(game.view().score, mph::Scoring::levelComplete(1, 100) - 1000);
    ASSERT_TRUE(tickUntil(
        [this](const GameView&) {
            std::string e;
            return game.spriteJson("continueButton", e).find("\"enabled\":true") != std::string::npos;
        },
        40));
    click("continueButton");
    EXPECT_EQ(game.view().state, ShapeCanvas::kPlaying);
    EXPECT_EQ(game.view().level, 2);
    type("B2vX");
    EXPECT_TRUE(tickUntil([](const GameView& w) { return w.state == ShapeCanvas::kGameOver; }, 40));
}

TEST_F(GamePlay, TheFifthLevelIsABonusRoundOfSevenSlotsPerRow) {
    start(11);
    startGame(true, 5);
    const GameView v = game.view();
    EXPECT_EQ(v.mode, mph::kBonusRound);
    EXPECT_EQ(v.slotsPerRow, 7);
    EXPECT_EQ(v.deck.size(), 35u);
    // Every row starts left of the board and moves right.
    for (const GameView::Row& row : v.rows)
        EXPECT_FALSE(row.reversed);
    for (const GameView::Slot& s : v.slots)
        EXPECT_LE(s.x + v.slotPitch, v.boardLeft + v.slotPitch);
}

TEST_F(GamePlay, PauseHidesTheBoardAndAnyKeyBringsItBack) {
    start(5);
    startGame(true, 1);
    const GameView before = game.view();
    click("pauseButton");
    GameView v = game.view();
    EXPECT_EQ(v.state, ShapeCanvas::kPaused);
    for (const GameView::Slot& s : v.slots)
        EXPECT_FALSE(s.visible);
    EXPECT_NE(std::find(v.dialogs.begin(), v.dialogs.end(), "paused"), v.dialogs.end());
    game.tick(30);
    EXPECT_EQ(game.view().timeLeft, before.timeLeft); // no time passes while paused
    game.key('A', 'A');
    v = game.view();
    EXPECT_EQ(v.state, ShapeCanvas::kPlaying);
    for (size_t i = 0; i < v.slots.size(); ++i)
        EXPECT_EQ(v.slots[i].visible, before.slots[i].visible);
}

TEST_F(GamePlay, TheRisingRowsGameStartsWithThreeRowsAndBringsRowsIn) {
    start(9);
    startGame(false, 1);
    GameView v = game.view();
    EXPECT_EQ(v.mode, mph::kRisingRows);
    EXPECT_TRUE(v.rows[0].cleared);
    EXPECT_TRUE(v.rows[1].cleared);
    EXPECT_FALSE(v.rows[2].cleared);
    EXPECT_EQ(v.roundsLeft, 6);
    EXPECT_EQ(v.timeLeft, 20);
    // After a round a new row rises from below the board into the last place.
    ASSERT_TRUE(tickUntil([](const GameView& w) { return w.roundsLeft == 5; }, 20 * 35 + 5));
    v = game.view();
    EXPECT_FALSE(v.rows[4].cleared);
    EXPECT_TRUE(v.rows[0].cleared);
    EXPECT_FALSE(v.rows[1].cleared);
    EXPECT_EQ(v.rows[4].targetY, v.boardTop + 4 * v.rowPitch);
    EXPECT_GT(v.rows[4].y, v.rows[4].targetY);
}

TEST_F(GamePlay, ARowClearScoresByItsPosition) {
    start(21);
    startGame(true, 1);
    mph::AutoPlayer bot(game);
    for (int32_t step = 0; step < 20000; ++step) {
        const GameView before = game.view();
        events.clear();
        bot.step();
        if (std::find(events.sounds.begin(), events.sounds.end(), ShapeCanvas::kSoundMelt) ==
            events.sounds.end())
            continue;
        const GameView after = game.view();
        // The cleared row is the one whose slots all disappeared.
        for (int32_t p = 0; p < 5; ++p) {
            const GameView::Row& row = before.rows[p];
            if (row.cleared || after.slots[row.first].visible) continue;
            ASSERT_FALSE(events.popups.empty());
            EXPECT_EQ(events.popups.back(), mph::Scoring::rowClear(p, 1, after.timeLeft));
            return;
        }
        FAIL() << "a row melted but none was cleared";
    }
    FAIL() << "no row was cleared";
}

TEST_F(GamePlay, ABotClearsTheFirstFourTimedLevelsAndSurvivesTheFirstRisingRowsLevel) {
    start(1);
    startGame(true, 1);
    mph::AutoPlayer bot(game);
    int32_t steps = 0;
    while (game.view().level <= 4 && steps++ < 60000) {
        ASSERT_NE(game.view().state, ShapeCanvas::kGameOver) << "lost level " << game.view().level;
        bot.step();
    }
    EXPECT_EQ(game.view().level, 5);
    EXPECT_GT(bot.placements(), 35 + 40 + 45 + 50 - 1);

    // End the game from the menu and play the rising-rows game.
    click("menuButton");
    click("menudlg/bendgame");
    if (game.view().dialogs.size() > 1) game.key(13, 13);
    GameView v = game.view();
    for (const std::string& d : v.dialogs)
        if (d != "startdialog" && d != "blackness") {
            std::string e;
            if (game.click(d + "/bclose", e) || game.click(d + "/close", e)) break;
        }
    game.tick(10); // the dialog fades out
    startGame(false, 1);
    steps = 0;
    while (game.view().level == 1 && steps++ < 60000) {
        ASSERT_NE(game.view().state, ShapeCanvas::kGameOver) << "rows reached the top";
        bot.step();
    }
    EXPECT_EQ(game.view().level, 2);
}

TEST_F(GamePlay, TimeRunningOutAsTheLastHoleFillsCompletesTheLevel) {
    // A first run finds the tick at which the last time unit passes.
    int32_t ticks = 0;
    {
        mph::HeadlessGame first;
        mph::HeadlessGame::Options options;
        options.container = container();
        options.seed = 4;
        std::string error;
        ASSERT_TRUE(first.start(options, error)) << error;
        std::string e;
        ASSERT_TRUE(first.click("startdialog/bstart1", e));
        while (first.view().state != ShapeCanvas::kPlaying && ticks++ < 200)
            first.tick();
        for (char c : std::string("B2VX"))
            first.key(c, c);
        ticks = 0;
        while (first.view().state == ShapeCanvas::kPlaying && ticks < 100) {
            first.tick();
            ++ticks;
        }
        ASSERT_EQ(first.view().state, ShapeCanvas::kGameOver);
    }
    // The same game with every hole counted as filled just before that tick.
    start(4);
    startGame(true, 1);
    type("B2VX");
    game.tick(ticks - 1);
    type("K7QZ");
    events.clear();
    game.tick();
    const GameView v = game.view();
    EXPECT_EQ(v.state, ShapeCanvas::kLevelComplete);
    EXPECT_EQ(v.timeLeft, 0);
    EXPECT_EQ(events.states, std::vector<int32_t>{ShapeCanvas::kLevelComplete});
    EXPECT_EQ(std::count(events.sounds.begin(), events.sounds.end(), ShapeCanvas::kSoundGameOver), 0);
    game.tick(40);
    EXPECT_EQ(game.view().state, ShapeCanvas::kLevelComplete);
}

TEST_F(GamePlay, ShapesTurnedIntoWildcardsKeepTheirPowerUpAndTheirMorphingBonus) {
    start(5);
    startGame(true, 6);
    const int32_t wild = 56;
    auto trayIndex = [](const GameView& v, auto&& wanted) {
        for (size_t i = 0; i < v.tray.size(); ++i)
            if (v.tray[i].visible && v.tray[i].x < v.boardLeft + v.boardWidth - 1 && wanted(v.tray[i]))
                return static_cast<int32_t>(i);
        return -1;
    };
    auto plain = [](const GameView::Tray& t) { return !t.morphing && !t.carrier; };
    // Throws a plain shape away, so a new one is dealt.
    auto dealOne = [&] {
        const GameView v = game.view();
        const int32_t i = trayIndex(v, plain);
        ASSERT_GE(i, 0);
        press(v.tray[i].x + v.shapeWidth / 2, v.tray[i].y + v.shapeHeight / 2);
        game.key(32, 32);
        game.tick(12);
    };
    // Deals until a morphing shape waits in the tray.
    for (int32_t n = 0; n < 60 && trayIndex(game.view(), [](auto& t) { return t.morphing; }) < 0; ++n)
        dealOne();
    ASSERT_GE(trayIndex(game.view(), [](auto& t) { return t.morphing; }), 0);
    // Carriers are placed until one awards the tray of wildcards.
    auto carrierMove = [&](const GameView& v) {
        const int32_t i = trayIndex(v, [](auto& t) { return t.carrier; });
        return i < 0 ? std::pair<int32_t, int32_t>{-1, -1} : findMove(v, v.tray[i].frame);
    };
    auto awarded = [](const GameView& v) {
        return std::find(v.powerUps.begin(), v.powerUps.end(), 2) != v.powerUps.end();
    };
    for (int32_t n = 0; n < 30 && !awarded(game.view()); ++n) {
        type("T4WY");
        dealOne();
        ASSERT_TRUE(tickUntil([&](const GameView& v) { return carrierMove(v).first >= 0; }, 2000));
        const GameView v = game.view();
        place(v, carrierMove(v));
    }
    ASSERT_TRUE(awarded(game.view()));
    // A carrier joins the morphing shape before the wildcards arrive.
    type("T4WY");
    dealOne();
    ASSERT_TRUE(tickUntil(
        [wild](const GameView& v) {
            return std::all_of(v.tray.begin(), v.tray.end(), [wild](auto& t) { return t.frame == wild; });
        },
        200));
    game.tick(40);
    GameView v = game.view();
    const int32_t morphing = trayIndex(v, [](auto& t) { return t.morphing; });
    ASSERT_GE(morphing, 0);
    EXPECT_GE(trayIndex(v, [](auto& t) { return t.carrier; }), 0);
    EXPECT_EQ(v.tray[morphing].frame, wild) << "the wildcard frame is not one the shape morphs through";

    // Placed anywhere, the morphing one pays its bonus and the carrier awards a power-up.
    auto placeWildcard = [&](int32_t i) {
        const GameView w = game.view();
        for (size_t s = 0; s < w.slots.size(); ++s) {
            const GameView::Slot& slot = w.slots[s];
            if (slot.visible && !slot.filled && slot.x > w.boardLeft + 20 &&
                slot.x < w.boardLeft + w.boardWidth - w.slotPitch - 20) {
                place(w, {i, static_cast<int32_t>(s)});
                return;
            }
        }
        FAIL() << "no empty slot in view";
    };
    events.clear();
    placeWildcard(morphing);
    EXPECT_NE(std::find(events.popups.begin(), events.popups.end(), mph::Scoring::morphBonus(6)),
              events.popups.end());
    v = game.view();
    events.clear();
    placeWildcard(trayIndex(v, [](auto& t) { return t.carrier; }));
    EXPECT_NE(std::find(events.sounds.begin(), events.sounds.end(), ShapeCanvas::kSoundPowerUp),
              events.sounds.end());
}
