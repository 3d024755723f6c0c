// ScreenMode: what the options dialog needs of the main window: whether it is full screen, and a switch.
#pragma once

#include "runtime/Object.h"

namespace mph {

class ScreenMode : public lang::Object {
    LANG_CLASS(ScreenMode, Object)

public:
    virtual bool isFullScreen() = 0;
    virtual void setFullScreen(bool on) = 0;
};

} // namespace mph
