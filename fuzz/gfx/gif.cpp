// Fuzz target: decodes arbitrary bytes as a GIF picture from memory.
#include "DecodeCheck.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The signature is forced so every input reaches the GIF decoder.
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() < 6) bytes.resize(6);
    std::memcpy(bytes.data(), "GIF89a", 6);
    decodeAndReadEveryPixel(bytes.data(), bytes.size());
    return 0;
}
