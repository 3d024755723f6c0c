// Helpers shared by the sprite tests: small pictures, definitions and tick collection.
#pragma once

#include "gfx/Image.h"
#include "runtime/IntArray.h"
#include "runtime/ObjectArray.h"
#include "runtime/Rectangle.h"
#include "runtime/Ref.h"
#include "sprites/Sprite.h"

#include <initializer_list>

namespace spritetest {

// A w x h picture filled with argb.
inline lang::Ref<mph::Image> solidImage(int32_t w, int32_t h, uint32_t argb) {
    auto image = lang::adopt(new mph::Image(w, h, 1, false));
    for (int32_t i = 0; i < w * h; ++i) image->getPixels()[i] = argb;
    return image;
}

inline lang::Ref<lang::IntArray> ints(std::initializer_list<int32_t> values) {
    auto array = lang::adopt(new lang::IntArray(static_cast<int32_t>(values.size())));
    int32_t i = 0;
    for (int32_t v : values) (*array)[i++] = v;
    return array;
}

inline lang::Ref<lang::ObjectArray> images(std::initializer_list<mph::Image*> list) {
    auto array = lang::adopt(new lang::ObjectArray());
    array->resize(static_cast<int32_t>(list.size()));
    int32_t i = 0;
    for (mph::Image* image : list) array->data[i++] = image;
    return array;
}

// Runs one tick of the sprite and returns the collected rectangle (empty when nothing changed).
inline lang::Rectangle tick(mph::Sprite& sprite, int32_t t) {
    lang::Rectangle rect;
    sprite.update(t, rect, nullptr);
    return rect;
}

} // namespace spritetest
