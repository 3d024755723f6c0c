// GameFixture: the real game, headless, with helpers to start games and watch what happens.
#pragma once

#include "game/GameObserver.h"
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/GameDump.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "sprites/Sprite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace gametest {

struct Events : mph::GameObserver {
    std::vector<int32_t> states, sounds, popups;
    std::vector<std::pair<int32_t, int32_t>> levels;
    void onState(int32_t to) override { states.push_back(to); }
    void onSound(int32_t i) override { sounds.push_back(i); }
    void onLevel(int32_t level, int32_t mode) override { levels.emplace_back(level, mode); }
    void onPopup(int32_t points) override { popups.push_back(points); }
    void clear() { states.clear(), sounds.clear(), popups.clear(), levels.clear(); }
};

class GameTest : public ::testing::Test {
protected:
    static std::string container() {
        const char* given = std::getenv("MPH_TEST_CONTAINER");
        return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
    }
    void start(uint32_t seed = 1) {
        mph::HeadlessGame::Options options;
        options.container = container();
        options.seed = seed;
        std::string error;
        game.setObserver(&events);
        ASSERT_TRUE(game.start(options, error)) << error;
    }
    // Runs ticks until the condition holds; false when it did not within limit ticks.
    bool tickUntil(const std::function<bool(const mph::GameView&)>& done, int32_t limit) {
        for (int32_t i = 0; i < limit; ++i) {
            if (done(game.view())) return true;
            game.tick();
        }
        return done(game.view());
    }
    void click(const std::string& path) {
        std::string error;
        ASSERT_TRUE(game.click(path, error)) << error;
    }
    // From the start screen: chooses the level with the chooser's up button and starts the game, then
    // runs until play begins.
    void startGame(bool timed, int32_t level) {
        for (int32_t i = 1; i < level; ++i)
            click(timed ? "startdialog/bup1" : "startdialog/bup2");
        click(timed ? "startdialog/bstart1" : "startdialog/bstart2");
        ASSERT_TRUE(
            tickUntil([](const mph::GameView& v) { return v.state == mph::ShapeCanvas::kPlaying; }, 200));
    }
    // Presses (without releasing) at the centre of the sprite a path names.
    void pressOn(const std::string& path) {
        std::string error;
        const mph::GameDump::Found f = mph::GameDump::find(game.canvas(), path, error);
        ASSERT_NE(f.sprite, nullptr) << error;
        const lang::Rectangle& b = f.sprite->getBounds();
        game.mouse(mph::Event::kMouseDown, f.x + b.width / 2, f.y + b.height / 2);
    }
    std::string sprite(const std::string& path) {
        std::string error;
        const std::string json = game.spriteJson(path, error);
        EXPECT_FALSE(json.empty()) << error;
        return json;
    }
    bool shown(const std::string& name) {
        const mph::GameView v = game.view();
        return std::find(v.dialogs.begin(), v.dialogs.end(), name) != v.dialogs.end();
    }
    void type(const std::string& text) {
        for (unsigned char c : text)
            game.key(c >= 'a' && c <= 'z' ? c - 32 : c, c);
    }
    void press(int32_t x, int32_t y) {
        game.mouse(mph::Event::kMouseDown, x, y);
        game.mouse(mph::Event::kMouseUp, x, y);
    }

    mph::HeadlessGame game;
    Events events;
};

} // namespace gametest
