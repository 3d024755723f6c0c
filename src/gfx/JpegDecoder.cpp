// JpegDecoder: reads JPEG pictures from memory with libjpeg and converts them to opaque ARGB words.
#include "gfx/JpegDecoder.h"

#include "gfx/Image.h"

// libjpeg's header expects the standard definitions to be present already.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace mph {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Errors jump back to the decode; warnings (a cut-off file, for one) are not printed.
[[noreturn]] void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}
void onOutput(j_common_ptr) {}

// Everything a decode may have allocated, kept in memory so the error jump can free it.
struct Job {
    jpeg_decompress_struct info;
    ErrorManager error;
    uint32_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

// Decoding a picture needs far less than this; the bound stops a forged header from exhausting memory.
constexpr long kMaxLibraryMemory = 512L * 1024 * 1024;

inline uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The part of the decode that can raise library errors. It keeps no C++ objects on its frame, so the
// library's long jump out of it skips no destructors.
__attribute__((noinline)) bool readPicture(Job* job, const uint8_t* data, size_t length) {
    jpeg_decompress_struct* info = &job->info;
    jpeg_mem_src(info, data, static_cast<unsigned long>(length));
    jpeg_read_header(info, TRUE);
    if (!Image::sizeAcceptable(info->image_width, info->image_height)) return false;
    info->mem->max_memory_to_use = kMaxLibraryMemory;
    // Four-channel pictures are converted here; the library turns everything else into RGB.
    const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
    info->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(info);
    const uint32_t width = info->output_width;
    const uint32_t height = info->output_height;
    const int components = info->output_components;
    if (!Image::sizeAcceptable(width, height) || components != (cmyk ? 4 : 3)) return false;

    // Rows the file does not deliver stay transparent black rather than uninitialised.
    job->pixels = static_cast<uint32_t*>(std::calloc(static_cast<size_t>(width) * height, 4));
    if (job->pixels == nullptr) return false;
    JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                width * static_cast<uint32_t>(components), 1);
    // Adobe's files store CMYK inverted; others store it plainly.
    const bool inverted = info->saw_Adobe_marker;
    while (info->output_scanline < height) {
        if (jpeg_read_scanlines(info, row, 1) != 1) break;
        uint32_t* out = job->pixels + static_cast<size_t>(info->output_scanline - 1) * width;
        const JSAMPLE* in = row[0];
        if (!cmyk) {
            for (uint32_t x = 0; x < width; ++x, in += 3)
                out[x] = rgb(in[0], in[1], in[2]);
            continue;
        }
        for (uint32_t x = 0; x < width; ++x, in += 4) {
            uint32_t c = in[0], m = in[1], y = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            out[x] = rgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
        }
    }
    jpeg_finish_decompress(info);
    job->width = static_cast<int32_t>(width);
    job->height = static_cast<int32_t>(height);
    return true;
}

} // namespace

bool JpegDecoder::decode(const uint8_t* data, size_t length, Image& into) {
    if (length == 0) return false;
    auto* job = new Job;
    std::memset(&job->info, 0, sizeof job->info);
    job->info.err = jpeg_std_error(&job->error.base);
    job->error.base.error_exit = onError;
    job->error.base.output_message = onOutput;
    // Set only after the last possible jump, and read after one, so it must live in memory.
    volatile bool ok = false;
    if (setjmp(job->error.jump) == 0) {
        jpeg_create_decompress(&job->info);
        ok = readPicture(job, data, length);
    }
    jpeg_destroy_decompress(&job->info);
    if (ok)
        into.adoptPixels(job->pixels, job->width, job->height, false, false);
    else
        std::free(job->pixels);
    delete job;
    return ok;
}

} // namespace mph
