// registerSpriteClasses: links every toolkit class's registration record into the program.
#include "sprites/SpriteClasses.h"

namespace mph {

int32_t registerSpriteClasses() {
    const lang::Class* records[] = {
        &SpriteClasses::sprite(),          &SpriteClasses::animateSprite(),  &SpriteClasses::textSprite(),
        &SpriteClasses::numberSprite(),    &SpriteClasses::richTTYSprite(),  &SpriteClasses::buttonSprite(),
        &SpriteClasses::rectButtonSprite(), &SpriteClasses::fancyContainer(), &SpriteClasses::dialogSprite(),
        &SpriteClasses::tiledSprite(),     &SpriteClasses::waveSprite(),
    };
    int32_t count = 0;
    for (const lang::Class* record : records) {
        if (record != nullptr) ++count;
    }
    return count;
}

} // namespace mph
