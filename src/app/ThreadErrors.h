// ThreadErrors: how the canvas's threads report an exception that ended a tick or an event's handling.
#pragma once

#include <string>

namespace mph {

// Writes "morphella: THREAD: MESSAGE" on standard error the first time a message is seen, so a fault in
// the game is noticed without one that repeats every tick flooding the output. Returns whether it wrote.
bool reportThreadException(const char* thread, const std::string& message);

} // namespace mph
