// Fuzz target: decodes arbitrary bytes as a JPEG picture from memory.
#include "DecodeCheck.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A forged header can claim millions of pixels that a few bytes of data then "fill": every input
    // would be a long decode of nothing. Pictures above a quarter of a million pixels are refused after
    // their header, which still takes every path of the decoder (the refusal included).
    static const bool limited = (mph::Image::limitPixels(512 * 512), true);
    (void)limited;
    // Inputs are taken as they come; anything that is not a GIF or PNG reaches the JPEG decoder.
    std::vector<uint8_t> bytes(data, data + size);
    decodeAndReadEveryPixel(bytes.data(), bytes.size());
    return 0;
}
