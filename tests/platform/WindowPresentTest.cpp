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
    uint32_t screenPixel(int x, int y) {
        uint32_t pixel = 0;
        const SDL_Rect r{x, y, 1, 1};
        EXPECT_EQ(
            SDL_RenderReadPixels(frame->getDisplay()->renderer(), &r, SDL_PIXELFORMAT_ARGB8888, &pixel, 4),
            0);
        return pixel | 0xFF000000u;
    }
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
