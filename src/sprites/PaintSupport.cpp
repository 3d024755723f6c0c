// Helpers that every sprite's painting shares: sub-surfaces, blend parameters and regions.
#include "sprites/PaintSupport.h"

namespace mph {


SubSurface::SubSurface(Graphics* parent) : m_surface(parent ? parent->create() : nullptr) {}

SubSurface::~SubSurface() {
    if (m_surface) {
        m_surface->dispose();
        m_surface->release();
    }
}

bool loadBlend(Graphics* surface, const SpriteBlend& blend) {
    FancyHelper* helper = surface->getFancyHelper();
    if (helper == nullptr) return false;
    helper->opacity = blend.opacity;
    helper->redScale = blend.redScale;
    helper->greenScale = blend.greenScale;
    helper->blueScale = blend.blueScale;
    helper->shadowOn = blend.shadowOn;
    helper->shadowDX = blend.shadowDX;
    helper->shadowDY = blend.shadowDY;
    return true;
}

void resetBlend(Graphics* surface) {
    if (FancyHelper* helper = surface->getFancyHelper()) helper->reset();
}

void addRectToRegion(Region* region, const lang::Rectangle& rect) {
    if (region) region->addRect(rect);
}


} // namespace mph
