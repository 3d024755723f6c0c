// morphella-tool script check and render on small scripts and on the game's own container.
#include <gtest/gtest.h>

#include "gfx/Image.h"
#include "runtime/String.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string bin() {
    return std::getenv("MPH_BIN") ? std::getenv("MPH_BIN") : ".";
}

// Runs a command and gives its standard output; status receives the exit status.
std::string run(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        out.append(buffer.data(), n);
    const int raw = pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

class ScriptCommands : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() / ("mph-script-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(m_dir / name, std::ios::binary) << text;
        return (m_dir / name).string();
    }
    std::filesystem::path m_dir;
};

} // namespace

TEST_F(ScriptCommands, CheckListsEverythingInItsOrder) {
    const std::string script =
        write("s.txt", "<strings> b \"two words\" 7 <data> 3 -4.5 <sounds> *music.ogg tune.mod "
                       "<sprites> named Sprite 1 2 \"\" Sprite 3 4 odd Unknown 1 <end>");
    int status = 0;
    const std::string out = run(bin() + "/morphella-tool script check " + script, status);
    EXPECT_EQ(status, 1) << "the unknown class is a problem";
    const std::string dir = m_dir.string();
    EXPECT_EQ(out, "sound 0 1 " + dir +
                       "\\music.ogg\n"
                       "sound 1 2 " +
                       dir +
                       "\\tune.mod\n"
                       "string 0 b\nstring 1 two words\nstring 2 7.\n"
                       "data 3 -4\n"
                       "sprite 0 named Sprite\nsprite 1  Sprite\n"
                       "problem s.txt:1 class \"Unknown\" is unknown: sprite \"odd\" is not made\n"
                       "end error 1 problem\n");
}

TEST_F(ScriptCommands, CheckAndRenderNameWhatTheGamePassesOver) {
    // Typos, each with its line: an unknown class, an image that is nowhere, one in a nested script.
    write("inner.txt", "<sprites>\r\nb Sprite\r\n nope 1 2\r\n");
    const std::string typos =
        write("typos.txt", "; two typos and a nested one\r\n<sprites>\r\n"
                           "a Sprit 1 2\r\nc FancyContainer:inner.txt 0 0 9 9\r\n<end>\r\n");
    int status = 0;
    std::string out = run(bin() + "/morphella-tool script check " + typos, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("problem typos.txt:3 class \"Sprit\" is unknown: sprite \"a\" is not made\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("problem inner.txt:3 no image \"nope\" for sprite \"b\""), std::string::npos) << out;
    EXPECT_NE(out.find("\nend error 2 problems\n"), std::string::npos) << out;

    // Saved with LF line ends, the first comment swallows the script; the lines still count for LF.
    const std::string unix = write("unix.txt", "<images>\n; the board\n<sprites>\nbg Sprite 0 0\n");
    out = run(bin() + "/morphella-tool script check " + unix, status);
    EXPECT_EQ(status, 1);
    EXPECT_NE(out.find("problem unix.txt:2 the comment here runs on past its line end"), std::string::npos)
        << out;
    EXPECT_NE(out.find("problem unix.txt the script creates nothing\n"), std::string::npos) << out;
    EXPECT_NE(out.find("problem hint: save the script with CR LF line ends"), std::string::npos) << out;
    const std::string png = (m_dir / "unix.png").string();
    run(bin() + "/morphella-tool render " + unix + " --out " + png, status);
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(std::filesystem::exists(png)) << "no black picture";
    // A script without comments loads the same with either line end.
    out = run(bin() + "/morphella-tool script check " + write("plain.txt", "<data>\n1 2\n"), status);
    EXPECT_EQ(status, 0) << out;
}

TEST_F(ScriptCommands, CheckReportsAFailedLoad) {
    int status = 0;
    const std::string out =
        run(bin() + "/morphella-tool script check " + (m_dir / "missing.txt").string(), status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.rfind("end error Error Opening ", 0), 0u) << out;
    run(bin() + "/morphella-tool script check", status);
    EXPECT_EQ(status, 2);
}

TEST_F(ScriptCommands, RenderComposesTheGameSceneOntoBlack) {
    const std::string container = bin() + "/morphella.bin";
    if (!std::filesystem::exists(container)) GTEST_SKIP() << "the game's container is not built";
    int status = 0;
    const std::string check =
        run(bin() + "/morphella-tool script check +datafile --container " + container, status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(check.find("sprite 0 bg Sprite\n"), std::string::npos);
    EXPECT_NE(check.find(" startdialog DialogSprite\n"), std::string::npos);
    const std::string png = (m_dir / "scene.png").string();
    run(bin() + "/morphella-tool render +datafile --container " + container + " --ticks 3 --out " + png,
        status);
    ASSERT_EQ(status, 0);
    mph::Image frame{lang::String(png.c_str())};
    ASSERT_EQ(frame.getWidth(), 800);
    ASSERT_EQ(frame.getHeight(), 600);
    // The background covers the frame: no pixel is left at the black the frame starts with.
    int black = 0;
    for (int i = 0; i < 800 * 600; i += 97)
        black += frame.getPixels()[i] == 0xFF000000u;
    EXPECT_EQ(black, 0);
    // It is the game's own opening, the picture the driver shows after as many ticks.
    const std::string played = (m_dir / "played.png").string();
    run("printf 'tick 3\\nsnapshot " + played + "\\n' | " + bin() + "/morphella-tool play --container " +
            container,
        status);
    ASSERT_EQ(status, 0);
    std::ifstream a(png, std::ios::binary), b(played, std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), {}, std::istreambuf_iterator<char>(b), {}));

    // A script with one opaque picture at (10, 20) leaves black around it.
    const std::string bare = write("bare.txt", "<sprites> s Sprite frame 10 20");
    run(bin() + "/morphella-tool render " + bare + " --container " + container + " --out " + png, status);
    ASSERT_EQ(status, 0);
    mph::Image shifted{lang::String(png.c_str())};
    EXPECT_EQ(shifted.getPixels()[0], 0xFF000000u);
    EXPECT_EQ(shifted.getPixels()[19 * 800 + 9], 0xFF000000u);
    EXPECT_NE(shifted.getPixels()[20 * 800 + 10], 0xFF000000u);
}

TEST_F(ScriptCommands, RenderInAnotherLanguageChangesOnlyTheWords) {
    const std::string container = bin() + "/morphella.bin";
    if (!std::filesystem::exists(container)) GTEST_SKIP() << "the game's container is not built";
    int status = 0;
    const std::string english = (m_dir / "en.png").string(), german = (m_dir / "de.png").string();
    run(bin() + "/morphella-tool render +datafile --container " + container + " --out " + english, status);
    ASSERT_EQ(status, 0);
    run(bin() + "/morphella-tool render +datafile --container " + container + " --language de --out " +
            german,
        status);
    ASSERT_EQ(status, 0);
    mph::Image en{lang::String(english.c_str())}, de{lang::String(german.c_str())};
    ASSERT_EQ(de.getWidth(), 800);
    // The start screen's words (its cards, x 8 to 508) differ; the side panel's time digits do not.
    int words = 0, digits = 0;
    for (int y = 8; y < 592; ++y)
        for (int x = 8; x < 508; ++x)
            words += en.getPixels()[y * 800 + x] != de.getPixels()[y * 800 + x];
    for (int y = 262; y < 310; ++y)
        for (int x = 660; x < 772; ++x)
            digits += en.getPixels()[y * 800 + x] != de.getPixels()[y * 800 + x];
    EXPECT_GT(words, 2000);
    EXPECT_EQ(digits, 0);
    run(bin() + "/morphella-tool render +datafile --container " + container + " --language xx --out " +
            german + " 2>/dev/null",
        status);
    EXPECT_NE(status, 0);
}
