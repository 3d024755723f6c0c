// The game's entries in the class registry, so data scripts can create its sprites by class name.
#pragma once

#include <cstdint>

namespace mph {

// Like registerSpriteClasses: links the records of the game's own sprite classes (and of the toolkit's
// and the high-score dialogs') into the program; returns how many there are. Programs that load the
// game's data call it once before loading.
int32_t registerGameClasses();

} // namespace mph
