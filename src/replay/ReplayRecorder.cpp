// ReplayRecorder: building the recording from the canvas's reports and handing it to the store.
#include "replay/ReplayRecorder.h"

#include "platform/Event.h"
#include "replay/ReplayStore.h"
#include "scores/GameVersion.h"

namespace mph {

namespace {
// Moves of one pointer, and the stick's axes, of which only the last in a tick matters (the stick moves
// the pointer with the ticks).
bool isMove(const GameInput& input) {
    return ((input.kind == GameInput::kMouse || input.kind == GameInput::kTouch) &&
            (input.id == Event::kMouseMove || input.id == Event::kMouseDrag)) ||
           input.kind == GameInput::kStick;
}
} // namespace

void ReplayRecorder::onGameStart(const GameStart& start) {
    m_game = ReplayFile();
    m_game.dataHash = ReplayFile::currentDataHash();
    m_game.gameVersion = kGameVersion;
    m_game.start = start;
    m_recording = true;
    m_nameWanted = false;
    m_path.clear();
}

void ReplayRecorder::onInput(const GameInput& input) {
    if (!m_recording) return;
    if (isMove(input) && !m_game.events.empty()) {
        ReplayEvent& last = m_game.events.back();
        if (!last.resume && isMove(last.input) && last.input.kind == input.kind &&
            last.input.tick == input.tick) {
            last.input = input;
            return;
        }
    }
    m_game.events.push_back(ReplayEvent{false, input});
}

void ReplayRecorder::onResume(int32_t tick) {
    if (!m_recording) return;
    ReplayEvent e;
    e.resume = true;
    e.input.tick = tick;
    m_game.events.push_back(e);
}

void ReplayRecorder::onGameEnd(int32_t score, int32_t level) {
    if (!m_recording) return;
    m_recording = false;
    m_game.finalScore = score;
    m_game.finalLevel = level;
    ++m_finished;
    // Only a game with a score can be named; the prompt does not come otherwise.
    m_nameWanted = score > 0;
    if (m_store != nullptr) m_path = m_store->save(m_game);
}

void ReplayRecorder::onNameEntered(std::string_view name) {
    if (!m_nameWanted) return;
    m_nameWanted = false;
    m_game.name = std::string(name.substr(0, ReplayFile::kMaxNameBytes));
    if (m_store != nullptr && !m_path.empty()) m_store->rewrite(m_path, m_game);
}

} // namespace mph
