// ReplayRecorder: watches the canvas and records each game it plays, from the start buttons to the game's
// end, then keeps it (and the name entered after it) in a ReplayStore.
#pragma once

#include "game/GameObserver.h"
#include "replay/ReplayFile.h"

#include <string>

namespace mph {

class ReplayStore;

// Called by the canvas with its lock held, so the calls never overlap. Consecutive mouse moves handled
// after the same tick are kept as the last of them: each move only sets positions and hover looks that
// the next one sets again.
class ReplayRecorder : public GameObserver {
public:
    // store may be null: the recorder then only keeps the last game in memory.
    explicit ReplayRecorder(ReplayStore* store) : m_store(store) {}

    void onGameStart(const GameStart& start) override;
    void onInput(const GameInput& input) override;
    void onResume(int32_t tick) override;
    void onGameEnd(int32_t score, int32_t level) override;
    void onNameEntered(std::string_view name) override;

    bool isRecording() const { return m_recording; }
    // The last game recorded to its end (with the name, once entered).
    const ReplayFile& lastGame() const { return m_game; }
    int32_t finishedGames() const { return m_finished; }
    // Where the store put the last game, or "".
    const std::string& lastPath() const { return m_path; }

private:
    ReplayStore* m_store;
    ReplayFile m_game;
    bool m_recording = false;
    bool m_nameWanted = false;
    int32_t m_finished = 0;
    std::string m_path;
};

} // namespace mph
