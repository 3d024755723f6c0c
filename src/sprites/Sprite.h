// Sprite: a picture at a position that records the screen areas its changes touch.
#pragma once

#include "runtime/IntArray.h"
#include "runtime/ObjectArray.h"
#include "gfx/Image.h"
#include "runtime/Rectangle.h"
#include "runtime/Ref.h"
#include "sprites/SpriteBase.h"
#include "gfx/FancyHelper.h"

#include <memory>

namespace mph {

class Graphics;
class Region;

// A sprite never paints on its own initiative. Every change that alters what it covers or shows calls
// invalidate() before and after the change, so the old and the new area are recomposed; once per tick the
// canvas collects the merged area with update() and repaints only the sprites that meet it.
class Sprite : public SpriteBase {
    LANG_CLASS(Sprite, SpriteBase)

public:
    Sprite();
    Sprite(const Sprite&) = delete;
    Sprite& operator=(const Sprite&) = delete;
    ~Sprite() override;

    // Configures the sprite from a data-script definition: images are the definition's pictures (Image
    // objects, in order) and params its integers. Returns false when the definition is unusable.
    virtual bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params);
    virtual void paint(Graphics* surface);
    // Collects the changed area into rect (and region, when given); true when there was one.
    virtual bool update(int32_t tick, lang::Rectangle& rect, Region* region);
    virtual bool step(int32_t tick, lang::Rectangle& rect);
    virtual void setLocation(int32_t x, int32_t y);
    virtual void moveBy(int32_t dx, int32_t dy);
    virtual void setVisible(bool visible);
    virtual bool contains(int32_t px, int32_t py);
    // The embedded bounds object, recomputed by every call.
    virtual lang::Rectangle& getBounds();
    virtual bool isVisible() const { return m_visible; }
    virtual int32_t getX() const { return m_x; }
    virtual int32_t getY() const { return m_y; }
    virtual int32_t getWidth() const { return m_width; }
    virtual int32_t getHeight() const { return m_height; }
    virtual void setUserValue(int32_t value);
    // A new sprite, owned by the caller.
    virtual Sprite* clone() const;
    virtual void setClip(const lang::Rectangle* clip);
    virtual lang::Ref<lang::Rectangle> getClip() const { return m_clip; }
    virtual void setExclusion(const lang::Rectangle* exclusion);
    virtual void setImage(Image* image);
    virtual bool findOpaqueEdge(int32_t& x, int32_t& y, char side, int32_t threshold);
    virtual bool hitOpaque(int32_t px, int32_t py);
    virtual void setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue);
    virtual void setShadow(int32_t dx, int32_t dy, bool on);
    virtual int32_t getOpacity();
    // Frees the picture's pixels while the sprite cannot be seen, and brings them back.
    virtual void unloadImage();
    virtual void reloadImage();
    virtual void addDirty(const lang::Rectangle& r);
    virtual void invalidate();

    Image* getImage() const { return m_image.get(); }
    int32_t getUserValue() const { return m_userValue; }
    bool isPaintVisible() const { return m_paintVisible; }
    bool isDirty() const { return m_dirty; }
    // The blend parameters, created on first use.
    FancyHelper& fancyHelper();
    bool hasFancyHelper() const { return m_fancy != nullptr; }

    // Merges r into target: the union when target has a size, else a copy.
    static void mergeRect(lang::Rectangle& target, const lang::Rectangle& r);

protected:
    // Copies what clone() shares into a newly made sprite.
    void copyInto(Sprite& other) const;
    // Takes everything merged into the dirty rectangle and resets it; true when something was there.
    bool collectDirty(lang::Rectangle& rect);
    // Paints image at (px, py) with the sprite's blend parameters when it has any.
    void drawWithBlend(Graphics* surface, Image* image, int32_t px, int32_t py);
    static void addToRegion(Region* region, const lang::Rectangle& rect);

    lang::Ref<Image> m_image;
    lang::Ref<lang::Rectangle> m_clip;
    lang::Ref<lang::Rectangle> m_exclusion;
    bool m_paintVisible = false;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_userValue = 0;
    int32_t m_width = 0;
    int32_t m_height = 0;
    lang::Rectangle m_bounds;
    lang::Ref<FancyHelper> m_fancy;
    bool m_visible = true;
    bool m_dirty = false;
    lang::Rectangle m_dirtyRect;
};

// The i-th picture of a definition, or null when the list is shorter.
Image* definitionImage(const lang::ObjectArray& images, int32_t i);

} // namespace mph
