// Pictures reaching the screen: only reported areas are uploaded, hidden children never show, and other
// threads' reports are presented by the main thread.
#include "WindowFixture.h"

#include "gfx/Image.h"
#include "platform/WindowPicture.h"
#include "runtime/SyncGuard.h"

#include <thread>

using namespace mphtest;

namespace {

void fill(mph::WindowPicture* surface, const lang::Rectangle& r, uint32_t argb, bool report) {
    lang::SyncGuard guard(surface);
    mph::Image* picture = surface->picture();
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            picture->getPixels()[y * picture->getWidth() + x] = argb;
    if (report) surface->pictureChanged(r);
}

} // namespace

class PresentTest : public WindowTest {
protected:
    uint32_t screenPixel(int x, int y) { return frame->getDisplay()->shownPixel(x, y); }
};

TEST_F(PresentTest, AnAreaReportedFromAnotherThreadIsUploadedAndNothingElse) {
    mph::WindowPicture* surface = canvas->getSurface();
    fill(surface, lang::Rectangle(0, 0, 800, 600), 0xFF000000u, true);
    pump();
    std::thread render([&] {
        fill(surface, lang::Rectangle(100, 50, 20, 10), 0xFF336699u, true);
        // Drawn but never reported: it must not reach the screen.
        fill(surface, lang::Rectangle(300, 300, 5, 5), 0xFFFF0000u, false);
    });
    render.join();
    pump();
    EXPECT_EQ(screenPixel(100, 50), 0xFF336699u);
    EXPECT_EQ(screenPixel(119, 59), 0xFF336699u);
    EXPECT_EQ(screenPixel(120, 59), 0xFF000000u);
    EXPECT_EQ(screenPixel(301, 301), 0xFF000000u);
    // A later present of another area keeps what earlier presents showed.
    fill(surface, lang::Rectangle(400, 400, 4, 4), 0xFF996633u, true);
    pump();
    EXPECT_EQ(screenPixel(401, 401), 0xFF996633u);
    EXPECT_EQ(screenPixel(100, 50), 0xFF336699u);
    EXPECT_EQ(screenPixel(0, 0), 0xFF000000u);
}

TEST_F(PresentTest, AHiddenChildsDrawingNeverShowsAndTheFramePictureDoes) {
    canvas->setLocation(100, 100);
    canvas->setSize(200, 200);
    canvas->setBackground(lang::Color::fromArgb(0xFF00FF00u));
    pump();
    fill(frame->getSurface(), lang::Rectangle(0, 0, 800, 600), 0xFF0000FFu, true);
    fill(canvas->getSurface(), lang::Rectangle(0, 0, 200, 200), 0xFF00FF00u, true);
    pump();
    EXPECT_EQ(screenPixel(50, 50), 0xFF0000FFu);
    EXPECT_EQ(screenPixel(150, 150), 0xFF00FF00u);

    canvas->setVisible(false);
    fill(canvas->getSurface(), lang::Rectangle(0, 0, 200, 200), 0xFFFF0000u, true);
    pump();
    EXPECT_EQ(screenPixel(150, 150), 0xFF0000FFu);

    // Shown again, the child is repainted (its default update fills its background) and covers the
    // frame's picture at its place.
    canvas->setVisible(true);
    pump();
    EXPECT_EQ(screenPixel(150, 150), 0xFF00FF00u);
    EXPECT_EQ(screenPixel(99, 99), 0xFF0000FFu);
}

TEST_F(PresentTest, ReportsOutsideThePictureAreCutAndManyAreasMerge) {
    mph::WindowPicture* surface = canvas->getSurface();
    fill(surface, lang::Rectangle(0, 0, 800, 600), 0xFF111111u, false);
    surface->pictureChanged(lang::Rectangle(-50, -50, 10, 10));
    surface->pictureChanged(lang::Rectangle(790, 590, 100, 100));
    for (int i = 0; i < 40; ++i)
        surface->pictureChanged(lang::Rectangle(i * 20, i * 15, 1, 1));
    pump();
    EXPECT_EQ(screenPixel(799, 599), 0xFF111111u);
    EXPECT_EQ(screenPixel(780, 585), 0xFF111111u);
    // Forty separate points collapse into one bounding area, which is uploaded whole.
    EXPECT_EQ(screenPixel(400, 10), 0xFF111111u);
}

namespace {

// A resizable frame, as the game's is, whose window the test sizes.
class ScaledTest : public PresentTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(mph::Application::init());
        frame = new TestFrame;
        frame->setResizable(true);
        ASSERT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        canvas = new TestCanvas;
        ASSERT_TRUE(canvas->create(frame, lang::Rectangle(0, 0, 800, 600)));
        frame->setVisible(true);
        canvas->setVisible(true);
        pump();
    }
    // A picture of one-pixel stripes: every other column is white.
    void stripes() {
        mph::WindowPicture* surface = canvas->getSurface();
        lang::SyncGuard guard(surface);
        mph::Image* picture = surface->picture();
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                picture->getPixels()[y * 800 + x] = x % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u;
        surface->pictureChanged(lang::Rectangle(0, 0, 800, 600));
    }
};

} // namespace

TEST_F(ScaledTest, WholeScalesShowSquareBlocksAndOtherScalesKeepEachPixelsCore) {
    frame->setWindowSize(1700, 1200);
    pump();
    stripes();
    pump();
    // 2x with 50-pixel bars: column 10 of the picture is outputs 70 and 71.
    EXPECT_EQ(screenPixel(49, 300), 0xFF000000u);
    EXPECT_EQ(screenPixel(70, 300), 0xFFFFFFFFu);
    EXPECT_EQ(screenPixel(71, 301), 0xFFFFFFFFu);
    EXPECT_EQ(screenPixel(72, 300), 0xFF000000u);
    // A change reaches the screen at its enlarged place.
    fill(canvas->getSurface(), lang::Rectangle(400, 300, 2, 2), 0xFF336699u, true);
    pump();
    EXPECT_EQ(screenPixel(50 + 803, 603), 0xFF336699u);
    EXPECT_EQ(screenPixel(50 + 804, 604), 0xFFFFFFFFu);

    // 1.5x: enlarged 2x and smoothed down. Every white pixel keeps a bright middle, every black one a
    // dark middle, so the stripes stay stripes.
    frame->setWindowSize(1200, 900);
    pump();
    stripes();
    pump();
    const mph::PictureFit fit = frame->getDisplay()->currentFit();
    ASSERT_FALSE(fit.isWhole());
    EXPECT_EQ(fit.whole, 2);
    for (int px = 100; px < 110; ++px) {
        const uint32_t p = screenPixel(static_cast<int>(px * 1.5 + 0.75), 450) & 0xFFu;
        if (px % 2 == 0)
            EXPECT_GE(p, 0xB0u) << px;
        else
            EXPECT_LE(p, 0x50u) << px;
    }
}

TEST_F(ScaledTest, TheMouseLandsInPictureCoordinatesAtEverySize) {
    frame->setWindowSize(2600, 1800);
    pump();
    pushButton(true, 100 + 3 * 408 + 1, 3 * 342 + 2);
    pushButton(false, 100 + 3 * 408 + 1, 3 * 342 + 2);
    pushMotion(100 + 3 * 10, 3 * 20, 0);
    pump();
    ASSERT_EQ(canvas->calls.size(), 3u);
    EXPECT_EQ(canvas->calls[0].x, 408);
    EXPECT_EQ(canvas->calls[0].y, 342);
    EXPECT_EQ(canvas->calls[2].x, 10);
    EXPECT_EQ(canvas->calls[2].y, 20);
    EXPECT_EQ(frame->getWindowWidth(), 2600);
    const mph::WindowView view = frame->windowView();
    EXPECT_EQ(view.width, 2600);
    EXPECT_DOUBLE_EQ(view.scale, 3.0);
}

namespace {

// The same pictures shown through a renderer's texture and straight through the window's buffer.
class BothWaysTest : public ::testing::Test {
protected:
    static void settle() {
        for (int i = 0; i < 1000; ++i)
            if (mph::MessageLoop::peekMessage() == mph::MessageLoop::PeekResult::kNone) return;
    }
    void TearDown() override { mph::FrameDisplay::allowWindowBuffer(true); }

    // Every output pixel after a frame and a child of its own colours were shown at the window's size,
    // then a small change was reported.
    static std::vector<uint32_t> shown(bool windowBuffer, int width, int height, bool& direct) {
        mph::FrameDisplay::allowWindowBuffer(windowBuffer);
        EXPECT_TRUE(mph::Application::init());
        auto* frame = new TestFrame;
        frame->setResizable(true);
        EXPECT_TRUE(frame->create(nullptr, lang::Rectangle(0, 0, 800, 600)));
        auto* child = new TestCanvas;
        EXPECT_TRUE(child->create(frame, lang::Rectangle(100, 80, 300, 200)));
        frame->setVisible(true);
        child->setVisible(true);
        frame->setWindowSize(width, height);
        settle();
        {
            mph::WindowPicture* surface = frame->getSurface();
            lang::SyncGuard guard(surface);
            mph::Image* picture = surface->picture();
            for (int y = 0; y < 600; ++y)
                for (int x = 0; x < 800; ++x)
                    picture->getPixels()[y * 800 + x] = 0xFF000000u | uint32_t(x * 0x010203 + y * 0x030101);
            surface->pictureChanged(lang::Rectangle(0, 0, 800, 600));
        }
        fill(child->getSurface(), lang::Rectangle(0, 0, 300, 200), 0xFF40C080u, true);
        settle();
        fill(child->getSurface(), lang::Rectangle(10, 10, 7, 5), 0xFFF0F0F0u, true);
        settle();
        direct = frame->getDisplay()->drawsIntoWindowBuffer();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(frame->getDisplay()->shownPixel(x, y));
        frame->destroy();
        child->release();
        frame->release();
        mph::Application::shutdown();
        return pixels;
    }
};

} // namespace

TEST_F(BothWaysTest, TheWindowsBufferShowsExactlyWhatTheRendererShowsAtEveryKindOfScale) {
    for (const auto& size : {std::pair{800, 600}, std::pair{1700, 1200}, std::pair{1000, 700}}) {
        bool viaRenderer = true, viaBuffer = false;
        const std::vector<uint32_t> renderer = shown(false, size.first, size.second, viaRenderer);
        const std::vector<uint32_t> buffer = shown(true, size.first, size.second, viaBuffer);
        EXPECT_FALSE(viaRenderer);
        EXPECT_TRUE(viaBuffer);
        ASSERT_EQ(renderer.size(), buffer.size());
        size_t differ = 0;
        for (size_t i = 0; i < renderer.size(); ++i)
            differ += renderer[i] != buffer[i];
        EXPECT_EQ(differ, 0u) << size.first << "x" << size.second;
    }
}
