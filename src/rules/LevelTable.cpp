// LevelTable: the table of levels 1 to 32 and the bonus round's variation of it.
#include "rules/LevelTable.h"

#include <algorithm>

namespace mph {

namespace {

struct Row {
    int32_t firstLevel;
    int32_t slotsPerRow, frames, pairs, triples, wildcardEvery, morphEvery;
};

// Each row holds from its first level up to the next row's first level.
constexpr Row kTable[] = {
    {1, 7, 6, 0, 0, 0, 0},      {2, 8, 8, 0, 0, 0, 0},      {3, 9, 9, 0, 0, 0, 0},
    {4, 10, 9, 0, 0, 0, 0},     {5, 11, 10, 0, 0, 0, 53},   {7, 11, 11, 0, 0, 53, 37},
    {8, 11, 12, 1, 0, 53, 37},  {9, 12, 12, 1, 1, 53, 37},  {10, 12, 13, 4, 0, 53, 37},
    {11, 12, 13, 2, 1, 53, 37}, {12, 12, 14, 0, 1, 53, 37}, {13, 12, 14, 2, 1, 53, 37},
    {14, 12, 14, 3, 1, 53, 37}, {15, 12, 15, 2, 0, 53, 37}, {17, 12, 15, 2, 2, 53, 37},
    {18, 12, 15, 3, 2, 53, 37}, {19, 12, 16, 0, 2, 53, 37}, {20, 12, 16, 3, 1, 53, 37},
    {22, 12, 16, 5, 1, 53, 37}, {23, 12, 17, 1, 2, 53, 37}, {24, 12, 17, 1, 3, 53, 37},
    {25, 12, 17, 3, 3, 53, 37}, {27, 12, 18, 2, 2, 53, 37}, {28, 12, 18, 7, 0, 53, 37},
    {29, 12, 18, 5, 2, 53, 37}, {30, 12, 18, 4, 3, 53, 37}, {32, 12, 20, 5, 3, 53, 37},
};

} // namespace

GameMode LevelTable::modeFor(GameMode mode, int32_t level) {
    if (mode == kRisingRows) return kRisingRows;
    return level % 5 == 0 ? kBonusRound : kTimedGame;
}

LevelParams LevelTable::params(int32_t level, GameMode mode) {
    const Row* row = &kTable[0];
    for (const Row& r : kTable)
        if (level >= r.firstLevel) row = &r;
    LevelParams p;
    p.rowCount = kRowCount;
    p.slotsPerRow = std::min(row->slotsPerRow, kMaxSlotsPerRow);
    p.frameCount = row->frames;
    p.pairCount = row->pairs;
    p.tripleCount = row->triples;
    p.wildcardEvery = row->wildcardEvery;
    p.morphEvery = row->morphEvery;
    if (mode == kBonusRound) {
        p.slotsPerRow = std::clamp(level / 5 + 6, 1, kMaxSlotsPerRow);
        p.wildcardEvery = 0;
        p.morphEvery = 0;
    }
    return p;
}

} // namespace mph
