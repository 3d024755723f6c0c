// A fault in the game's tick or event handling is written to standard error once, and the threads go on.
#include "AppTestSupport.h"

#include "app/ThreadErrors.h"
#include "platform/Application.h"
#include "platform/Frame.h"
#include "runtime/Exception.h"

using namespace apptest;

namespace {

class FaultyCanvas : public mph::GameCanvas {
public:
    std::atomic<int> ticks{0};
    void tick() override {
        mph::GameCanvas::tick();
        ++ticks;
        throw new lang::Exception(lang::String("tick fault"));
    }
    void handleEvent() override {
        if (getCurrentEvent() != nullptr) throw new lang::Exception(lang::String("event fault"));
    }
};

} // namespace

TEST(ThreadErrors, EachDistinctFaultIsReportedOnceAndTheThreadsKeepRunning) {
    ASSERT_TRUE(mph::Application::init());
    auto* frame = new mph::Frame;
    ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
    auto* canvas = new FaultyCanvas;
    ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
    testing::internal::CaptureStderr();
    canvas->startThreads();
    for (int i = 0; i < 2; ++i) {
        lang::Ref<mph::Event> e = lang::make<mph::Event>(mph::Event::kMouseDown, canvas, 5, 5, 0, 0);
        canvas->mouseDown(e.get(), 5, 5);
    }
    EXPECT_TRUE(waitFor([&] { return canvas->ticks.load() >= 4 && canvas->eventQueue().size() == 0; }));
    canvas->shutdown();
    const std::string err = testing::internal::GetCapturedStderr();
    auto count = [&err](const std::string& needle) {
        size_t n = 0;
        for (size_t at = err.find(needle); at != std::string::npos; at = err.find(needle, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("render thread: tick fault"), 1u) << err;
    EXPECT_EQ(count("input thread: event fault"), 1u) << err;
    // A new message is still written.
    EXPECT_TRUE(mph::reportThreadException("render thread", "another fault"));
    if (frame->hasWindow()) frame->destroy();
    canvas->release();
    frame->release();
    mph::Application::shutdown();
}
