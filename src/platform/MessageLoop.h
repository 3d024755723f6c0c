// MessageLoop: the main thread's loop that takes window events and posted actions and dispatches them.
#pragma once

#include "runtime/ObjectI.h"

#include <cstdint>

namespace mph {

class MessageLoop {
public:
    enum class PeekResult { kNone, kDispatched, kQuit };

    // Takes and dispatches messages until the quit message arrives; returns its exit code. Posted actions
    // run before waiting window events, and the quit message is taken once the posted ones are done.
    static int32_t run();
    // Takes one waiting message if there is one and dispatches it (the quit message is only taken and
    // reported). Never waits.
    static PeekResult peekMessage();
    // Waits until a message is waiting or timeoutMs milliseconds passed (kInfinite: without limit).
    static void waitMessage(uint32_t timeoutMs = lang::kInfinite);
    // Any thread: the loop ends with exitCode once the messages posted before it are handled.
    static void postQuit(int32_t exitCode);
};

} // namespace mph
