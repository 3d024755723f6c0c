// The game in each language, through the driver: the screens with words show other words than in English,
// the board and the game's course stay exactly the same, and every button works.
#include "game/ShapeCanvas.h"
#include "headless/AutoPlayer.h"
#include "headless/HeadlessGame.h"
#include "io/User.h"

#include "gfx/Image.h"
#include "io/LanguageChoice.h"
#include "io/LanguageOverlay.h"
#include "runtime/Ref.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace {

const std::vector<std::string> kLanguages = {"de", "es", "fr", "it", "nl", "pt_BR"};

struct Box {
    int32_t x, y, w, h;
};

// The screens with words, each reached from the one before by its clicks, and where its words stand.
struct Screen {
    const char* name;
    std::vector<const char*> clicks;
    Box words;
};

const std::vector<Screen> kScreens = {
    {"start", {}, {8, 8, 500, 584}},
    {"menu", {"menuButton"}, {220, 80, 360, 440}},
    {"instructions", {"menudlg/binstruct"}, {140, 60, 520, 480}},
    {"high scores", {"instdlg/bclose", "menuButton", "menudlg/bpersonal"}, {170, 85, 460, 430}},
};

std::string container() {
    const char* given = std::getenv("MPH_TEST_CONTAINER");
    return given != nullptr ? given : std::string(std::getenv("MPH_BIN")) + "/morphella.bin";
}

// One game in one language, from its start screen.
class Game {
public:
    explicit Game(const std::string& language, uint32_t seed, const std::string& store = "") {
        mph::HeadlessGame::Options options;
        options.container = container();
        options.seed = seed;
        options.language = language;
        options.store = store;
        std::string error;
        started = game.start(options, error);
        EXPECT_TRUE(started) << error;
    }
    void click(const std::string& path) {
        std::string error;
        EXPECT_TRUE(game.click(path, error)) << error;
    }
    lang::Ref<mph::Image> picture() {
        const std::string file =
            (std::filesystem::temp_directory_path() / ("mph-lang-" + std::to_string(::getpid()) + ".png"))
                .string();
        std::string error;
        EXPECT_TRUE(game.snapshot(file, error)) << error;
        auto image = lang::make<mph::Image>(lang::String(file.c_str()));
        std::filesystem::remove(file);
        return image;
    }
    mph::HeadlessGame game;
    bool started = false;
};

class Languages : public ::testing::Test {
protected:
    void TearDown() override { mph::LanguageOverlay::use(mph::LanguageChoice::kEnglish); }
};

int32_t differing(mph::Image& a, mph::Image& b, const Box& box) {
    int32_t n = 0;
    for (int32_t y = box.y; y < box.y + box.h; ++y)
        for (int32_t x = box.x; x < box.x + box.w; ++x)
            if (a.getPixels()[y * a.getWidth() + x] != b.getPixels()[y * b.getWidth() + x]) ++n;
    return n;
}

// What a run shows: the screens' pictures, and the picture and dump of a game played on from the start.
struct Shown {
    std::map<std::string, lang::Ref<mph::Image>> screens;
    lang::Ref<mph::Image> board;
    std::string dump;
};

} // namespace

TEST_F(Languages, WordsChangeWhereWordsStandAndTheGameStaysTheSame) {
    std::map<std::string, Shown> runs;
    std::vector<std::string> all = {"en"};
    all.insert(all.end(), kLanguages.begin(), kLanguages.end());
    for (const std::string& language : all) {
        Shown& run = runs[language];
        {
            Game g(language, 3);
            ASSERT_TRUE(g.started);
            ASSERT_EQ(mph::LanguageOverlay::current(), language);
            g.game.tick(20);
            for (const Screen& screen : kScreens) {
                for (const char* path : screen.clicks) {
                    g.click(path);
                    g.game.tick(40);
                }
                run.screens[screen.name] = g.picture();
            }
        }
        // A timed game started with the start screen's button: its rows as they roll by, then its state
        // after the bot played on (the banners it wins carry words, so the picture is taken before).
        Game g(language, 7);
        g.click("startdialog/bstart1");
        g.game.tick(100);
        run.board = g.picture();
        mph::AutoPlayer bot(g.game);
        for (int32_t i = 0; i < 400; ++i)
            bot.step();
        run.dump = g.game.dumpJson();
    }
    const Shown& english = runs["en"];
    const Box board{20, 20, 480, 400}, tray{20, 500, 480, 80};
    for (const std::string& language : kLanguages) {
        const Shown& run = runs[language];
        for (const Screen& screen : kScreens) {
            const Box& w = screen.words;
            const int32_t changed =
                differing(*run.screens.at(screen.name), *english.screens.at(screen.name), w);
            // A translated screen differs in a good share of its dialog, not in a stray pixel or two.
            EXPECT_GT(changed, w.w * w.h / 50) << language << " " << screen.name;
        }
        EXPECT_EQ(differing(*run.board, *english.board, board), 0) << language;
        EXPECT_EQ(differing(*run.board, *english.board, tray), 0) << language;
        EXPECT_EQ(run.dump, english.dump) << language;
    }
}

TEST_F(Languages, TheButtonStoresTheChoiceWhichIsPlayedAtTheNextStart) {
    const std::string store =
        (std::filesystem::temp_directory_path() / ("mph-lang-" + std::to_string(::getpid()) + ".db"))
            .string();
    {
        Game g("", 1, store);
        EXPECT_EQ(mph::LanguageOverlay::current(), "en");
        g.click("menuButton");
        g.game.tick(30);
        g.click("menudlg/boptions");
        g.game.tick(30);
        // English, then the translations by code: the first press picks German, the note says "next start".
        g.click("optdlg/blanguage");
        EXPECT_EQ(g.game.settings()->getString("LANGUAGE", "").str(), "de");
        std::string error;
        EXPECT_NE(g.game.spriteJson("optdlg/langnote", error).find("\"visible\":true"), std::string::npos)
            << error;
        for (size_t i = 0; i < kLanguages.size(); ++i)
            g.click("optdlg/blanguage");
        EXPECT_EQ(g.game.settings()->getString("LANGUAGE", "").str(), "en");
        g.click("optdlg/blanguage");
        g.click("optdlg/blanguage");
        EXPECT_EQ(g.game.settings()->getString("LANGUAGE", "").str(), "es");
        g.click("optdlg/bclose");
    }
    {
        Game g("", 1, store);
        EXPECT_EQ(mph::LanguageOverlay::current(), "es");
        // The start screen's button starts a game in another language too.
        g.click("startdialog/bstart1");
        for (int32_t i = 0; i < 200 && g.game.view().state != mph::ShapeCanvas::kPlaying; ++i)
            g.game.tick();
        EXPECT_EQ(g.game.view().state, mph::ShapeCanvas::kPlaying);
    }
    std::filesystem::remove(store);
}

TEST_F(Languages, AnUnknownLanguageIsRefusedAndPortugueseIsBrazilian) {
    mph::HeadlessGame game;
    mph::HeadlessGame::Options options;
    options.container = container();
    options.language = "sv";
    std::string error;
    EXPECT_FALSE(game.start(options, error));
    EXPECT_NE(error.find("no language \"sv\""), std::string::npos) << error;
    for (const char* code : {"pt", "pt_PT"}) {
        Game g(code, 1);
        EXPECT_EQ(mph::LanguageOverlay::current(), "pt_BR") << code;
    }
}
