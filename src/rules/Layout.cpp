// Layout: reading the board's integers and checking that the kind table can serve every level.
#include "rules/Layout.h"

#include "rules/LevelTable.h"
#include "runtime/IntArray.h"

#include <algorithm>

namespace mph {

namespace {
constexpr int32_t kFixedIntegers = 9;
constexpr int32_t kMaxKinds = 200;
} // namespace

int32_t Layout::frameTotal() const {
    int32_t total = 0;
    for (int32_t n : framesPerKind)
        total += n;
    return total;
}

bool Layout::read(const lang::IntArray& data, std::string& error) {
    if (data.length < kFixedIntegers) {
        error = "the data section has " + std::to_string(data.length) +
                " integers; the board layout needs at least 9 (board, tray and the kind count)";
        return false;
    }
    boardLeft = data[0];
    boardTop = data[1];
    boardWidth = data[2];
    boardHeight = data[3];
    trayLeft = data[4];
    trayTop = data[5];
    trayWidth = data[6];
    trayHeight = data[7];
    const int32_t kinds = data[8];
    if (kinds < 2 || kinds > kMaxKinds) {
        error = "the kind count is " + std::to_string(kinds) + "; it must be between 2 and " +
                std::to_string(kMaxKinds) + " (ordinary kinds and the wildcard kind last)";
        return false;
    }
    if (data.length < kFixedIntegers + kinds) {
        error = "the data section lists frames for " + std::to_string(data.length - kFixedIntegers) + " of " +
                std::to_string(kinds) + " kinds";
        return false;
    }
    framesPerKind.assign(kinds, 0);
    firstFrameOfKind.assign(kinds, 0);
    int32_t first = 0;
    for (int32_t k = 0; k < kinds; ++k) {
        const int32_t n = data[kFixedIntegers + k];
        if (n < 1 || n > 1000) {
            error = "kind " + std::to_string(k) + " has " + std::to_string(n) + " frames";
            return false;
        }
        framesPerKind[k] = n;
        firstFrameOfKind[k] = first;
        first += n;
    }
    return true;
}

bool Layout::validate(int32_t frameCells, std::string& error) const {
    if (slotPitch < 1 || rowPitch < 1 || shapeWidth < 1 || shapeHeight < 1) {
        error = "the \"slot\" and \"shape\" sprites must have a size";
        return false;
    }
    if (boardWidth < 1 || boardHeight < 1 || trayWidth < 1 || trayHeight < 1) {
        error = "the board and the tray must have a size";
        return false;
    }
    if (frameTotal() > frameCells) {
        error = "the kind table names " + std::to_string(frameTotal()) +
                " frames but the \"shape\" picture has " + std::to_string(frameCells) + " cells";
        return false;
    }
    // Kinds by variant count, for each level: the triples' kinds need four variants, the pairs' two, and
    // every choice a kind not chosen before.
    const int32_t ordinary = kindCount() - 1;
    int32_t withFour = 0;
    int32_t withTwo = 0;
    for (int32_t k = 0; k < ordinary; ++k) {
        if (framesPerKind[k] >= 4) ++withFour;
        if (framesPerKind[k] >= 2) ++withTwo;
    }
    for (int32_t level = 1; level <= 32; ++level) {
        const LevelParams p = LevelTable::params(level, kTimedGame);
        const int32_t needed = LevelTable::kindsNeeded(p);
        std::string lack;
        if (needed > ordinary)
            lack = std::to_string(needed) + " different ordinary kinds (the data has " +
                   std::to_string(ordinary) + ")";
        else if (p.tripleCount > withFour)
            lack = std::to_string(p.tripleCount) + " kinds with at least 4 frames (the data has " +
                   std::to_string(withFour) + ")";
        else if (p.tripleCount + p.pairCount > withTwo)
            lack = std::to_string(p.tripleCount + p.pairCount) +
                   " kinds with at least 2 frames (the data has " + std::to_string(withTwo) + ")";
        if (!lack.empty()) {
            error = "level " + std::to_string(level) + " needs " + lack;
            return false;
        }
    }
    return true;
}

} // namespace mph
