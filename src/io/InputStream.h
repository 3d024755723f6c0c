// InputStream: the byte stream interface shared by files, memory blocks and HTTP replies.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace mph {

class InputStream : public lang::Object {
    LANG_CLASS(InputStream, Object)

public:
    // Reads up to count bytes into buffer + offset; the number read, 0 at the end, -1 when unreadable.
    virtual int32_t read(uint8_t* buffer, int32_t offset, int32_t count) = 0;
    // The next byte as 0 to 255, or -1 at the end.
    virtual int32_t read() = 0;
    // Releases what the stream reads from; later reads report the end.
    virtual void close() = 0;
    // Goes back to the first byte.
    virtual void reset() = 0;
    // Advances by up to n bytes and returns how far it moved.
    virtual int32_t skip(int32_t n) = 0;
};

} // namespace mph
