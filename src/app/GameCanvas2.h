// GameCanvas2: the canvas with a display list of sprites loaded from a data script.
#pragma once

#include "app/GameCanvas.h"
#include "runtime/Hashtable.h"
#include "sprites/SpriteFactory.h"

namespace mph {

class DataLoader;
class Sprite;

class GameCanvas2 : public GameCanvas, public SpriteFactory {
    LANG_CLASS(GameCanvas2, GameCanvas)

public:
    GameCanvas2();

    // The game builds its scene here; the base invalidates the whole canvas and marks the data loaded.
    virtual void onDataLoaded(DataLoader* loader);
    // Loads the script named by the data binding and takes over its lists; false when loading failed.
    bool loadData() override;
    // Every sprite is made by the data loader from its class name.
    lang::Object* createSprite(const lang::String& classSpec, lang::IntArray* ints, ImageArray* images,
                               DataLoader* loader) override;

    // Moves sprite to index (appends it for a negative or too large index); a non-empty name finds it later.
    void addSprite(Sprite* sprite, int32_t index, const lang::String& name);
    int32_t indexOfSprite(Sprite* sprite);
    // The sprite at index, borrowed, or null.
    Sprite* spriteAt(int32_t index);
    // The sprite known by name, borrowed, or null.
    Sprite* findSprite(const char* name);

    lang::Vector& sprites() { return m_display->sprites(); }
    lang::Hashtable& spritesByName() { return *m_spritesByName; }

protected:
    lang::Ref<lang::Hashtable> m_spritesByName;
};

} // namespace mph
