// What every decoder fuzz target does with its bytes: decode them (pictures of a bounded size) and touch
// every pixel the image claims.
#pragma once

#include "gfx/Image.h"

#include <cstddef>
#include <cstdint>

// A forged header can claim millions of pixels that a few bytes of data then "fill": every input would be a
// long decode of nothing. Pictures above a quarter of a million pixels are refused after their header,
// which still takes every path of the decoders (the refusal included).
inline constexpr int64_t kFuzzPixelLimit = 512 * 512;

inline void decodeAndReadEveryPixel(const uint8_t* bytes, size_t size) {
    static const bool limited = (mph::Image::limitPixels(kFuzzPixelLimit), true);
    (void)limited;
    mph::Image image(bytes, size);
    if (!image.hasPixels()) return;
    // Reading every pixel catches a pixel buffer shorter than the size the image claims.
    volatile uint32_t sum = 0;
    const uint32_t* pixels = image.getPixels();
    for (size_t i = 0; i < static_cast<size_t>(image.getWidth()) * image.getHeight(); ++i)
        sum = sum + pixels[i];
}
