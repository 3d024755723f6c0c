// registerGameClasses: links every game class's registration record into the program.
#include "game/GameClasses.h"

#include "game/HourGlass.h"
#include "game/MeltSprite.h"
#include "game/RectSprite.h"
#include "game/ShapeSprite.h"
#include "game/SlotSprite.h"
#include "game/SquishSprite.h"
#include "runtime/Class.h"
#include "scores/ScoreClasses.h"
#include "sprites/SpriteClasses.h"

namespace mph {

int32_t registerGameClasses() {
    int32_t count = registerSpriteClasses() + registerScoreClasses();
    const lang::Class* records[] = {
        &SlotSprite::classRecord(),   &ShapeSprite::classRecord(), &MeltSprite::classRecord(),
        &SquishSprite::classRecord(), &HourGlass::classRecord(),   &RectSprite::classRecord(),
    };
    for (const lang::Class* record : records) {
        if (record != nullptr) ++count;
    }
    return count;
}

} // namespace mph
