// PngDecoder: reads PNG pictures from memory with libpng and converts them to ARGB words.
#include "gfx/PngDecoder.h"

#include "gfx/Image.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace mph {

namespace {

// A chunk the library buffers whole may claim any length, and not every chunk's length is checked against
// the chunk limit before the buffer is allocated; the library's own allocations are capped here instead.
// Its largest legitimate buffers are rows of at most 16384 pixels of 16-bit RGBA.
constexpr png_alloc_size_t kMaxChunkBytes = 8 * 1024 * 1024;

png_voidp limitedMalloc(png_structp, png_alloc_size_t size) {
    return size > kMaxChunkBytes ? nullptr : std::malloc(size);
}

void limitedFree(png_structp, png_voidp pointer) { std::free(pointer); }

} // namespace

namespace {

struct Source {
    const uint8_t* data;
    size_t length;
    size_t position;
};

// Everything a decode may have allocated, kept outside the registers so the error jump can free it.
struct Job {
    png_structp png = nullptr;
    png_infop info = nullptr;
    uint32_t* pixels = nullptr;
    png_bytep* rows = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    bool alpha = false;
};

void readBytes(png_structp png, png_bytep out, size_t count) {
    auto* source = static_cast<Source*>(png_get_io_ptr(png));
    if (source->length - source->position < count) png_error(png, "cut off");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

// The library reports errors by jumping back to the decode; it must not print or abort.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

// The part of the decode that can raise library errors. It keeps no C++ objects on its frame, so the
// library's long jump out of it skips no destructors.
__attribute__((noinline)) bool readPicture(Job* job, Source* source) {
    png_structp png = job->png;
    png_infop info = job->info;
    png_set_read_fn(png, source, readBytes);
    png_set_user_limits(png, 16384, 16384);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_read_info(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    if (!Image::sizeAcceptable(width, height)) return false;
    const int colourType = png_get_color_type(png, info);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    // Channels after the library has expanded palettes, low bit depths and the transparency chunk.
    int channels;
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
        channels = transparency ? 2 : 1;
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        channels = 2;
        break;
    case PNG_COLOR_TYPE_PALETTE:
    case PNG_COLOR_TYPE_RGB:
        channels = transparency ? 4 : 3;
        break;
    default:
        channels = 4;
        break;
    }

    // Every picture is brought to blue, green, red, alpha bytes: one little-endian ARGB word a pixel.
    png_set_strip_16(png);
    png_set_expand(png);
    if (channels <= 2) png_set_gray_to_rgb(png);
    png_set_bgr(png);
    if (channels == 1 || channels == 3) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

    job->pixels = static_cast<uint32_t*>(std::malloc(static_cast<size_t>(width) * height * 4));
    job->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (job->pixels == nullptr || job->rows == nullptr) return false;
    for (uint32_t y = 0; y < height; ++y)
        job->rows[y] = reinterpret_cast<png_bytep>(job->pixels + static_cast<size_t>(y) * width);
    png_read_image(png, job->rows);
    job->width = static_cast<int32_t>(width);
    job->height = static_cast<int32_t>(height);
    job->alpha = channels == 4;
    return true;
}

void release(Job* job, bool keepPixels) {
    png_destroy_read_struct(&job->png, job->info ? &job->info : nullptr, nullptr);
    std::free(job->rows);
    job->rows = nullptr;
    if (!keepPixels) {
        std::free(job->pixels);
        job->pixels = nullptr;
    }
}

} // namespace

bool PngDecoder::recognises(const uint8_t* data, size_t length) {
    static const uint8_t kSignature[4] = {0x89, 'P', 'N', 'G'};
    return length >= 4 && std::memcmp(data, kSignature, 4) == 0;
}

bool PngDecoder::decode(const uint8_t* data, size_t length, Image& into) {
    Source source{data, length, 0};
    Job job;
    job.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning, nullptr, limitedMalloc,
                                       limitedFree);
    if (job.png == nullptr) return false;
    job.info = png_create_info_struct(job.png);
    if (job.info == nullptr) {
        release(&job, false);
        return false;
    }
    if (setjmp(png_jmpbuf(job.png))) {
        release(&job, false);
        return false;
    }
    const bool ok = readPicture(&job, &source);
    release(&job, ok);
    if (!ok) return false;
    into.adoptPixels(job.pixels, job.width, job.height, job.alpha, false);
    return true;
}

} // namespace mph
