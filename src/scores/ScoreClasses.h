// The high-score and options dialogs' entries in the class registry.
#pragma once

#include "runtime/Class.h"

#include <cstdint>

namespace mph {

// Links the records of the dialog classes of this library into the program; returns how many there are.
int32_t registerScoreClasses();

struct ScoreClasses {
    static const lang::Class& highScoreSprite();
    static const lang::Class& optionsSprite();
    static const lang::Class& instructDialog();
};

} // namespace mph
