// Reading the built container for the data tests.
#include "GameData.h"

#include "gfx/Image.h"
#include "io/ResourceFile.h"
#include "io/ResourceItem.h"
#include "runtime/Exception.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fs = std::filesystem;

namespace datatest {

namespace {

uint32_t le32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}

uint16_t le16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

// The one container every test reads; items are looked up in it directly.
lang::Ref<mph::ResourceFile>& container() {
    static lang::Ref<mph::ResourceFile> file;
    return file;
}

} // namespace

GameData& GameData::instance() {
    static GameData data;
    return data;
}

GameData::GameData() {
    const char* env = std::getenv("MPH_BIN");
    const fs::path bin =
        (env != nullptr && *env != '\0') ? fs::path(env) : fs::read_symlink("/proc/self/exe").parent_path();
    m_path = bin / "morphella.bin";
    if (!fs::exists(m_path)) return;
    try {
        container() = lang::make<mph::ResourceFile>(lang::String(m_path.string().c_str()));
        m_open = true;
    } catch (lang::Exception* e) {
        std::fprintf(stderr, "cannot open %s: %s\n", m_path.c_str(), e->toString().c_str());
        e->release();
    }
}

bool GameData::has(const std::string& name) {
    if (!m_open) return false;
    bool found = false;
    return container()->lookUp(lang::String(name.c_str()), found) != nullptr;
}

std::string GameData::item(const std::string& name) {
    if (!m_open) return {};
    bool found = false;
    lang::Ref<mph::ResourceItem> it = container()->lookUp(lang::String(name.c_str()), found);
    if (!it || it->getData() == nullptr) return {};
    return std::string(reinterpret_cast<const char*>(it->getData()), static_cast<size_t>(it->getLength()));
}

const std::map<std::string, Script>& GameData::scripts() {
    if (!m_scripts.empty() || !m_open) return m_scripts;
    std::vector<std::string> pending = {"datafile"};
    while (!pending.empty()) {
        const std::string name = pending.back();
        pending.pop_back();
        if (m_scripts.count(name) != 0 || !has(name)) continue;
        const Script& s = m_scripts[name] = parseScript(item(name));
        for (const SpriteDef& d : s.sprites) {
            if (d.nestedScript.size() > 1 && d.nestedScript[0] == '+')
                pending.push_back(d.nestedScript.substr(1));
        }
    }
    return m_scripts;
}

const SpriteDef* GameData::find(const Script& script, const std::string& name) {
    for (const SpriteDef& d : script.sprites) {
        if (d.name == name) return &d;
    }
    return nullptr;
}

Picture GameData::picture(const Script& script, const std::string& imageName) {
    const auto it = script.images.find(imageName);
    if (it == script.images.end()) return pictureItem(imageName);
    const std::string& source = it->second;
    return pictureItem(!source.empty() && source[0] == '+' ? source.substr(1) : source);
}

Picture GameData::pictureItem(const std::string& name) {
    const auto cached = m_pictures.find(name);
    if (cached != m_pictures.end()) return cached->second;
    Picture pic;
    const std::string bytes = item(name);
    lang::Ref<mph::Image> image = lang::make<mph::Image>();
    if (!bytes.empty() && image->decode(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) {
        pic.ok = true;
        pic.width = image->getWidth();
        pic.height = image->getHeight();
        const uint32_t* px = image->getPixels();
        pic.argb.assign(px, px + static_cast<size_t>(pic.width) * pic.height);
    }
    m_pictures[name] = pic;
    return pic;
}

Wave GameData::wave(const std::string& name) {
    Wave w;
    const std::string b = item(name);
    if (b.size() < 44 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return w;
    const bool pcm16mono = le16(b, 20) == 1 && le16(b, 22) == 1 && le32(b, 24) == 22050 && le16(b, 34) == 16;
    const bool sized =
        le32(b, 4) == b.size() - 8 && b.compare(36, 4, "data") == 0 && le32(b, 40) == b.size() - 44;
    if (!pcm16mono || !sized) return w;
    w.ok = true;
    for (size_t at = 44; at + 1 < b.size(); at += 2)
        w.samples.push_back(static_cast<int16_t>(le16(b, at)));
    return w;
}

namespace {

struct Memory {
    const std::string* bytes;
    size_t at = 0;
};

size_t readMemory(void* out, size_t size, size_t count, void* source) {
    auto* m = static_cast<Memory*>(source);
    const size_t n = std::min(size * count, m->bytes->size() - m->at);
    std::memcpy(out, m->bytes->data() + m->at, n);
    m->at += n;
    return size == 0 ? 0 : n / size;
}

} // namespace

Wave GameData::vorbis(const std::string& name) {
    Wave w;
    const std::string b = item(name);
    Memory source{&b};
    OggVorbis_File file;
    const ov_callbacks callbacks{readMemory, nullptr, nullptr, nullptr};
    if (ov_open_callbacks(&source, &file, nullptr, 0, callbacks) != 0) return w;
    const vorbis_info* info = ov_info(&file, -1);
    bool ok = info != nullptr && info->channels == 1 && info->rate == 22050;
    char block[8192];
    int section = 0;
    for (;;) {
        const long got = ov_read(&file, block, sizeof block, 0, 2, 1, &section);
        if (got == 0) break;
        if (got < 0) {
            ok = false;
            break;
        }
        const size_t at = w.samples.size();
        w.samples.resize(at + static_cast<size_t>(got) / 2);
        std::memcpy(w.samples.data() + at, block, static_cast<size_t>(got) / 2 * 2);
    }
    ov_clear(&file);
    w.ok = ok && !w.samples.empty();
    return w;
}

} // namespace datatest
