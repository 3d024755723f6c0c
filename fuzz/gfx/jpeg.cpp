// Fuzz target: decodes arbitrary bytes as a JPEG picture from memory.
#include "DecodeCheck.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Inputs are taken as they come; anything that is not a GIF or PNG reaches the JPEG decoder.
    std::vector<uint8_t> bytes(data, data + size);
    decodeAndReadEveryPixel(bytes.data(), bytes.size());
    return 0;
}
