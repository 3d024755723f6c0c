// Test helpers: a small GIF encoder and PNG/JPEG writers over libpng and libjpeg.
#include "TestPictures.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include <unistd.h>

#include <jpeglib.h>

namespace testpics {

namespace {

class BitWriter {
public:
    void put(int code, int size) {
        m_accumulator |= static_cast<uint32_t>(code) << m_bits;
        m_bits += size;
        while (m_bits >= 8) {
            m_bytes.push_back(static_cast<uint8_t>(m_accumulator));
            m_accumulator >>= 8;
            m_bits -= 8;
        }
    }
    Bytes finish() {
        if (m_bits > 0) m_bytes.push_back(static_cast<uint8_t>(m_accumulator));
        return m_bytes;
    }

private:
    Bytes m_bytes;
    uint32_t m_accumulator = 0;
    int m_bits = 0;
};

Bytes lzwEncode(const std::vector<uint8_t>& data, const GifPicture& p) {
    const int clear = 1 << p.minCodeSize;
    BitWriter out;
    std::unordered_map<uint32_t, int> table;
    int next = 0, codeSize = 0, emitted = 0;
    auto reset = [&] {
        table.clear();
        next = clear + 2;
        codeSize = p.minCodeSize + 1;
        emitted = 0;
    };
    reset();
    out.put(clear, codeSize);
    if (data.empty()) {
        out.put(clear + 1, codeSize);
        return out.finish();
    }
    int current = data[0];
    for (size_t i = 1; i < data.size(); ++i) {
        const uint8_t k = data[i];
        const uint32_t key = static_cast<uint32_t>(current) << 8 | k;
        if (auto it = table.find(key); it != table.end()) {
            current = it->second;
            continue;
        }
        out.put(current, codeSize);
        ++emitted;
        if (next < 4096) {
            table[key] = next++;
            if (next > (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        current = k;
        const bool full = next >= 4096 && p.clearWhenFull;
        if (full || (p.clearEvery > 0 && emitted >= p.clearEvery)) {
            out.put(clear, codeSize);
            reset();
        }
    }
    out.put(current, codeSize);
    // The decoder may have grown the code size for the entry this last code creates.
    if (next < 4096 && next + 1 > (1 << codeSize) && codeSize < 12 && emitted > 0) ++codeSize;
    out.put(clear + 1, codeSize);
    return out.finish();
}

void put16(Bytes& b, int v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void putTable(Bytes& b, const std::vector<uint32_t>& colours) {
    for (uint32_t c : colours) {
        b.push_back(static_cast<uint8_t>(c >> 16));
        b.push_back(static_cast<uint8_t>(c >> 8));
        b.push_back(static_cast<uint8_t>(c));
    }
}

int tableBits(size_t count) {
    int bits = 0;
    while ((2u << bits) < count)
        ++bits;
    return bits;
}

void putBlocks(Bytes& b, const Bytes& data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        b.push_back(static_cast<uint8_t>(n));
        b.insert(b.end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
    }
    b.push_back(0);
}

} // namespace

Bytes writeGif(const GifPicture& p) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    put16(b, p.screenWidth);
    put16(b, p.screenHeight);
    const int bits = tableBits(p.colours.size());
    b.push_back(static_cast<uint8_t>(p.localTable ? 0 : 0x80 | bits));
    b.push_back(0);
    b.push_back(0);
    if (!p.localTable) putTable(b, p.colours);
    if (p.withComment) {
        b.insert(b.end(), {0x21, 0xFE, 3, 'h', 'i', '!', 0});
        b.insert(b.end(),
                 {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
    }
    if (p.transparentIndex >= 0)
        b.insert(b.end(), {0x21, 0xF9, 4, 1, 10, 0, static_cast<uint8_t>(p.transparentIndex), 0});
    b.push_back(0x2C);
    put16(b, p.left);
    put16(b, p.top);
    put16(b, p.width);
    put16(b, p.height);
    b.push_back(static_cast<uint8_t>((p.localTable ? 0x80 | bits : 0) | (p.interlaced ? 0x40 : 0)));
    if (p.localTable) putTable(b, p.colours);
    std::vector<uint8_t> ordered;
    if (!p.interlaced) {
        ordered = p.indices;
    } else {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = start[pass]; y < p.height; y += step[pass])
                ordered.insert(ordered.end(), p.indices.begin() + y * p.width,
                               p.indices.begin() + (y + 1) * p.width);
    }
    b.push_back(static_cast<uint8_t>(p.minCodeSize));
    putBlocks(b, lzwEncode(ordered, p));
    b.push_back(0x3B);
    return b;
}

std::vector<uint32_t> expectedGifPixels(const GifPicture& p) {
    std::vector<uint32_t> out(static_cast<size_t>(p.screenWidth) * p.screenHeight, 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const int sx = p.left + x, sy = p.top + y;
            if (sx >= p.screenWidth || sy >= p.screenHeight) continue;
            const uint8_t index = p.indices[static_cast<size_t>(y) * p.width + x];
            out[static_cast<size_t>(sy) * p.screenWidth + sx] =
                index == p.transparentIndex ? 0 : 0xFF000000u | p.colours[index];
        }
    return out;
}

namespace {
void appendPng(png_structp png, png_bytep data, size_t n) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void flushPng(png_structp) {}
} // namespace

Bytes writePng(int width, int height, int colourType, int bitDepth, const std::vector<uint16_t>& samples,
               const std::vector<uint32_t>& palette, const std::vector<uint8_t>& paletteAlpha) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, appendPng, flushPng);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) {
        std::vector<png_color> entries;
        for (uint32_t c : palette)
            entries.push_back(
                {static_cast<png_byte>(c >> 16), static_cast<png_byte>(c >> 8), static_cast<png_byte>(c)});
        png_set_PLTE(png, info, entries.data(), static_cast<int>(entries.size()));
    }
    if (!paletteAlpha.empty())
        png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    if (bitDepth < 8) png_set_packing(png);
    const int channels = png_get_channels(png, info);
    const size_t perRow = static_cast<size_t>(width) * channels;
    std::vector<uint8_t> row(perRow * 2);
    for (int y = 0; y < height; ++y) {
        for (size_t i = 0; i < perRow; ++i) {
            const uint16_t v = samples[y * perRow + i];
            if (bitDepth == 16) {
                row[i * 2] = static_cast<uint8_t>(v >> 8);
                row[i * 2 + 1] = static_cast<uint8_t>(v);
            } else {
                row[i] = static_cast<uint8_t>(v);
            }
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes writeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) +
                       static_cast<size_t>(info.next_scanline) * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

bool saveFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string tempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/mph-gfx-test-" + std::to_string(getpid()) + "-" + name;
}

} // namespace testpics
