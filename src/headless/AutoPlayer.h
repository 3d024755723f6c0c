// AutoPlayer: a simple player for the headless game: it takes the first tray shape that fits an empty slot
// in view and drops it there, throws away shapes that fit nowhere, and continues after each level. Tests
// and benchmarks use it to play whole levels.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace mph {

class HeadlessGame;
struct GameView;

class AutoPlayer {
public:
    // A move: mouse events (id, x, y) in order, or else one key (its virtual key and character).
    struct Move {
        std::vector<std::array<int32_t, 3>> mouse;
        int32_t virtualKey = 0;
        int32_t character = 0;
    };

    // A bot that only chooses moves (see choose); step() needs a game.
    AutoPlayer() = default;
    explicit AutoPlayer(HeadlessGame& game) : m_game(&game) {}

    // One move if one is possible right now, else one tick. Returns false on the start screen (the game
    // is over), where it does nothing.
    bool step();
    // The move for a board in play, counted as made; false when the bot would rather wait a tick.
    bool choose(const GameView& v, Move& move);

    int32_t placements() const { return m_placements; }
    int32_t discards() const { return m_discards; }

private:
    bool tryPlacement(const GameView& v, Move& move);
    bool tryDiscard(const GameView& v, Move& move);

    // Moves in a row without a tick before step() lets time go on regardless (far more than a tray holds).
    static constexpr int32_t kMaxMovesPerTick = 64;

    HeadlessGame* m_game = nullptr;
    int32_t m_movesSinceTick = 0;
    int32_t m_placements = 0;
    int32_t m_discards = 0;
};

} // namespace mph
