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

bool loadBlend(Graphics* surface, const FancyHelper& blend) {
    FancyHelper* helper = surface->getFancyHelper();
    if (helper == nullptr) return false;
    helper->copyFrom(blend);
    return true;
}

void resetBlend(Graphics* surface) {
    if (FancyHelper* helper = surface->getFancyHelper()) helper->reset();
}

void addRectToRegion(Region* region, const lang::Rectangle& rect) {
    if (region) region->addRect(rect);
}


} // namespace mph
