// ScoreEntry: one line of a personal high-score table.
#pragma once

#include "runtime/String.h"

#include <cstdint>

namespace mph {

// Answers only to "Object", as plain records of the runtime do.
class ScoreEntry : public lang::Object {
public:
    ScoreEntry(const lang::String& name, int32_t score, int32_t level, int32_t setting)
        : name(name), score(score), level(level), setting(setting) {}

    lang::String name;
    int32_t score;
    int32_t level;
    int32_t setting;
};

} // namespace mph
