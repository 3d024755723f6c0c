// Helpers that every sprite's painting shares: sub-surfaces, blend parameters and regions.
#pragma once

#include "gfx/FancyHelper.h"
#include "gfx/Graphics.h"
#include "gfx/GraphicsI.h"
#include "gfx/Region.h"
#include "runtime/Rectangle.h"
#include "gfx/FancyHelper.h"

namespace mph {


// A sub-surface of a surface, disposed and released when the holder goes out of scope.
class SubSurface {
public:
    explicit SubSurface(Graphics* parent);
    SubSurface(const SubSurface&) = delete;
    SubSurface& operator=(const SubSurface&) = delete;
    ~SubSurface();
    Graphics* get() const { return m_surface; }

private:
    Graphics* m_surface = nullptr;
};

// Loads blend into the surface's blend helper; false when the surface has none (it then draws plainly).
bool loadBlend(Graphics* surface, const FancyHelper& blend);
// Puts the surface's blend helper back to its defaults.
void resetBlend(Graphics* surface);
// Adds rect to region when a region is given.
void addRectToRegion(Region* region, const lang::Rectangle& rect);

} // namespace mph
