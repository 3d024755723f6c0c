// DecodedPictures: a process-wide store of decoded pictures, found again by their encoded bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

class Image;

// Headless runs play game after game in one process and decode the same few dozen pictures for each of
// them. While keeping is on, every picture decoded from a buffer is remembered together with a copy of its
// encoded bytes, and decoding the same bytes again shares the remembered pixels instead (an image copies
// them when it is first written to). Entries are found
// by content, never by name, so a changed container or language cannot be served a stale picture. The
// window game leaves it off: there the pixels would only cost memory.
class DecodedPictures {
public:
    // Turns keeping on or off for the whole process; turning it off forgets every picture.
    static void setKeeping(bool on);
    static bool keeping();
    // Fills image from the picture remembered for these bytes; false when there is none.
    static bool find(const uint8_t* buffer, size_t length, Image& image);
    // Remembers what image holds, just decoded from these bytes (nothing happens when keeping is off or
    // the store is full).
    static void remember(const uint8_t* buffer, size_t length, const Image& image);

    // The most pixel and encoded bytes the store holds; pictures beyond it are decoded every time.
    static constexpr size_t kMaxBytes = 192u * 1024 * 1024;
};

} // namespace mph
