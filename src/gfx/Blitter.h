// Blitter: the software pixel loops behind image drawing, filling and shadows on ARGB buffers.
#pragma once

#include <cstdint>

namespace mph {

// One blit of a source picture onto a target buffer. The caller fills the fields, then calls one of the
// operations; each clips once against the clip rectangle and the target, picks the loop variant that fits
// the parameters and runs it row by row. Factors are in 1/128 units (128 is 1.0).
struct Blitter {
    const uint32_t* src = nullptr;
    int32_t srcWidth = 0;
    int32_t srcHeight = 0;
    int32_t srcStride = 0; // in pixels
    uint32_t* dst = nullptr;
    int32_t dstWidth = 0;
    int32_t dstHeight = 0;
    int32_t dstStride = 0; // in pixels
    // Clip rectangle in target pixels.
    int32_t clipX = 0;
    int32_t clipY = 0;
    int32_t clipW = 0;
    int32_t clipH = 0;
    int32_t opacity = 128;
    int32_t redScale = 128;
    int32_t greenScale = 128;
    int32_t blueScale = 128;
    bool keepTransparency = false;

    // Draws the source with its top-left corner at (x, y), normal or additive.
    void blend(int32_t x, int32_t y, bool additive) const;
    // Darkens the target under the source's coverage.
    void shadow(int32_t x, int32_t y) const;
    // Copies the source rows unchanged (the opaque fast path).
    void copy(int32_t x, int32_t y) const;
    // Fills the clipped rectangle with one value.
    void fill(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t value) const;

    // Which vector unit the loops use: 0 scalar only, 1 SSE2, 2 AVX2. Tests force each to compare them.
    static int simdLevel();
    static void setSimdLevel(int level);

    // min(255, (c * scale) >> 7), the tint of one channel.
    static uint32_t tint(uint32_t c, int32_t scale) {
        const uint32_t v = (c * static_cast<uint32_t>(scale)) >> 7;
        return v > 255 ? 255 : v;
    }

private:
    // The part of the source rectangle at (x, y) that survives the clip, in target coordinates.
    bool clipTo(int32_t x, int32_t y, int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1) const;
};

// The row loop of the normal blend for one variant, shared by the scalar and vector implementations.
struct BlendRow {
    int32_t opacity;
    int32_t scales[3]; // red, green, blue
    bool tinted;
    bool keepTransparency;
};

// Vector kernels: each blends whole groups of pixels of a row and returns how many it handled; the
// caller finishes the rest with the scalar loop. The results equal the scalar loop bit for bit.
int32_t blendRowSse2(const BlendRow& p, const uint32_t* s, uint32_t* d, int32_t n);
// The AVX2 kernel blends every row of a blit itself, partial groups included (strides in pixels).
void blendRowsAvx2(const BlendRow& p, const uint32_t* s, int32_t sStride, uint32_t* d, int32_t dStride,
                   int32_t n, int32_t rows);
bool cpuHasAvx2();

} // namespace mph
