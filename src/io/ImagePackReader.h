// ImagePackReader: reads the records of an image pack, a file of named, masked image files.
#pragma once

#include "io/InputStream.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

// Pack layout (big-endian 32-bit integers): count, totalSize, then count records of dataLength, nameLength
// (one byte), the name with its terminator, and dataLength bytes each XORed with kMask.
class ImagePackReader {
public:
    static constexpr uint8_t kMask = 0x6D;
    static constexpr int64_t kMaxTotalSize = 10000000;

    struct Record {
        lang::String name;
        std::vector<uint8_t> data; // unmasked; empty for a record stored with no data
    };

    // Reads the pack's head from stream; the pack is readable when count >= 1 and
    // 4 * count <= totalSize <= kMaxTotalSize.
    explicit ImagePackReader(lang::Ref<InputStream> stream);
    ImagePackReader(const ImagePackReader&) = delete;
    ImagePackReader& operator=(const ImagePackReader&) = delete;
    ~ImagePackReader();

    bool isValid() const { return m_valid; }
    int32_t count() const { return m_count; }
    int32_t totalSize() const { return m_totalSize; }

    // Reads the next complete record into record; false when the pack has no more. A record whose length
    // reaches past the declared size, or whose data is cut short, ends the pack.
    bool next(Record& record);
    // Closes the stream; next then reports the end.
    void close();

private:
    bool readInt(uint32_t& value);

    lang::Ref<InputStream> m_stream;
    bool m_valid = false;
    int32_t m_count = 0;
    int32_t m_totalSize = 0;
    int32_t m_index = 0;
    int64_t m_consumed = 8;
};

} // namespace mph
