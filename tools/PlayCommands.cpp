// morphella-tool play and random: the game driven headless from standard input, one command a line, and
// the game's generator's output for a seed.
#include "Tool.h"

#include "game/GameObserver.h"
#include "headless/AutoPlayer.h"
#include "game/ShapeCanvas.h"
#include "headless/GameDump.h"
#include "headless/HeadlessGame.h"
#include "platform/Event.h"
#include "platform/PadButton.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayStore.h"
#include "replay/ReplayWatch.h"
#include "rules/Random.h"
#include "scores/HighScoreSprite.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

using mph::Event;
using mph::GameDump;
using mph::HeadlessGame;

bool parseInt(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty() || text.size() > 20) return false;
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    value = v;
    return true;
}

void emit(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

// Writes the game's events as they happen, each as its own line, and passes everything on to the recorder
// of games when there is one.
class EventPrinter : public mph::GameObserver {
public:
    EventPrinter(HeadlessGame& game, mph::GameObserver* next) : m_game(game), m_next(next) {}
    void onState(int32_t to) override {
        line("\"ev\":\"state\",\"to\":" + std::to_string(to));
        if (m_next != nullptr) m_next->onState(to);
    }
    void onSound(int32_t index) override {
        line("\"ev\":\"sound\",\"i\":" + std::to_string(index));
        if (m_next != nullptr) m_next->onSound(index);
    }
    void onLevel(int32_t level, int32_t mode) override {
        line("\"ev\":\"level\",\"level\":" + std::to_string(level) + ",\"mode\":" + std::to_string(mode));
        if (m_next != nullptr) m_next->onLevel(level, mode);
    }
    void onPopup(int32_t points) override {
        line("\"ev\":\"popup\",\"points\":" + std::to_string(points));
        if (m_next != nullptr) m_next->onPopup(points);
    }
    void onGameStart(const mph::GameStart& start) override {
        if (m_next != nullptr) m_next->onGameStart(start);
    }
    void onGameEnd(int32_t score, int32_t level) override {
        if (m_next != nullptr) m_next->onGameEnd(score, level);
    }
    void onInput(const mph::GameInput& input) override {
        if (m_next != nullptr) m_next->onInput(input);
    }
    void onResume(int32_t tick) override {
        if (m_next != nullptr) m_next->onResume(tick);
    }
    void onNameEntered(std::string_view name) override {
        if (m_next != nullptr) m_next->onNameEntered(name);
    }

private:
    void line(const std::string& body) {
        emit("{\"t\":" + std::to_string(m_game.clock()) + "," + body + "}");
    }
    HeadlessGame& m_game;
    mph::GameObserver* m_next;
};

std::string error(const std::string& message) {
    return "{\"error\":" + GameDump::quote(message) + "}";
}

// The character a virtual key types when the driver is given only the key.
int32_t characterOf(int32_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return virtualKey;
    return virtualKey;
}

// The virtual key of a typed character.
int32_t virtualKeyOf(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    return c;
}

// Runs one command line; the answer is one JSON object.
std::string runCommand(HeadlessGame& game, const std::string& line, bool& quit) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    const std::string ok = "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    auto rest = [&line, &verb]() {
        const size_t at = line.find(verb) + verb.size();
        return at < line.size() ? line.substr(at + 1) : std::string();
    };
    if (verb == "quit") {
        quit = true;
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "tick") {
        std::string n;
        long long count = 1;
        if (words >> n && !parseInt(n, 0, 1'000'000, count)) return error("tick: bad count \"" + n + "\"");
        game.tick(static_cast<int32_t>(count));
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "auto") {
        // The built-in bot plays for N ticks of game time, or until the game is over.
        std::string n;
        long long count = 1;
        if (words >> n && !parseInt(n, 0, 1'000'000, count)) return error("auto: bad count \"" + n + "\"");
        mph::AutoPlayer bot(game);
        const uint32_t start = game.clock();
        const uint32_t span = static_cast<uint32_t>(count) * HeadlessGame::kTickMs;
        bool playing = true;
        while (playing && game.clock() - start < span)
            playing = bot.step();
        return "{\"t\":" + std::to_string(game.clock()) +
               ",\"ok\":true,\"placed\":" + std::to_string(bot.placements()) +
               ",\"discarded\":" + std::to_string(bot.discards()) +
               ",\"over\":" + (playing ? "false" : "true") + "}";
    }
    if (verb == "press" || verb == "release" || verb == "move" || verb == "drag") {
        std::string xs, ys, extra;
        long long x = 0, y = 0;
        if (!(words >> xs >> ys) || (words >> extra) || !parseInt(xs, -100000, 100000, x) ||
            !parseInt(ys, -100000, 100000, y))
            return error(verb + ": needs X Y");
        const int32_t id = verb == "press"     ? Event::kMouseDown
                           : verb == "release" ? Event::kMouseUp
                           : verb == "move"    ? Event::kMouseMove
                                               : Event::kMouseDrag;
        game.mouse(id, static_cast<int32_t>(x), static_cast<int32_t>(y));
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "key") {
        std::string n, modifier, extra;
        long long key = 0;
        if (!(words >> n) || !parseInt(n, 0, 255, key)) return error("key: needs a key code 0-255");
        if ((words >> modifier) && (modifier != "shift" || (words >> extra)))
            return error("key: only \"shift\" may follow the key code");
        game.key(static_cast<int32_t>(key), characterOf(static_cast<int32_t>(key)), modifier == "shift");
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "pad") {
        std::string name, how, extra;
        if (!(words >> name) || (words >> how && (words >> extra)))
            return error("pad: needs a button and at most \"down\" or \"up\"");
        const int32_t button = mph::padButtonNamed(name);
        if (button < 0)
            return error("pad: no button \"" + name + "\" (a b x y back start l r up down left right)");
        if (!how.empty() && how != "down" && how != "up")
            return error("pad: \"" + how + "\" is neither down nor up");
        if (how != "up") game.pad(button, true);
        if (how != "down") game.pad(button, false);
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "stick") {
        std::string xs, ys, extra;
        long long x = 0, y = 0;
        if (!(words >> xs >> ys) || (words >> extra) || !parseInt(xs, -32768, 32767, x) ||
            !parseInt(ys, -32768, 32767, y))
            return error("stick: needs X Y from -32768 to 32767");
        game.stick(static_cast<int32_t>(x), static_cast<int32_t>(y));
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "touch") {
        std::string how, xs, ys, extra;
        long long x = 0, y = 0;
        if (!(words >> how >> xs >> ys) || (words >> extra) ||
            (how != "down" && how != "move" && how != "up") || !parseInt(xs, -100000, 100000, x) ||
            !parseInt(ys, -100000, 100000, y))
            return error("touch: needs down, move or up and X Y");
        const int32_t id = how == "down" ? Event::kMouseDown
                           : how == "up" ? Event::kMouseUp
                                         : Event::kMouseDrag;
        game.touch(id, static_cast<int32_t>(x), static_cast<int32_t>(y));
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "type") {
        const std::string text = rest();
        for (unsigned char c : text)
            game.key(virtualKeyOf(c), c);
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "click") {
        std::string path, extra, message;
        if (!(words >> path) || (words >> extra)) return error("click: needs one path");
        if (!game.click(path, message)) return error("click: " + message);
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    if (verb == "dump") return game.dumpJson();
    if (verb == "sprite") {
        std::string path, extra, message;
        if (!(words >> path) || (words >> extra)) return error("sprite: needs one path");
        const std::string answer = game.spriteJson(path, message);
        return answer.empty() ? error("sprite: " + message) : answer;
    }
    if (verb == "snapshot") {
        const std::string file = rest();
        std::string message;
        if (file.empty()) return error("snapshot: needs a file name");
        if (!game.snapshot(file, message)) return error("snapshot: " + message);
        return "{\"t\":" + std::to_string(game.clock()) + ",\"ok\":true}";
    }
    return error("unknown command \"" + verb + "\"");
}

int runPlay(const tool::Args& given) {
    tool::Args args = given;
    HeadlessGame::Options options;
    std::string seed;
    tool::takeOption(args, "--container", options.container);
    tool::takeOption(args, "--store", options.store);
    tool::takeOption(args, "--language", options.language);
    std::string replays;
    tool::takeOption(args, "--replays", replays);
    std::string display;
    if (tool::takeOption(args, "--display", display)) {
        const size_t x = display.find('x');
        long long w = 0, h = 0;
        if (x == std::string::npos || !parseInt(display.substr(0, x), 1, 100000, w) ||
            !parseInt(display.substr(x + 1), 1, 100000, h))
            return tool::usageError("play: bad display size \"" + display + "\" (WIDTHxHEIGHT)");
        options.displayWidth = static_cast<int32_t>(w);
        options.displayHeight = static_cast<int32_t>(h);
    }
    if (tool::takeOption(args, "--seed", seed)) {
        long long value = 0;
        if (!parseInt(seed, 0, 0xFFFFFFFFLL, value))
            return tool::usageError("play: bad seed \"" + seed + "\"");
        options.seed = static_cast<uint32_t>(value);
    }
    if (!args.empty())
        return tool::usageError(
            "usage: play [--container FILE] [--seed N] [--store FILE] [--language CODE] [--display WxH] "
            "[--replays DIR]");

    // The tables' recorded games play over the game as they do in the window; the game goes first.
    mph::ReplayWatch watch;
    // With a folder for them, finished games are kept as the game keeps them, and the personal table's rows
    // that have one get their play mark.
    std::unique_ptr<mph::ReplayStore> store;
    std::unique_ptr<mph::ReplayRecorder> recorder;
    if (!replays.empty()) {
        store = std::make_unique<mph::ReplayStore>(replays);
        recorder = std::make_unique<mph::ReplayRecorder>(store.get());
        mph::HighScoreSprite::setRecordedGames(store.get());
    }
    struct Forget {
        ~Forget() { mph::HighScoreSprite::setRecordedGames(nullptr); }
    } forget;
    HeadlessGame game;
    EventPrinter printer(game, recorder.get());
    game.setObserver(&printer);
    std::string message;
    if (!game.start(options, message)) {
        std::fprintf(stderr, "morphella-tool: play: %s\n", message.c_str());
        return tool::kMissing;
    }
    game.canvas().setWatch(&watch);
    std::fflush(stdout);
    std::string line;
    bool quit = false;
    while (!quit && std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        emit(runCommand(game, line, quit));
        std::fflush(stdout);
    }
    return tool::kOk;
}

int runRandom(const tool::Args& args) {
    long long seed = 0, count = 0, bound = 0;
    if (args.size() < 2 || args.size() > 3 || !parseInt(args[0], 0, 0xFFFFFFFFLL, seed) ||
        !parseInt(args[1], 0, 100'000'000, count) ||
        (args.size() == 3 && !parseInt(args[2], INT32_MIN, INT32_MAX, bound)))
        return tool::usageError("usage: random SEED COUNT [BOUND]");
    lang::Ref<mph::Random> random = lang::make<mph::Random>(static_cast<uint32_t>(seed));
    for (long long i = 0; i < count; ++i) {
        if (args.size() == 3)
            std::printf("%d\n", random->nextInt(static_cast<int32_t>(bound)));
        else
            std::printf("%u\n", random->nextWord());
    }
    return tool::kOk;
}

tool::Registration play(
    "play",
    "play [--container FILE] [--seed N] [--store FILE] [--language CODE] [--display WxH] [--replays DIR]\n"
    "    runs the game headless: commands on standard input (tick [N], auto [N], "
    "press|release|move|drag X Y,\n"
    "    key N [shift], pad BUTTON [down|up], stick X Y, touch down|move|up X Y, type TEXT, click PATH,\n"
    "    dump, sprite PATH, snapshot FILE, quit), one JSON line each;\n"
    "    --language plays in another language (\"de\", \"pt_BR\"; default the store's LANGUAGE setting, "
    "else English);\n"
    "    --replays keeps finished games in DIR, as the game keeps them, for the personal table's play marks",
    runPlay);
tool::Registration
    random("random", "random SEED COUNT [BOUND]\n    prints the game generator's words, or nextInt(BOUND)",
           runRandom);

} // namespace
