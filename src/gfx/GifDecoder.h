// GifDecoder: turns the first picture of a GIF file into a screen-sized ARGB image.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

class Image;

class GifDecoder {
public:
    // Whether the buffer starts with one of the two GIF signatures.
    static bool recognises(const uint8_t* data, size_t length);

    // Decodes the first picture into `into` (device-bitmap backed, logical-screen sized). Pixels the
    // picture does not cover are transparent black. The alpha flag is set when the file names a
    // transparent colour or when some pixel was left transparent (a small frame, cut-off data).
    // Returns false, leaving `into` untouched, when there is no picture to show.
    static bool decode(const uint8_t* data, size_t length, Image& into);
};

} // namespace mph
