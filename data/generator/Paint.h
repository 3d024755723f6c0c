// Drawing helpers shared by the picture generators: colours, rounded shapes, soft shadows, text and PNG
// output.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

enum class Align { Left, Centre, Right };

// Words are fitted into the boxes their pictures give them: a text that is too wide for its box is drawn
// smaller, down to this share of its size, and a paragraph that runs too long is drawn smaller too; what
// still does not fit is reported (Fit.h), never cut.
inline constexpr double kMinTextScale = 0.6;
// Every word the player reads has capitals at least this many picture pixels tall, so it can still be
// read where the picture is shown small (a handheld's 1280 by 800 screen shows it at 1.33 times); a
// smaller text is reported as not fitting.
inline constexpr double kMinCapitalHeight = 9;
inline constexpr const char* kTooSmall = "too small to read";
// The smallest size of type that keeps to it, in Liberation Sans (its capitals are 0.69 of the size).
inline constexpr double kSmallTextSize = 13.5;

// The size, from size down to kMinTextScale * size, at which text in Liberation Sans (bold or not) is at
// most width wide; a width of 0 or less is no limit.
double fitSize(cairo_t* cr, const std::string& text, double width, double size, bool bold);

// Reports the text when the current font's capitals are below kMinCapitalHeight.
void checkReadable(cairo_t* cr, const std::string& text);

// Draws one line of text in Liberation Sans with its baseline at y, anchored at x by the alignment; with a
// width above 0, the text is made to fit that width.
void textAt(cairo_t* cr, const std::string& text, double x, double y, double size, bool bold, Rgb c,
            Align align = Align::Left, double alpha = 1.0, double width = 0);

// Splits text into lines no wider than width in the current font; a '\n' always breaks.
std::vector<std::string> wrapText(cairo_t* cr, const std::string& text, double width);

// Draws word-wrapped text from baseline y; returns the baseline after the last line. With bottom above 0,
// the last line's baseline must not pass it: the size and the line height shrink together until it fits.
double paragraph(cairo_t* cr, const std::string& text, double x, double y, double width, double size,
                 double lineHeight, Rgb c, bool bold = false, Align align = Align::Left, double bottom = 0);

// Heading text centred on cx: a soft shadow, a dark outline and a vertical gradient from top to bottom.
// With maxWidth above 0 the text is made to fit that width.
void fancyText(cairo_t* cr, const std::string& text, double cx, double baseline, double size, Rgb top,
               Rgb bottom, Rgb outline, double outlineWidth, double maxWidth = 0);

// A picture of columns by rows cells of cw by ch; draw(cr, i) paints cell i (counted row by row, count
// cells in all) with the origin moved to the cell's corner and the drawing clipped to the cell.
cairo_surface_t* drawGrid(int columns, int rows, int cw, int ch, int count,
                          const std::function<void(cairo_t*, int)>& draw);

// A small fixed generator, so every build draws the same scattered details.
class Scatter {
public:
    explicit Scatter(uint64_t seed = 0x5eed5eedULL) : m_state(seed) {}
    // Uniform in [0, 1).
    double next();
    // Uniform in [a, b).
    double range(double a, double b) { return a + (b - a) * next(); }

private:
    uint64_t m_state;
};

// A radial glow of colour c around (x, y) fading out at radius r.
void radialGlow(cairo_t* cr, double x, double y, double r, Rgb c, double alpha);

} // namespace datagen
