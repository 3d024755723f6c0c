// ImageArray: an array of images, holding no references of its own.
#pragma once

#include "gfx/Image.h"
#include "runtime/ObjectArray.h"

namespace mph {

class ImageArray : public lang::ObjectArray {
    LANG_CLASS(ImageArray, ObjectArray)

public:
    // The image in slot index, borrowed; null for an empty slot or an index out of range.
    Image* imageAt(int32_t index) const {
        return index >= 0 && index < length ? static_cast<Image*>(data[index]) : nullptr;
    }
};

} // namespace mph
