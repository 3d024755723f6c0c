// Fuzz target: decodes arbitrary bytes as a GIF picture from memory.
#include "gfx/Image.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The signature is forced so every input reaches the GIF decoder.
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() < 6) bytes.resize(6);
    std::memcpy(bytes.data(), "GIF89a", 6);
    mph::Image image(bytes.data(), bytes.size());
    if (image.hasPixels()) {
        // Reading every pixel catches a pixel buffer shorter than the size the image claims.
        volatile uint32_t sum = 0;
        const uint32_t* pixels = image.getPixels();
        for (size_t i = 0; i < static_cast<size_t>(image.getWidth()) * image.getHeight(); ++i)
            sum = sum + pixels[i];
    }
    return 0;
}
