// Dimension: a width and a height.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Dimension : public Object {
    LANG_CLASS(Dimension, Object)

public:
    Dimension() = default;
    Dimension(int32_t width, int32_t height) : width(width), height(height) {}
    Dimension(const Dimension& o) : Object(), width(o.width), height(o.height) {}
    Dimension& operator=(const Dimension& o) {
        width = o.width;
        height = o.height;
        return *this;
    }

    int32_t width = 0;
    int32_t height = 0;
};

} // namespace lang
