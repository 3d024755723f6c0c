// Random: the game's generator for every choice of the board, an ISAAC generator with two rotations in
// place of shifts.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace mph {

// Results are handed out from the end of each batch of 256 down; a new batch is made under the object's
// monitor, so a draw from another thread is safe. Seeding also seeds the calling thread's runtime
// generator (the seed words come from it), exactly as the game has always done.
class Random : public lang::Object {
    LANG_CLASS(Random, Object)

public:
    explicit Random(uint32_t seed);

    // The next 32-bit result.
    uint32_t nextWord();
    // A uniform integer in [0, n]; 0 without drawing when n < 1. Draws the top bits of a word, as many as
    // n has, and retries while the value exceeds n.
    int32_t nextInt(int32_t n);
    // The top two bits of the next word.
    int32_t nextTwoBits() { return static_cast<int32_t>(nextWord() >> 30); }

    uint32_t getSeed() const { return m_seed; }
    // How many words have been drawn since seeding; skip draws and discards that many more.
    uint64_t getDraws() const { return m_draws; }
    void skip(uint64_t count);
    int32_t getRemaining() const { return m_remaining; }

private:
    void generate();

    uint32_t m_results[256];
    uint32_t m_memory[256];
    uint32_t m_a = 0;
    uint32_t m_b = 0;
    uint32_t m_c = 0;
    int32_t m_remaining = 0;
    int32_t m_offset = 0;
    uint32_t m_seed = 0;
    uint64_t m_draws = 0;
};

} // namespace mph
