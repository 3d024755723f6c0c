// Image: pixel storage, clearing and the size limits.
#include "gfx/Image.h"

#include "gfx/DecodedPictures.h"
#include "gfx/GifDecoder.h"
#include "gfx/JpegDecoder.h"
#include "gfx/PngDecoder.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace mph {

namespace {

std::atomic<int64_t> g_pixelLimit{Image::kMaxPixels};

} // namespace

bool Image::sizeAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           width * height <= g_pixelLimit.load(std::memory_order_relaxed);
}

void Image::limitPixels(int64_t pixels) {
    g_pixelLimit.store(std::clamp<int64_t>(pixels, 1, kMaxPixels), std::memory_order_relaxed);
}

Image::Image(int32_t width, int32_t height, int clearMode, bool withBitmap) {
    if (!sizeAcceptable(width, height)) return;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    // A device bitmap starts out zeroed, so it is cleared whatever the clear mode says.
    auto* pixels =
        static_cast<uint32_t*>(clearMode == 1 || withBitmap ? std::calloc(bytes, 1) : std::malloc(bytes));
    if (pixels == nullptr) return;
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_bitmap = withBitmap;
}

Image::Image(const uint8_t* buffer, size_t length) {
    decode(buffer, length);
}

Image::Image(const lang::String& name) {
    load(name);
}

Image::~Image() {
    free();
}

bool Image::decode(const uint8_t* buffer, size_t length) {
    free();
    if (buffer == nullptr || length < 7) return false;
    if (DecodedPictures::find(buffer, length, *this)) return true;
    bool decoded = false;
    if (GifDecoder::recognises(buffer, length))
        decoded = GifDecoder::decode(buffer, length, *this);
    else if (PngDecoder::recognises(buffer, length))
        decoded = PngDecoder::decode(buffer, length, *this);
    else
        decoded = JpegDecoder::decode(buffer, length, *this);
    if (decoded) DecodedPictures::remember(buffer, length, *this);
    return decoded;
}

void Image::free() {
    if (m_shared)
        m_shared.reset();
    else
        std::free(m_pixels);
    m_pixels = nullptr;
    m_width = 0;
    m_height = 0;
    m_bitmap = false;
    m_alphaFlag = false;
}

void Image::adoptPixels(uint32_t* pixels, int32_t width, int32_t height, bool alpha, bool bitmap) {
    free();
    m_pixels = pixels;
    m_width = pixels ? width : 0;
    m_height = pixels ? height : 0;
    m_alphaFlag = pixels != nullptr && alpha;
    m_bitmap = pixels != nullptr && bitmap;
}

void Image::sharePixels(std::shared_ptr<const uint32_t[]> block, int32_t width, int32_t height, bool alpha,
                        bool bitmap) {
    free();
    if (!block || !sizeAcceptable(width, height)) return;
    m_shared = std::move(block);
    m_pixels = const_cast<uint32_t*>(m_shared.get());
    m_width = width;
    m_height = height;
    m_alphaFlag = alpha;
    m_bitmap = bitmap;
}

void Image::unshare() {
    const size_t words = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
    // Malloc'ed like every picture's pixels, which free() releases.
    auto* own = static_cast<uint32_t*>(std::malloc(words * 4 + 4));
    if (own == nullptr) throw std::bad_alloc();
    std::memcpy(own, m_shared.get(), words * 4);
    m_pixels = own;
    m_shared.reset();
}

void Image::ensureBitmap() {
    if (m_pixels) m_bitmap = true;
}

void Image::clearRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (m_pixels == nullptr) return;
    if (m_shared) unshare();
    if (x < 0) {
        w += x;
        x = 0;
    }
    if (y < 0) {
        h += y;
        y = 0;
    }
    w = std::min(w, m_width - x);
    if (w <= 0 || y >= m_height) return;
    const int32_t bottom = std::min(m_height, y + h);
    for (int32_t row = y; row < bottom; ++row)
        std::memset(m_pixels + static_cast<size_t>(row) * m_width + x, 0, static_cast<size_t>(w) * 4);
}

} // namespace mph
