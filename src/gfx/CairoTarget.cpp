// CairoTarget: setting up cairo over image pixels, with the premultiplied round trip for translucent areas.
#include "gfx/CairoTarget.h"

#include "gfx/Image.h"

#include <cairo.h>

#include <algorithm>

namespace mph {

namespace {

uint32_t premultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    const uint32_t r = (((p >> 16) & 0xFF) * a + 127) / 255;
    const uint32_t g = (((p >> 8) & 0xFF) * a + 127) / 255;
    const uint32_t b = ((p & 0xFF) * a + 127) / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

uint32_t unpremultiply(uint32_t p) {
    const uint32_t a = p >> 24;
    if (a == 255) return p;
    if (a == 0) return 0;
    auto ch = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (ch((p >> 16) & 0xFF) << 16) | (ch((p >> 8) & 0xFF) << 8) | ch(p & 0xFF);
}

} // namespace

CairoTarget::CairoTarget(Image* image, const cairo_region_t* clip, const lang::Rectangle& area)
    : m_image(image), m_area(area) {
    if (image == nullptr || !image->hasPixels()) {
        m_area = {};
        return;
    }
    m_area.intersectWith(lang::Rectangle(0, 0, image->getWidth(), image->getHeight()));
    cairo_region_t* limit = nullptr;
    if (clip != nullptr) {
        limit = cairo_region_copy(clip);
        const cairo_rectangle_int_t a{m_area.x, m_area.y, m_area.width, m_area.height};
        cairo_region_intersect_rectangle(limit, &a);
        cairo_rectangle_int_t e;
        cairo_region_get_extents(limit, &e);
        m_area = cairo_region_is_empty(limit) ? lang::Rectangle() : lang::Rectangle(e.x, e.y, e.width, e.height);
    }
    if (m_area.isEmpty()) {
        if (limit) cairo_region_destroy(limit);
        m_area = {};
        return;
    }
    uint32_t* pixels = image->getPixels();
    const int32_t stride = image->getStride() / 4;
    bool opaque = true;
    for (int32_t y = m_area.y; y < m_area.y + m_area.height && opaque; ++y) {
        const uint32_t* row = pixels + size_t(y) * size_t(stride);
        for (int32_t x = m_area.x; x < m_area.x + m_area.width; ++x) {
            if ((row[x] >> 24) != 255) {
                opaque = false;
                break;
            }
        }
    }
    if (opaque) {
        m_surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32,
                                                        image->getWidth(), image->getHeight(), image->getStride());
    } else {
        const size_t count = size_t(m_area.width) * size_t(m_area.height);
        m_before.resize(count);
        for (int32_t y = 0; y < m_area.height; ++y) {
            const uint32_t* row = pixels + size_t(m_area.y + y) * size_t(stride) + m_area.x;
            for (int32_t x = 0; x < m_area.width; ++x) m_before[size_t(y) * m_area.width + x] = premultiply(row[x]);
        }
        m_scratch = m_before;
        m_surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(m_scratch.data()),
                                                        CAIRO_FORMAT_ARGB32, m_area.width, m_area.height,
                                                        m_area.width * 4);
        cairo_surface_set_device_offset(m_surface, -m_area.x, -m_area.y);
    }
    m_cr = cairo_create(m_surface);
    if (limit != nullptr) {
        for (int i = 0; i < cairo_region_num_rectangles(limit); ++i) {
            cairo_rectangle_int_t r;
            cairo_region_get_rectangle(limit, i, &r);
            cairo_rectangle(m_cr, r.x, r.y, r.width, r.height);
        }
        cairo_region_destroy(limit);
    } else {
        cairo_rectangle(m_cr, m_area.x, m_area.y, m_area.width, m_area.height);
    }
    cairo_clip(m_cr);
}

CairoTarget::~CairoTarget() {
    if (m_cr) cairo_destroy(m_cr);
    if (m_surface) {
        cairo_surface_flush(m_surface);
        cairo_surface_destroy(m_surface);
    }
    if (!m_scratch.empty()) {
        uint32_t* pixels = m_image->getPixels();
        const int32_t stride = m_image->getStride() / 4;
        for (int32_t y = 0; y < m_area.height; ++y) {
            uint32_t* row = pixels + size_t(m_area.y + y) * size_t(stride) + m_area.x;
            for (int32_t x = 0; x < m_area.width; ++x) {
                const size_t i = size_t(y) * m_area.width + x;
                if (m_scratch[i] != m_before[i]) row[x] = unpremultiply(m_scratch[i]);
            }
        }
    }
}

} // namespace mph
