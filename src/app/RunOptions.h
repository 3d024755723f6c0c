// RunOptions: the environment variables for running without a display and for measuring the program.
#pragma once

#include "runtime/String.h"

#include <cstdint>

namespace mph {

struct RunOptions {
    // MORPHELLA_SNAPSHOT: where the canvas's last composed picture is written as PNG at exit ("": nowhere).
    lang::String snapshotPath;
    // MORPHELLA_EXIT_AFTER_TICKS: the program quits through its normal exit after this many ticks (0: never).
    int32_t exitAfterTicks = 0;
    // MORPHELLA_NO_LOADING_DELAY: the loading screen's minimum display time is skipped.
    bool skipLoadingMinimum = false;
    // MORPHELLA_STATS: timing lines on standard error (the first present, and the ticks at exit).
    bool reportStats = false;
    // MORPHELLA_WINDOW_SIZE=WIDTHxHEIGHT: the window opens at this size whatever the desktop and the
    // stored size (0 x 0: unset).
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;

    // Reads the variables; malformed or negative numbers count as unset.
    static RunOptions fromEnvironment();
    // The process-wide options, read once.
    static const RunOptions& current();
};

} // namespace mph
