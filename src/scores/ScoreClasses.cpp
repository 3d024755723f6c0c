// registerScoreClasses: links every dialog class's registration record of this library into the program.
#include "scores/ScoreClasses.h"

namespace mph {

int32_t registerScoreClasses() {
    const lang::Class* records[] = {
        &ScoreClasses::highScoreSprite(),
        &ScoreClasses::optionsSprite(),
        &ScoreClasses::instructDialog(),
    };
    int32_t count = 0;
    for (const lang::Class* record : records) {
        if (record != nullptr) ++count;
    }
    return count;
}

} // namespace mph
