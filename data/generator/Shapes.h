// The game's shapes: fourteen kinds told apart by their outlines, four variants of each told apart by the
// hole punched through them, and the animated wildcard; the frame table and the slot backgrounds.
#pragma once

#include "Paint.h"

namespace datagen {

// Frame index of variant v of kind k in the frame table; the wildcard's frames follow the ordinary kinds.
int shapeFrame(int kind, int variant);
int wildFrame(int step);

Rgb kindColour(int kind);
const char* kindName(int kind);
const char* variantName(int variant);

// Adds kind k's outline to the path, centred on (cx, cy), with 1.0 being unit pixels.
void kindPath(cairo_t* cr, int kind, double cx, double cy, double unit);
// Adds the holes of variant v of kind k (none for variant 0).
void markPath(cairo_t* cr, int kind, int variant, double cx, double cy, double unit);
// Adds the wildcard's outline at animation step s.
void wildPath(cairo_t* cr, int step, double cx, double cy, double unit);

// Paints a shape as a polished gem: the outline's alpha is exactly the shape's coverage.
void paintShape(cairo_t* cr, int kind, int variant, double cx, double cy, double unit);
void paintWildcard(cairo_t* cr, int step, double cx, double cy, double unit);

// The frame table of the "shape" sprite: 15 columns of cells, kinds in order, then the wildcard.
cairo_surface_t* drawShapeTable();
// The slot backgrounds, one cell per frame on the same grid: a belt plate with a recess glowing in the
// kind's colour around where the hole will be cut.
cairo_surface_t* drawSlotTable();
// One belt plate, as the slot backgrounds and the instruction pages show it.
void paintBeltPlate(cairo_t* cr, double x, double y, double w, double h);

} // namespace datagen
