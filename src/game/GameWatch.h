// GameWatch: a recorded game shown over the live one, which goes on below it untouched.
#pragma once

#include "scores/RecordingViewer.h"

#include <cstdint>

namespace mph {

class ShapeCanvas;

// While a recording shows, it covers the whole picture and takes every key and pointer event; nothing of
// it reaches the live game or its recording. The canvas calls step from its tick and the two take calls
// from its input handling, each with the canvas locked.
class GameWatch : public RecordingViewer {
public:
    // What the driver reports of the show.
    struct View {
        bool watching = false, paused = false, ended = false;
        int32_t speed = 1, tick = 0, score = 0, level = 0;
    };

    // The canvas the show goes over (borrowed; null to let it go).
    virtual void attach(ShapeCanvas* canvas) = 0;
    // One tick of the show.
    virtual void step() = 0;
    // A key pressed (down) or released: its virtual key. The show takes every key while it is on.
    virtual void takeKey(int32_t virtualKey, bool down) = 0;
    // A pointer event (the ids of Event).
    virtual void takePointer(int32_t id) = 0;
    virtual View view() = 0;
};

} // namespace mph
