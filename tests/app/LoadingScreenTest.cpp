// The loading picture's search order, the loading screen's paint, and the sprite list helpers.
#include "AppTestSupport.h"

#include "app/GameCanvas2.h"
#include "app/MyFrame.h"
#include "gfx/GraphicsI.h"
#include "gfx/PngWriter.h"
#include "sprites/Sprite.h"

#include <fstream>

using namespace apptest;

namespace {

// A PNG of a single colour, w x h, at path.
void writePicture(const std::string& path, int w, int h, uint32_t argb) {
    lang::Ref<mph::Image> image = lang::make<mph::Image>(w, h, 1, false);
    for (int i = 0; i < w * h; ++i)
        image->getPixels()[i] = argb;
    ASSERT_TRUE(mph::PngWriter::writeFile(*image, path.c_str()));
}

// Exposes the loading screen's set-up to the test without a window.
class LoadingFrame : public mph::MyFrame {
public:
    using mph::MyFrame::prepareLoadingScreen;
};

} // namespace

TEST(LoadingScreen, PictureSearchTakesTheFirstThatDecodes) {
    TempDir dir;
    const std::string d = dir.path() + "/";
    const std::vector<lang::String> candidates = {lang::String((d + "loading.png").c_str()),
                                                  lang::String((d + "loading.jpg").c_str()),
                                                  lang::String((d + "loading.gif").c_str())};
    // Nothing there: an empty picture, so the minimum display time is skipped.
    EXPECT_FALSE(mph::MyFrame::findLoadingPicture(candidates)->hasPixels());

    // A file that does not decode is passed over.
    std::ofstream(d + "loading.jpg") << "not a picture";
    writePicture(d + "loading.gif", 30, 20, 0xFF00FF00u);
    lang::Ref<mph::Image> found = mph::MyFrame::findLoadingPicture(candidates);
    ASSERT_TRUE(found->hasPixels());
    EXPECT_EQ(found->getWidth(), 30);

    writePicture(d + "loading.png", 40, 10, 0xFF0000FFu);
    found = mph::MyFrame::findLoadingPicture(candidates);
    ASSERT_TRUE(found->hasPixels());
    EXPECT_EQ(found->getWidth(), 40);
    EXPECT_EQ(mph::MyFrame::loadingPictureCandidates().back(), "+logo");
}

TEST(LoadingScreen, PaintsRedBehindTheCentredPictureUntilLoadingFinishes) {
    lang::Ref<LoadingFrame> frame = lang::make<LoadingFrame>();
    // Taller than the screen: a negative offset, cut at the top and bottom.
    lang::Ref<mph::Image> tall = lang::make<mph::Image>(100, 700, 1, false);
    for (int i = 0; i < 100 * 700; ++i)
        tall->getPixels()[i] = 0xFF0000FFu;
    frame->prepareLoadingScreen(tall);
    EXPECT_EQ(frame->getLogoY(), -50);

    lang::Ref<mph::Image> target = lang::make<mph::Image>(800, 600, 1, false);
    lang::Ref<mph::GraphicsI> g = lang::adopt(target->getGraphics());
    frame->update(g.get());
    const uint32_t* px = target->getPixels();
    EXPECT_EQ(px[0], mph::MyFrame::kLoadingColor);
    EXPECT_EQ(px[599 * 800 + 799], mph::MyFrame::kLoadingColor);
    EXPECT_EQ(px[0 * 800 + 350], 0xFF0000FFu);
    EXPECT_EQ(px[599 * 800 + 449], 0xFF0000FFu);
    EXPECT_EQ(px[300 * 800 + 349], mph::MyFrame::kLoadingColor);

    // After loading, a paint draws nothing and does not fail.
    frame->loadingFinished();
    EXPECT_EQ(frame->getLoadingBuffer(), nullptr);
    target->clearRect(0, 0, 800, 600);
    frame->update(g.get());
    EXPECT_EQ(target->getPixels()[0], 0u);
    g->dispose();
}

TEST(SpriteList, AddingASpriteAgainMovesIt) {
    lang::Ref<mph::GameCanvas2> canvas = lang::make<mph::GameCanvas2>();
    lang::Ref<mph::Sprite> a = lang::make<mph::Sprite>();
    lang::Ref<mph::Sprite> b = lang::make<mph::Sprite>();
    lang::Ref<mph::Sprite> c = lang::make<mph::Sprite>();
    canvas->addSprite(a.get(), -1, "a");
    canvas->addSprite(b.get(), -1, "");
    canvas->addSprite(c.get(), 99, "c");
    EXPECT_EQ(canvas->indexOfSprite(c.get()), 2);
    canvas->addSprite(c.get(), 0, "");
    EXPECT_EQ(canvas->sprites().size(), 3);
    EXPECT_EQ(canvas->spriteAt(0), c.get());
    EXPECT_EQ(canvas->spriteAt(1), a.get());
    EXPECT_EQ(canvas->spriteAt(3), nullptr);
    EXPECT_EQ(canvas->spriteAt(-1), nullptr);
    EXPECT_EQ(canvas->findSprite("a"), a.get());
    EXPECT_EQ(canvas->findSprite("c"), c.get());
    EXPECT_EQ(canvas->findSprite("b"), nullptr);
    // Moving a sprite whose only owner is the list keeps it alive.
    mph::Sprite* d = new mph::Sprite();
    canvas->addSprite(d, -1, "");
    d->release();
    canvas->addSprite(d, 0, "");
    EXPECT_EQ(canvas->spriteAt(0), d);
    EXPECT_EQ(canvas->indexOfSprite(d), 0);
}
