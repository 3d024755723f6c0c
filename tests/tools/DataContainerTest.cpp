// Checks the built morphella.bin as the framework reads it: every item the program looks up is there, the
// scripts are complete and valid for the classes they name, every picture decodes with the sizes its
// sprite needs, every sound is a WAV the sound engine opens.
#include "GameData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace datatest;

namespace {

class DataContainer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.open()) << data.path() << " was not built (target morphella-data)";
    }
    GameData& data = GameData::instance();
};

// The fewest numbers each class needs for its definition to take effect, as the classes read them.
int fewestNumbers(const SpriteDef& d) {
    static const std::map<std::string, int> fewest = {
        {"Sprite", 2},          {"AnimateSprite", 4},    {"NumberSprite", 2},   {"TextSprite", 2},
        {"ButtonSprite", 7},    {"RectButtonSprite", 4}, {"FancyContainer", 4}, {"DialogSprite", 4},
        {"WaveSprite", 2},      {"RichTTYSprite", 6},    {"SlotSprite", 2},     {"ShapeSprite", 4},
        {"MeltSprite", 2},      {"SquishSprite", 4},     {"HourGlass", 4},      {"RectSprite", 4},
        {"HighScoreSprite", 4}, {"OptionsSprite", 4},    {"InstructDialog", 4},
    };
    if (d.className == "TiledSprite") return d.images.empty() ? 7 : 4;
    const auto it = fewest.find(d.className);
    return it == fewest.end() ? -1 : it->second;
}

// The classes that cut their picture into a grid of cells.
bool usesGrid(const std::string& c) {
    return c == "AnimateSprite" || c == "ButtonSprite" || c == "ShapeSprite" || c == "SquishSprite" ||
           c == "HourGlass";
}

std::string itemOfSource(const std::string& source) {
    return !source.empty() && (source[0] == '+' || source[0] == '@') ? source.substr(1) : std::string();
}

} // namespace

TEST_F(DataContainer, HoldsEveryItemTheProgramLooksUpByName) {
    for (const char* name : {"datafile", "IDS_GAMETITLE", "logo", "smusic", "icon", "cursor", "ilevelbg1",
                             "ilevelbg2", "ilevelbg3", "ilevelbg4", "ilevelbg5", "ilevelbg6"}) {
        EXPECT_TRUE(data.has(name)) << "missing item " << name;
    }
    // Text items are stored with one terminating zero, which the program drops when it reads them.
    for (const char* name : {"IDS_GAMETITLE", "getglob", "globsubmit", "hserror", "notconnect"}) {
        const std::string text = data.item(name);
        ASSERT_GE(text.size(), 2u) << name;
        EXPECT_EQ(text.back(), '\0') << name;
        EXPECT_EQ(text.find('\0'), text.size() - 1) << name;
    }
    EXPECT_EQ(data.item("IDS_GAMETITLE"), std::string("Morphella", 10));
    // The tool reads texts the same way.
    const char* bin = std::getenv("MPH_BIN");
    const std::string command = std::string(bin ? bin : ".") + "/morphella-tool container text '" +
                                data.path().string() + "' IDS_GAMETITLE 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::array<char, 64> out{};
    const size_t n = fread(out.data(), 1, out.size(), pipe);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(std::string(out.data(), n), "Morphella\n");
    // The container stays small enough to ship with the program.
    EXPECT_LT(fs::file_size(data.path()), 16u * 1024 * 1024);
}

TEST_F(DataContainer, ScriptsAreCompleteAndNameOnlyItemsThatExist) {
    const auto& scripts = data.scripts();
    ASSERT_TRUE(scripts.count("datafile"));
    for (const auto& [scriptName, script] : scripts) {
        SCOPED_TRACE("script " + scriptName);
        const std::string text = data.item(scriptName);
        // Comments end only at a carriage return; a script without one would swallow its definitions.
        EXPECT_NE(text.find("\r\n"), std::string::npos);
        EXPECT_TRUE(script.endedAtEnd) << "the script does not reach its <end>";
        EXPECT_FALSE(script.sprites.empty());
        for (const auto& [name, source] : script.images)
            EXPECT_TRUE(data.has(itemOfSource(source)))
                << "image " << name << " names a missing item " << source;
        for (const std::string& sound : script.sounds) {
            ASSERT_GE(sound.size(), 3u) << "a sound name that short is skipped";
            EXPECT_TRUE(data.has(itemOfSource(sound[0] == '*' ? sound.substr(1) : sound)))
                << "sound " << sound;
        }
        std::set<std::string> names;
        for (const SpriteDef& d : script.sprites) {
            SCOPED_TRACE("sprite " + d.name);
            EXPECT_TRUE(names.insert(d.name).second) << "two sprites share a name";
            const int fewest = fewestNumbers(d);
            ASSERT_NE(fewest, -1) << "unknown class " << d.className;
            EXPECT_GE(static_cast<int>(d.numbers.size()), fewest);
            for (const std::string& image : d.images) {
                // A leading '+' would make the loader look for the item "++name".
                EXPECT_NE(image[0], '+') << "image names in definitions are names, not item specs";
                const auto it = script.images.find(image);
                const std::string itemName = it != script.images.end() ? itemOfSource(it->second) : image;
                EXPECT_TRUE(data.has(itemName)) << "image " << image << " is neither declared nor an item";
            }
            // A button starts disabled unless its definition gives an initial state.
            if (d.className == "ButtonSprite") {
                EXPECT_GE(d.numbers.size(), 8u);
            }
            if (!d.nestedScript.empty()) {
                // A nested name without '+' would be read from disk instead of the container.
                ASSERT_EQ(d.nestedScript[0], '+');
                EXPECT_TRUE(scripts.count(d.nestedScript.substr(1))) << d.nestedScript;
            }
        }
    }
}

TEST_F(DataContainer, PicturesDecodeWithTheSizesTheirSpritesNeed) {
    for (const char* name : {"icon", "cursor"}) {
        const Picture p = data.pictureItem(name);
        ASSERT_TRUE(p.ok) << name;
        EXPECT_EQ(p.width, 32);
        EXPECT_EQ(p.height, 32);
    }
    const Picture logo = data.pictureItem("logo");
    ASSERT_TRUE(logo.ok);
    EXPECT_LE(logo.width, 800);
    EXPECT_LE(logo.height, 600);

    for (const auto& [scriptName, script] : data.scripts()) {
        for (const SpriteDef& d : script.sprites) {
            SCOPED_TRACE(scriptName + " sprite " + d.name);
            for (const std::string& image : d.images)
                EXPECT_TRUE(data.picture(script, image).ok) << image;
            if (d.images.empty()) continue;
            const Picture p = data.picture(script, d.images[0]);
            // A grid must cut the picture into whole cells, or the cells drift as the frames advance.
            if (usesGrid(d.className)) {
                ASSERT_GE(d.numbers.size(), 4u);
                ASSERT_GT(d.numbers[2], 0);
                ASSERT_GT(d.numbers[3], 0);
                EXPECT_EQ(p.width % d.numbers[2], 0);
                EXPECT_EQ(p.height % d.numbers[3], 0);
                if (d.numbers.size() >= 5) {
                    EXPECT_LT(d.numbers[4], d.numbers[2] * d.numbers[3]);
                }
            }
            if (d.className == "ButtonSprite") {
                const int cells = d.numbers[2] * d.numbers[3];
                for (int k = 4; k <= 6; ++k)
                    EXPECT_TRUE(d.numbers[k] == -1 || (d.numbers[k] >= 0 && d.numbers[k] < cells));
            }
            if (d.className == "NumberSprite") {
                const bool plain = d.numbers.size() >= 5 && d.numbers[4] == 1;
                EXPECT_EQ(p.width % (plain ? 10 : 15), 0);
            }
        }
    }
    const Picture bg =
        data.picture(data.script("datafile"), GameData::find(data.script("datafile"), "bg")->images[0]);
    EXPECT_EQ(bg.width, 800);
    EXPECT_EQ(bg.height, 600);
}

TEST_F(DataContainer, SoundsArePcmWaveAtTheEngineRate) {
    std::vector<std::string> names;
    for (const std::string& s : data.script("datafile").sounds)
        names.push_back(itemOfSource(s[0] == '*' ? s.substr(1) : s));
    for (const std::string& name : names) {
        const Wave w = data.wave(name);
        EXPECT_TRUE(w.ok) << name << " is not 16-bit mono PCM at 22050 Hz with consistent sizes";
        EXPECT_GT(w.samples.size(), 0u) << name;
    }
}
