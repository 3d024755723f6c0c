// The classic 15-bit pseudo-random generator, one per thread, and random() in [0, 1).
#pragma once

#include <cstdint>

namespace lang {

class CRandom {
public:
    static constexpr int32_t kMax = 32767;

    // Seeds the calling thread's generator.
    static void seed(uint32_t seed);
    // The calling thread's next value, 0 to 32767.
    static int32_t next();
    // Whether the calling thread's generator has been seeded by seed() or random().
    static bool isSeeded();
};

// On a thread's first call, seeds its generator from the millisecond tick count; then next() / 32768.
double random();

// Milliseconds since an arbitrary fixed moment, wrapping like a 32-bit tick count.
uint32_t tickCount();

} // namespace lang
