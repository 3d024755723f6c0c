// HeadlessGame: the real game canvas run without a window or threads, one tick at a time under a virtual
// millisecond clock, so that every run with the same seed and input is the same.
#pragma once

#include "headless/GameDump.h"
#include "runtime/Ref.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mph {

class GameObserver;
class HeadlessCanvas;
class User;

class HeadlessGame {
public:
    static constexpr uint32_t kTickMs = 40;

    struct Options {
        std::string container; // empty: the one next to the program, as the game finds it
        std::string store;     // the settings database; empty: a fresh temporary one, removed at the end
        uint32_t seed = 1;     // where the clock starts; it seeds every generator the game reads
        // The language to play in ("de", "pt_BR", "en"); empty: the store's "LANGUAGE" setting, else
        // English. The environment is never read, so a run is the same on every machine.
        std::string language;
        // The usable area of the display the game would open its window on; it decides the window's size.
        int32_t displayWidth = 800, displayHeight = 600;
        // A game shown inside another one: the process's language and the thread's runtime generator
        // stay as the other game has them (language is not read).
        bool guest = false;
    };

    HeadlessGame();
    ~HeadlessGame();
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    // Loads the data and builds the game; false with a message when it cannot run.
    bool start(const Options& options, std::string& error);
    void setObserver(GameObserver* observer);

    // One tick as the render thread runs it, with its composition, then the clock moves on.
    void tick(int32_t count = 1);
    // A mouse event (the ids of Event: 1 press, 2 move, 3 release, 4 drag) at picture coordinates.
    void mouse(int32_t id, int32_t x, int32_t y);
    // A key pressed and released: its virtual-key code, the character it types and whether Shift is held.
    void key(int32_t virtualKey, int32_t character, bool shift = false);
    // A gamepad's button (PadButton) pressed (down) or released, handled as the input thread handles a
    // controller's; the stick's axes from now on.
    void pad(int32_t button, bool down);
    void stick(int32_t x, int32_t y);
    // One finger on the touchscreen: the mouse event it makes (press, drag, release) at picture coordinates.
    void touch(int32_t id, int32_t x, int32_t y);
    // Press and release at the centre of the visible sprite a path names.
    bool click(const std::string& path, std::string& error);

    GameView view();
    std::string dumpJson();
    std::string spriteJson(const std::string& path, std::string& error);
    bool snapshot(const std::string& file, std::string& error);

    uint32_t clock() const { return m_clock; }
    // Sets the virtual clock (a replay gives every input the clock it was recorded with).
    void setClock(uint32_t ms) { m_clock = ms; }
    // What the canvas's wait for a drawn frame does; empty (the default) runs one tick.
    void setFrameWait(std::function<void()> wait) { m_frameWait = std::move(wait); }
    // Whether each tick composes the picture (the default); a check of a recording needs no pictures.
    void setComposing(bool on);
    ShapeCanvas& canvas();
    User* settings() const;

private:
    friend class HeadlessCanvas;
    void runTick();

    lang::Ref<HeadlessCanvas> m_canvas;
    lang::Ref<User> m_settings;
    std::string m_tempDir;
    uint32_t m_clock = 1;
    int32_t m_displayWidth = 800;
    int32_t m_displayHeight = 600;
    GameObserver* m_observer = nullptr;
    std::function<void()> m_frameWait;
    bool m_composing = true;
};

} // namespace mph
