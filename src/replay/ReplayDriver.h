// ReplayDriver: plays a recording's input stream into a canvas: every input after the tick it was handled
// after, with the clock it read, and every frame wait of an input exactly as long as it lasted.
#pragma once

#include "replay/ReplayFile.h"

#include <cstddef>
#include <cstdint>

namespace mph {

class ShapeCanvas;

// The driver never runs ticks on its own schedule: the owner runs the game's ticks and calls deliverDue
// before each; the canvas's frame wait calls frameWait, which runs the ticks the recorded wait took.
class ReplayDriver {
public:
    // What the driver plays the game through.
    class Target {
    public:
        virtual ~Target() = default;
        virtual ShapeCanvas& canvas() = 0;
        // One tick of the game, as the owner runs it.
        virtual void runTick() = 0;
        // The clock the canvas reads while handling the next input.
        virtual void setClock(uint32_t ms) = 0;
    };

    ReplayDriver(const ReplayFile& file, Target& target) : m_file(file), m_target(target) {}

    // Starts the recorded game on the canvas (its lock is taken).
    void begin();
    // Delivers every input due at the canvas's current tick.
    void deliverDue();
    // Called from the canvas's frame wait during an input: delivers what was handled while the recorded
    // input waited and runs ticks up to the tick after which it went on.
    void frameWait();
    // Nothing more is delivered or ticked (the game ended, or the owner gave up).
    void stop() { m_stopped = true; }
    bool stopped() const { return m_stopped; }
    // Every record has been used.
    bool finished() const { return m_next >= m_file.events.size(); }
    // Records that did not fit the game as it was replayed: inputs due at a tick already past, resumes
    // outside a wait, waits that end too early or have no resume. A recording of a real game has none.
    int32_t misfits() const { return m_misfits; }

    // Hands one recorded input to the canvas's own handlers, with the event the window layer would have
    // made for it.
    static void deliver(ShapeCanvas& canvas, const GameInput& input);

private:
    void runTicksTo(int32_t tick);
    void deliverInput(const GameInput& input);

    const ReplayFile& m_file;
    Target& m_target;
    size_t m_next = 0;
    int32_t m_misfits = 0;
    bool m_stopped = false;
};

} // namespace mph
