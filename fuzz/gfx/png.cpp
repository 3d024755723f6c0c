// Fuzz target: decodes arbitrary bytes as a PNG picture from memory.
#include "DecodeCheck.h"

#include <zlib.h>

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The signature is forced so every input reaches the PNG decoder.
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() < 8) bytes.resize(8);
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::memcpy(bytes.data(), kSignature, 8);
    // Chunk checksums are recomputed so mutations reach past the library's checksum test.
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const uint32_t length =
            static_cast<uint32_t>(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 | bytes[at + 3];
        if (length > bytes.size() - at - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, bytes.data() + at + 4, length + 4));
        for (int i = 0; i < 4; ++i)
            bytes[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
    decodeAndReadEveryPixel(bytes.data(), bytes.size());
    return 0;
}
