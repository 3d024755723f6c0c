// Region: a union of rectangles, used for dirty areas and as a clip.
#pragma once

#include "runtime/Rectangle.h"

#include <cstdint>

typedef struct _cairo_region cairo_region_t;

namespace mph {

class Region : public lang::Object {
    LANG_CLASS(Region, Object)

public:
    Region() = default;
    // Takes over a region handle (may be null).
    explicit Region(cairo_region_t* handle) : m_region(handle) {}
    Region(const Region& other);
    Region& operator=(const Region&) = delete;
    ~Region() override;

    // Unions a rectangle in; an empty rectangle adds nothing.
    void addRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void addRect(const lang::Rectangle& r) { addRect(r.x, r.y, r.width, r.height); }
    void offset(int32_t dx, int32_t dy);
    // Drops every rectangle.
    void clear();
    // False for a rectangle without area; true when the region holds nothing yet (no region means no
    // restriction); else whether any part of the rectangle lies in the region.
    bool intersects(const lang::Rectangle& r) const;
    bool isNull() const { return m_region == nullptr; }

    // The rectangles, in bands from top to bottom, for those that walk them.
    int32_t getRectCount() const;
    lang::Rectangle getRect(int32_t index) const;
    lang::Rectangle getBounds() const;

    // The underlying handle, owned by this region (null when there are no rectangles).
    cairo_region_t* handle() const { return m_region; }

private:
    cairo_region_t* m_region = nullptr;
};

} // namespace mph
