// GifDecoder: logical screen, colour tables, graphic control, interlacing and the LZW code stream.
#include "gfx/GifDecoder.h"

#include "gfx/Image.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace mph {

namespace {

// Reads little-endian fields from the file without ever stepping past its end.
class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t length) : m_data(data), m_length(length) {}

    bool has(size_t n) const { return m_length - m_pos >= n; }
    size_t remaining() const { return m_length - m_pos; }
    // Callers check has() first; these never read past the end even when they do not.
    uint8_t u8() { return m_pos < m_length ? m_data[m_pos++] : 0; }
    uint16_t u16() {
        const uint16_t low = u8();
        return static_cast<uint16_t>(low | (u8() << 8));
    }
    const uint8_t* here() const { return m_data + m_pos; }
    void skip(size_t n) { m_pos += std::min(n, remaining()); }

private:
    const uint8_t* m_data;
    size_t m_length;
    size_t m_pos = 0;
};

// Receives the decoded colour indices in file order and places them, through the colour table, into the
// screen-sized pixels at the frame's position. Rows arrive in interlace order when the frame is
// interlaced. Anything that falls outside the screen is dropped.
class FrameSink {
public:
    FrameSink(uint32_t* screen, int32_t screenWidth, int32_t screenHeight, const uint32_t* table)
        : m_screen(screen), m_screenWidth(screenWidth), m_screenHeight(screenHeight), m_table(table) {}

    void begin(int32_t left, int32_t top, int32_t width, int32_t height, bool interlaced) {
        m_left = left;
        m_top = top;
        m_width = width;
        m_height = height;
        m_interlaced = interlaced;
        m_row.assign(static_cast<size_t>(width), 0);
        m_filled = 0;
        m_rowIndex = 0;
        m_pass = 0;
        m_done = width == 0 || height == 0;
    }

    bool done() const { return m_done; }

    // Takes n indices; extra ones past the frame's last pixel are ignored.
    void put(const uint8_t* indices, size_t n) {
        while (n > 0 && !m_done) {
            const size_t room = static_cast<size_t>(m_width) - m_filled;
            const size_t take = std::min(room, n);
            std::memcpy(m_row.data() + m_filled, indices, take);
            m_filled += take;
            indices += take;
            n -= take;
            if (m_filled == static_cast<size_t>(m_width)) {
                flush();
                advanceRow();
            }
        }
    }

    // Places a partly decoded last row, so cut-off data shows what it holds.
    void finish() {
        if (!m_done && m_filled > 0) flush();
        m_filled = 0;
    }

    // Number of screen pixels that received a colour.
    uint64_t written() const { return m_written; }

private:
    void flush() {
        const int64_t y = static_cast<int64_t>(m_top) + m_rowIndex;
        if (y >= m_screenHeight || m_left >= m_screenWidth) return;
        const size_t count = std::min(m_filled, static_cast<size_t>(m_screenWidth - m_left));
        uint32_t* out = m_screen + static_cast<size_t>(y) * static_cast<size_t>(m_screenWidth) + m_left;
        for (size_t x = 0; x < count; ++x)
            out[x] = m_table[m_row[x]];
        m_written += count;
    }

    void advanceRow() {
        m_filled = 0;
        if (!m_interlaced) {
            m_done = ++m_rowIndex >= m_height;
            return;
        }
        // Four passes: every eighth row from 0, every eighth from 4, every fourth from 2, every second
        // from 1.
        static constexpr int32_t kStart[4] = {0, 4, 2, 1};
        static constexpr int32_t kStep[4] = {8, 8, 4, 2};
        m_rowIndex += kStep[m_pass];
        while (m_rowIndex >= m_height) {
            if (++m_pass == 4) {
                m_done = true;
                return;
            }
            m_rowIndex = kStart[m_pass];
        }
    }

    uint32_t* m_screen;
    int32_t m_screenWidth;
    int32_t m_screenHeight;
    const uint32_t* m_table;
    int32_t m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_interlaced = false;
    std::vector<uint8_t> m_row;
    size_t m_filled = 0;
    int32_t m_rowIndex = 0;
    int32_t m_pass = 0;
    bool m_done = true;
    uint64_t m_written = 0;
};

constexpr int kMaxCodes = 4096;

// Decodes one image's variable-length LZW codes (least significant bit first) into the sink. Damaged
// data ends the decoding quietly: what was decoded so far stays.
void decodeLzw(ByteCursor& in, FrameSink& sink) {
    if (!in.has(1)) return;
    const int minCodeSize = in.u8();
    // Indices are bytes, so a larger starting size cannot describe a valid picture.
    if (minCodeSize < 1 || minCodeSize > 8) return;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int next = clear + 2;
    int codeSize = minCodeSize + 1;
    int mask = (1 << codeSize) - 1;
    int old = -1;
    uint8_t firstByte = 0;

    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    // One string is at most as long as the table plus the repeated first byte.
    uint8_t stack[kMaxCodes + 1];
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<uint8_t>(i);
    }

    uint32_t accumulator = 0;
    int bits = 0;
    while (in.has(1)) {
        const size_t blockLength = in.u8();
        if (blockLength == 0) return;
        const size_t available = std::min(blockLength, in.remaining());
        const uint8_t* block = in.here();
        in.skip(available);
        for (size_t i = 0; i < available; ++i) {
            accumulator |= static_cast<uint32_t>(block[i]) << bits;
            bits += 8;
            while (bits >= codeSize) {
                const int code = static_cast<int>(accumulator & static_cast<uint32_t>(mask));
                accumulator >>= codeSize;
                bits -= codeSize;
                if (code == end) return;
                if (code == clear) {
                    codeSize = minCodeSize + 1;
                    mask = (1 << codeSize) - 1;
                    next = clear + 2;
                    old = -1;
                    continue;
                }
                if (old < 0) {
                    // Right after a clear only the single-byte codes exist.
                    if (code > clear) return;
                    firstByte = static_cast<uint8_t>(code);
                    sink.put(&firstByte, 1);
                    old = code;
                    if (sink.done()) return;
                    continue;
                }
                if (code > next) return;
                int sp = 0;
                int current = code;
                if (code == next) {
                    stack[sp++] = firstByte;
                    current = old;
                }
                // Each entry's prefix is an older entry, so the walk ends; the bound is a second guard.
                while (current > clear) {
                    if (sp >= kMaxCodes) return;
                    stack[sp++] = suffix[current];
                    current = prefix[current];
                }
                if (current == clear) return;
                const uint8_t b = suffix[current];
                stack[sp++] = b;
                // A full table stays as it is, at 12 bits, until the next clear code.
                if (next < kMaxCodes) {
                    prefix[next] = static_cast<uint16_t>(old);
                    suffix[next] = b;
                    ++next;
                    if ((next & mask) == 0 && next < kMaxCodes) {
                        ++codeSize;
                        mask = mask * 2 + 1;
                    }
                }
                firstByte = b;
                old = code;
                std::reverse(stack, stack + sp);
                sink.put(stack, static_cast<size_t>(sp));
                if (sink.done()) return;
            }
        }
        if (available < blockLength || sink.done()) return;
    }
}

// Reads a colour table of `count` RGB triples into `table` as opaque ARGB words.
bool readColourTable(ByteCursor& in, int count, uint32_t* table) {
    if (!in.has(static_cast<size_t>(count) * 3)) return false;
    for (int i = 0; i < count; ++i) {
        const uint32_t r = in.u8(), g = in.u8(), b = in.u8();
        table[i] = 0xFF000000u | r << 16 | g << 8 | b;
    }
    return true;
}

// Skips an extension's sub-blocks, noting a graphic control's transparent colour. False when cut off.
bool readExtension(ByteCursor& in, int& transparentIndex) {
    if (!in.has(1)) return false;
    const uint8_t label = in.u8();
    bool first = true;
    for (;;) {
        if (!in.has(1)) return false;
        const size_t length = in.u8();
        if (length == 0) return true;
        if (!in.has(length)) return false;
        if (label == 0xF9 && first && length >= 4) {
            const uint8_t* data = in.here();
            if (data[0] & 1) transparentIndex = data[3];
        }
        first = false;
        in.skip(length);
    }
}

} // namespace

bool GifDecoder::recognises(const uint8_t* data, size_t length) {
    return length >= 6 && (std::memcmp(data, "GIF89a", 6) == 0 || std::memcmp(data, "GIF87a", 6) == 0);
}

bool GifDecoder::decode(const uint8_t* data, size_t length, Image& into) {
    if (!recognises(data, length)) return false;
    ByteCursor in(data, length);
    in.skip(6);
    if (!in.has(7)) return false;
    const int32_t screenWidth = in.u16();
    const int32_t screenHeight = in.u16();
    const uint8_t screenFlags = in.u8();
    in.skip(2); // background colour and aspect ratio
    if (!Image::sizeAcceptable(screenWidth, screenHeight)) return false;

    uint32_t globalTable[256];
    int globalCount = 0;
    if (screenFlags & 0x80) {
        globalCount = 2 << (screenFlags & 7);
        if (!readColourTable(in, globalCount, globalTable)) return false;
    }

    int transparentIndex = -1;
    while (in.has(1)) {
        const uint8_t introducer = in.u8();
        if (introducer == 0x00) continue;
        if (introducer == 0x21) {
            if (!readExtension(in, transparentIndex)) return false;
            continue;
        }
        if (introducer != 0x2C) return false;

        if (!in.has(9)) return false;
        const int32_t left = in.u16(), top = in.u16(), width = in.u16(), height = in.u16();
        const uint8_t flags = in.u8();
        uint32_t localTable[256];
        int localCount = 0;
        if (flags & 0x80) {
            localCount = 2 << (flags & 7);
            if (!readColourTable(in, localCount, localTable)) return false;
        }
        if (localCount == 0 && globalCount == 0) return false;

        // Indices past the table's end show opaque black; the transparent index shows nothing.
        uint32_t table[256];
        std::fill(table, table + 256, 0xFF000000u);
        if (localCount > 0)
            std::copy(localTable, localTable + localCount, table);
        else
            std::copy(globalTable, globalTable + globalCount, table);
        if (transparentIndex >= 0) table[transparentIndex] = 0;

        const size_t screenPixels = static_cast<size_t>(screenWidth) * static_cast<size_t>(screenHeight);
        auto* pixels = static_cast<uint32_t*>(std::calloc(screenPixels, 4));
        if (pixels == nullptr) return false;
        FrameSink sink(pixels, screenWidth, screenHeight, table);
        sink.begin(left, top, width, height, (flags & 0x40) != 0);
        if (!sink.done()) decodeLzw(in, sink);
        sink.finish();
        const bool leftTransparent = sink.written() < screenPixels;
        into.adoptPixels(pixels, screenWidth, screenHeight, transparentIndex >= 0 || leftTransparent, true);
        return true;
    }
    return false;
}

} // namespace mph
