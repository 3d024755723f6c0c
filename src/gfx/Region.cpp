// Region: rectangle unions on a cairo region.
#include "gfx/Region.h"

#include <cairo.h>

namespace mph {

Region::Region(const Region& other) : Object() {
    if (other.m_region) m_region = cairo_region_copy(other.m_region);
}

Region::~Region() { clear(); }

void Region::addRect(int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    const cairo_rectangle_int_t r{x, y, w, h};
    if (m_region == nullptr) {
        m_region = cairo_region_create_rectangle(&r);
    } else {
        cairo_region_union_rectangle(m_region, &r);
    }
}

void Region::offset(int32_t dx, int32_t dy) {
    if (m_region) cairo_region_translate(m_region, dx, dy);
}

void Region::clear() {
    if (m_region) cairo_region_destroy(m_region);
    m_region = nullptr;
}

bool Region::intersects(const lang::Rectangle& r) const {
    if (r.width <= 0 || r.height <= 0) return false;
    if (m_region == nullptr) return true;
    const cairo_rectangle_int_t c{r.x, r.y, r.width, r.height};
    return cairo_region_contains_rectangle(m_region, &c) != CAIRO_REGION_OVERLAP_OUT;
}

int32_t Region::getRectCount() const { return m_region ? cairo_region_num_rectangles(m_region) : 0; }

lang::Rectangle Region::getRect(int32_t index) const {
    if (index < 0 || index >= getRectCount()) return {};
    cairo_rectangle_int_t r;
    cairo_region_get_rectangle(m_region, index, &r);
    return {r.x, r.y, r.width, r.height};
}

lang::Rectangle Region::getBounds() const {
    if (m_region == nullptr) return {};
    cairo_rectangle_int_t r;
    cairo_region_get_extents(m_region, &r);
    return {r.x, r.y, r.width, r.height};
}

} // namespace mph
