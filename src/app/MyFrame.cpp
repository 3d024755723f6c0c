// MyFrame: the start-up sequence, the loading screen and the snapshot written at exit.
#include "app/MyFrame.h"

#include "app/GameCanvas2.h"
#include "app/RunOptions.h"
#include "gfx/GraphicsI.h"
#include "gfx/PngWriter.h"
#include "io/Resources.h"
#include "io/User.h"
#include "platform/Application.h"
#include "platform/Cursor.h"
#include "platform/MessageLoop.h"
#include "platform/WindowPicture.h"
#include "runtime/SyncGuard.h"

#include <malloc.h>

#include <cstdio>

using namespace lang;

namespace mph {

MyFrame::MyFrame() {
    m_width = 800;
    m_height = 600;
    // The 800 by 600 picture scales to whatever size the player gives the window.
    m_resizable = true;
}

MyFrame::~MyFrame() = default;

GameCanvas* MyFrame::createCanvas() {
    // The game's frame supplies its own canvas; this one shows the data script's scene as it is.
    return new GameCanvas2();
}

std::vector<String> MyFrame::loadingPictureCandidates() {
    return {String("loading.png"), String("loading.jpg"), String("loading.gif"), String("+logo")};
}

Ref<Image> MyFrame::findLoadingPicture(const std::vector<String>& candidates) {
    Ref<Image> last;
    for (const String& name : candidates) {
        last = make<Image>(name);
        if (last->hasPixels()) return last;
    }
    return last ? last : make<Image>();
}

void MyFrame::prepareLoadingScreen(Ref<Image> picture) {
    SyncGuard guard(this);
    m_loadingImage = std::move(picture);
    m_logoY = (600 - (m_loadingImage ? m_loadingImage->getHeight() : 0)) / 2;
    m_loadingBuffer = make<Image>(800, 600, 1, false);
}

void MyFrame::applyContainerLooks() {
    setTitle(getResourceString("IDS_GAMETITLE"));
    Ref<Image> icon = make<Image>(String("+icon"));
    if (icon->hasPixels()) setIcon(icon.get());
    Ref<Image> pointer = make<Image>(String("+cursor"));
    if (pointer->hasPixels()) setCursor(make<Cursor>(pointer.get(), 1, 1).get());
}

bool MyFrame::create(Component* parent, const Rectangle& bounds) {
    if (!Frame::create(parent, bounds)) return false;
    setBackground(Color::fromArgb(0xFF643C3Fu));
    prepareLoadingScreen(findLoadingPicture(loadingPictureCandidates()));
    applyContainerLooks();
    Ref<GameCanvas> canvas = adopt(createCanvas());
    canvas->create(this, Rectangle(0, 0, 800, 600));
    canvas->setExitAfterTicks(RunOptions::current().exitAfterTicks);
    initSettings(canvas.get(), "+datafile", kProductName);
    const RunOptions& options = RunOptions::current();
    if (options.windowWidth > 0) setWindowSize(options.windowWidth, options.windowHeight);
    setVisible(true);
    setTimer(kLoadingTimerId, kLoadingTimerMs);
    const bool quitRequested = !showLoadingScreen();
    killTimer(kLoadingTimerId);
    if (quitRequested) return false;
    startLoader();
    canvas->requestFocus();
    return true;
}

bool MyFrame::showLoadingScreen() {
    if (RunOptions::current().skipLoadingMinimum) return true;
    {
        SyncGuard guard(this);
        if (!m_loadingImage || !m_loadingImage->hasPixels()) return true;
    }
    const uint32_t start = Application::getTickCount();
    for (;;) {
        const uint32_t elapsed = Application::getTickCount() - start;
        if (elapsed >= kLoadingMinimumMs) return true;
        switch (MessageLoop::peekMessage()) {
        case MessageLoop::PeekResult::kQuit:
            return false;
        case MessageLoop::PeekResult::kNone:
            MessageLoop::waitMessage(kLoadingMinimumMs - elapsed);
            break;
        case MessageLoop::PeekResult::kDispatched:
            break;
        }
    }
}

void MyFrame::update(Graphics* g) {
    SyncGuard guard(this);
    if (!m_loadingBuffer || g == nullptr) return;
    {
        Ref<GraphicsI> buffer = adopt(m_loadingBuffer->getGraphics());
        buffer->setColor(Color::fromArgb(kLoadingColor));
        buffer->fillRect(0, 0, 800, 600);
        if (m_loadingImage && m_loadingImage->hasPixels())
            buffer->drawImage(m_loadingImage.get(), (800 - m_loadingImage->getWidth()) / 2, m_logoY);
        buffer->dispose();
    }
    g->drawImage(m_loadingBuffer.get(), 0, 0);
}

void MyFrame::onTimer(int32_t id) {
    if (id != kLoadingTimerId) return;
    ++m_tickCount;
    repaint();
}

void MyFrame::activate(bool active) {
    if (!active && m_canvas) m_canvas->pauseHook();
    LoaderFrame2::activate(active);
}

void MyFrame::loadingFinished() {
    if (m_canvas) m_canvas->setVisible(true);
    SyncGuard guard(this);
    m_loadingImage = nullptr;
    m_loadingBuffer = nullptr;
    // The canvas covers the whole client area from now on, and the frame draws nothing more of its own.
    if (m_canvas && getSurface() != nullptr) getSurface()->releasePixels();
    // Loading left the decoders' and the container's buffers free in the allocator's heaps, the loader
    // thread's among them: the pages go back to the system.
    malloc_trim(0);
}

void MyFrame::canvasStopped() {
    const RunOptions& options = RunOptions::current();
    if (!m_canvas) return;
    if (options.reportStats) {
        int64_t count = 0, total = 0, worst = 0;
        m_canvas->tickStats(count, total, worst);
        std::fprintf(stderr, "morphella: ticks %lld mean-us %lld worst-us %lld presents %lld\n",
                     static_cast<long long>(count), static_cast<long long>(count > 0 ? total / count : 0),
                     static_cast<long long>(worst), static_cast<long long>(m_canvas->presentCount()));
    }
    if (options.snapshotPath.isEmpty()) return;
    Image* frame = m_canvas->getOffscreenImage();
    if (frame == nullptr || !frame->hasPixels()) {
        std::fprintf(stderr, "morphella: no composed picture to write to %s\n", options.snapshotPath.c_str());
        return;
    }
    if (!PngWriter::writeFile(*frame, options.snapshotPath.c_str()))
        std::fprintf(stderr, "morphella: could not write %s\n", options.snapshotPath.c_str());
}

} // namespace mph
