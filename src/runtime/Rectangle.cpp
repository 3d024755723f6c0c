// Rectangle arithmetic.
#include "runtime/Rectangle.h"

#include "runtime/String.h"

#include <algorithm>

namespace lang {

int32_t Rectangle::hashCode() const {
    const uint32_t h = (static_cast<uint32_t>(x) << 24) + (static_cast<uint32_t>(y) << 16) +
                       (static_cast<uint32_t>(width) << 8) + static_cast<uint32_t>(height);
    return static_cast<int32_t>(h);
}

bool Rectangle::equals(const Object* other) const {
    if (other == this) return true;
    if (other == nullptr || !other->instanceOf("Rectangle")) return false;
    const auto* r = static_cast<const Rectangle*>(other);
    return sameAs(r->x, r->y, r->width, r->height);
}

String Rectangle::toString() const {
    String s("Rectangle(");
    s.append(x).append(',').append(y).append(',').append(width).append(',').append(height).append(')');
    return s;
}

void Rectangle::unionWith(const Rectangle& o) {
    const int64_t x0 = std::min<int64_t>(x, o.x);
    const int64_t y0 = std::min<int64_t>(y, o.y);
    const int64_t x1 = std::max<int64_t>(int64_t(x) + width, int64_t(o.x) + o.width);
    const int64_t y1 = std::max<int64_t>(int64_t(y) + height, int64_t(o.y) + o.height);
    setBounds(int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0));
}

void Rectangle::intersectWith(const Rectangle& o) {
    const int64_t x0 = std::max<int64_t>(x, o.x);
    const int64_t y0 = std::max<int64_t>(y, o.y);
    const int64_t x1 = std::min<int64_t>(int64_t(x) + width, int64_t(o.x) + o.width);
    const int64_t y1 = std::min<int64_t>(int64_t(y) + height, int64_t(o.y) + o.height);
    if (x1 <= x0 || y1 <= y0) {
        setBounds(0, 0, 0, 0);
    } else {
        setBounds(int32_t(x0), int32_t(y0), int32_t(x1 - x0), int32_t(y1 - y0));
    }
}

bool Rectangle::intersects(const Rectangle& o) const {
    if (isEmpty() || o.isEmpty()) return false;
    return int64_t(x) < int64_t(o.x) + o.width && int64_t(o.x) < int64_t(x) + width &&
           int64_t(y) < int64_t(o.y) + o.height && int64_t(o.y) < int64_t(y) + height;
}

} // namespace lang
