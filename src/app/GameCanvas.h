// GameCanvas: the child window that shows the game, with its event queue, off-screen picture, dirty
// areas, sounds and its render and input threads.
#pragma once

#include "platform/Component.h"
#include "platform/WindowScale.h"
#include "runtime/IntArray.h"
#include "runtime/ObjectArray.h"
#include "runtime/Ref.h"
#include "runtime/String.h"
#include "runtime/StringArray.h"
#include "runtime/Vector.h"
#include "sprites/DisplayList.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace mph {

class AudioClip;
class Event;
class Graphics;
class GraphicsI;
class GraphicsW;
class Image;
class InputThread;
class RenderThread;
class User;

// The canvas object's own (recursive) lock guards the frame state: the dirty areas, the off-screen
// picture and its surfaces, and the thread handles. The render thread holds it for a whole tick and its
// present. Lock order: the canvas, then the sprite list, then a sprite's own lock.
class GameCanvas : public Component {
    LANG_CLASS(GameCanvas, Component)

public:
    static constexpr int32_t kFramePeriodMs = 40;

    GameCanvas();
    ~GameCanvas() override;

    // Window handlers (main thread).
    bool create(Component* parent, const lang::Rectangle& bounds) override;
    void setSize(int32_t width, int32_t height) override;
    void update(Graphics* g) override;
    void paint(Graphics* g) override;
    // While running, the event is queued for the input thread and the call answers true.
    bool mouseDown(Event* event, int32_t x, int32_t y) override;
    bool mouseUp(Event* event, int32_t x, int32_t y) override;
    bool mouseMove(Event* event, int32_t x, int32_t y) override;
    bool mouseDrag(Event* event, int32_t x, int32_t y) override;
    // "S" toggles the sound while running.
    bool keyDown(Event* event, int32_t key) override;
    // A gamepad's input is queued for the input thread as the mouse is; losing the gamepad in use is
    // taken as losing the window's focus.
    bool padInput(Event* event) override;
    void padLost() override { pauseHook(); }

    // Called by the frame when the window is minimised or deactivated.
    virtual void pauseHook() {}
    // Where the data comes from: the program's directory, the settings (retained), the script's name.
    virtual void setDataBinding(const lang::String& directory, User* settings,
                                const lang::String& dataItemName, int32_t value);
    virtual void render();
    // The loader thread's first step; false closes the program.
    virtual bool preload() { return true; }
    // Loads the data on the loader thread; false closes the program. The base canvas has nothing to load.
    virtual bool loadData();
    virtual void startThreads();
    virtual void stopThreads();
    virtual void shutdown();
    // Asks the frame to quit; from any thread (the exit itself runs on the main thread).
    virtual void requestQuit();
    // The game cannot run (its data could not be loaded or used; the player was told why): the program
    // leaves through its normal exit and ends with a failure status. Any thread.
    void refuseStart() { m_startRefused.store(true); }
    bool startRefused() const { return m_startRefused.load(); }
    virtual void leaveFullScreen();
    // F11 reached the game (where no frame takes it first): the frame's full screen goes on or off.
    virtual void toggleFullScreen();
    // The window the canvas is shown in: its size, the picture's scale and full screen. Main thread.
    virtual WindowView windowView();
    virtual void createOffscreen(int32_t width, int32_t height);

    virtual void setSoundEnabled(bool on);
    virtual void playSound(AudioClip* clip);
    virtual void playSoundAt(int32_t index);
    virtual void loopSound(AudioClip* clip);
    virtual void loopSoundAt(int32_t index);
    virtual void stopSound(AudioClip* clip);
    virtual void stopSoundAt(int32_t index);
    virtual void resetData(int32_t ignored, const lang::String& text);

    // Render thread, canvas locked: collects what changed this tick and counts the tick.
    virtual void tick();
    // Marks an area (a zero width marks nothing) or the whole canvas for recomposing. Any thread.
    virtual void invalidate(const lang::Rectangle& area);
    virtual void invalidate();
    virtual lang::StringArray& getStrings() { return m_strings; }
    virtual lang::IntArray& getData() { return m_data; }
    // Input thread: delivers currentEvent (null on the first pass) to the game.
    virtual void handleEvent() {}
    // Paints the changed areas into the off-screen picture.
    virtual void compose();
    // Composes and copies only the changed areas to the window.
    virtual void present();

    // The loader thread's notice that start-up is over (the canvas is about to be shown).
    bool isRunning() const { return m_running.load(); }
    bool isStopped() const { return m_stopped.load(); }
    bool isLoaded() const { return m_loaded.load(); }
    bool isSoundEnabled() const { return m_soundEnabled.load(); }
    Event* getCurrentEvent() const { return m_currentEvent.get(); }
    // Any thread: the number of ticks run (read under the canvas lock).
    int32_t getFrameCounter() const;
    DisplayList& displayList() { return *m_display; }
    Image* getOffscreenImage() const { return m_offscreenImage.get(); }
    lang::Vector& eventQueue() { return m_eventQueue; }
    lang::ObjectArray& getSounds() { return m_sounds; }
    const lang::String& getDataItemName() const { return m_dataItemName; }
    const lang::String& getDirectory() const { return m_directory; }
    User* getSettings() const { return m_settings.get(); }
    const lang::String& getResetText() const { return m_resetText; }
    // How many presents reached the window; the tick count at which the program quits by itself (0:
    // never).
    int64_t presentCount() const { return m_presents.load(); }
    void setExitAfterTicks(int32_t ticks) { m_exitAfterTicks = ticks; }
    // Time of each tick with its present, for the benchmark: count, sum and worst in microseconds.
    void tickStats(int64_t& count, int64_t& totalUs, int64_t& worstUs) const;

    // Called by the threads (render thread: one tick with its present; input thread: one delivery).
    void noteTickTime(int64_t microseconds);
    void takeEvent(Event* event);
    void dropEvent();

protected:
    // Queues event for the input thread while running; answers whether the canvas takes mouse input.
    bool queueEvent(Event* event);
    // Render thread: quits once the tick count asked for by the environment is reached.
    friend class RenderThread;
    void afterTick();

    lang::Vector m_eventQueue{10};
    lang::Ref<Event> m_currentEvent;
    bool m_frameSkipAllowed = true;
    std::atomic<bool> m_soundEnabled{true};
    lang::Ref<GraphicsW> m_windowGraphics;
    lang::Ref<GraphicsI> m_offscreenGraphics;
    lang::Ref<Image> m_offscreenImage;
    // Whether the off-screen picture is the window's own (composed in place); the size the drawing surface
    // over it was made for; the areas of the present under way.
    bool m_composeInPlace = false;
    int32_t m_offscreenGraphicsWidth = 0;
    int32_t m_offscreenGraphicsHeight = 0;
    std::vector<lang::Rectangle> m_changed;
    lang::Ref<DisplayList> m_display;
    lang::Ref<InputThread> m_inputThread;
    lang::Ref<RenderThread> m_renderThread;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopped{false};
    std::atomic<bool> m_loaded{false};
    std::atomic<bool> m_startRefused{false};
    std::atomic<int64_t> m_presents{0};

    lang::String m_directory;
    lang::Ref<User> m_settings;
    lang::String m_dataItemName;
    int32_t m_bindingValue = -1;
    lang::String m_resetText;
    lang::StringArray m_strings;
    lang::IntArray m_data;
    lang::ObjectArray m_sounds;

    int32_t m_exitAfterTicks = 0;
    bool m_quitRequested = false;
    int64_t m_tickCount = 0;
    int64_t m_tickTotalUs = 0;
    int64_t m_tickWorstUs = 0;
};

} // namespace mph
