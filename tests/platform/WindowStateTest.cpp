// Posted actions, timers, full screen, and the close and destroy path of a frame.
#include "WindowFixture.h"

#include "gfx/Image.h"
#include "platform/Cursor.h"

#include <atomic>
#include <thread>

using namespace mphtest;

namespace {

class TimedCanvas : public mph::Component {
public:
    std::atomic<int> ticks{0};
    std::thread::id tickThread;
    void onTimer(int32_t id) override {
        if (id == 7) ++ticks;
        tickThread = std::this_thread::get_id();
    }
};

} // namespace

TEST_F(WindowTest, ActionsPostedFromOtherThreadsRunOnTheMainThreadInOrder) {
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::thread poster([&] {
        for (int i = 0; i < 3; ++i)
            mph::Application::post(canvas, [&, i] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
            });
    });
    poster.join();
    EXPECT_TRUE(order.empty());
    pump();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    for (auto id : threads)
        EXPECT_EQ(id, std::this_thread::get_id());

    // An action for a component whose window is gone is dropped.
    bool ran = false;
    mph::Application::post(canvas, [&] { ran = true; });
    canvas->destroy();
    pump();
    EXPECT_FALSE(ran);
}

TEST_F(WindowTest, TheQuitMessageEndsTheLoopAfterEarlierPosts) {
    bool before = false;
    mph::Application::post(nullptr, [&] { before = true; });
    mph::MessageLoop::postQuit(3);
    EXPECT_EQ(mph::MessageLoop::run(), 3);
    EXPECT_TRUE(before);
}

TEST_F(WindowTest, TimersTickOnTheMainThreadUntilKilled) {
    lang::Ref<TimedCanvas> timed = lang::adopt(new TimedCanvas);
    ASSERT_TRUE(timed->create(frame, lang::Rectangle(0, 0, 10, 10)));
    timed->setTimer(7, 5);
    const uint32_t start = SDL_GetTicks();
    while (timed->ticks < 3 && SDL_GetTicks() - start < 5000) {
        mph::MessageLoop::waitMessage(20);
        pump();
    }
    EXPECT_GE(timed->ticks.load(), 3);
    EXPECT_EQ(timed->tickThread, std::this_thread::get_id());
    timed->killTimer(7);
    pump();
    const int after = timed->ticks;
    SDL_Delay(30);
    pump();
    EXPECT_EQ(timed->ticks.load(), after);
    timed->destroy();
}

TEST_F(WindowTest, FullScreenAndBackRestoresTheCentredWindowAndF11SwitchesIt) {
    frame->setFullScreen(true, false);
    pump();
    EXPECT_TRUE(frame->isFullScreen());
    // Escape leaves full screen even when the focus did not consume it.
    pushKey(true, SDLK_ESCAPE, KMOD_NONE);
    pump();
    EXPECT_FALSE(frame->isFullScreen());
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(frame->getDisplay()->window(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    const mph::PictureFit fit = frame->getDisplay()->currentFit();
    EXPECT_TRUE(fit.isWhole());
    EXPECT_EQ(fit.whole, 1);
    EXPECT_EQ(fit.width, 800);
    // F11 switches full screen on and off.
    pushKey(true, SDLK_F11, KMOD_NONE);
    pump();
    EXPECT_TRUE(frame->isFullScreen());
    pushKey(true, SDLK_F11, KMOD_NONE);
    pump();
    EXPECT_FALSE(frame->isFullScreen());
}

TEST_F(WindowTest, DeactivatedFullScreenIsLeftAndComesBackOnRestore) {
    frame->setFullScreen(true, false);
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    pump();
    EXPECT_FALSE(frame->isFullScreen());
    SDL_RestoreWindow(frame->getDisplay()->window());
    pushWindowEvent(SDL_WINDOWEVENT_RESTORED);
    pump();
    EXPECT_TRUE(frame->isFullScreen());
}

TEST_F(WindowTest, CloseRequestsAndSdlQuitCloseTheFrameThroughItsDestroy) {
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    pump();
    EXPECT_GE(frame->closes, 1);
    EXPECT_EQ(frame->destroys, 1);
    EXPECT_FALSE(frame->hasWindow());
    EXPECT_FALSE(canvas->hasWindow());
    EXPECT_TRUE(mph::Frame::frames().empty());
}

TEST_F(WindowTest, CursorsAreSetFromAnyThread) {
    lang::Ref<mph::Image> picture = lang::make<mph::Image>(16, 16, 1, false);
    picture->getPixels()[0] = 0xFFFFFFFFu;
    lang::Ref<mph::Cursor> own = lang::make<mph::Cursor>(picture.get(), 40, -3);
    EXPECT_EQ(own->getHotX(), 15);
    EXPECT_EQ(own->getHotY(), 0);
    std::thread other([&] { canvas->setCursor(own.get()); });
    other.join();
    EXPECT_EQ(canvas->getCursor(), nullptr);
    pump();
    EXPECT_EQ(canvas->getCursor(), own.get());
    pushMotion(10, 10, 0);
    pump();
    canvas->setCursor(mph::Cursor::getHand());
    EXPECT_EQ(canvas->getCursor(), mph::Cursor::getHand());
}
