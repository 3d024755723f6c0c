// The loader thread: closing while it loads, a failed load, and a normal start up to the running canvas.
#include "AppTestSupport.h"

#include "platform/Application.h"

#include <condition_variable>
#include <mutex>

using namespace apptest;

namespace {

// A canvas whose loading waits until the test lets it finish, and that notes the order of events.
class SlowCanvas : public RecordingCanvas {
public:
    bool loadResult = true;
    std::atomic<bool> loadEntered{false};
    std::atomic<bool> loadDone{false};
    std::atomic<bool> shutdownAfterLoad{false};
    std::atomic<int> shutdowns{0};

    void letLoad() {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_go = true;
        m_cv.notify_all();
    }
    bool loadData() override {
        loadEntered.store(true);
        std::unique_lock<std::mutex> guard(m_mutex);
        m_cv.wait(guard, [this] { return m_go; });
        loadDone.store(true);
        return loadResult && mph::GameCanvas::loadData();
    }
    void shutdown() override {
        shutdownAfterLoad.store(loadDone.load());
        ++shutdowns;
        mph::GameCanvas::shutdown();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_go = false;
};

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mph::Application::init());
        frame = new TestFrame(dir.db(), 32);
        ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        canvas = new SlowCanvas;
        ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
        frame->initSettings(canvas, "+datafile", "Morphella");
        frame->setVisible(true);
    }
    void TearDown() override {
        canvas->letLoad();
        if (frame->hasWindow()) frame->destroy();
        frame->joinLoader();
        frame->setCanvas(nullptr);
        canvas->release();
        frame->release();
        mph::Application::shutdown();
    }
    // Runs the message loop until the quit message; false when it did not come in time.
    bool runUntilQuit(int timeoutMs = 5000) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < end) {
            const auto r = mph::MessageLoop::peekMessage();
            if (r == mph::MessageLoop::PeekResult::kQuit) return true;
            if (r == mph::MessageLoop::PeekResult::kNone) mph::MessageLoop::waitMessage(10);
        }
        return false;
    }

    TempDir dir;
    TestFrame* frame = nullptr;
    SlowCanvas* canvas = nullptr;
};

} // namespace

TEST_F(LoaderTest, ClosingWhileLoadingWaitsForTheLoaderAndNeverStartsTheCanvas) {
    frame->startLoader();
    EXPECT_EQ(frame->soundStarts, 1);
    ASSERT_TRUE(waitFor([&] { return canvas->loadEntered.load(); }));
    frame->postMessage(mph::Component::kMessageClose);
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        canvas->letLoad();
    });
    EXPECT_TRUE(runUntilQuit());
    releaser.join();
    EXPECT_TRUE(canvas->loadDone.load());
    EXPECT_TRUE(canvas->shutdownAfterLoad.load());
    EXPECT_FALSE(canvas->isRunning());
    EXPECT_FALSE(frame->hasWindow());
    EXPECT_EQ(frame->getSettings()->getInt("NORMALEXIT", -7), 1);
}

TEST_F(LoaderTest, FailedLoadClosesThroughTheNormalExit) {
    canvas->loadResult = false;
    canvas->letLoad();
    frame->startLoader();
    EXPECT_TRUE(runUntilQuit());
    EXPECT_FALSE(canvas->isRunning());
    EXPECT_EQ(canvas->shutdowns.load(), 1);
    EXPECT_EQ(frame->getSettings()->getInt("NORMALEXIT", -7), 1);
}

TEST_F(LoaderTest, LoadedCanvasRunsUntilItAsksToQuit) {
    canvas->letLoad();
    frame->startLoader();
    ASSERT_TRUE(waitFor([&] { return canvas->isRunning(); }));
    // A second start does nothing while the canvas has been started.
    frame->startLoader();
    EXPECT_EQ(frame->soundStarts, 1);
    ASSERT_TRUE(waitFor([&] { return canvas->getFrameCounter() > 2; }));
    // The game's exit command comes from one of the canvas threads.
    std::thread([&] { canvas->requestQuit(); }).join();
    EXPECT_TRUE(runUntilQuit());
    EXPECT_TRUE(canvas->isStopped());
    EXPECT_EQ(frame->getSettings()->getInt("NORMALEXIT", -7), 1);
}
