// The canvas's mouse queue, input thread, S key, dirty areas and presents on a real (dummy-driver) window.
#include "AppTestSupport.h"

#include "gfx/Image.h"
#include "platform/Application.h"
#include "platform/Frame.h"
#include "platform/WindowPicture.h"
#include "sprites/Sprite.h"

using namespace apptest;

namespace {

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(mph::Application::init());
        frame = new mph::Frame;
        ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        canvas = new RecordingCanvas;
        ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
        canvas->setBackground(lang::Color::fromArgb(0xFF102030u));
        frame->setVisible(true);
        canvas->setVisible(true);
        pump();
    }
    void TearDown() override {
        canvas->shutdown();
        if (frame->hasWindow()) frame->destroy();
        canvas->release();
        frame->release();
        mph::Application::shutdown();
    }
    bool press(int x, int y) {
        lang::Ref<mph::Event> e = lang::make<mph::Event>(mph::Event::kMouseDown, canvas, x, y, 0, 0);
        return canvas->mouseDown(e.get(), x, y);
    }
    bool key(int k) {
        lang::Ref<mph::Event> e = lang::make<mph::Event>(mph::Event::kKeyDown, canvas, k, 0, 0, 0);
        e->key = k;
        return canvas->keyDown(e.get(), k);
    }
    uint32_t windowPixel(int x, int y) {
        mph::Image* picture = canvas->getSurface()->picture();
        return picture->getPixels()[y * picture->getWidth() + x];
    }

    mph::Frame* frame = nullptr;
    RecordingCanvas* canvas = nullptr;
};

} // namespace

TEST_F(CanvasTest, MouseEventsReachTheGameOnlyWhileTheThreadsRun) {
    EXPECT_FALSE(press(10, 10));
    EXPECT_EQ(canvas->eventQueue().size(), 0);

    canvas->startThreads();
    // The input thread's first pass delivers no event, then it waits.
    ASSERT_TRUE(waitFor([&] { return canvas->deliveries.load() >= 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(canvas->deliveries.load(), 1);
    EXPECT_EQ(canvas->nullDeliveries.load(), 1);

    EXPECT_TRUE(press(20, 30));
    ASSERT_TRUE(waitFor([&] { return canvas->deliveries.load() == 2; }));
    EXPECT_EQ(canvas->lastId.load(), mph::Event::kMouseDown);
    EXPECT_EQ(canvas->nullDeliveries.load(), 1);

    canvas->stopThreads();
    EXPECT_TRUE(canvas->isStopped());
    // Still taken (the canvas ran), but dropped: nothing queued and nothing delivered.
    EXPECT_TRUE(press(40, 40));
    EXPECT_EQ(canvas->eventQueue().size(), 0);
    EXPECT_EQ(canvas->deliveries.load(), 2);
}

TEST_F(CanvasTest, StoppingDoesNotWaitForTheInputThreadsIdleTimeout) {
    canvas->startThreads();
    ASSERT_TRUE(waitFor([&] { return canvas->deliveries.load() >= 1; }));
    const auto begin = std::chrono::steady_clock::now();
    canvas->stopThreads();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(1500));
    // Threads can be started again after a stop.
    canvas->startThreads();
    ASSERT_TRUE(waitFor([&] { return canvas->deliveries.load() >= 2; }));
    const int32_t ticks = canvas->getFrameCounter();
    ASSERT_TRUE(waitFor([&] { return canvas->getFrameCounter() > ticks + 2; }));
}

TEST_F(CanvasTest, SKeyTogglesSoundOnlyWhileRunningAndIsConsumed) {
    EXPECT_FALSE(key('S'));
    EXPECT_TRUE(canvas->isSoundEnabled());
    canvas->startThreads();
    EXPECT_TRUE(key('S'));
    EXPECT_FALSE(canvas->isSoundEnabled());
    EXPECT_TRUE(key('s'));
    EXPECT_TRUE(canvas->isSoundEnabled());
    EXPECT_FALSE(key('X'));
    EXPECT_TRUE(canvas->isSoundEnabled());
}

TEST_F(CanvasTest, OnlyChangedAreasArePresentedAndAnUnchangedTickPresentsNothing) {
    canvas->paintNow();
    ASSERT_NE(canvas->getOffscreenImage(), nullptr);
    canvas->present();
    EXPECT_EQ(canvas->presentCount(), 0);

    canvas->invalidate(lang::Rectangle(5, 5, 0, 40));
    EXPECT_FALSE(canvas->displayList().isDirty());

    // Sprites cover everything they are responsible for: a backdrop, then a red square.
    lang::Ref<mph::Image> back = lang::make<mph::Image>(800, 600, 1, false);
    for (int i = 0; i < 800 * 600; ++i)
        back->getPixels()[i] = 0xFF102030u;
    lang::Ref<mph::Sprite> backdrop = lang::make<mph::Sprite>();
    backdrop->setImage(back.get());
    canvas->displayList().sprites().addElement(backdrop.get());
    lang::Ref<mph::Image> red = lang::make<mph::Image>(20, 20, 1, false);
    for (int i = 0; i < 400; ++i)
        red->getPixels()[i] = 0xFFFF0000u;
    lang::Ref<mph::Sprite> sprite = lang::make<mph::Sprite>();
    sprite->setImage(red.get());
    sprite->setLocation(100, 100);
    canvas->displayList().sprites().addElement(sprite.get());

    // New sprites report their areas on their first tick.
    canvas->tick();
    canvas->present();
    EXPECT_EQ(canvas->presentCount(), 1);
    EXPECT_EQ(windowPixel(105, 105), 0xFFFF0000u);
    EXPECT_EQ(windowPixel(5, 5), 0xFF102030u);

    // Nothing changed: the tick collects nothing and no present happens.
    canvas->tick();
    canvas->present();
    EXPECT_EQ(canvas->presentCount(), 1);

    // Marks the window picture so that anything copied outside the changed areas would show.
    mph::Image* picture = canvas->getSurface()->picture();
    for (int i = 0; i < picture->getWidth() * picture->getHeight(); ++i)
        picture->getPixels()[i] = 0xFF00FF00u;
    sprite->setLocation(300, 100);
    canvas->tick();
    canvas->present();
    EXPECT_EQ(canvas->presentCount(), 2);
    EXPECT_EQ(windowPixel(305, 105), 0xFFFF0000u);
    EXPECT_EQ(windowPixel(105, 105), 0xFF102030u);
    EXPECT_EQ(windowPixel(200, 300), 0xFF00FF00u);
    EXPECT_EQ(windowPixel(5, 5), 0xFF00FF00u);
}

TEST_F(CanvasTest, RunningCanvasWithoutChangesStopsPresenting) {
    canvas->paintNow();
    canvas->startThreads();
    canvas->invalidate();
    ASSERT_TRUE(waitFor([&] { return canvas->presentCount() >= 1; }));
    const int32_t ticks = canvas->getFrameCounter();
    ASSERT_TRUE(waitFor([&] { return canvas->getFrameCounter() >= ticks + 5; }));
    EXPECT_EQ(canvas->presentCount(), 1);
}
