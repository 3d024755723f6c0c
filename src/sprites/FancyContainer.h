// FancyContainer: a sprite that holds other sprites in its own coordinate space and can fade out whole.
#pragma once

#include "runtime/Hashtable.h"
#include "runtime/Vector.h"
#include "sprites/Sprite.h"

namespace mph {

class DataLoader;

// Children are painted in list order, clipped to the container's rectangle, at positions relative to the
// container's top-left corner. The container runs its children's step on its own tick and keeps the part
// of itself that must be repainted in container coordinates (localDirty).
class FancyContainer : public Sprite {
    LANG_CLASS(FancyContainer, Sprite)

public:
    FancyContainer();

    bool initFromDefinition(const lang::ObjectArray& images, const lang::IntArray& params) override;
    void paint(Graphics* surface) override;
    bool update(int32_t tick, lang::Rectangle& rect, Region* region) override;
    bool step(int32_t tick, lang::Rectangle& rect) override;
    // A container passes a tint on to its children instead of applying it to itself.
    void setTint(int32_t opacity, int32_t red, int32_t green, int32_t blue) override;

    // Called once the nested data script was loaded and its sprites added as children; spritesByName is
    // that script's table from name to sprite. Nothing happens here; dialogs keep the table.
    virtual void onLoaded(lang::Hashtable* spritesByName);
    // The same notice with the nested script's loader, for containers that read its numbers or strings
    // too; the default passes the loader's name table on.
    virtual void onLoaded(DataLoader* loader);
    // Paints the children that meet region, or, without a region, those that meet localDirty.
    virtual void paintChildren(Graphics* surface, Region* region);

    // Adds a sprite on top (moving it there when it is already a child); false for anything not a sprite.
    bool addChild(lang::Object* sprite);
    // The child at index, borrowed, or null.
    Sprite* getChild(int32_t index);
    int32_t getChildCount() { return m_children.size(); }
    void repaintAll();
    void hideWithFade();
    bool isFadingOut() const { return m_fadingOut; }
    const lang::Rectangle& getLocalDirty() const { return m_localDirty; }
    void setSize(int32_t width, int32_t height);

protected:
    int32_t m_fadeStep = 20;
    lang::Vector m_children{10};
    bool m_fadingOut = false;
    lang::Rectangle m_localDirty;
};

} // namespace mph
