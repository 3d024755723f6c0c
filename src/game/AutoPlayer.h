// AutoPlayer: a simple player for the headless game: it takes the first tray shape that fits an empty slot
// in view and drops it there, throws away shapes that fit nowhere, and continues after each level. Tests
// and benchmarks use it to play whole levels.
#pragma once

#include <cstdint>

namespace mph {

class HeadlessGame;
struct GameView;

class AutoPlayer {
public:
    explicit AutoPlayer(HeadlessGame& game) : m_game(game) {}

    // One move if one is possible right now, else one tick. Returns false on the start screen (the game
    // is over), where it does nothing.
    bool step();

    int32_t placements() const { return m_placements; }
    int32_t discards() const { return m_discards; }

private:
    bool tryPlacement(const GameView& v);
    bool tryDiscard(const GameView& v);

    HeadlessGame& m_game;
    int32_t m_placements = 0;
    int32_t m_discards = 0;
};

} // namespace mph
