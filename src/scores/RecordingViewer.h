// RecordingViewer: what the high-score dialog hands a recorded game to so that it is shown over the game.
#pragma once

#include <string_view>

namespace mph {

class RecordingViewer {
public:
    virtual ~RecordingViewer() = default;
    // Checks the recording's bytes (its format and checksum, and that this game and its data made it) and,
    // when they check, starts showing it. False, with the text item that says what is wrong, when they do
    // not; nothing else changes then. Called without the canvas's lock held: checking takes a while.
    virtual bool watch(std::string_view bytes, const char*& problem) = 0;
    // Whether a recording is being shown.
    virtual bool isWatching() = 0;
};

} // namespace mph
