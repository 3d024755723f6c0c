// Helpers shared by the level backgrounds, and the three painted in Landscapes.cpp.
#pragma once

#include "Pictures.h"

#include <functional>
#include <utility>
#include <vector>

namespace datagen {

inline constexpr int kBgW = layout::kWindowWidth, kBgH = layout::kBoardHeight;

struct Wave {
    double amplitude, frequency, phase;
};

// Fills the whole picture with a vertical gradient of (offset, 0xRRGGBB) stops.
void skyGradient(cairo_t* cr, const std::vector<std::pair<double, uint32_t>>& stops);
// Fills everything below the line y = base + the sum of the waves, with fill.
void ridge(cairo_t* cr, double base, const std::vector<Wave>& waves, cairo_pattern_t* fill);
cairo_pattern_t* vertical(double y0, uint32_t top, double y1, uint32_t bottom);
void stars(cairo_t* cr, int count, double maxY, uint64_t seed);
// Draws with draw() on a scratch picture, blurs it and lays it over the picture.
void blurredLayer(cairo_t* cr, int radius, const std::function<void(cairo_t*)>& draw);

void paintBlossomHills(cairo_t* cr);
void paintCrystalCave(cairo_t* cr);
void paintSkyIslands(cairo_t* cr);

} // namespace datagen
