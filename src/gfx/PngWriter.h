// PngWriter: writes an image's pixels as an 8-bit RGBA PNG.
#pragma once

#include <cstdint>
#include <vector>

namespace mph {

class Image;

class PngWriter {
public:
    // Encodes every pixel with its alpha exactly as the image holds it (no premultiplication, the
    // alpha flag does not matter). False when the image has no pixels or the library fails.
    static bool encode(const Image& image, std::vector<uint8_t>& out);
    // Encodes the image and writes it to the file at path, replacing it. False on any failure.
    static bool writeFile(const Image& image, const char* path);
};

} // namespace mph
