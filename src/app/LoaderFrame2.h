// LoaderFrame2: the main frame's start-up options, its loader thread and the orderly exit.
#pragma once

#include "platform/Frame.h"
#include "runtime/Ref.h"
#include "runtime/Runnable.h"
#include "runtime/String.h"
#include "runtime/Thread.h"

#include <atomic>

namespace mph {

class GameCanvas;
class User;

class LoaderFrame2 : public Frame, public lang::Runnable {
    LANG_CLASS(LoaderFrame2, Frame)

public:
    // The settings of a resizable window's size (in window units) and maximised state, written at a normal
    // exit and read at the next start.
    static constexpr const char* kWindowWidthSetting = "WINDOWWIDTH";
    static constexpr const char* kWindowHeightSetting = "WINDOWHEIGHT";
    static constexpr const char* kWindowMaximizedSetting = "WINDOWMAXIMIZED";
    static constexpr const char* kFullScreenSetting = "FULLSCREEN";

    LoaderFrame2();
    ~LoaderFrame2() override;

    // Leaves full screen, stores the window's size, marks the run as ended normally and has the window
    // destroyed.
    void quit() override;
    // F11: full screen on or off, stored as the options dialog stores it.
    void toggleFullScreen() override;
    // Stops the canvas, waits for the loader, shuts the canvas and the sound down and ends the loop.
    void onDestroy() override;
    // The canvas decides (its default asks the frame to quit).
    void onClose() override;
    // Minimised: the game pauses; restored after a deactivation: full screen again.
    void onPositionChanged() override;

    // Opens the settings for productName, applies the crash marker and the full-screen choice, and hands
    // the canvas its data binding.
    virtual void initSettings(GameCanvas* canvas, const lang::String& dataItemName, const char* productName);
    virtual void setCanvas(GameCanvas* canvas);
    // Starts the sound engine with the stored options (three attempts).
    virtual void initSound();
    // Starts the loader thread when the current canvas has not been started yet.
    virtual void startLoader();
    virtual void stopCanvas();
    // Loader thread: the canvas is loaded and running.
    virtual void loadingFinished() {}

    // The loader thread's body.
    void run() override;

    GameCanvas* getCanvas() const { return m_canvas.get(); }
    User* getSettings() const { return m_settings.get(); }
    const lang::String& getExeDirectory() const { return m_exeDirectory; }
    bool isExiting() const { return m_exiting.load(); }
    bool canvasNeedsStart() const { return m_canvasNeedsStart.load(); }
    // Waits for the loader thread to end (tests).
    void joinLoader();

protected:
    // The desktop's colour depth in bits per pixel (tests replace it).
    virtual int32_t desktopDepth();
    // Opens the settings object for the product (tests give it a temporary store).
    virtual void openSettings(User& settings, const char* productName);
    // Main thread, during the exit: the canvas threads and the loader have ended, the canvas is not shut
    // down yet (its last composed picture still exists).
    virtual void canvasStopped() {}
    // The directory of the program file, without the trailing separator.
    static lang::String programDirectory();
    // A resizable window takes the stored size when it still fits the desktop, and the stored maximised
    // state when allowed; storeWindowSize keeps them for the next start.
    void restoreWindowSize(bool maximizeAllowed);
    void storeWindowSize();

    lang::Ref<lang::Thread> m_loaderThread;
    lang::Ref<GameCanvas> m_canvas;
    std::atomic<bool> m_canvasNeedsStart{true};
    std::atomic<bool> m_exiting{false};
    lang::Ref<User> m_settings;
    lang::String m_exeDirectory;
};

} // namespace mph
