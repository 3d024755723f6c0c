// The built morphella.bin as the data tests read it: items through the framework's container, scripts
// through the data-script reader, pictures through the framework's decoders and sounds as PCM samples
// (the music decoded from Ogg Vorbis).
#pragma once

#include "DataScriptReader.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace datatest {

struct Picture {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint32_t> argb; // 0xAARRGGBB, not premultiplied, row by row

    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

struct Wave {
    // A 16-bit mono PCM WAV at 22050 Hz whose sizes agree with its length, or (from vorbis) a mono Ogg
    // Vorbis stream at 22050 Hz that decodes to its end.
    bool ok = false;
    std::vector<int16_t> samples;
    double seconds() const { return samples.size() / 22050.0; }
};

class GameData {
public:
    // The container next to the test programs (or in MPH_BIN), opened once.
    static GameData& instance();

    const std::filesystem::path& path() const { return m_path; }
    bool open() const { return m_open; }
    bool has(const std::string& name);
    std::string item(const std::string& name);

    // Every script reachable from "datafile", by item name.
    const std::map<std::string, Script>& scripts();
    const Script& script(const std::string& name) { return scripts().at(name); }
    // The definition of name in the script, or null.
    static const SpriteDef* find(const Script& script, const std::string& name);

    // The picture an image name of the script stands for (declared in <images>, else the item itself).
    Picture picture(const Script& script, const std::string& imageName);
    Picture pictureItem(const std::string& item);
    Wave wave(const std::string& item);
    Wave vorbis(const std::string& item);

private:
    GameData();
    std::filesystem::path m_path;
    bool m_open = false;
    std::map<std::string, Script> m_scripts;
    std::map<std::string, Picture> m_pictures;
};

} // namespace datatest
