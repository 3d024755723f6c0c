// GameCanvas: painting, the dirty areas, the off-screen picture, mouse queuing, sounds and the threads.
#include "app/GameCanvas.h"

#include "app/InputThread.h"
#include "app/RenderThread.h"
#include "app/RunOptions.h"
#include "audio/AudioClip.h"
#include "gfx/GraphicsI.h"
#include "gfx/GraphicsW.h"
#include "gfx/Image.h"
#include "gfx/Region.h"
#include "io/User.h"
#include "platform/Application.h"
#include "platform/Event.h"
#include "platform/Frame.h"
#include "platform/WindowPicture.h"
#include "runtime/SyncGuard.h"

#include <algorithm>
#include <cstdio>
#include <optional>

using namespace lang;

namespace mph {

GameCanvas::GameCanvas() : m_display(make<DisplayList>(800, 600)) {}

GameCanvas::~GameCanvas() {
    for (int32_t i = 0; i < m_sounds.length; ++i)
        if (m_sounds.data[i] != nullptr) m_sounds.data[i]->release();
    for (int32_t i = 0; i < m_strings.length; ++i)
        if (m_strings.data[i] != nullptr) m_strings.data[i]->release();
}

bool GameCanvas::create(Component* parent, const Rectangle& bounds) {
    if (!Component::create(parent, bounds)) return false;
    SyncGuard guard(this);
    if (m_display->getWidth() != m_size.width || m_display->getHeight() != m_size.height) {
        // Only a canvas without sprites yet gets a display list of its own size.
        if (m_display->sprites().size() == 0) m_display = make<DisplayList>(m_size.width, m_size.height);
    }
    return true;
}

void GameCanvas::setDataBinding(const String& directory, User* settings, const String& dataItemName,
                                int32_t value) {
    m_directory = directory;
    m_settings = retain(settings);
    m_dataItemName = dataItemName;
    m_bindingValue = value;
}

bool GameCanvas::loadData() {
    m_loaded.store(true);
    invalidate();
    return true;
}

// ---- Painting (main thread) ----

void GameCanvas::update(Graphics* g) {
    {
        // The render thread presents through these, so they are made under the canvas lock.
        SyncGuard guard(this);
        if (!m_windowGraphics) m_windowGraphics = adopt(getGraphics());
        if (!m_offscreenImage) createOffscreen(m_size.width, m_size.height);
    }
    paint(g);
}

void GameCanvas::paint(Graphics* g) {
    if (g == nullptr) return;
    if (m_running.load()) {
        SyncGuard guard(this);
        // A picture composed in place already holds what was shown.
        if (m_offscreenImage && !m_composeInPlace) g->drawImage(m_offscreenImage.get(), 0, 0);
        // The exposed area is recomposed by the next render as well.
        Rectangle clip;
        g->getClipBounds(clip);
        invalidate(clip);
    } else {
        g->setColor(m_background);
        g->fillRect(0, 0, m_size.width, m_size.height);
    }
}

void GameCanvas::setSize(int32_t width, int32_t height) {
    // The window's picture is the canvas's off-screen picture, which the render thread reads and writes
    // holding the canvas lock (a tick may read what was last composed): it changes size under it too.
    SyncGuard guard(this);
    Component::setSize(width, height);
    createOffscreen(width, height);
}

void GameCanvas::createOffscreen(int32_t width, int32_t height) {
    if (width == 0 || height == 0 || !m_windowGraphics) return;
    SyncGuard guard(this);
    // The canvas composes straight into its window's picture, which then needs no second copy in memory
    // nor a copy a tick; it is kept as a device bitmap so that every sprite blends exactly as it would
    // into an off-screen one. The picture object stays the same when the window's size changes.
    if (WindowPicture* surface = getSurface()) {
        surface->keepAsBitmap();
        m_offscreenImage = retain(surface->picture());
        m_offscreenGraphics = nullptr;
        m_composeInPlace = true;
        return;
    }
    if (m_offscreenImage && m_offscreenImage->getWidth() == width && m_offscreenImage->getHeight() == height)
        return;
    m_offscreenGraphics = nullptr;
    if (m_offscreenImage) m_offscreenImage->free();
    m_offscreenImage = make<Image>(width, height, 0, true);
}

// ---- Dirty areas, compose and present (canvas locked) ----

void GameCanvas::tick() {
    SyncGuard guard(this);
    m_display->tick();
}

int32_t GameCanvas::getFrameCounter() const {
    SyncGuard guard(const_cast<GameCanvas*>(this));
    return m_display->getFrameCounter();
}

void GameCanvas::invalidate(const Rectangle& area) {
    SyncGuard guard(this);
    m_display->invalidate(area);
}

void GameCanvas::invalidate() {
    SyncGuard guard(this);
    if (m_display->getWidth() == m_size.width && m_display->getHeight() == m_size.height)
        m_display->invalidateAll();
    else
        m_display->invalidate(Rectangle(0, 0, m_size.width, m_size.height));
}

void GameCanvas::compose() {
    SyncGuard guard(this);
    if (!m_offscreenImage) return;
    // The window's picture is drawn under its own lock (the main thread reads it from there), and its
    // size may have changed since the drawing surface over it was made.
    WindowPicture* surface = m_composeInPlace ? getSurface() : nullptr;
    std::optional<SyncGuard> pictureGuard;
    if (surface != nullptr) pictureGuard.emplace(surface);
    const int32_t width = m_offscreenImage->getWidth();
    const int32_t height = m_offscreenImage->getHeight();
    if (!m_offscreenGraphics || width != m_offscreenGraphicsWidth || height != m_offscreenGraphicsHeight) {
        m_offscreenGraphics = adopt(m_offscreenImage->getGraphics());
        m_offscreenGraphicsWidth = width;
        m_offscreenGraphicsHeight = height;
    }
    m_display->compose(m_offscreenGraphics.get(), m_background.getValue());
}

void GameCanvas::render() {
    present();
}

void GameCanvas::present() {
    SyncGuard guard(this);
    if (!m_display->isDirty() || !m_offscreenImage || !m_windowGraphics) return;
    if (m_composeInPlace) {
        // Each rectangle of the dirty region is reported as it is, so only those reach the screen; a dirty
        // canvas without a region was composed whole.
        const Region& region = m_display->getDirtyRegion();
        m_changed.clear();
        for (int32_t i = 0; i < region.getRectCount(); ++i)
            m_changed.push_back(region.getRect(i));
        if (m_changed.empty()) m_changed.emplace_back(0, 0, m_size.width, m_size.height);
        compose();
        if (WindowPicture* surface = getSurface())
            for (const Rectangle& r : m_changed)
                surface->pictureChanged(r);
    } else {
        Ref<Graphics> window = adopt(m_windowGraphics->create());
        window->setClip(&m_display->getDirtyRegion());
        compose();
        // Only the dirty region reaches the window's picture, and only its extent is uploaded.
        window->drawImage(m_offscreenImage.get(), 0, 0);
        window->dispose();
    }
    if (m_presents.fetch_add(1) == 0 && RunOptions::current().reportStats) {
        std::fprintf(stderr, "morphella: first frame presented\n");
        std::fflush(stderr);
    }
}

// ---- Input (main thread) ----

bool GameCanvas::queueEvent(Event* event) {
    if (!m_running.load()) return false;
    if (event == nullptr || m_stopped.load()) return true;
    SyncGuard guard(&m_eventQueue);
    // stopThreads may have run since the check above.
    if (!m_stopped.load()) {
        m_eventQueue.addElement(event);
        m_eventQueue.notify();
    }
    return true;
}

void GameCanvas::takeEvent(Event* event) {
    m_currentEvent = retain(event);
}

void GameCanvas::dropEvent() {
    m_currentEvent = nullptr;
}

bool GameCanvas::mouseDown(Event* event, int32_t, int32_t) {
    return queueEvent(event);
}
bool GameCanvas::mouseUp(Event* event, int32_t, int32_t) {
    return queueEvent(event);
}
bool GameCanvas::padInput(Event* event) {
    return queueEvent(event);
}
bool GameCanvas::mouseMove(Event* event, int32_t, int32_t) {
    return queueEvent(event);
}
bool GameCanvas::mouseDrag(Event* event, int32_t, int32_t) {
    return queueEvent(event);
}

bool GameCanvas::keyDown(Event*, int32_t key) {
    if ((key == 'S' || key == 's') && m_running.load()) {
        setSoundEnabled(!m_soundEnabled.load());
        return true;
    }
    return false;
}

// ---- Threads ----

void GameCanvas::startThreads() {
    {
        SyncGuard guard(this);
        m_running.store(true);
        if (!m_inputThread) {
            m_inputThread = make<InputThread>(this);
            m_inputThread->start();
        }
        if (!m_renderThread) {
            m_renderThread = make<RenderThread>(this, kFramePeriodMs, m_frameSkipAllowed);
            m_renderThread->start();
        }
        m_stopped.store(false);
    }
    repaint();
}

void GameCanvas::stopThreads() {
    Ref<InputThread> input;
    Ref<RenderThread> renderer;
    {
        SyncGuard guard(this);
        input = std::move(m_inputThread);
        renderer = std::move(m_renderThread);
        if (input) input->requestStop();
        if (renderer) renderer->requestStop();
        for (int32_t i = 0; i < m_sounds.length; ++i)
            if (m_sounds.data[i] != nullptr) static_cast<AudioClip*>(m_sounds.data[i])->stop();
        m_stopped.store(true);
    }
    // The render thread needs the canvas lock to finish its tick, so it is joined without holding it.
    if (input) input->join();
    if (renderer) renderer->join();
    SyncGuard guard(this);
    if (m_windowGraphics) m_windowGraphics->dispose();
    m_windowGraphics = nullptr;
    if (m_offscreenGraphics) m_offscreenGraphics->dispose();
    m_offscreenGraphics = nullptr;
}

void GameCanvas::shutdown() {
    if (!m_stopped.load()) stopThreads();
    SyncGuard guard(this);
    for (int32_t i = 0; i < m_sounds.length; ++i) {
        if (m_sounds.data[i] == nullptr) continue;
        static_cast<AudioClip*>(m_sounds.data[i])->unloadClip();
        m_sounds.data[i]->release();
        m_sounds.data[i] = nullptr;
    }
    // The window's own picture is the window's to free.
    if (m_offscreenImage && !m_composeInPlace) m_offscreenImage->free();
    m_offscreenImage = nullptr;
    m_composeInPlace = false;
}

void GameCanvas::requestQuit() {
    if (!Application::isMainThread()) {
        // The exit touches the window, so the main thread carries it out.
        Ref<GameCanvas> self = retain(this);
        Application::post(nullptr, [self] { self->requestQuit(); });
        return;
    }
    Frame* frame = getFrame();
    if (frame != nullptr && frame->hasWindow()) frame->quit();
}

WindowView GameCanvas::windowView() {
    if (Frame* frame = getFrame()) return frame->windowView();
    WindowView view;
    view.width = getSize().width;
    view.height = getSize().height;
    return view;
}

void GameCanvas::toggleFullScreen() {
    if (!Application::isMainThread()) {
        Ref<GameCanvas> self = retain(this);
        Application::post(nullptr, [self] { self->toggleFullScreen(); });
        return;
    }
    Frame* frame = getFrame();
    if (frame != nullptr && frame->hasWindow()) frame->toggleFullScreen();
}

void GameCanvas::leaveFullScreen() {
    if (!Application::isMainThread()) {
        Ref<GameCanvas> self = retain(this);
        Application::post(nullptr, [self] { self->leaveFullScreen(); });
        return;
    }
    Frame* frame = getFrame();
    if (frame != nullptr && frame->isFullScreen()) frame->setFullScreen(false, false);
}

// ---- Sounds ----

void GameCanvas::setSoundEnabled(bool on) {
    m_soundEnabled.store(on);
}

namespace {
AudioClip* clipAt(ObjectArray& sounds, int32_t index) {
    if (index < 0 || index >= sounds.length) return nullptr;
    return static_cast<AudioClip*>(sounds.data[index]);
}
} // namespace

void GameCanvas::playSound(AudioClip* clip) {
    if (clip != nullptr && m_soundEnabled.load()) clip->play();
}
void GameCanvas::playSoundAt(int32_t index) {
    playSound(clipAt(m_sounds, index));
}
void GameCanvas::loopSound(AudioClip* clip) {
    if (clip != nullptr && m_soundEnabled.load()) clip->loop();
}
void GameCanvas::loopSoundAt(int32_t index) {
    loopSound(clipAt(m_sounds, index));
}
void GameCanvas::stopSound(AudioClip* clip) {
    if (clip != nullptr) clip->stop();
}
void GameCanvas::stopSoundAt(int32_t index) {
    stopSound(clipAt(m_sounds, index));
}

void GameCanvas::resetData(int32_t, const String& text) {
    invalidate();
    SyncGuard guard(this);
    m_resetText = text;
    for (int32_t i = 0; i < m_strings.length; ++i)
        if (m_strings.data[i] != nullptr) m_strings.data[i]->release();
    m_strings.resize(0);
    m_data.resize(0);
    m_loaded.store(true);
}

// ---- Statistics and the self-timed exit ----

void GameCanvas::noteTickTime(int64_t microseconds) {
    SyncGuard guard(this);
    ++m_tickCount;
    m_tickTotalUs += microseconds;
    m_tickWorstUs = std::max(m_tickWorstUs, microseconds);
}

void GameCanvas::tickStats(int64_t& count, int64_t& totalUs, int64_t& worstUs) const {
    SyncGuard guard(const_cast<GameCanvas*>(this));
    count = m_tickCount;
    totalUs = m_tickTotalUs;
    worstUs = m_tickWorstUs;
}

void GameCanvas::afterTick() {
    if (m_exitAfterTicks <= 0 || m_quitRequested) return;
    if (getFrameCounter() >= m_exitAfterTicks) {
        m_quitRequested = true;
        requestQuit();
    }
}

} // namespace mph
