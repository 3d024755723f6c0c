// The pictures of the demonstration data set; each function returns a new picture the caller destroys.
#pragma once

#include "Paint.h"

#include <string>

namespace datagen {

// The palette every picture draws from, so the screen reads as one piece.
namespace palette {
inline const Rgb night = hex(0x1d1238);
inline const Rgb plum = hex(0x3a1f5d);
inline const Rgb violet = hex(0x7044b0);
inline const Rgb teal = hex(0x2ec4b6);
inline const Rgb coral = hex(0xff6b6b);
inline const Rgb gold = hex(0xffc857);
inline const Rgb cream = hex(0xfff4e0);
inline const Rgb mint = hex(0x8be9c1);
inline const Rgb ink = hex(0x140b26);
} // namespace palette

// Scene pictures (Scene.cpp).
cairo_surface_t* drawBackground();                     // 800 by 600, opaque
cairo_surface_t* drawTitle();                          // the game's name as a glossy heading
cairo_surface_t* drawBanner(const std::string& text);  // a ribbon of text for the wave sprite
cairo_surface_t* drawLogo();                           // the loading picture, made for a dark red screen
cairo_surface_t* drawTile();                           // one tile of the floor band
cairo_surface_t* drawPlaque(const std::string& label); // the frame behind the score counter

// Widgets (Widgets.cpp).
cairo_surface_t* drawDialogPanel(int width, int height, const std::string& heading, const std::string& body);
// Four cells side by side: normal, hover, pressed, disabled.
cairo_surface_t* drawButtonStrip(const std::string& label, Rgb base, int cellWidth, int cellHeight);
// Fifteen cells: colon, minus, currency sign, comma, period, then the digits 0 to 9.
cairo_surface_t* drawDigitStrip(int cellWidth, int cellHeight);
cairo_surface_t* drawIcon(int size);
cairo_surface_t* drawCursor();

// Morphing shapes (Morph.cpp).
// A strip of `cells` cells of cellSize square: a circle turning into a star, a square, a triangle and back.
cairo_surface_t* drawMorphStrip(int cells, int cellSize);
// One morph shape alone at phase t (0 to 1 runs the whole cycle), centred in a picture of the given size.
void paintMorphShape(cairo_t* cr, double cx, double cy, double radius, double t, bool shadow);

} // namespace datagen
