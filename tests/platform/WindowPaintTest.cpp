// Painting: exposure repaints through update and paint, the default update fills the background, and
// surfaces from getGraphics on other threads reach the screen.
#include "WindowFixture.h"

#include "gfx/GraphicsW.h"

#include <thread>

using namespace mphtest;

namespace {

class PaintedCanvas : public mph::Component {
public:
    int paints = 0;
    void paint(mph::Graphics* g) override {
        ++paints;
        g->setColor(lang::Color::fromArgb(0xFF20A040u));
        g->fillRect(10, 10, 30, 20);
    }
};

uint32_t screenPixel(mph::Frame* frame, int x, int y) {
    return frame->getDisplay()->shownPixel(x, y);
}

} // namespace

TEST_F(WindowTest, ExposureRepaintsEveryShownComponentThroughUpdateAndPaint) {
    frame->setBackground(lang::Color::fromArgb(0xFF643C3Fu));
    lang::Ref<PaintedCanvas> painted = lang::adopt(new PaintedCanvas);
    ASSERT_TRUE(painted->create(frame, lang::Rectangle(200, 100, 100, 100)));
    EXPECT_EQ(painted->getBackground().getValue(), 0xFF643C3Fu); // taken from the parent
    painted->setBackground(lang::Color::fromArgb(0xFF000080u));
    canvas->setVisible(false);
    pump();
    EXPECT_EQ(painted->paints, 0); // still hidden

    painted->setVisible(true);
    pushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    pump();
    EXPECT_GE(painted->paints, 1);
    EXPECT_EQ(screenPixel(frame, 50, 50), 0xFF643C3Fu);   // the frame's default update
    EXPECT_EQ(screenPixel(frame, 205, 105), 0xFF000080u); // the child's background
    EXPECT_EQ(screenPixel(frame, 215, 115), 0xFF20A040u); // and its paint
    EXPECT_EQ(screenPixel(frame, 210 + 200, 110), 0xFF643C3Fu);
    painted->destroy();
    pump();
    EXPECT_EQ(screenPixel(frame, 215, 115), 0xFF643C3Fu);
}

TEST_F(WindowTest, ASurfaceFromGetGraphicsDrawsFromAnotherThread) {
    std::thread render([&] {
        lang::Ref<mph::GraphicsW> g = lang::adopt(canvas->getGraphics());
        ASSERT_TRUE(g);
        g->setColor(lang::Color::fromArgb(0xFFC0FFEEu));
        g->fillRect(400, 300, 8, 8);
        g->dispose();
    });
    render.join();
    pump();
    EXPECT_EQ(screenPixel(frame, 404, 304), 0xFFC0FFEEu);
    EXPECT_NE(screenPixel(frame, 408, 304), 0xFFC0FFEEu);
}
