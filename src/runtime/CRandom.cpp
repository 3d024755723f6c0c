// The per-thread generator.
#include "runtime/CRandom.h"

#include <chrono>

namespace lang {

namespace {
struct State {
    uint32_t value = 1; // an unseeded generator starts as if seeded with 1
    bool seeded = false;
};
thread_local State state;
} // namespace

void CRandom::seed(uint32_t seed) {
    state.value = seed;
    state.seeded = true;
}

int32_t CRandom::next() {
    state.value = state.value * 214013u + 2531011u;
    return static_cast<int32_t>((state.value >> 16) & 0x7FFFu);
}

bool CRandom::isSeeded() { return state.seeded; }

double random() {
    if (!state.seeded) CRandom::seed(tickCount());
    return CRandom::next() / 32768.0;
}

uint32_t tickCount() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

} // namespace lang
