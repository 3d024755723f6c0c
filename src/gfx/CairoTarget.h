// CairoTarget: a cairo context over part of an image's ARGB pixels, limited to a clip region.
#pragma once

#include "runtime/Rectangle.h"

#include <cstdint>
#include <vector>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

namespace mph {

class Image;

// Cairo works on premultiplied pixels while our images hold straight alpha. Over opaque pixels the two
// agree, so when every pixel the operation may touch is opaque (the usual case: frames and backgrounds)
// cairo draws straight into the image. Otherwise that area is copied into a premultiplied scratch buffer,
// drawn there, and only the pixels cairo changed are converted back, so untouched translucent pixels keep
// their exact values.
class CairoTarget {
public:
    // area: the target pixels the operation may change; clip: the surface's clip (not owned, may be null
    // for no limit beyond the image).
    CairoTarget(Image* image, const cairo_region_t* clip, const lang::Rectangle& area);
    ~CairoTarget();
    CairoTarget(const CairoTarget&) = delete;
    CairoTarget& operator=(const CairoTarget&) = delete;

    // The context in target coordinates; null when nothing can change.
    cairo_t* cr() const { return m_cr; }
    // The area that may have changed (empty when nothing was drawn).
    const lang::Rectangle& area() const { return m_area; }

private:
    Image* m_image;
    lang::Rectangle m_area;
    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_cr = nullptr;
    std::vector<uint32_t> m_scratch;
    std::vector<uint32_t> m_before;
};

} // namespace mph
