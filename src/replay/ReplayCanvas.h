// ReplayCanvas: the game canvas showing a recorded game in the window at the game's own pace: space
// pauses, the right arrow doubles the speed (the left arrow brings it back), Escape leaves. A banner says
// so; at the end the final score and level show until a key or a click.
#pragma once

#include "game/ShapeCanvas.h"
#include "replay/ReplayCaption.h"
#include "replay/ReplayDriver.h"
#include "replay/ReplayFile.h"

#include <atomic>

namespace mph {

// The recorded inputs are handled on the render thread, inside its tick, where the canvas lock is held:
// the same order of ticks and inputs the recording holds, whatever the threads do. The player's own mouse
// never reaches the game and a lost focus does not pause it. The program leaves after the end card.
class ReplayCanvas : public ShapeCanvas, private ReplayDriver::Target, private GameObserver {
    LANG_CLASS(ReplayCanvas, ShapeCanvas)

public:
    static constexpr int32_t kMaxSpeed = 16;

    explicit ReplayCanvas(ReplayFile file);
    ~ReplayCanvas() override;

    void tick() override;
    bool keyDown(Event* event, int32_t key) override;
    // The viewer's keys are its own: a release never reaches the recorded game.
    bool keyUp(Event*, int32_t) override { return true; }
    // A click on the end card leaves.
    void handleEvent() override;
    void pauseHook() override {}
    uint32_t currentMillis() override { return m_clock; }
    void waitForFrame() override;
    bool isConnected() override { return false; }

    bool isPaused() const { return m_paused.load(); }
    int32_t speed() const { return m_speed.load(); }
    bool hasEnded() const { return m_ended.load(); }
    const ReplayCaption& caption() const { return m_caption; }

private:
    ShapeCanvas& canvas() override { return *this; }
    void runTick() override { ShapeCanvas::tick(); }
    void setClock(uint32_t ms) override { m_clock = ms; }
    void onGameEnd(int32_t score, int32_t level) override;

    ReplayFile m_file;
    ReplayDriver m_driver;
    ReplayCaption m_caption;
    bool m_started = false;
    bool m_quitAsked = false;
    uint32_t m_clock = 0;
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_ended{false};
    std::atomic<bool> m_leaveAsked{false};
    std::atomic<int32_t> m_speed{1};
};

} // namespace mph
