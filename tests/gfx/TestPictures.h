// Test helpers that write small GIF, PNG and JPEG pictures with known pixels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testpics {

using Bytes = std::vector<uint8_t>;

// One GIF picture: indices are the frame's rows top to bottom, width x height of them.
struct GifPicture {
    int screenWidth = 0, screenHeight = 0;
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;
    std::vector<uint32_t> colours; // 0xRRGGBB, a power of two from 2 to 256 entries
    bool localTable = false;       // the colours go in a local table (and there is no global one)
    int transparentIndex = -1;     // writes a graphic control extension when not negative
    bool interlaced = false;
    int minCodeSize = 8;
    int clearEvery = 0;        // emits a clear code after this many codes when positive
    bool clearWhenFull = true; // otherwise a full table is kept and codes stay at 12 bits
    bool withComment = false;  // adds comment and application extensions before the picture
};

Bytes writeGif(const GifPicture& picture);
// The pixels the program should show for the picture: 0xAARRGGBB, screen-sized.
std::vector<uint32_t> expectedGifPixels(const GifPicture& picture);

// PNG of the given libpng colour type and bit depth; samples hold the raw channel values per pixel
// (for a palette picture: indices), 8 or 16 bits each as the depth says, rows packed by the library.
Bytes writePng(int width, int height, int colourType, int bitDepth, const std::vector<uint16_t>& samples,
               const std::vector<uint32_t>& palette = {}, const std::vector<uint8_t>& paletteAlpha = {});

// JPEG with 1, 3 or 4 (CMYK, stored inverted as Adobe writes it) components per pixel.
Bytes writeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality = 95);

// Writes bytes to a file; returns false on failure.
bool saveFile(const std::string& path, const Bytes& bytes);
std::string tempPath(const std::string& name);

} // namespace testpics
