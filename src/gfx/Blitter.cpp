// Blitter: clipping, loop selection and the scalar pixel loops of the software blitters.
#include "gfx/Blitter.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace mph {

namespace {

// Any opacity at or above this makes a pixel of alpha 1 fully covering, so larger values change nothing;
// capping keeps alpha x opacity inside 32 bits.
constexpr int32_t kMaxFactor = 32640;

std::atomic<int> g_simdLevel{-1};

int32_t clampFactor(int32_t v) {
    return std::clamp(v, 0, kMaxFactor);
}

inline uint32_t blendChannels(uint32_t s, uint32_t d, uint32_t k) {
    const uint32_t r = ((((s >> 16) & 0xFF) * k + ((d >> 16) & 0xFF) * (256 - k)) >> 8);
    const uint32_t g = ((((s >> 8) & 0xFF) * k + ((d >> 8) & 0xFF) * (256 - k)) >> 8);
    const uint32_t b = (((s & 0xFF) * k + (d & 0xFF) * (256 - k)) >> 8);
    return (r << 16) | (g << 8) | b;
}

inline uint32_t tintRgb(uint32_t c, const int32_t* sc) {
    return (Blitter::tint((c >> 16) & 0xFF, sc[0]) << 16) | (Blitter::tint((c >> 8) & 0xFF, sc[1]) << 8) |
           Blitter::tint(c & 0xFF, sc[2]);
}

// The normal blend of one row. Opaque128: opacity is exactly 128, so coverage is the source alpha itself.
template <bool Opaque128, bool Tinted, bool Keep>
void normalRow(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    const uint32_t op = static_cast<uint32_t>(p.opacity);
    int32_t i = 0;
    while (i < n) {
        const uint32_t sp = s[i];
        const uint32_t sa = sp >> 24;
        if constexpr (Opaque128 && !Tinted) {
            // Runs of opaque pixels are copied and runs of clear ones skipped as whole spans.
            if (sa == 255) {
                int32_t j = i + 1;
                while (j < n && (s[j] >> 24) == 255)
                    ++j;
                std::memcpy(d + i, s + i, static_cast<size_t>(j - i) * 4);
                i = j;
                continue;
            }
            if (sa == 0) {
                ++i;
                while (i < n && (s[i] >> 24) == 0)
                    ++i;
                continue;
            }
        }
        const uint32_t a = Opaque128 ? sa * 128 : sa * op;
        if (a >= 32640) {
            d[i] = Tinted ? 0xFF000000u | tintRgb(sp, p.scales) : sp;
        } else if (a >= 128) {
            const uint32_t dp = d[i];
            if (Keep && (dp >> 24) == 0) {
                d[i] = sp;
            } else {
                const uint32_t c = blendChannels(sp, dp, a >> 7);
                d[i] = 0xFF000000u | (Tinted ? tintRgb(c, p.scales) : c);
            }
        }
        ++i;
    }
}

template <bool Tinted, bool Keep>
void additiveRow(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n) {
    const uint32_t op = static_cast<uint32_t>(p.opacity);
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t sp = s[i];
        const uint32_t a = (sp >> 24) * op;
        if (a < 128) continue;
        const uint32_t dp = d[i];
        uint32_t add;
        if (a >= 32640) {
            add = sp & 0xFFFFFF;
        } else {
            if (Keep && (dp >> 24) == 0) {
                d[i] = sp;
                continue;
            }
            const uint32_t k = a >> 7;
            add = ((((sp >> 16) & 0xFF) * k >> 8) << 16) | ((((sp >> 8) & 0xFF) * k >> 8) << 8) |
                  ((sp & 0xFF) * k >> 8);
        }
        if (Tinted) add = tintRgb(add, p.scales);
        const uint32_t r = std::min<uint32_t>(255, ((dp >> 16) & 0xFF) + ((add >> 16) & 0xFF));
        const uint32_t g = std::min<uint32_t>(255, ((dp >> 8) & 0xFF) + ((add >> 8) & 0xFF));
        const uint32_t b = std::min<uint32_t>(255, (dp & 0xFF) + (add & 0xFF));
        d[i] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
}

using RowFn = void (*)(const BlendRow&, const uint32_t*, uint32_t*, int32_t);

RowFn pickNormal(bool opaque128, bool tinted, bool keep) {
    static constexpr RowFn table[8] = {
        normalRow<false, false, false>, normalRow<false, false, true>, normalRow<false, true, false>,
        normalRow<false, true, true>,   normalRow<true, false, false>, normalRow<true, false, true>,
        normalRow<true, true, false>,   normalRow<true, true, true>,
    };
    return table[(opaque128 ? 4 : 0) | (tinted ? 2 : 0) | (keep ? 1 : 0)];
}

RowFn pickAdditive(bool tinted, bool keep) {
    static constexpr RowFn table[4] = {additiveRow<false, false>, additiveRow<false, true>,
                                       additiveRow<true, false>, additiveRow<true, true>};
    return table[(tinted ? 2 : 0) | (keep ? 1 : 0)];
}

} // namespace

int Blitter::simdLevel() {
    int level = g_simdLevel.load(std::memory_order_relaxed);
    if (level < 0) {
#if defined(__x86_64__) || defined(__SSE2__)
        level = cpuHasAvx2() ? 2 : 1;
#else
        level = 0;
#endif
        g_simdLevel.store(level, std::memory_order_relaxed);
    }
    return level;
}

void Blitter::setSimdLevel(int level) {
#if defined(__x86_64__) || defined(__SSE2__)
    const int best = cpuHasAvx2() ? 2 : 1;
#else
    const int best = 0;
#endif
    g_simdLevel.store(std::clamp(level, 0, best), std::memory_order_relaxed);
}

bool Blitter::clipTo(int32_t x, int32_t y, int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const {
    if (src == nullptr || dst == nullptr) return false;
    const int64_t left = std::max<int64_t>({x, clipX, 0});
    const int64_t top = std::max<int64_t>({y, clipY, 0});
    const int64_t right = std::min<int64_t>({int64_t(x) + srcWidth, int64_t(clipX) + clipW, dstWidth});
    const int64_t bottom = std::min<int64_t>({int64_t(y) + srcHeight, int64_t(clipY) + clipH, dstHeight});
    if (right <= left || bottom <= top) return false;
    x0 = int32_t(left);
    y0 = int32_t(top);
    x1 = int32_t(right);
    y1 = int32_t(bottom);
    return true;
}

void Blitter::blend(int32_t x, int32_t y, bool additive) const {
    const int32_t op = clampFactor(opacity);
    if (op == 0) return;
    int32_t x0, y0, x1, y1;
    if (!clipTo(x, y, x0, y0, x1, y1)) return;
    BlendRow p{op,
               {clampFactor(redScale), clampFactor(greenScale), clampFactor(blueScale)},
               false,
               keepTransparency};
    p.tinted = p.scales[0] != 128 || p.scales[1] != 128 || p.scales[2] != 128;
    const RowFn row = additive ? pickAdditive(p.tinted, p.keepTransparency)
                               : pickNormal(op == 128, p.tinted, p.keepTransparency);
    // The vector kernels tint in 16-bit lanes, which holds exactly for scales up to 257.
    const int level = simdLevel();
    const bool vectorOk =
        !additive && level > 0 && p.scales[0] <= 257 && p.scales[1] <= 257 && p.scales[2] <= 257;
    const int32_t n = x1 - x0;
    if (vectorOk && level >= 2) {
        blendRowsAvx2(p, src + size_t(y0 - y) * size_t(srcStride) + (x0 - x), srcStride,
                      dst + size_t(y0) * size_t(dstStride) + x0, dstStride, n, y1 - y0);
        return;
    }
    for (int32_t row_y = y0; row_y < y1; ++row_y) {
        const uint32_t* s = src + size_t(row_y - y) * size_t(srcStride) + (x0 - x);
        uint32_t* d = dst + size_t(row_y) * size_t(dstStride) + x0;
        const int32_t done = vectorOk ? blendRowSse2(p, s, d, n) : 0;
        if (done < n) row(p, s + done, d + done, n - done);
    }
}

void Blitter::shadow(int32_t x, int32_t y) const {
    const uint32_t op = static_cast<uint32_t>(clampFactor(opacity));
    if (op == 0) return;
    int32_t x0, y0, x1, y1;
    if (!clipTo(x, y, x0, y0, x1, y1)) return;
    for (int32_t row_y = y0; row_y < y1; ++row_y) {
        const uint32_t* s = src + size_t(row_y - y) * size_t(srcStride) + (x0 - x);
        uint32_t* d = dst + size_t(row_y) * size_t(dstStride) + x0;
        for (int32_t i = 0; i < x1 - x0; ++i) {
            const uint32_t l = (s[i] >> 24) * op;
            if (l < 256) continue;
            // A factor below zero could only come from an opacity far above 1.0; such a shadow is black.
            const uint32_t f = (l >> 8) >= 256 ? 0 : 256 - (l >> 8);
            const uint32_t dp = d[i];
            d[i] = 0xFF000000u | ((((dp >> 16) & 0xFF) * f >> 8) << 16) |
                   ((((dp >> 8) & 0xFF) * f >> 8) << 8) | ((dp & 0xFF) * f >> 8);
        }
    }
}

void Blitter::copy(int32_t x, int32_t y) const {
    int32_t x0, y0, x1, y1;
    if (!clipTo(x, y, x0, y0, x1, y1)) return;
    for (int32_t row_y = y0; row_y < y1; ++row_y) {
        std::memcpy(dst + size_t(row_y) * size_t(dstStride) + x0,
                    src + size_t(row_y - y) * size_t(srcStride) + (x0 - x), size_t(x1 - x0) * 4);
    }
}

void Blitter::fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) const {
    if (dst == nullptr || w <= 0 || h <= 0) return;
    const int64_t left = std::max<int64_t>({x, clipX, 0});
    const int64_t top = std::max<int64_t>({y, clipY, 0});
    const int64_t right = std::min<int64_t>({int64_t(x) + w, int64_t(clipX) + clipW, dstWidth});
    const int64_t bottom = std::min<int64_t>({int64_t(y) + h, int64_t(clipY) + clipH, dstHeight});
    for (int64_t row_y = top; row_y < bottom; ++row_y) {
        uint32_t* d = dst + size_t(row_y) * size_t(dstStride);
        std::fill(d + left, d + right, value);
    }
}

} // namespace mph
