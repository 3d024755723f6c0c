// Freeing and restoring the pixel memory of pictures that hidden sprites hold.
#include "sprites/ImagePixels.h"

#include "gfx/Image.h"

#include <cstdlib>
#include <cstring>

namespace mph {

bool releaseImagePixels(Image* image) {
    if (image == nullptr || !image->hasPixels()) return false;
    if (image->refCount() != 1 || image->getName().isEmpty()) return false;
    image->free();
    return true;
}

bool restoreImagePixels(Image* image) {
    if (image == nullptr) return false;
    if (image->hasPixels()) return true;
    if (image->getName().isEmpty()) return false;
#if __has_include("gfx/GifDecoder.h")
    lang::Ref<Image> fresh = lang::adopt(new Image(image->getName()));
    if (!fresh->hasPixels()) return false;
    const int32_t w = fresh->getWidth();
    const int32_t h = fresh->getHeight();
    const size_t bytes = size_t(w) * size_t(h) * 4;
    auto* pixels = static_cast<uint32_t*>(std::malloc(bytes));
    if (pixels == nullptr) return false;
    std::memcpy(pixels, fresh->getPixels(), bytes);
    image->adoptPixels(pixels, w, h, fresh->getAlphaFlag(), false);
    return true;
#else
    return false;
#endif
}

} // namespace mph
