// Reader: the byte reader interface that wraps a stream, with or without a buffer.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <span>

namespace mph {

class Reader : public lang::Object {
    LANG_CLASS(Reader, Object)

public:
    virtual void close() = 0;
    // Reads up to count bytes into buffer + offset and returns how many arrived (0 or less at the end).
    virtual int32_t read(uint8_t* buffer, int32_t offset, int32_t count) = 0;
    // Fills bytes from its start over its length, as far as the data goes.
    virtual int32_t read(std::span<uint8_t> bytes) {
        return read(bytes.data(), 0, static_cast<int32_t>(bytes.size()));
    }
    // The next byte as 0 to 255, or -1 at the end.
    virtual int32_t read() = 0;
    virtual bool ready() = 0;
    virtual void reset() = 0;
    virtual int32_t skip(int32_t n) = 0;
};

} // namespace mph
