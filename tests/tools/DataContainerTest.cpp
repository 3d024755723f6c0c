// Checks the built morphella.bin: every item the program looks up is there, the scripts are valid for the
// sprite classes they name, every picture decodes with the sizes its sprite needs, every sound is a WAV the
// sound engine opens.
#include "DataScriptReader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace datatest;

namespace {

std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Outcome {
    int status;
    std::string out;
};

Outcome run(const std::string& command) {
    Outcome r{-1, {}};
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0)
        r.out.append(buf, n);
    const int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Picture {
    bool ok = false;
    uint32_t width = 0, height = 0;
};

// Decodes the whole PNG, so a truncated or corrupt item fails here rather than in the game.
Picture decodePng(const std::string& bytes) {
    Picture pic;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return pic;
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return pic;
    pic.ok = true;
    pic.width = image.width;
    pic.height = image.height;
    return pic;
}

uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

class DataContainer : public ::testing::Test {
protected:
    void SetUp() override {
        // MPH_BIN when it is set, else the directory this test program was built into, which holds both.
        const char* env = std::getenv("MPH_BIN");
        const fs::path bin = (env != nullptr && *env != '\0') ? fs::path(env)
                                                             : fs::read_symlink("/proc/self/exe").parent_path();
        m_tool = bin / "morphella-tool";
        m_container = bin / "morphella.bin";
        ASSERT_TRUE(fs::exists(m_container)) << m_container << " was not built (target morphella-data)";
        m_dir = fs::temp_directory_path() / ("mph-data-test-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        const Outcome list = run(quote(m_tool.string()) + " container list " + quote(m_container.string()));
        ASSERT_EQ(list.status, 0);
        size_t start = 0;
        while (start < list.out.size()) {
            const size_t end = list.out.find('\n', start);
            const std::string line = list.out.substr(start, end - start);
            const size_t tab = line.find('\t');
            if (tab != std::string::npos) m_items.insert(line.substr(0, tab));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(m_dir, ec);
    }

    bool has(const std::string& name) const { return m_items.count(name) != 0; }

    // The item's bytes as the tool extracts them.
    std::string item(const std::string& name) {
        const fs::path out = m_dir / "item";
        fs::remove(out);
        const Outcome r = run(quote(m_tool.string()) + " container extract " + quote(m_container.string()) +
                              " " + quote(name) + " " + quote(out.string()));
        EXPECT_EQ(r.status, 0) << "cannot extract " << name;
        return readFile(out);
    }

    // The item an image source or a sprite's image name refers to, or empty when it names a disk file.
    static std::string itemOfSource(const std::string& source) {
        if (!source.empty() && (source[0] == '+' || source[0] == '@')) return source.substr(1);
        return {};
    }

    fs::path m_tool, m_container, m_dir;
    std::set<std::string> m_items;
};

// The fewest numbers each class needs for the definition to take effect, as the classes read them.
int fewestNumbers(const SpriteDef& d) {
    static const std::map<std::string, int> fewest = {
        {"Sprite", 2},       {"AnimateSprite", 4},    {"NumberSprite", 2},   {"TextSprite", 2},
        {"ButtonSprite", 7}, {"RectButtonSprite", 4}, {"FancyContainer", 4}, {"DialogSprite", 4},
        {"WaveSprite", 2},   {"RichTTYSprite", 6},
    };
    if (d.className == "TiledSprite") return d.images.empty() ? 7 : 4;
    const auto it = fewest.find(d.className);
    return it == fewest.end() ? -1 : it->second;
}

} // namespace

TEST_F(DataContainer, HoldsEveryItemTheProgramLooksUpByName) {
    for (const char* name : {"datafile", "IDS_GAMETITLE", "logo", "smusic", "icon", "cursor"}) {
        EXPECT_TRUE(has(name)) << "missing item " << name;
    }
    // Text items are stored with one terminating zero, which the program drops when it reads them.
    const std::string title = item("IDS_GAMETITLE");
    ASSERT_FALSE(title.empty());
    EXPECT_EQ(title.back(), '\0');
    EXPECT_EQ(title.substr(0, title.size() - 1), "Morphella");
    const Outcome text =
        run(quote(m_tool.string()) + " container text " + quote(m_container.string()) + " IDS_GAMETITLE");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "Morphella\n");
    // The container stays small enough to ship with the program.
    EXPECT_LT(fs::file_size(m_container), 2u * 1024 * 1024);
}

TEST_F(DataContainer, ScriptsAreCompleteAndNameOnlyItemsThatExist) {
    std::vector<std::string> pending = {"datafile"};
    std::set<std::string> seen;
    std::set<std::string> spriteClasses;
    while (!pending.empty()) {
        const std::string scriptName = pending.back();
        pending.pop_back();
        if (!seen.insert(scriptName).second) continue;
        SCOPED_TRACE("script " + scriptName);
        ASSERT_TRUE(has(scriptName));
        const std::string text = item(scriptName);
        // Comments end only at a carriage return; a script without one would swallow its definitions.
        EXPECT_NE(text.find("\r\n"), std::string::npos);
        const Script script = parseScript(text);
        EXPECT_TRUE(script.endedAtEnd) << "the script does not reach its <end>";
        EXPECT_FALSE(script.sprites.empty());

        for (const auto& [name, source] : script.images) {
            EXPECT_TRUE(has(itemOfSource(source))) << "image " << name << " names a missing item " << source;
        }
        for (const std::string& sound : script.sounds) {
            ASSERT_GE(sound.size(), 3u) << "a sound name that short is skipped";
            EXPECT_TRUE(has(itemOfSource(sound[0] == '*' ? sound.substr(1) : sound))) << "sound " << sound;
        }
        std::set<std::string> names;
        for (const SpriteDef& d : script.sprites) {
            SCOPED_TRACE("sprite " + d.name);
            spriteClasses.insert(d.className);
            EXPECT_TRUE(names.insert(d.name).second) << "two sprites share a name";
            const int fewest = fewestNumbers(d);
            ASSERT_NE(fewest, -1) << "unknown class " << d.className;
            EXPECT_GE(static_cast<int>(d.numbers.size()), fewest);
            for (const std::string& image : d.images) {
                const auto it = script.images.find(image);
                const std::string itemName = it != script.images.end() ? itemOfSource(it->second) : image;
                EXPECT_TRUE(has(itemName)) << "image " << image << " is neither declared nor an item";
            }
            if (d.className == "ButtonSprite") {
                // A button starts disabled unless its definition gives an initial state.
                ASSERT_GE(d.numbers.size(), 8u);
                EXPECT_NE(d.numbers[7], 0);
            }
            if (!d.nestedScript.empty()) {
                // A nested name without '+' would be read from disk instead of the container.
                ASSERT_EQ(d.nestedScript[0], '+');
                pending.push_back(d.nestedScript.substr(1));
            }
        }
    }
    EXPECT_TRUE(seen.count("demodlg"));
    EXPECT_TRUE(spriteClasses.count("DialogSprite") && spriteClasses.count("ButtonSprite") &&
                spriteClasses.count("NumberSprite") && spriteClasses.count("AnimateSprite") &&
                spriteClasses.count("WaveSprite"));
}

TEST_F(DataContainer, PicturesDecodeWithTheSizesTheirSpritesNeed) {
    std::map<std::string, Picture> decoded;
    const auto picture = [&](const std::string& name) {
        auto it = decoded.find(name);
        if (it == decoded.end()) it = decoded.emplace(name, decodePng(item(name))).first;
        EXPECT_TRUE(it->second.ok) << name << " does not decode";
        return it->second;
    };
    const Picture icon = picture("icon");
    EXPECT_EQ(icon.width, 32u);
    EXPECT_EQ(icon.height, 32u);
    const Picture cursor = picture("cursor");
    EXPECT_EQ(cursor.width, 32u);
    EXPECT_EQ(cursor.height, 32u);
    const Picture logo = picture("logo");
    EXPECT_LE(logo.width, 800u);
    EXPECT_LE(logo.height, 600u);

    for (const std::string scriptName : {"datafile", "demodlg"}) {
        const Script script = parseScript(item(scriptName));
        for (const SpriteDef& d : script.sprites) {
            SCOPED_TRACE(scriptName + " sprite " + d.name);
            if (d.images.empty()) continue;
            const auto it = script.images.find(d.images[0]);
            const Picture p = picture(it != script.images.end() ? itemOfSource(it->second) : d.images[0]);
            // A grid must cut the picture into whole cells, or the cells drift as the frames advance.
            if (d.className == "AnimateSprite" || d.className == "ButtonSprite") {
                ASSERT_GE(d.numbers.size(), 4u);
                ASSERT_GT(d.numbers[2], 0);
                ASSERT_GT(d.numbers[3], 0);
                EXPECT_EQ(p.width % static_cast<uint32_t>(d.numbers[2]), 0u);
                EXPECT_EQ(p.height % static_cast<uint32_t>(d.numbers[3]), 0u);
            }
            if (d.className == "ButtonSprite") {
                const int cells = d.numbers[2] * d.numbers[3];
                for (int k = 4; k <= 6; ++k)
                    EXPECT_TRUE(d.numbers[k] == -1 || (d.numbers[k] >= 0 && d.numbers[k] < cells));
            }
            if (d.className == "NumberSprite") {
                const bool plain = d.numbers.size() >= 5 && d.numbers[4] == 1;
                EXPECT_EQ(p.width % (plain ? 10u : 15u), 0u);
            }
            if (d.name == "background") {
                EXPECT_EQ(p.width, 800u);
                EXPECT_EQ(p.height, 600u);
            }
        }
    }
}

TEST_F(DataContainer, SoundsArePcmWaveAtTheEngineRate) {
    const Script script = parseScript(item("datafile"));
    std::vector<std::string> names = {"smusic"};
    for (const std::string& s : script.sounds)
        names.push_back(itemOfSource(s[0] == '*' ? s.substr(1) : s));
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string b = item(name);
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(b.substr(0, 4), "RIFF");
        EXPECT_EQ(b.substr(8, 4), "WAVE");
        EXPECT_EQ(le32(b, 4), b.size() - 8);
        EXPECT_EQ(le16(b, 20), 1); // PCM
        EXPECT_EQ(le16(b, 22), 1); // mono
        EXPECT_EQ(le32(b, 24), 22050u);
        EXPECT_EQ(le16(b, 34), 16);
        EXPECT_EQ(b.substr(36, 4), "data");
        EXPECT_EQ(le32(b, 40), b.size() - 44);
    }
    // The music is long enough not to tire the ear when it loops.
    const std::string music = item("smusic");
    const double seconds = (music.size() - 44) / 2.0 / 22050.0;
    EXPECT_GE(seconds, 20.0);
    EXPECT_LE(seconds, 30.0);
}
