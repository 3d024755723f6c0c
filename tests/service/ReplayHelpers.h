// ReplayHelpers: what the replay tests share: the game's data, a short bot game recorded, a POST of a
// recording and the submission of a recorded game's entry.
#pragma once

#include "HttpGet.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "scores/ScoreToken.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

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
    EXPECT_TRUE(game.start(options, error)) << error;
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

} // namespace replaytest
