// Freeing and restoring the pixel memory of pictures that hidden sprites hold.
#pragma once

namespace mph {

class Image;

// Frees the image's pixels when that is safe: the caller must be the image's only holder (another sprite
// may be showing the same picture) and the image must name the source it can be reloaded from. Returns
// true when the pixels were freed.
bool releaseImagePixels(Image* image);

// Reloads the pixels of an image whose pixels were freed, from the source it names, in place, so every
// holder sees them again. Returns true when the image has pixels afterwards.
bool restoreImagePixels(Image* image);

} // namespace mph
