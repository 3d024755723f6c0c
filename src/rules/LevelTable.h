// LevelTable: what each level of the game looks like, and which game a level is played in.
#pragma once

#include <cstdint>

namespace mph {

// The three games: the timed game, its bonus round every fifth level, and the rising-rows game.
enum GameMode : int32_t { kTimedGame = 0, kBonusRound = 1, kRisingRows = 2 };

struct LevelParams {
    int32_t rowCount = 5;
    int32_t slotsPerRow = 7;
    int32_t frameCount = 6; // different frames on the board
    int32_t pairCount = 0;
    int32_t tripleCount = 0;
    int32_t wildcardEvery = 0; // 0: never
    int32_t morphEvery = 0;    // 0: never
};

class LevelTable {
public:
    static constexpr int32_t kRowCount = 5;
    static constexpr int32_t kMaxSlots = 100;
    static constexpr int32_t kMaxSlotsPerRow = kMaxSlots / kRowCount;

    // The game a level is played in: a timed game's fifth levels are bonus rounds; a bonus round's next
    // level is timed again; the rising-rows game stays as it is.
    static GameMode modeFor(GameMode mode, int32_t level);
    // The level's parameters in the given game (a bonus round's rows are shorter and it deals no special
    // pieces). Levels from 32 on use the last row of the table; levels below 1 the first.
    static LevelParams params(int32_t level, GameMode mode);
    // The number of distinct ordinary kinds a level's frame choice needs.
    static int32_t kindsNeeded(const LevelParams& p) {
        return p.frameCount - p.pairCount - 2 * p.tripleCount;
    }
};

} // namespace mph
