// The vector blend loops against the scalar loop on random pictures, for every loop variant.
#include "gfx/Blitter.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using mph::Blitter;

namespace {

struct LevelGuard {
    ~LevelGuard() { Blitter::setSimdLevel(2); }
};

std::vector<uint32_t> randomPixels(std::mt19937& rng, size_t n) {
    std::vector<uint32_t> v(n);
    for (auto& p : v) {
        p = rng();
        // Plenty of the alpha values that take special paths: clear, opaque, and the edges of the classes.
        switch (rng() % 6) {
        case 0:
            p &= 0x00FFFFFF;
            break;
        case 1:
            p |= 0xFF000000;
            break;
        case 2:
            p = (p & 0x00FFFFFF) | ((rng() % 3) << 24);
            break;
        default:
            break;
        }
    }
    return v;
}

// Rows of runs, as pictures have them: clear and opaque stretches of every length round the vector
// widths, with single mixed pixels and short mixed stretches between them.
std::vector<uint32_t> runPixels(std::mt19937& rng, size_t n) {
    std::vector<uint32_t> v;
    while (v.size() < n) {
        const int kind = int(rng() % 4);
        const size_t length = kind == 3 ? 1 + rng() % 3 : rng() % 70;
        for (size_t i = 0; i < length && v.size() < n; ++i) {
            const uint32_t rgb = rng() & 0x00FFFFFF;
            v.push_back(kind == 0 ? rgb : kind == 1 ? (rgb | 0xFF000000u) : rgb | (1 + rng() % 254) << 24);
        }
    }
    return v;
}

} // namespace

TEST(SimdBlend, EveryLevelGivesTheSamePixelsOnRuns) {
    LevelGuard restore;
    std::mt19937 rng(11);
    const int w = 203, h = 24;
    const std::vector<uint32_t> src = runPixels(rng, size_t(w) * h);
    const std::vector<uint32_t> base = randomPixels(rng, size_t(w + 9) * h);
    for (int op : {128, 90}) {
        for (bool keep : {false, true}) {
            std::vector<uint32_t> results[3];
            for (int level = 0; level <= 2; ++level) {
                Blitter::setSimdLevel(level);
                results[level] = base;
                Blitter b;
                b.src = src.data();
                b.srcWidth = w, b.srcHeight = h, b.srcStride = w;
                b.dst = results[level].data();
                b.dstWidth = w + 9, b.dstHeight = h, b.dstStride = w + 9;
                b.clipX = 0, b.clipY = 0, b.clipW = w + 9, b.clipH = h;
                b.opacity = op;
                b.keepTransparency = keep;
                // Each row starts at another offset, so runs meet the vector groups everywhere.
                for (int x = 0; x < 9; ++x)
                    b.blend(x, 0, false);
            }
            EXPECT_EQ(results[0], results[1]) << "sse2 op " << op << " keep " << keep;
            EXPECT_EQ(results[0], results[2]) << "avx2 op " << op << " keep " << keep;
        }
    }
}

TEST(SimdBlend, EveryLevelGivesTheSamePixels) {
    LevelGuard restore;
    std::mt19937 rng(7);
    const int w = 37, h = 9;
    const std::vector<uint32_t> src = randomPixels(rng, size_t(w) * h);
    const std::vector<uint32_t> base = randomPixels(rng, size_t(w + 5) * (h + 2));
    const int opacities[] = {128, 64, 1, 127, 129, 255, 3000};
    const int scales[][3] = {{128, 128, 128}, {100, 200, 257}, {0, 128, 64}, {300, 128, 128}};
    for (int op : opacities) {
        for (const auto& sc : scales) {
            for (bool keep : {false, true}) {
                std::vector<uint32_t> results[3];
                for (int level = 0; level <= 2; ++level) {
                    Blitter::setSimdLevel(level);
                    results[level] = base;
                    Blitter b;
                    b.src = src.data();
                    b.srcWidth = w, b.srcHeight = h, b.srcStride = w;
                    b.dst = results[level].data();
                    b.dstWidth = w + 5, b.dstHeight = h + 2, b.dstStride = w + 5;
                    b.clipX = 0, b.clipY = 0, b.clipW = w + 5, b.clipH = h + 2;
                    b.opacity = op;
                    b.redScale = sc[0], b.greenScale = sc[1], b.blueScale = sc[2];
                    b.keepTransparency = keep;
                    b.blend(3, 1, false);
                }
                EXPECT_EQ(results[0], results[1])
                    << "sse2 op " << op << " scale " << sc[0] << " keep " << keep;
                EXPECT_EQ(results[0], results[2])
                    << "avx2 op " << op << " scale " << sc[0] << " keep " << keep;
            }
        }
    }
}

TEST(SimdBlend, ScalarLoopFollowsTheCoverageClasses) {
    Blitter::setSimdLevel(0);
    LevelGuard restore;
    // alpha x opacity: 255 x 127 = 32385 blends with k = 253; 1 x 128 = 128 blends with k = 1; 0 skips.
    const uint32_t src[3] = {0xFFFF0000, 0x01FFFFFF, 0x00FFFFFF};
    uint32_t dst[3] = {0x000000FF, 0x00000000, 0x12345678};
    Blitter b;
    b.src = src, b.srcWidth = 3, b.srcHeight = 1, b.srcStride = 3;
    b.dst = dst, b.dstWidth = 3, b.dstHeight = 1, b.dstStride = 3;
    b.clipW = 3, b.clipH = 1;
    b.opacity = 127;
    b.blend(0, 0, false);
    EXPECT_EQ(dst[0], 0xFF000000u | ((255 * 253) >> 8) << 16 | ((255 * 3) >> 8));
    EXPECT_EQ(dst[2], 0x12345678u);
    b.opacity = 128;
    b.blend(0, 0, false);
    EXPECT_EQ(dst[1], 0xFF000000u | ((255 * 1) >> 8) * 0x010101u);
}
