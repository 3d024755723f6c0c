// PngWriter: encodes ARGB pixels as RGBA PNG data with libpng.
#include "gfx/PngWriter.h"

#include "gfx/Image.h"

#include <png.h>

#include <cstdio>
#include <utility>

namespace mph {

namespace {

void appendBytes(png_structp png, png_bytep data, size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}
void flushNothing(png_structp) {}

[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// The part that can raise library errors; it keeps no C++ objects on its frame. The output vector's
// growth may throw, which the library cannot pass through, so it is reserved first.
__attribute__((noinline)) void writeRows(png_structp png, png_infop info, const Image* image,
                                         std::vector<uint8_t>* out) {
    const auto width = static_cast<uint32_t>(image->getWidth());
    const auto height = static_cast<uint32_t>(image->getHeight());
    png_set_write_fn(png, out, appendBytes, flushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // Pixels are little-endian ARGB words, that is blue, green, red, alpha bytes.
    png_set_bgr(png);
    const uint32_t* pixels = std::as_const(*image).getPixels();
    for (uint32_t y = 0; y < height; ++y)
        png_write_row(png, reinterpret_cast<png_const_bytep>(pixels + static_cast<size_t>(y) * width));
    png_write_end(png, info);
}

} // namespace

bool PngWriter::encode(const Image& image, std::vector<uint8_t>& out) {
    out.clear();
    if (!image.hasPixels()) return false;
    // Room for the worst case of stored (uncompressed) blocks plus chunk headers, so appending never throws.
    const size_t raw =
        (static_cast<size_t>(image.getWidth()) * 4 + 1) * static_cast<size_t>(image.getHeight());
    out.reserve(raw + raw / 64 + 64 * 1024);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        out.clear();
        return false;
    }
    writeRows(png, info, &image, &out);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool PngWriter::writeFile(const Image& image, const char* path) {
    std::vector<uint8_t> data;
    if (!encode(image, data)) return false;
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    return std::fclose(file) == 0 && written;
}

} // namespace mph
