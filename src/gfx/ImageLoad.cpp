// Image loading by name: reads a disk file whole and decodes it.
#include "gfx/Image.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace mph {

namespace {

// No picture the program accepts comes near this; a larger file is refused rather than read.
constexpr size_t kMaxFileBytes = 256u * 1024 * 1024;

// Reads the whole file into a malloc'ed buffer that starts at 8192 bytes and doubles when full.
uint8_t* readWhole(std::FILE* file, size_t& length) {
    size_t capacity = 8192;
    length = 0;
    auto* buffer = static_cast<uint8_t*>(std::malloc(capacity));
    while (buffer != nullptr) {
        if (length == capacity) {
            if (capacity >= kMaxFileBytes) {
                std::free(buffer);
                return nullptr;
            }
            capacity *= 2;
            auto* larger = static_cast<uint8_t*>(std::realloc(buffer, capacity));
            if (larger == nullptr) std::free(buffer);
            buffer = larger;
            continue;
        }
        const size_t got = std::fread(buffer + length, 1, capacity - length, file);
        if (got == 0) break;
        length += got;
    }
    return buffer;
}

} // namespace

bool Image::load(const lang::String& name) {
    free();
    m_name = name;
    std::string path = name.str();
    for (char& c : path)
        if (c == '\\') c = '/';
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    size_t length = 0;
    uint8_t* buffer = readWhole(file, length);
    std::fclose(file);
    if (buffer == nullptr) return false;
    const bool ok = decode(buffer, length);
    std::free(buffer);
    return ok;
}

} // namespace mph
