// DisplayList: the sprites of a screen in drawing order, the areas they changed, and composing them.
#pragma once

#include "gfx/Region.h"
#include "runtime/Rectangle.h"
#include "runtime/Vector.h"

namespace mph {

class Graphics;

// The canvas runs one tick after another on it and composes the changed areas into its off-screen
// picture; the scene renderer of the toolbox does the same without a window.
class DisplayList : public lang::Object {
    LANG_CLASS(DisplayList, Object)

public:
    DisplayList(int32_t width, int32_t height);

    // The sprites, index 0 drawn first; the vector's own lock guards it.
    lang::Vector& sprites() { return m_sprites; }
    int32_t getWidth() const { return m_width; }
    int32_t getHeight() const { return m_height; }

    // Collects every sprite's changed area for tick number frameCounter, then counts the tick.
    void tick();
    // Marks an area for recomposing; a rectangle without width does nothing.
    void invalidate(const lang::Rectangle& area);
    // Marks the whole screen for recomposing.
    void invalidateAll();
    // Paints, in list order, every sprite that meets the changed areas onto a sub-surface of target clipped
    // to them, then forgets the areas. background is the colour the sub-surface starts with.
    void compose(Graphics* target, uint32_t background);

    // Whether changed areas are collected as a region for composing (the default). A run that never
    // composes turns it off: the region would only grow. Turning it back on marks the whole screen.
    void setTracking(bool on);
    bool isDirty() const { return m_dirtyFlag; }
    const lang::Rectangle& getDirtyRect() const { return m_dirtyRect; }
    Region& getDirtyRegion() { return m_dirtyRegion; }
    int32_t getFrameCounter() const { return m_frameCounter; }
    void setFrameCounter(int32_t counter) { m_frameCounter = counter; }

private:
    void mergeDirty(const lang::Rectangle& area);

    int32_t m_width;
    int32_t m_height;
    lang::Vector m_sprites{10};
    lang::Rectangle m_dirtyRect;
    Region m_dirtyRegion;
    bool m_dirtyFlag = false;
    bool m_tracking = true;
    int32_t m_frameCounter = 0;
};

} // namespace mph
