// FrameScreenMode: the screen mode of the main frame, switched on the main thread whoever asks.
#pragma once

#include "scores/ScreenMode.h"

namespace mph {

class Frame;

class FrameScreenMode : public ScreenMode {
    LANG_CLASS(FrameScreenMode, ScreenMode)

public:
    // The frame is borrowed: it owns the canvas that owns the dialog holding this object, so a reference
    // would keep all of them alive for ever. It must outlive this object.
    explicit FrameScreenMode(Frame* frame) : m_frame(frame) {}

    bool isFullScreen() override;
    // Called from another thread (the canvas's input thread), the switch is handed to the main thread,
    // which alone may change the window; isFullScreen tells the new state once it ran.
    void setFullScreen(bool on) override;

private:
    Frame* m_frame;
};

} // namespace mph
