// LoaderFrame2: settings at start, the loader thread, activation and the exit sequence.
#include "app/LoaderFrame2.h"

#include "app/GameCanvas.h"
#include "audio/AudioSystem.h"
#include "audio/SoundStartup.h"
#include "io/User.h"
#include "platform/Desktop.h"
#include "platform/MessageLoop.h"
#include "platform/WindowScale.h"
#include "runtime/Exception.h"
#include "runtime/SyncGuard.h"

#include <unistd.h>

#include <climits>
#include <cstdio>

using namespace lang;

namespace mph {

LoaderFrame2::LoaderFrame2() {
    m_width = 640;
    m_height = 480;
}

LoaderFrame2::~LoaderFrame2() = default;

String LoaderFrame2::programDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) return String(".");
    String full(path, 0, static_cast<int32_t>(n));
    const int32_t slash = full.lastIndexOf('/');
    return slash > 0 ? full.substring(0, slash) : String("/");
}

int32_t LoaderFrame2::desktopDepth() {
    return Desktop::getColorDepth();
}

void LoaderFrame2::openSettings(User& settings, const char* productName) {
    settings.open(productName);
}

void LoaderFrame2::initSettings(GameCanvas* canvas, const String& dataItemName, const char* productName) {
    if (m_exeDirectory.isEmpty()) m_exeDirectory = programDirectory();
    m_settings = make<User>();
    openSettings(*m_settings, productName);
    const int32_t depth = desktopDepth();
    int32_t fullScreenWanted = 1;
    if (depth == 15 || depth == 16 || depth == 24 || depth == 32)
        fullScreenWanted = m_settings->getInt(kFullScreenSetting, depth == 24 ? 1 : 0);
    const int32_t normalExit = m_settings->getInt("NORMALEXIT", 1);
    restoreWindowSize(normalExit != 0);
    if (normalExit != 0) {
        // The marker stays 0 until quit: a run that never gets there is known at the next start.
        m_settings->setInt("NORMALEXIT", 0);
        if (fullScreenWanted == 1) setFullScreen(true, false);
    } else {
        // The previous run did not end through quit; a crash in full screen is not repeated.
        m_settings->setInt(kFullScreenSetting, 0);
    }
    if (canvas != nullptr) canvas->setDataBinding(m_exeDirectory, m_settings.get(), dataItemName, -1);
    setCanvas(canvas);
}

void LoaderFrame2::restoreWindowSize(bool maximizeAllowed) {
    if (!isResizable() || !m_settings) return;
    const int32_t width = m_settings->getInt(kWindowWidthSetting, 0);
    const int32_t height = m_settings->getInt(kWindowHeightSetting, 0);
    // A size that no longer fits the desktop (or never made sense) leaves the first size in place.
    if (WindowScale::isSensible(width, height, m_width, m_height, Desktop::getWorkArea()))
        setWindowSize(width, height);
    // After a crash the game comes back in a plain window.
    if (maximizeAllowed && m_settings->getInt(kWindowMaximizedSetting, 0) == 1) setMaximized(true);
}

void LoaderFrame2::storeWindowSize() {
    if (!isResizable() || !m_settings || getWindowWidth() <= 0 || getWindowHeight() <= 0) return;
    m_settings->setInt(kWindowWidthSetting, getWindowWidth());
    m_settings->setInt(kWindowHeightSetting, getWindowHeight());
    m_settings->setInt(kWindowMaximizedSetting, isMaximized() ? 1 : 0);
}

void LoaderFrame2::toggleFullScreen() {
    setFullScreen(!m_fullScreen, false);
    if (m_settings) m_settings->setInt(kFullScreenSetting, m_fullScreen ? 1 : 0);
}

void LoaderFrame2::setCanvas(GameCanvas* canvas) {
    Ref<GameCanvas> old;
    Ref<Thread> oldLoader;
    {
        SyncGuard guard(this);
        if (m_canvas.get() == canvas) return;
        old = std::move(m_canvas);
        if (old) {
            oldLoader = std::move(m_loaderThread);
            m_canvasNeedsStart.store(true);
        }
        m_canvas = retain(canvas);
    }
    if (oldLoader) oldLoader->join();
    if (old) {
        old->stopThreads();
        old->shutdown();
    }
}

void LoaderFrame2::initSound() {
    const int32_t mixBuffer = m_settings ? m_settings->getInt("MIXBUFFER", -1) : -1;
    const bool useWaveOut = m_settings ? m_settings->getInt("USEWINMM", 0) != 0 : false;
    // Without sound the game runs silently; nothing is shown.
    mph::initSound(this, mixBuffer, useWaveOut);
}

void LoaderFrame2::startLoader() {
    if (!m_canvasNeedsStart.load()) return;
    initSound();
    Ref<Thread> previous;
    {
        SyncGuard guard(this);
        previous = std::move(m_loaderThread);
    }
    if (previous) previous->join();
    SyncGuard guard(this);
    m_canvasNeedsStart.store(false);
    m_loaderThread = make<Thread>(static_cast<Runnable*>(this));
    m_loaderThread->start();
}

void LoaderFrame2::run() {
    Ref<GameCanvas> canvas;
    {
        SyncGuard guard(this);
        canvas = m_canvas;
    }
    if (!canvas || m_exiting.load()) return;
    if (!canvas->isLoaded()) {
        bool loaded = false;
        try {
            loaded = canvas->preload() && canvas->loadData();
        } catch (Exception* e) {
            // The game cannot run without its data, whatever stopped the loading.
            std::fprintf(stderr, "morphella: loading the game's data failed: %s\n", e->getMessage().c_str());
            e->release();
        }
        if (!loaded) {
            canvas->refuseStart();
            postMessage(kMessageClose);
            releaseAudioThreadState();
            return;
        }
    }
    {
        // Under the frame's lock, so a teardown either sees the threads started or keeps them from starting.
        SyncGuard guard(this);
        if (m_canvasNeedsStart.load() || m_exiting.load()) {
            releaseAudioThreadState();
            return;
        }
        canvas->setCursor(nullptr);
        canvas->startThreads();
    }
    loadingFinished();
    // Loading may have made sound clips on this thread.
    releaseAudioThreadState();
}

void LoaderFrame2::joinLoader() {
    Ref<Thread> loader;
    {
        SyncGuard guard(this);
        loader = m_loaderThread;
    }
    if (loader) loader->join();
}

void LoaderFrame2::stopCanvas() {
    Ref<GameCanvas> canvas;
    {
        SyncGuard guard(this);
        m_canvasNeedsStart.store(true);
        canvas = m_canvas;
    }
    if (canvas) canvas->stopThreads();
}

void LoaderFrame2::onClose() {
    if (m_canvas)
        m_canvas->requestQuit();
    else
        Frame::onClose();
}

void LoaderFrame2::quit() {
    if (m_fullScreen) setFullScreen(false, true);
    m_exiting.store(true);
    storeWindowSize();
    if (m_settings) m_settings->setInt("NORMALEXIT", 1);
    postMessage(kMessageDestroy);
}

void LoaderFrame2::onDestroy() {
    stopCanvas();
    Ref<Thread> loader;
    {
        SyncGuard guard(this);
        loader = std::move(m_loaderThread);
    }
    // Loading is never cut short: the canvas is shut down only once the loader has let go of it.
    if (loader) loader->join();
    canvasStopped();
    if (m_canvas) m_canvas->shutdown();
    stopAudio();
    // A start the game refused ends with a failure status, after its message and the normal exit.
    MessageLoop::postQuit(m_canvas && m_canvas->startRefused() ? 1 : 0);
}

void LoaderFrame2::onPositionChanged() {
    if (isMinimized()) {
        if (m_canvas) m_canvas->pauseHook();
        return;
    }
    Frame::onPositionChanged();
}

} // namespace mph
