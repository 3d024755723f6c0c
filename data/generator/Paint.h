// Drawing helpers shared by the picture generators: colours, rounded shapes, soft shadows, text and PNG
// output.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

namespace datagen {

struct Rgb {
    double r, g, b;
};

// Turns 0xRRGGBB into a colour with channels from 0 to 1.
Rgb hex(uint32_t rgb);
// Mixes a and b: t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, double t);
Rgb lighten(Rgb c, double amount);
Rgb darken(Rgb c, double amount);

void setColor(cairo_t* cr, Rgb c, double alpha = 1.0);
void addStop(cairo_pattern_t* p, double offset, Rgb c, double alpha = 1.0);

// A transparent ARGB picture of the given size; the caller destroys it.
cairo_surface_t* newPicture(int width, int height);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

// Blurs every channel of an ARGB picture in place with three box passes (close to a Gaussian).
void blur(cairo_surface_t* surface, int radius);

// Paints a soft shadow of the shape that `shape` builds as the current path: the shape is filled in the
// shadow colour on a scratch picture, blurred, and composited under whatever is drawn next.
void softShadow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, double dx, double dy, int radius,
                Rgb color, double alpha);

// Paints a soft glow (an unshifted shadow) of the shape in the given colour.
void glow(cairo_t* cr, const std::function<void(cairo_t*)>& shape, int radius, Rgb color, double alpha);

// Selects the interface font, Liberation Sans, found through fontconfig.
void useFont(cairo_t* cr, double size, bool bold);

// Width of text in the current font, as the pen advances.
double textWidth(cairo_t* cr, const std::string& text);

// Adds text to the path with its advance centred on cx and its baseline at y.
void centredTextPath(cairo_t* cr, const std::string& text, double cx, double y);

// Writes the picture as PNG; throws std::runtime_error when it cannot be written.
void writePng(cairo_surface_t* surface, const std::string& path);

} // namespace datagen
