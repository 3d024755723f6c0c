// Freeing and restoring the pixel memory of pictures that hidden sprites hold.
#include "sprites/ImagePixels.h"

#include "gfx/Image.h"


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
    // Loading in place keeps the object every holder points at.
    const lang::String name(image->getName());
    return image->load(name) && image->hasPixels();
#else
    return false;
#endif
}

} // namespace mph
