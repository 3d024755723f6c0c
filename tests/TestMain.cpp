// The main of every test program: headless defaults for SDL and the paths tests look things up in.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    // Values already in the environment win, so a developer can run a test against a real display.
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_RENDER_DRIVER", "software", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("MPH_TEST_DATA", MPH_SOURCE_DIR "/tests/data", 0);
    setenv("MPH_BIN", MPH_BIN_DIR, 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
