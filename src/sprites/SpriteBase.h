// SpriteBase: the root name that every sprite class answers to in instance-of checks.
#pragma once

#include "runtime/Object.h"

namespace mph {

// The class carries no state; it exists so that "SpriteBase" is a name every sprite accepts.
class SpriteBase : public lang::Object {
    LANG_CLASS(SpriteBase, Object)
};

} // namespace mph
