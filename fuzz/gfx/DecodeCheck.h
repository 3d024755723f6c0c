// What every decoder fuzz target does with its bytes: decode them and touch every pixel the image claims.
#pragma once

#include "gfx/Image.h"

#include <cstddef>
#include <cstdint>

inline void decodeAndReadEveryPixel(const uint8_t* bytes, size_t size) {
    mph::Image image(bytes, size);
    if (!image.hasPixels()) return;
    // Reading every pixel catches a pixel buffer shorter than the size the image claims.
    volatile uint32_t sum = 0;
    const uint32_t* pixels = image.getPixels();
    for (size_t i = 0; i < static_cast<size_t>(image.getWidth()) * image.getHeight(); ++i)
        sum = sum + pixels[i];
}
