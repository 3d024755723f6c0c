// morphella's exit status: 0 after a normal exit, 1 when it could not do its job (data it cannot use, no
// data at all, a recorded game it refuses), after telling the player why.
#include "ToolShell.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

using tooltest::bin;
using tooltest::shell;

namespace {

class GameExit : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("mph-exit-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir / "game");
        // The game finds its container next to itself, so it runs from a folder of its own.
        std::filesystem::copy_file(bin() + "/morphella", m_dir / "game" / "morphella");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Runs the game under the dummy drivers with the given container (none when empty) and arguments;
    // gives its standard error and exit status.
    std::string run(const std::string& containerFile, const std::string& arguments, int& status,
                    const std::string& video = "SDL_VIDEODRIVER=dummy") {
        const std::filesystem::path data = m_dir / "game" / "morphella.bin";
        std::filesystem::remove(data);
        if (!containerFile.empty()) std::filesystem::copy_file(containerFile, data);
        const std::string env = video +
                                " SDL_AUDIODRIVER=dummy MORPHELLA_NO_LOADING_DELAY=1 "
                                "MORPHELLA_EXIT_AFTER_TICKS=25 XDG_DATA_HOME=" +
                                (m_dir / "data").string();
        return shell("cd " + (m_dir / "game").string() + " && " + env + " timeout 120 ./morphella " +
                         arguments + " 2>&1 >/dev/null",
                     status);
    }

    std::filesystem::path m_dir;
};

} // namespace

TEST_F(GameExit, ARefusedStartEndsWithStatusOneAndANormalExitWithZero) {
    int status = -1;
    std::string err = run(tooltest::container(), "", status);
    EXPECT_EQ(status, 0) << err;

    std::filesystem::create_directories(m_dir / "items");
    tooltest::EditedData data(m_dir / "items");
    const std::string missing = data.pack([](std::string& s) {
        const size_t at = s.find("\nhourglass ");
        ASSERT_NE(at, std::string::npos);
        s.erase(at + 1, s.find('\n', at + 1) - at);
    });
    err = run(missing, "", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("no sprite named \"hourglass\""), std::string::npos) << err;

    // A container without the data script.
    const std::string title = (m_dir / "title.txt").string();
    std::ofstream(title) << "Morphella";
    const std::string scriptless = (m_dir / "scriptless.bin").string();
    shell(bin() + "/morphella-tool container create " + scriptless + " IDS_GAMETITLE=" + title, status);
    err = run(scriptless, "", status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("+datafile"), std::string::npos) << err;

    err = run("", "", status);
    EXPECT_EQ(status, 1) << err;

    const std::string damaged = (m_dir / "damaged.mphr").string();
    std::ofstream(damaged) << "MPHR not a game";
    err = run(tooltest::container(), "--replay " + damaged, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("cannot be shown"), std::string::npos) << err;
}

TEST_F(GameExit, WithoutADisplayTheGameSaysSoInsteadOfRunningUnseen) {
    // SDL would fall back to a driver that draws into memory; only a machine without a display device
    // shows that, since a console with one may open a window there.
    if (std::filesystem::exists("/dev/dri")) GTEST_SKIP() << "this machine has a display device";
    int status = -1;
    const std::string err =
        run(tooltest::container(), "", status, "env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=:2147");
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("no display could be opened (DISPLAY is :2147)"), std::string::npos) << err;
    EXPECT_NE(err.find("Unable to open the game's window."), std::string::npos) << err;
}
