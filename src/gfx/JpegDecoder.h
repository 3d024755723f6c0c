// JpegDecoder: JPEG pictures into opaque ARGB pixels through libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

class Image;

class JpegDecoder {
public:
    // Decodes the picture into `into` (heap pixels, opaque, alpha flag false). Greyscale, colour and
    // CMYK pictures all come out as RGB. Returns false, leaving `into` untouched, on any error.
    static bool decode(const uint8_t* data, size_t length, Image& into);
};

} // namespace mph
