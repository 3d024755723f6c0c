// Rectangle: x, y, width and height, with union and intersection in place.
#pragma once

#include "runtime/Object.h"

namespace lang {

class Rectangle : public Object {
    LANG_CLASS(Rectangle, Object)

public:
    Rectangle() = default;
    Rectangle(int32_t x, int32_t y, int32_t width, int32_t height) : x(x), y(y), width(width), height(height) {}
    Rectangle(const Rectangle& other) : Object(), x(other.x), y(other.y), width(other.width), height(other.height) {}
    Rectangle& operator=(const Rectangle& other) {
        x = other.x;
        y = other.y;
        width = other.width;
        height = other.height;
        return *this;
    }

    int32_t hashCode() const override;
    bool equals(const Object* other) const override;
    String toString() const override;

    bool contains(int32_t px, int32_t py) const { return px >= x && py >= y && px < x + width && py < y + height; }
    bool isEmpty() const { return width <= 0 || height <= 0; }
    void setBounds(int32_t nx, int32_t ny, int32_t nw, int32_t nh) {
        x = nx;
        y = ny;
        width = nw;
        height = nh;
    }
    // Becomes the smallest rectangle that holds both.
    void unionWith(const Rectangle& other);
    // Becomes the common part of both; an empty result is (0, 0, 0, 0).
    void intersectWith(const Rectangle& other);
    bool intersects(const Rectangle& other) const;
    bool sameAs(int32_t ox, int32_t oy, int32_t ow, int32_t oh) const {
        return x == ox && y == oy && width == ow && height == oh;
    }

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

} // namespace lang
