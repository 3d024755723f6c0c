// Scoring: every score the game awards, and the small time rules that go with them.
#pragma once

#include <cstdint>

namespace mph {

// All divisions discard the fraction. Results saturate instead of overflowing on absurd inputs.
class Scoring {
public:
    static constexpr int32_t kFullSpeedBonus = 140;
    static constexpr int32_t kPowerUpPoints = 10000;

    // A filled slot: grows with the level and with how quickly it followed the last placement.
    static int32_t placement(int32_t level, int32_t speedBonus);
    // The pop-up for placing the same frame again; combo is the multiplier before it doubles.
    static int32_t combo(int32_t level, int32_t combo);
    // The pop-up for placing a morphing shape.
    static int32_t morphBonus(int32_t level);
    // A cleared row at position (0 is the top), with the time units left.
    static int32_t rowClear(int32_t position, int32_t level, int32_t timeLeft);
    // Added when a level is complete.
    static int32_t levelComplete(int32_t level, int32_t timeLeft);
    // Added when every slot of a bonus round was filled.
    static int32_t bonusRound(int32_t slotsPerRow, int32_t frameCount);
    // The sound of a placement with a pop-up, by the combo after doubling.
    static int32_t comboSound(int32_t combo);
    // The next value the score display shows on its way up to score.
    static int32_t displayStep(int32_t shown, int32_t score);
    // The "level complete" picture's opacity at level-end countdown t, or -1 where it stays as it is.
    static int32_t levelCompleteOpacity(int32_t t);
};

} // namespace mph
