// ReplayPlayer: plays a recorded game again on the headless game, as fast as it runs, and tells how it
// ended: the checker behind `morphella-tool replay` and the score service's verification.
#pragma once

#include "replay/ReplayFile.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace mph {

class GameObserver;

struct ReplayOutcome {
    bool ended = false;   // the game came to its end
    bool tooLong = false; // it ran past the ticks a real game can last
    bool aborted = false; // the caller's abort flag ended it
    int32_t score = 0;
    int32_t level = 0;
    int64_t ticks = 0;   // ticks run
    int32_t misfits = 0; // records that did not fit the replayed game (see ReplayDriver)

    // Whether the replay reached the recorded end exactly.
    bool matches(const ReplayFile& file) const {
        return ended && !tooLong && !aborted && misfits == 0 && score == file.finalScore &&
               level == file.finalLevel;
    }
};

class ReplayPlayer {
public:
    struct Options {
        std::string container; // empty: the one the game finds
        int64_t maxTicks = ReplayFile::kMaxTicks;
        int32_t snapshotEvery = 0;        // ticks between pictures; 0: none
        std::string snapshotFolder;       // where pictures go, as replay-TICKS.png
        bool compose = true;              // whether every tick composes the picture as the window's would
        GameObserver* observer = nullptr; // also told everything the replayed game reports
        const std::atomic<bool>* abort = nullptr; // when it turns true, the replay ends at the next tick
    };

    // Plays file to its game's end. False with a message when it cannot be played here (another game
    // version or other data, or the data cannot be loaded); the outcome then says nothing.
    static bool play(const ReplayFile& file, const Options& options, ReplayOutcome& outcome,
                     std::string& error);
};

} // namespace mph
