// The toolkit's entries in the class registry, so data scripts can create sprites by class name.
#pragma once

#include "runtime/Class.h"

namespace mph {

// Each toolkit class registers itself with a static record in its own source file. A static library only
// links the object files something refers to, so programs that create sprites by name call
// registerSpriteClasses() once; it refers to every record and returns how many there are.
int32_t registerSpriteClasses();

struct SpriteClasses {
    static const lang::Class& sprite();
    static const lang::Class& animateSprite();
    static const lang::Class& textSprite();
    static const lang::Class& numberSprite();
    static const lang::Class& richTTYSprite();
    static const lang::Class& buttonSprite();
    static const lang::Class& rectButtonSprite();
    static const lang::Class& fancyContainer();
    static const lang::Class& dialogSprite();
    static const lang::Class& tiledSprite();
    static const lang::Class& waveSprite();
};

} // namespace mph
