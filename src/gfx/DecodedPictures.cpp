// DecodedPictures: decoded pictures remembered by a hash and a full compare of their encoded bytes.
#include "gfx/DecodedPictures.h"

#include "gfx/Image.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace mph {

namespace {

struct Entry {
    std::vector<uint8_t> encoded;
    std::shared_ptr<uint32_t[]> pixels;
    int32_t width = 0;
    int32_t height = 0;
    bool alpha = false;
    bool bitmap = false;
};

struct Store {
    std::mutex mutex;
    std::unordered_multimap<uint64_t, Entry> entries;
    size_t bytes = 0;
};

std::atomic<bool> g_keeping{false};

Store& store() {
    static Store* s = new Store; // never destroyed: decoding may still run while the process ends
    return *s;
}

// FNV-1a over 64-bit words (then the tail bytes): fast enough to be nothing beside a decode.
uint64_t hashOf(const uint8_t* data, size_t length) {
    uint64_t h = 1469598103934665603ull ^ length;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        std::memcpy(&w, data + i, 8);
        h = (h ^ w) * 1099511628211ull;
    }
    for (; i < length; ++i)
        h = (h ^ data[i]) * 1099511628211ull;
    return h;
}

} // namespace

void DecodedPictures::setKeeping(bool on) {
    g_keeping.store(on);
    if (on) return;
    Store& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    s.entries.clear();
    s.bytes = 0;
}

bool DecodedPictures::keeping() {
    return g_keeping.load();
}

bool DecodedPictures::find(const uint8_t* buffer, size_t length, Image& image) {
    if (!g_keeping.load() || buffer == nullptr) return false;
    const uint64_t key = hashOf(buffer, length);
    Store& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    const auto [first, last] = s.entries.equal_range(key);
    for (auto it = first; it != last; ++it) {
        const Entry& e = it->second;
        if (e.encoded.size() != length || std::memcmp(e.encoded.data(), buffer, length) != 0) continue;
        // Shared, not copied: an image that is drawn into copies its pixels then (most never are).
        image.sharePixels(e.pixels, e.width, e.height, e.alpha, e.bitmap);
        return image.hasPixels();
    }
    return false;
}

void DecodedPictures::remember(const uint8_t* buffer, size_t length, const Image& image) {
    if (!g_keeping.load() || buffer == nullptr || !image.hasPixels()) return;
    const size_t words = static_cast<size_t>(image.getWidth()) * static_cast<size_t>(image.getHeight());
    const size_t cost = words * 4 + length;
    const uint64_t key = hashOf(buffer, length);
    Store& s = store();
    std::lock_guard<std::mutex> guard(s.mutex);
    if (s.bytes + cost > kMaxBytes) return;
    const auto [first, last] = s.entries.equal_range(key);
    for (auto it = first; it != last; ++it)
        if (it->second.encoded.size() == length && std::memcmp(it->second.encoded.data(), buffer, length) == 0)
            return; // another thread decoded it at the same time
    Entry e;
    e.encoded.assign(buffer, buffer + length);
    e.pixels = std::shared_ptr<uint32_t[]>(new uint32_t[words]);
    std::memcpy(e.pixels.get(), image.getPixels(), words * 4);
    e.width = image.getWidth();
    e.height = image.getHeight();
    e.alpha = image.getAlphaFlag();
    e.bitmap = image.hasBitmap();
    s.entries.emplace(key, std::move(e));
    s.bytes += cost;
}

} // namespace mph
