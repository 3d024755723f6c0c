// The crash marker and the full-screen choice at start, and the marker written by quit.
#include "AppTestSupport.h"

using namespace apptest;

namespace {

struct StartResult {
    bool fullScreen;
    int32_t fullScreenSetting;
    int32_t normalExit;
};

// One start on a frame without a window (full screen is then only remembered), for a desktop depth.
StartResult startOnce(const TempDir& dir, int32_t depth) {
    lang::Ref<TestFrame> frame = lang::make<TestFrame>(dir.db(), depth);
    lang::Ref<RecordingCanvas> canvas = lang::make<RecordingCanvas>();
    frame->initSettings(canvas.get(), "+datafile", "Morphella");
    EXPECT_EQ(frame->getCanvas(), canvas.get());
    EXPECT_EQ(canvas->getSettings(), frame->getSettings());
    EXPECT_EQ(canvas->getDataItemName(), "+datafile");
    StartResult r{frame->isFullScreen(), frame->getSettings()->getInt("FULLSCREEN", -7),
                  frame->getSettings()->getInt("NORMALEXIT", -7)};
    frame->setCanvas(nullptr);
    return r;
}

void store(const TempDir& dir, const char* name, int32_t value) {
    lang::Ref<mph::User> user = lang::make<mph::User>();
    user->openAt(dir.db());
    user->setInt(name, value);
}

} // namespace

TEST(StartupSettings, FirstRunDependsOnTheDesktopDepth) {
    struct Case {
        int32_t depth;
        bool fullScreen;
    } cases[] = {{24, true}, {32, false}, {16, false}, {15, false}, {8, true}};
    for (const Case& c : cases) {
        TempDir dir;
        const StartResult r = startOnce(dir, c.depth);
        EXPECT_EQ(r.fullScreen, c.fullScreen) << "depth " << c.depth;
        // Nothing stores FULLSCREEN on a normal start; the run is marked as in progress.
        EXPECT_EQ(r.fullScreenSetting, -7) << "depth " << c.depth;
        EXPECT_EQ(r.normalExit, 0) << "depth " << c.depth;
    }
}

TEST(StartupSettings, StoredChoiceWinsExceptOnUnusualDepths) {
    TempDir dir;
    store(dir, "FULLSCREEN", 1);
    EXPECT_TRUE(startOnce(dir, 32).fullScreen);
    store(dir, "NORMALEXIT", 1);
    store(dir, "FULLSCREEN", 0);
    EXPECT_FALSE(startOnce(dir, 24).fullScreen);
    store(dir, "NORMALEXIT", 1);
    EXPECT_TRUE(startOnce(dir, 8).fullScreen);
}

TEST(StartupSettings, StartAfterAKilledRunStaysWindowedAndClearsFullScreen) {
    TempDir dir;
    store(dir, "FULLSCREEN", 1);
    // The first run never reaches quit (it is killed), so the marker stays 0.
    EXPECT_TRUE(startOnce(dir, 24).fullScreen);
    const StartResult r = startOnce(dir, 24);
    EXPECT_FALSE(r.fullScreen);
    EXPECT_EQ(r.fullScreenSetting, 0);
    EXPECT_EQ(r.normalExit, 0);
}

TEST(StartupSettings, QuitMarksTheRunAsEndedNormally) {
    TempDir dir;
    {
        lang::Ref<TestFrame> frame = lang::make<TestFrame>(dir.db(), 32);
        lang::Ref<RecordingCanvas> canvas = lang::make<RecordingCanvas>();
        frame->initSettings(canvas.get(), "+datafile", "Morphella");
        EXPECT_EQ(frame->getSettings()->getInt("NORMALEXIT", -7), 0);
        frame->quit();
        EXPECT_TRUE(frame->isExiting());
        EXPECT_FALSE(frame->isFullScreen());
        frame->setCanvas(nullptr);
    }
    const StartResult r = startOnce(dir, 24);
    EXPECT_TRUE(r.fullScreen);
}

TEST(StartupSettings, AResizableWindowGetsItsStoredSizeBackWhenItStillFits) {
    TempDir dir;
    auto start = [&dir](bool& maximized) {
        lang::Ref<TestFrame> frame = lang::make<TestFrame>(dir.db(), 32);
        frame->setResizable(true);
        frame->setSize(800, 600);
        lang::Ref<RecordingCanvas> canvas = lang::make<RecordingCanvas>();
        frame->initSettings(canvas.get(), "+datafile", "Morphella");
        const int32_t width = frame->getWindowWidth();
        maximized = frame->isMaximized();
        frame->quit();
        frame->setCanvas(nullptr);
        return width;
    };
    bool maximized = false;
    store(dir, "WINDOWWIDTH", 640);
    store(dir, "WINDOWHEIGHT", 480);
    store(dir, "WINDOWMAXIMIZED", 1);
    EXPECT_EQ(start(maximized), 640);
    EXPECT_TRUE(maximized);
    // quit stored what it found again.
    lang::Ref<mph::User> user = lang::make<mph::User>();
    user->openAt(dir.db());
    EXPECT_EQ(user->getInt("WINDOWHEIGHT", 0), 480);
    EXPECT_EQ(user->getInt("WINDOWMAXIMIZED", 0), 1);

    // After a killed run the size comes back, but not the maximised state.
    store(dir, "NORMALEXIT", 0);
    EXPECT_EQ(start(maximized), 640);
    EXPECT_FALSE(maximized);
    // Sizes that make no sense leave the window at its first size (without a window here: unset).
    for (const auto& [w, h] :
         {std::pair{0, 0}, std::pair{-640, 480}, std::pair{100, 75}, std::pair{99999, 480}}) {
        store(dir, "WINDOWWIDTH", w);
        store(dir, "WINDOWHEIGHT", h);
        EXPECT_EQ(start(maximized), 0) << w << "x" << h;
    }
}
