// Fuzz target: arbitrary bytes as a recorded game, read as they come and again with a correct checksum
// appended, so the reader's record decoding is reached too.
#include "replay/ReplayFile.h"

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(std::string_view bytes) {
    mph::ReplayFile file;
    std::string error;
    if (!mph::ReplayFile::decode(bytes, file, error)) {
        if (error.empty()) std::abort();
        return;
    }
    // Whatever was read stays inside the reader's limits and writes back to bytes that read the same.
    for (const mph::ReplayEvent& e : file.events)
        if (e.input.tick < file.start.tick ||
            int64_t{e.input.tick} - file.start.tick > mph::ReplayFile::kMaxTicks)
            std::abort();
    const std::string again = file.encode();
    mph::ReplayFile reread;
    if (!mph::ReplayFile::decode(again, reread, error) || reread.encode() != again) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    std::string sealed(bytes);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), data, static_cast<uInt>(size));
    for (int i = 0; i < 4; ++i)
        sealed.push_back(static_cast<char>(crc >> (8 * i)));
    check(sealed);
    return 0;
}
