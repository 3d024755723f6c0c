// Scoring: the arithmetic of placements, combos, rows, level ends and the counting score display.
#include "rules/Scoring.h"

#include <algorithm>
#include <limits>

namespace mph {

namespace {
int32_t saturate(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}
} // namespace

int32_t Scoring::placement(int32_t level, int32_t speedBonus) {
    const int64_t l = level;
    return saturate(((l * 3 + 7) * speedBonus * 10) / 100 + l * 30 + 70);
}

int32_t Scoring::combo(int32_t level, int32_t combo) {
    return saturate((int64_t{level} + 4) * combo * 50);
}

int32_t Scoring::morphBonus(int32_t level) {
    return saturate((int64_t{level} + 5) * 250);
}

int32_t Scoring::rowClear(int32_t position, int32_t level, int32_t timeLeft) {
    const int64_t k = 5 - position;
    return saturate((k * k + 3) * (int64_t{level} + 5) * (int64_t{timeLeft} + 20));
}

int32_t Scoring::levelComplete(int32_t level, int32_t timeLeft) {
    return saturate((int64_t{timeLeft} + (int64_t{level} + 5) * 10) * 250);
}

int32_t Scoring::bonusRound(int32_t slotsPerRow, int32_t frameCount) {
    return saturate((int64_t{slotsPerRow} + frameCount) * 2500);
}

int32_t Scoring::comboSound(int32_t combo) {
    if (combo <= 2) return 9;
    if (combo == 4) return 10;
    return 11;
}

int32_t Scoring::displayStep(int32_t shown, int32_t score) {
    if (shown >= score) return shown;
    const int64_t gap = int64_t{score} - shown;
    if (gap > 10000) return shown + 9111;
    if (gap > 1000) return shown + 911;
    if (gap > 100) return shown + 91;
    if (gap > 10) return shown + 9;
    return score;
}

int32_t Scoring::levelCompleteOpacity(int32_t t) {
    if (t >= 0) return std::clamp((64 - t) * 2, 0, 128);
    if (t >= -138 && t <= -11) return t + 138;
    return -1;
}

} // namespace mph
