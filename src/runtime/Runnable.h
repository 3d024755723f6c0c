// Runnable: the interface of anything a Thread can run.
#pragma once

#include "runtime/ObjectI.h"

namespace lang {

// Implemented as a second base beside Object; the object's own operations answer for it.
class Runnable : public virtual ObjectI {
public:
    virtual void run() = 0;
};

} // namespace lang
