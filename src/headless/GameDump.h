// GameDump: a plain copy of the game's state for drivers, bots and tests, and its JSON text.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mph {

class ShapeCanvas;
class Sprite;

struct GameView {
    struct Tray {
        int32_t frame = 0, x = 0, y = 0;
        bool visible = false, morphing = false, carrier = false;
    };
    struct Row {
        int32_t y = 0, targetY = 0, first = 0, head = 0, tail = 0;
        bool reversed = false, cleared = false;
    };
    struct Slot {
        int32_t x = 0, y = 0, frame = 0;
        bool visible = false, filled = false;
    };
    uint32_t t = 0;
    int32_t tick = 0;
    int32_t state = 0, mode = 0, level = 0, score = 0, timeLeft = 0, roundsLeft = 0, speedBonus = 0,
            combo = 1;
    int32_t lastPlacedFrame = -1, placed = 0, total = 0, slotsPerRow = 0, rowSpeed = 0, revealer = 0,
            decoy = -1;
    std::vector<int32_t> chosenFrames, deck;
    int32_t deckIndex = 0;
    int32_t held = -1;
    int32_t heldX = 0, heldY = 0;
    std::vector<Tray> tray;
    std::vector<Row> rows;
    std::vector<Slot> slots;
    std::vector<int32_t> powerUps;
    // Board and tray rectangles, sizes and the kind table.
    int32_t boardLeft = 0, boardTop = 0, boardWidth = 0, boardHeight = 0;
    int32_t trayLeft = 0, trayTop = 0, trayWidth = 0, trayHeight = 0;
    int32_t slotPitch = 0, rowPitch = 0, shapeWidth = 0, shapeHeight = 0;
    std::vector<int32_t> framesPerKind;
    std::vector<std::string> dialogs;
    // Where a keyboard's focus is: the focused button's path as click takes it (empty when no ring shows),
    // the focused tray place and the targeted slot (-1 when none).
    std::string focus;
    int32_t trayFocus = -1, target = -1;
    // Where the pointer is (the stick moves it), and the on-screen keyboard: shown, and its focused key.
    int32_t pointerX = 0, pointerY = 0;
    bool keyboard = false;
    std::string keyboardKey;
    // The window the game is shown in (for the headless game, the one it would open).
    int32_t windowWidth = 0, windowHeight = 0;
    double windowScale = 1.0;
    bool fullScreen = false;
    // The high-score dialog while it shows: its view ("personal" or "world"), its table ("S" or "N"),
    // the console's text while it shows (else empty) and the shown rows, each with whether it has a play
    // mark and the mark's middle in picture coordinates.
    struct ScoreLine {
        int32_t rank = 0, score = 0, level = 0;
        std::string name;
        bool verified = false, play = false;
        int32_t playX = 0, playY = 0;
    };
    bool highScoresShown = false;
    std::string highScoresView, highScoresMode, highScoresMessage;
    std::vector<ScoreLine> highScoreRows;
    // A recorded game shown over the game, and how far it is.
    bool watching = false, watchPaused = false, watchEnded = false;
    int32_t watchSpeed = 1, watchTick = 0, watchScore = 0, watchLevel = 0;
};

class GameDump {
public:
    // Copies the state under the canvas lock; t is the clock the caller reports.
    static GameView view(ShapeCanvas& canvas, uint32_t t);
    static std::string json(const GameView& view);

    // The sprite a path names: a sprite's name, or a slash-separated path through dialogs to a child.
    // Fills its picture position (a child's included) and whether it and every dialog above it are
    // visible; null with a message when the path names nothing.
    struct Found {
        Sprite* sprite = nullptr;
        int32_t x = 0, y = 0;
        bool visible = false;
    };
    static Found find(ShapeCanvas& canvas, const std::string& path, std::string& error);
    // One sprite as JSON: class, position, size, visibility and what its class shows.
    static std::string spriteJson(ShapeCanvas& canvas, const std::string& path, std::string& error);

    // Text as a JSON string literal; bytes above 127 are written as the Latin-1 characters they are.
    static std::string quote(const std::string& text);

private:
    static void highScores(ShapeCanvas& canvas, GameView& view);
};

} // namespace mph
