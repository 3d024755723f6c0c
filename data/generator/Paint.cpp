// Drawing helpers shared by the picture generators.
#include "Paint.h"

#include "Fit.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace datagen {

Rgb hex(uint32_t rgb) {
    return Rgb{((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0};
}

Rgb mix(Rgb a, Rgb b, double t) {
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb lighten(Rgb c, double amount) {
    return mix(c, Rgb{1, 1, 1}, amount);
}
Rgb darken(Rgb c, double amount) {
    return mix(c, Rgb{0, 0, 0}, amount);
}

void setColor(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, alpha);
}

cairo_surface_t* newPicture(int width, int height) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot create a picture");
    return s;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

namespace {

// One box pass along rows (step 1) or columns (step = stride) over one byte channel.
void boxLine(uint8_t* base, int count, int step, int radius, std::vector<uint8_t>& scratch) {
    scratch.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        scratch[static_cast<size_t>(i)] = base[static_cast<ptrdiff_t>(i) * step];
    const int window = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        if (i >= 0 && i < count) sum += scratch[static_cast<size_t>(i)];
    }
    for (int i = 0; i < count; ++i) {
        base[static_cast<ptrdiff_t>(i) * step] = static_cast<uint8_t>(sum / window);
        const int out = i - radius;
        const int in = i + radius + 1;
        if (out >= 0) sum -= scratch[static_cast<size_t>(out)];
        if (in < count) sum += scratch[static_cast<size_t>(in)];
    }
}

} // namespace

void blur(cairo_surface_t* surface, int radius) {
    if (radius <= 0) return;
    cairo_surface_flush(surface);
    uint8_t* data = cairo_image_surface_get_data(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    // Three passes of a box a third of the radius wide approximate a Gaussian of that radius.
    const int box = std::max(1, radius / 2);
    std::vector<uint8_t> scratch;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int c = 0; c < 4; ++c)
                boxLine(data + static_cast<ptrdiff_t>(y) * stride + c, w, 4, box, scratch);
        }
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c)
                boxLine(data + x * 4 + c, h, stride, box, scratch);
        }
    }
    cairo_surface_mark_dirty(surface);
}

void softShadow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double dx, double dy, int radius,
                Rgb color, double alpha) {
    cairo_surface_t* target = cairo_get_target(cr);
    const int w = cairo_image_surface_get_width(target);
    const int h = cairo_image_surface_get_height(target);
    cairo_surface_t* scratch = newPicture(w, h);
    cairo_t* sc = cairo_create(scratch);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_set_matrix(sc, &m);
    shape(sc);
    cairo_set_source_rgba(sc, 0, 0, 0, 1);
    cairo_fill(sc);
    cairo_destroy(sc);
    blur(scratch, radius);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    setColor(cr, color, alpha);
    cairo_mask_surface(cr, scratch, dx, dy);
    cairo_restore(cr);
    cairo_surface_destroy(scratch);
}

void glow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, int radius, Rgb color, double alpha) {
    softShadow(cr, shape, 0, 0, radius, color, alpha);
}

void useFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text.c_str(), &ext);
    return ext.x_advance;
}

void centredTextPath(cairo_t* cr, const std::string& text, double cx, double y) {
    cairo_move_to(cr, cx - textWidth(cr, text) / 2, y);
    cairo_text_path(cr, text.c_str());
}

void writePng(cairo_surface_t* surface, const std::string& path) {
    cairo_surface_flush(surface);
    if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

double fitSize(cairo_t* cr, const std::string& text, double width, double size, bool bold) {
    if (width <= 0) return size;
    useFont(cr, size, bold);
    double w = textWidth(cr, text);
    if (w <= width) return size;
    // Advances grow in proportion to the size but for rounding, so start from the ratio and step down.
    const double smallest = size * kMinTextScale;
    double fitted = std::max(smallest, size * width / w);
    for (;; fitted -= 0.25) {
        if (fitted < smallest) fitted = smallest;
        useFont(cr, fitted, bold);
        w = textWidth(cr, text);
        if (w <= width || fitted <= smallest) break;
    }
    if (w > width) reportOverflow("too wide", text, w, width);
    return fitted;
}

void checkReadable(cairo_t* cr, const std::string& text) {
    // The outline's own height, not one rounded to whole pixels by hinting.
    cairo_font_options_t* saved = cairo_font_options_create();
    cairo_get_font_options(cr, saved);
    cairo_font_options_t* exact = cairo_font_options_copy(saved);
    cairo_font_options_set_hint_style(exact, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(exact, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, exact);
    cairo_text_extents_t capital;
    cairo_text_extents(cr, "H", &capital);
    cairo_set_font_options(cr, saved);
    cairo_font_options_destroy(exact);
    cairo_font_options_destroy(saved);
    if (capital.height < kMinCapitalHeight - 0.01)
        reportOverflow(kTooSmall, text, capital.height, kMinCapitalHeight);
}

void textAt(cairo_t* cr, const std::string& text, double x, double y, double size, bool bold, Rgb c,
            Align align, double alpha, double width) {
    size = fitSize(cr, text, width, size, bold);
    useFont(cr, size, bold);
    checkReadable(cr, text);
    const double w = textWidth(cr, text);
    const double left = align == Align::Left ? x : align == Align::Centre ? x - w / 2 : x - w;
    cairo_move_to(cr, left, y);
    setColor(cr, c, alpha);
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
}

std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double width) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string para = text.substr(start, end - start);
        std::string line;
        size_t i = 0;
        while (i < para.size()) {
            size_t next = para.find(' ', i);
            if (next == std::string::npos) next = para.size();
            const std::string word = para.substr(i, next - i);
            const std::string tryLine = line.empty() ? word : line + " " + word;
            if (!line.empty() && textWidth(cr, tryLine) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = tryLine;
            }
            i = next + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

double paragraph(cairo_t* cr, const std::string& text, double x, double y, double width, double size,
                 double lineHeight, Rgb c, bool bold, Align align, double bottom) {
    // The largest scale at which every line is within width and the last baseline within bottom.
    double scale = 1.0;
    std::vector<std::string> lines;
    for (;; scale -= 0.02) {
        if (scale < kMinTextScale) scale = kMinTextScale;
        useFont(cr, size * scale, bold);
        lines = wrapText(cr, text, width);
        double widest = 0;
        for (const std::string& line : lines)
            widest = std::max(widest, textWidth(cr, line));
        const double last = y + (static_cast<double>(lines.size()) - 1) * lineHeight * scale;
        const bool wideOk = widest <= width, longOk = bottom <= 0 || last <= bottom;
        if ((wideOk && longOk) || scale <= kMinTextScale) {
            if (!wideOk) reportOverflow("too wide", text, widest, width);
            if (!longOk) reportOverflow("too long", text, last - y, bottom - y);
            break;
        }
    }
    for (const std::string& line : lines) {
        const double anchor = align == Align::Left ? x : align == Align::Centre ? x + width / 2 : x + width;
        textAt(cr, line, anchor, y, size * scale, bold, c, align);
        y += lineHeight * scale;
    }
    return y;
}

void fancyText(cairo_t* cr, const std::string& text, double cx, double baseline, double size, Rgb top,
               Rgb bottom, Rgb outline, double outlineWidth, double maxWidth) {
    // The outline takes room beside the letters too; a smaller text gets a thinner outline.
    const double fitted = fitSize(cr, text, maxWidth > 0 ? maxWidth - outlineWidth : 0, size, true);
    outlineWidth *= fitted / size;
    size = fitted;
    const auto path = [&](cairo_t* c) {
        useFont(c, size, true);
        centredTextPath(c, text, cx, baseline);
    };
    softShadow(cr, path, 0, size * 0.06, static_cast<int>(size * 0.08) + 2, hex(0x0c0618), 0.7);
    if (outlineWidth > 0) {
        path(cr);
        setColor(cr, outline);
        cairo_set_line_width(cr, outlineWidth);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
    }
    cairo_pattern_t* g = cairo_pattern_create_linear(0, baseline - size * 0.75, 0, baseline);
    addStop(g, 0, top);
    addStop(g, 1, bottom);
    path(cr);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

cairo_surface_t* drawGrid(int columns, int rows, int cw, int ch, int count,
                          const std::function<void(cairo_t*, int)>& draw) {
    cairo_surface_t* s = newPicture(columns * cw, rows * ch);
    cairo_t* cr = cairo_create(s);
    for (int i = 0; i < count && i < columns * rows; ++i) {
        cairo_save(cr);
        cairo_translate(cr, (i % columns) * cw, (i / columns) * ch);
        cairo_rectangle(cr, 0, 0, cw, ch);
        cairo_clip(cr);
        draw(cr, i);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

double Scatter::next() {
    m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(m_state >> 11) / static_cast<double>(1ULL << 53);
}

void radialGlow(cairo_t* cr, double x, double y, double r, Rgb c, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    addStop(p, 0, c, alpha);
    addStop(p, 1, c, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

} // namespace datagen
