// ReplayHelpers: what the replay tests share: the game's data, a short bot game recorded, a POST of a
// recording and the submission of a recorded game's entry.
#pragma once

#include "HttpGet.h"
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/GameDump.h"
#include "headless/HeadlessGame.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "scores/ScoreToken.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

namespace replaytest {

using mph::AutoPlayer;
using mph::HeadlessGame;
using mph::ReplayFile;
using mph::ReplayRecorder;
namespace scoretoken = mph::scoretoken;

inline std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

// A bot game of the timed game (steps moves or ticks long), ended from the menu, named name.
inline ReplayFile recordGame(const std::string& name, int32_t steps = 600, uint32_t seed = 5) {
    ReplayRecorder recorder(nullptr);
    HeadlessGame game;
    game.setObserver(&recorder);
    HeadlessGame::Options options;
    options.container = container();
    options.seed = seed;
    std::string error;
    if (!game.start(options, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    EXPECT_TRUE(game.click("startdialog/bstart1", error)) << error;
    AutoPlayer bot(game);
    for (int32_t step = 0; step < steps; ++step)
        bot.step();
    EXPECT_TRUE(game.click("menuButton", error) && game.click("menudlg/bendgame", error)) << error;
    ReplayFile file = recorder.lastGame();
    file.name = name;
    return file;
}

inline HttpReply post(const std::string& url, const std::string& body) {
    HttpReply reply;
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 60000L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply.body);
    if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return reply;
}

// The submission's path; the game writes its nonce into the recording it sends afterwards.
inline std::string submitPath(ReplayFile& game, int32_t nonce) {
    game.nonce = nonce;
    const std::string token = scoretoken::make(nonce, game.name, game.finalLevel, game.finalScore);
    return "/addglobalhs.jsp?game=mphl&mode=" + game.tableMode() + "&name=" + game.name + "&score=" + token +
           "&s=" + std::to_string(game.finalScore);
}

// A game of the timed game played with a person's pace by the bot's choices: the pointer glides to each
// shape over a few ticks, presses it, glides to the hole (following it as the row moves) and presses
// there, and the player looks around for a varying while between moves. Ended from the menu after ticks.
// touch: the presses are a finger's, put down where it goes with no way there.
// grab: a program's hand instead, that takes each shape the moment the last one is dropped and a hole for
// it is in reach (the pointer there in the same tick), then carries it at the same pace.
inline ReplayFile recordHumanGame(const std::string& name, int32_t ticks, uint32_t seed = 5,
                                  bool touch = false, bool grab = false) {
    using mph::GameView;
    ReplayRecorder recorder(nullptr);
    HeadlessGame game;
    game.setObserver(&recorder);
    HeadlessGame::Options options;
    options.container = container();
    options.seed = seed;
    std::string error;
    if (!game.start(options, error)) {
        ADD_FAILURE() << error;
        return {};
    }
    EXPECT_TRUE(game.click("startdialog/bstart1", error)) << error;
    AutoPlayer bot(game);
    uint32_t random = seed * 2654435761u + 1;
    auto pause = [&random](int32_t from, int32_t to) {
        random = random * 1103515245u + 12345u;
        return from + static_cast<int32_t>((random >> 16) % static_cast<uint32_t>(to - from + 1));
    };
    int32_t x = 320, y = 240;
    // Moves the pointer to where target() says, a step each tick, then presses and releases there.
    auto glideAndClick = [&](const std::function<std::pair<int32_t, int32_t>()>& target, bool atOnce = false) {
        const int32_t steps = atOnce ? 0 : pause(5, 9);
        for (int32_t i = 1; i <= steps; ++i) {
            const auto [tx, ty] = target();
            x += (tx - x) * i / steps;
            y += (ty - y) * i / steps;
            if (!touch) game.mouse(2, x, y);
            game.tick();
        }
        const auto [tx, ty] = target();
        x = tx;
        y = ty;
        if (touch) {
            game.touch(1, x, y);
            game.tick();
            game.touch(3, x, y);
            return;
        }
        game.mouse(2, x, y);
        game.mouse(1, x, y);
        game.tick();
        game.mouse(3, x, y);
    };
    const int32_t startTick = game.view().tick;
    while (game.view().tick - startTick < ticks) {
        const GameView v = game.view();
        if (v.state == 0) break;
        AutoPlayer::Move move;
        if (v.state != mph::ShapeCanvas::kPlaying) {
            game.tick(pause(20, 40));
            bot.step();
            continue;
        }
        if (!bot.choose(v, move)) {
            game.tick();
            continue;
        }
        if (move.mouse.empty()) {
            game.tick(pause(10, 20));
            game.key(move.virtualKey, move.character);
            continue;
        }
        // Which tray shape and which slot the bot chose, so the pointer follows them as they move.
        size_t shape = 0, slot = 0;
        for (size_t i = 0; i < v.tray.size(); ++i)
            if (v.tray[i].x + v.shapeWidth / 2 == move.mouse[0][1] &&
                v.tray[i].y + v.shapeHeight / 2 == move.mouse[0][2])
                shape = i;
        for (size_t i = 0; i < v.slots.size(); ++i)
            if (v.slots[i].x + v.slotPitch / 2 == move.mouse[2][1] &&
                v.slots[i].y + v.rowPitch / 2 == move.mouse[2][2])
                slot = i;
        glideAndClick([&] {
            const GameView now = game.view();
            if (shape >= now.tray.size()) return std::make_pair(x, y);
            return std::make_pair(now.tray[shape].x + now.shapeWidth / 2,
                                  now.tray[shape].y + now.shapeHeight / 2);
        }, grab);
        game.tick(pause(2, 5));
        glideAndClick([&] {
            const GameView now = game.view();
            if (slot >= now.slots.size()) return std::make_pair(x, y);
            return std::make_pair(now.slots[slot].x + now.slotPitch / 2,
                                  now.slots[slot].y + now.rowPitch / 2);
        });
        if (!grab) game.tick(pause(8, 30));
    }
    if (game.view().state != 0) {
        EXPECT_TRUE(game.click("menuButton", error) && game.click("menudlg/bendgame", error)) << error;
    }
    ReplayFile file = recorder.lastGame();
    file.name = name;
    return file;
}

} // namespace replaytest
