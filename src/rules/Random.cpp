// Random: seeding from the runtime generator, the ISAAC initialisation, batches and bounded draws.
#include "rules/Random.h"

#include "runtime/CRandom.h"
#include "runtime/SyncGuard.h"

#include <cstdlib>

using namespace lang;

namespace mph {

namespace {

constexpr uint32_t rotr(uint32_t v, int n) {
    return (v >> n) | (v << (32 - n));
}

// The standard ISAAC scrambling of eight words.
// clang-format off
void mix(uint32_t w[8]) {
    uint32_t &a = w[0], &b = w[1], &c = w[2], &d = w[3], &e = w[4], &f = w[5], &g = w[6], &h = w[7];
    a ^= b << 11; d += a; b += c;
    b ^= c >> 2;  e += b; c += d;
    c ^= d << 8;  f += c; d += e;
    d ^= e >> 16; g += d; e += f;
    e ^= f << 10; h += e; f += g;
    f ^= g >> 4;  a += f; g += h;
    g ^= h << 8;  b += g; h += a;
    h ^= a >> 9;  c += h; a += b;
}
// clang-format on

} // namespace

Random::Random(uint32_t seed) : m_seed(seed) {
    CRandom::seed(seed);
    const int32_t skip = std::abs(CRandom::next()) % 10000;
    for (int32_t i = 0; i < skip; ++i)
        CRandom::next();
    for (uint32_t& word : m_results)
        word = static_cast<uint32_t>(CRandom::next());
    for (uint32_t& word : m_memory)
        word = 0;

    uint32_t w[8];
    for (uint32_t& word : w)
        word = 0x9E3779B9u;
    for (int32_t i = 0; i < 4; ++i)
        mix(w);
    for (int32_t i = 0; i < 256; i += 8) {
        for (int32_t j = 0; j < 8; ++j)
            w[j] += m_results[i + j];
        mix(w);
        for (int32_t j = 0; j < 8; ++j)
            m_memory[i + j] = w[j];
    }
    for (int32_t i = 0; i < 256; i += 8) {
        for (int32_t j = 0; j < 8; ++j)
            w[j] += m_memory[i + j];
        mix(w);
        for (int32_t j = 0; j < 8; ++j)
            m_memory[i + j] = w[j];
    }
    generate();
    m_remaining = 256;
}

void Random::generate() {
    m_c += 1;
    m_b += m_c;
    for (int32_t i = 0; i < 256; ++i) {
        const uint32_t x = m_memory[i];
        switch (i & 3) {
        case 0:
            m_a ^= m_a << 13;
            break;
        case 1:
            m_a ^= rotr(m_a, 6);
            break;
        case 2:
            m_a ^= m_a << 2;
            break;
        default:
            m_a ^= rotr(m_a, 16);
            break;
        }
        m_a += m_memory[(i + 128) & 255];
        const uint32_t y = m_memory[(x >> 2) & 255] + m_a + m_b;
        m_memory[i] = y;
        m_b = m_memory[(y >> 10) & 255] + x;
        m_results[i] = m_b;
    }
}

void Random::skip(uint64_t count) {
    for (uint64_t i = 0; i < count; ++i)
        nextWord();
}

uint32_t Random::nextWord() {
    SyncGuard guard(this);
    ++m_draws;
    if (--m_remaining < 0) {
        generate();
        m_remaining = 255;
    }
    return m_results[m_remaining];
}

int32_t Random::nextInt(int32_t n) {
    if (n <= 0) return 0;
    int32_t bits = 0;
    while (bits < 31 && (n >> bits) != 0)
        ++bits;
    const uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u;
    for (;;) {
        const int32_t word = static_cast<int32_t>(nextWord());
        const uint32_t v = static_cast<uint32_t>((word >> (32 - bits)) + m_offset) & mask;
        if (v <= static_cast<uint32_t>(n)) return static_cast<int32_t>(v);
    }
}

} // namespace mph
