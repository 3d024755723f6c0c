// ReplayWatch: the replay viewer inside the game: a recorded game played on a game of its own, its picture
// shown over the live game with the viewer's banner, and the live game back as it was afterwards.
#pragma once

#include "game/GameObserver.h"
#include "game/GameWatch.h"
#include "replay/ReplayCaption.h"
#include "replay/ReplayDriver.h"
#include "runtime/Ref.h"

#include <atomic>
#include <memory>

namespace mph {

class HeadlessGame;
class ReplayFile;
class Sprite;

// The recorded game runs headless, ticked from the live canvas's tick (speed ticks of it per tick), and
// is composed into its own picture, which a sprite on top of the live game shows. Space pauses, the right
// arrow doubles the speed (up to 16 times), the left arrow brings it back, Escape leaves; once the game has
// ended its final score and level show until a key or a press. Nothing of the live game changes: it goes
// on ticking below (a game in progress stays paused under its menu) and never sees the viewer's input.
class ReplayWatch : public GameWatch, private ReplayDriver::Target, private GameObserver {
public:
    static constexpr int32_t kMaxSpeed = 16;

    ReplayWatch();
    ~ReplayWatch() override;
    ReplayWatch(const ReplayWatch&) = delete;
    ReplayWatch& operator=(const ReplayWatch&) = delete;

    // Text items of the problems: "replaybad" (damaged, or not a recording), "replayother" (another
    // version of the game or other data), "replaybusy" (another recording is showing).
    bool watch(std::string_view bytes, const char*& problem) override;
    bool isWatching() override { return m_watching.load(); }
    void attach(ShapeCanvas* canvas) override;
    void step() override;
    void takeKey(int32_t virtualKey, bool down) override;
    void takePointer(int32_t id) override;
    View view() override;

    const ReplayCaption& caption() const { return m_caption; }

private:
    ShapeCanvas& canvas() override;
    void runTick() override;
    void setClock(uint32_t ms) override;
    void onGameEnd(int32_t score, int32_t level) override;
    void onSound(int32_t index) override;
    void end(int32_t score, int32_t level);
    void leave();

    ShapeCanvas* m_canvas = nullptr;
    std::unique_ptr<ReplayFile> m_file;
    std::unique_ptr<HeadlessGame> m_game;
    std::unique_ptr<ReplayDriver> m_driver;
    lang::Ref<Sprite> m_picture;
    ReplayCaption m_caption;
    std::atomic<bool> m_watching{false};
    // Whether a watch is being prepared (outside the canvas's lock).
    std::atomic<bool> m_preparing{false};
    bool m_paused = false;
    bool m_ended = false;
    int32_t m_speed = 1;
    int64_t m_ticks = 0;
    int32_t m_endScore = 0, m_endLevel = 0;
};

} // namespace mph
