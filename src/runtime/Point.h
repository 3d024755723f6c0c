// Point: an x and a y.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Point : public Object {
    LANG_CLASS(Point, Object)

public:
    Point() = default;
    Point(int32_t x, int32_t y) : x(x), y(y) {}
    Point(const Point& o) : Object(), x(o.x), y(o.y) {}
    Point& operator=(const Point& o) {
        x = o.x;
        y = o.y;
        return *this;
    }

    int32_t x = 0;
    int32_t y = 0;
};

} // namespace lang
