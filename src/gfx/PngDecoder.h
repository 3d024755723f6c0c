// PngDecoder: PNG pictures into ARGB pixels through libpng.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

class Image;

class PngDecoder {
public:
    // Whether the buffer starts with the PNG signature.
    static bool recognises(const uint8_t* data, size_t length);

    // Decodes the picture into `into` (heap pixels). Grey, grey with alpha and RGB pictures come out
    // with their alpha as stored (255 when absent); only four-channel pictures set the alpha flag.
    // Returns false, leaving `into` untouched, on any error.
    static bool decode(const uint8_t* data, size_t length, Image& into);
};

} // namespace mph
