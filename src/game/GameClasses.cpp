// registerGameClasses: links every game class's registration record into the program.
#include "game/GameClasses.h"

#include "runtime/Class.h"
#include "scores/ScoreClasses.h"
#include "sprites/SpriteClasses.h"

namespace mph {

int32_t registerGameClasses() {
    int32_t count = registerSpriteClasses() + registerScoreClasses();
    const lang::Class* records[] = {
        nullptr, // the game's sprite classes are listed here
    };
    for (const lang::Class* record : records) {
        if (record != nullptr) ++count;
    }
    return count;
}

} // namespace mph
