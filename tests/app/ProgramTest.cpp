// The game program's command line: --container plays a modded container, and a container that is
// nowhere is reported with every place searched, one a line.
#include "TempDir.h"

#include "gfx/Image.h"
#include "gfx/PngWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

std::string bin() {
    return std::getenv("MPH_BIN");
}

struct Outcome {
    int status = -1;
    std::string errors;
};

// Runs a shell command headless and collects its standard error.
Outcome run(const std::string& command) {
    Outcome r;
    FILE* pipe =
        popen(("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + command + " 2>&1 >/dev/null").c_str(), "r");
    char buffer[1024];
    size_t n;
    while (pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.errors.append(buffer, n);
    const int raw = pipe != nullptr ? pclose(pipe) : -1;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

} // namespace

TEST(Program, AMissingContainerListsEveryPlaceSearched) {
    TempDir dir;
    // The places as the program sees them: its own folder without links, the current folder.
    const std::filesystem::path program = std::filesystem::canonical(bin());
    const std::string here = std::filesystem::canonical(dir.path()).string();
    const Outcome r = run("cd " + here + " && " + bin() + "/morphella --container nosuch.bin");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errors, "Error: The game's data file nosuch.bin cannot be opened. It was looked for here:\n" +
                            program.string() + "/nosuch.bin\n" + here + "/nosuch.bin\n" +
                            program.parent_path().string() +
                            "/share/morphella/nosuch.bin\n/usr/share/morphella/nosuch.bin\n"
                            "/usr/local/share/morphella/nosuch.bin\n");
}

TEST(Program, AModdedContainerIsPlayedInsteadOfTheGamesOwn) {
    TempDir dir;
    // The mod paints the frame around the board a flat red.
    mph::Image red(800, 600, 1, false);
    for (int32_t i = 0; i < 800 * 600; ++i)
        red.getPixels()[i] = 0xFFFF0000u;
    ASSERT_TRUE(mph::PngWriter::writeFile(red, (dir.path() + "/red.png").c_str()));
    const std::string mod = dir.path() + "/mod.bin";
    ASSERT_EQ(run("cp " + bin() + "/morphella.bin " + mod + " && " + bin() +
                  "/morphella-tool container put " + mod + " boardmask=" + dir.path() + "/red.png")
                  .status,
              0);
    const std::string shot = dir.path() + "/shot.png";
    const std::string env = "XDG_DATA_HOME=" + dir.path() +
                            " MORPHELLA_NO_LOADING_DELAY=1 MORPHELLA_EXIT_AFTER_TICKS=25 " +
                            "MORPHELLA_SNAPSHOT=" + shot + " ";
    const Outcome r = run(env + bin() + "/morphella --container " + mod);
    ASSERT_EQ(r.status, 0) << r.errors;
    mph::Image seen{lang::String(shot.c_str())};
    ASSERT_EQ(seen.getWidth(), 800);
    EXPECT_EQ(seen.getPixels()[300 * 800 + 796], 0xFFFF0000u) << "right of the side panel";
}
