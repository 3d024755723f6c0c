// The high-score and options dialogs' entries in the class registry.
#pragma once

#include <cstdint>

namespace mph {

// Links the records of the dialog classes of this library into the program; returns how many there are.
int32_t registerScoreClasses();

} // namespace mph
