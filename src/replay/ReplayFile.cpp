// ReplayFile: writing and reading the recorded game's bytes, and the hash of the game's data.
#include "replay/ReplayFile.h"

#include "io/ResourceFile.h"
#include "io/Resources.h"
#include "platform/Event.h"
#include "scores/GameVersion.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <mutex>

namespace mph {

namespace {

constexpr char kMagic[4] = {'M', 'P', 'H', 'R'};
constexpr int kKindMouse = 0, kKindKey = 1, kKindFocus = 2, kKindResume = 3;
// A key record's tag also says whether the key was released and whether Shift was held; a press without
// Shift is the bare kind, as in recordings made before keys could be released.
constexpr uint32_t kKeyReleased = 4, kKeyShifted = 8;
// The mode byte's top bit: the keyboard's rings showed as the game began.
constexpr uint32_t kFocusShown = 0x80;
// The focus kind's sub-kinds (format 3 on), in tag bits 2-3, and what their tags carry besides.
constexpr uint32_t kSubFocusLost = 0, kSubPad = 1, kSubStick = 2, kSubTouch = 3;
constexpr uint32_t kPadReleased = 16;
constexpr uint16_t kFirstPadFormat = 3;

uint32_t checksum(std::string_view bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes lengths as uInt; a recording is far below that.
    crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size()));
    return static_cast<uint32_t>(crc);
}

class Writer {
public:
    void bytes(const void* data, size_t n) { m_out.append(static_cast<const char*>(data), n); }
    void u8(uint32_t v) { m_out.push_back(static_cast<char>(v & 0xFF)); }
    void fixed(uint64_t v, int n) {
        for (int i = 0; i < n; ++i)
            u8(static_cast<uint32_t>(v >> (8 * i)));
    }
    void varint(uint64_t v) {
        while (v >= 0x80) {
            u8(static_cast<uint32_t>(v | 0x80));
            v >>= 7;
        }
        u8(static_cast<uint32_t>(v));
    }
    void zigzag(int64_t v) { varint((static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63)); }
    void text(const std::string& s) {
        u8(static_cast<uint32_t>(s.size()));
        bytes(s.data(), s.size());
    }
    std::string& out() { return m_out; }

private:
    std::string m_out;
};

// Every read checks the bounds; the first failure sticks and later reads give zeros.
class Reader {
public:
    explicit Reader(std::string_view in) : m_in(in) {}
    bool ok() const { return m_ok; }
    size_t left() const { return m_in.size() - m_at; }
    uint32_t u8() {
        if (!m_ok || m_at >= m_in.size()) return fail();
        return static_cast<uint8_t>(m_in[m_at++]);
    }
    uint64_t fixed(int n) {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v |= static_cast<uint64_t>(u8()) << (8 * i);
        return v;
    }
    uint64_t varint() {
        uint64_t v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const uint32_t b = u8();
            v |= static_cast<uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) return v;
        }
        return fail();
    }
    int64_t zigzag() {
        const uint64_t v = varint();
        return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
    }
    std::string text(size_t limit) {
        const size_t n = u8();
        if (n > limit || n > left()) return fail(), std::string();
        std::string s(m_in.substr(m_at, n));
        m_at += n;
        return s;
    }

private:
    uint32_t fail() {
        m_ok = false;
        return 0;
    }
    std::string_view m_in;
    size_t m_at = 0;
    bool m_ok = true;
};

bool fitsInt32(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

// sum + delta, false when the sum would leave int64 (a hostile delta may be as large as the type).
bool addChecked(int64_t& sum, int64_t delta) {
    return !__builtin_add_overflow(sum, delta, &sum);
}

} // namespace

int32_t ReplayFile::inputCount() const {
    int32_t n = 0;
    for (const ReplayEvent& e : events)
        n += e.resume ? 0 : 1;
    return n;
}

std::string ReplayFile::encode() const {
    Writer w;
    w.bytes(kMagic, 4);
    w.fixed(kFormatVersion, 2);
    w.fixed(dataHash, 8);
    w.text(gameVersion.substr(0, kMaxNameBytes));
    w.fixed(start.randomSeed, 4);
    w.fixed(start.randomDraws, 8);
    w.fixed(static_cast<uint32_t>(start.tick), 4);
    w.bytes(start.typedKeys, 4);
    w.u8(static_cast<uint32_t>(start.mode) | (start.focusShown ? kFocusShown : 0));
    w.varint(static_cast<uint32_t>(start.level));
    w.text(name.substr(0, kMaxNameBytes));
    w.varint(static_cast<uint32_t>(nonce));
    w.zigzag(start.stickX);
    w.zigzag(start.stickY);
    w.zigzag(start.pointerX);
    w.zigzag(start.pointerY);
    w.u8(start.pointerLast ? 1 : 0);
    w.varint(events.size());
    int64_t tick = start.tick, x = 0, y = 0;
    uint32_t clock = 0;
    for (const ReplayEvent& e : events) {
        const GameInput& in = e.input;
        const bool focusKind = in.kind == GameInput::kFocusLost || in.kind == GameInput::kPad ||
                               in.kind == GameInput::kStick || in.kind == GameInput::kTouch;
        const int kind = e.resume                     ? kKindResume
                         : in.kind == GameInput::kKey ? kKindKey
                         : focusKind                  ? kKindFocus
                                                      : kKindMouse;
        const uint32_t sub = in.kind == GameInput::kPad     ? kSubPad
                             : in.kind == GameInput::kStick ? kSubStick
                             : in.kind == GameInput::kTouch ? kSubTouch
                                                            : kSubFocusLost;
        uint32_t tag = static_cast<uint32_t>(kind);
        if (kind == kKindMouse) tag |= static_cast<uint32_t>(in.id & 7) << 2;
        if (kind == kKindFocus && !e.resume) {
            tag |= sub << 2;
            if (sub == kSubPad && in.id == Event::kPadUp) tag |= kPadReleased;
            if (sub == kSubTouch) tag |= static_cast<uint32_t>(in.id & 7) << 4;
        }
        if (kind == kKindKey) {
            if (in.id == Event::kKeyUp) tag |= kKeyReleased;
            if ((in.y & Event::kShiftMask) != 0) tag |= kKeyShifted;
        }
        w.u8(tag);
        w.zigzag(in.tick - tick);
        tick = in.tick;
        if (kind == kKindResume) continue;
        w.zigzag(static_cast<int32_t>(in.clock - clock));
        clock = in.clock;
        if (kind == kKindMouse || (kind == kKindFocus && sub == kSubTouch)) {
            w.zigzag(in.x - x);
            w.zigzag(in.y - y);
            x = in.x;
            y = in.y;
        } else if (kind == kKindFocus && sub == kSubPad) {
            w.varint(static_cast<uint32_t>(in.x));
        } else if (kind == kKindFocus && sub == kSubStick) {
            w.zigzag(in.x);
            w.zigzag(in.y);
        } else if (kind == kKindKey) {
            w.varint(static_cast<uint32_t>(in.x));
            w.varint(static_cast<uint32_t>(in.key));
        }
    }
    w.fixed(static_cast<uint32_t>(finalScore), 4);
    w.fixed(static_cast<uint32_t>(finalLevel), 4);
    w.fixed(checksum(w.out()), 4);
    return std::move(w.out());
}

bool ReplayFile::decode(std::string_view bytes, ReplayFile& out, std::string& error) {
    out = ReplayFile();
    if (bytes.size() > kMaxBytes) {
        error = "the recording is larger than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kMagic, 4) != 0) {
        error = "not a recorded game";
        return false;
    }
    Reader r(bytes);
    r.fixed(4);
    const uint32_t version = static_cast<uint32_t>(r.fixed(2));
    if (version < kOldestFormat || version > kFormatVersion) {
        error = "the recording's format " + std::to_string(version) +
                " is not known here (this program reads " + std::to_string(kOldestFormat) + " to " +
                std::to_string(kFormatVersion) + ")";
        return false;
    }
    if (bytes.size() < 4 + 2 + 4) {
        error = "the recording is damaged (cut short)";
        return false;
    }
    const std::string_view body = bytes.substr(0, bytes.size() - 4);
    Reader tail(bytes.substr(bytes.size() - 4));
    if (checksum(body) != static_cast<uint32_t>(tail.fixed(4))) {
        error = "the recording is damaged (its checksum does not match)";
        return false;
    }
    r = Reader(body);
    r.fixed(6);
    out.dataHash = r.fixed(8);
    out.gameVersion = r.text(kMaxNameBytes);
    out.start.randomSeed = static_cast<uint32_t>(r.fixed(4));
    out.start.randomDraws = r.fixed(8);
    out.start.tick = static_cast<int32_t>(r.fixed(4));
    for (char& c : out.start.typedKeys)
        c = static_cast<char>(r.u8());
    const uint32_t mode = r.u8();
    out.start.mode = static_cast<int32_t>(mode & ~kFocusShown);
    out.start.focusShown = (mode & kFocusShown) != 0;
    const uint64_t level = r.varint();
    out.name = r.text(kMaxNameBytes);
    const uint64_t nonce = version >= 2 ? r.varint() : 0;
    int64_t pad[4] = {0, 0, 0, 0};
    uint32_t pointerLast = 0;
    if (version >= kFirstPadFormat) {
        for (int64_t& v : pad)
            v = r.zigzag();
        pointerLast = r.u8();
    }
    const uint64_t count = r.varint();
    auto bad = [&error](const std::string& what) {
        error = "the recording is damaged (" + what + ")";
        return false;
    };
    if (!r.ok()) return bad("cut short");
    if (out.start.tick < 0 || out.start.tick > INT32_MAX - kMaxTicks ||
        (out.start.mode != 0 && out.start.mode != 2) || level < 1 || level > 1000 || nonce > INT32_MAX)
        return bad("impossible start");
    constexpr int64_t kAxis = 32768, kPointerMax = 800 * 256;
    auto axis = [](int64_t v) { return v >= -kAxis && v <= kAxis; };
    if (!axis(pad[0]) || !axis(pad[1]) || pad[2] < 0 || pad[2] > kPointerMax || pad[3] < 0 ||
        pad[3] > kPointerMax || pointerLast > 1)
        return bad("impossible start");
    out.start.stickX = static_cast<int32_t>(pad[0]);
    out.start.stickY = static_cast<int32_t>(pad[1]);
    out.start.pointerX = static_cast<int32_t>(pad[2]);
    out.start.pointerY = static_cast<int32_t>(pad[3]);
    out.start.pointerLast = pointerLast != 0;
    out.start.level = static_cast<int32_t>(level);
    out.nonce = static_cast<int32_t>(nonce);
    // Every record takes at least two bytes, which bounds what the count may claim.
    if (count > r.left() / 2) return bad("more records than bytes");
    if (count > static_cast<uint64_t>(kMaxRecords)) return bad("more records than a game can hold");
    // The vector grows with what is really read: a count is only a claim.
    constexpr uint64_t kFirstReserve = 4096;
    out.events.reserve(std::min<uint64_t>(count, kFirstReserve));
    const int64_t lastTick = static_cast<int64_t>(out.start.tick) + kMaxTicks;
    int64_t tick = out.start.tick, x = 0, y = 0;
    uint32_t clock = 0;
    int32_t sameTick = 0;
    for (uint64_t i = 0; i < count && r.ok(); ++i) {
        ReplayEvent e;
        const uint32_t tag = r.u8();
        const int kind = static_cast<int>(tag & 3);
        const int64_t previousTick = tick;
        if (!addChecked(tick, r.zigzag()) || tick < out.start.tick || tick > lastTick)
            return bad("a record outside the game's time");
        sameTick = tick == previousTick && i > 0 ? sameTick + 1 : 1;
        if (sameTick > kMaxRecordsPerTick) return bad("more records in one tick than a game makes");
        e.input.tick = static_cast<int32_t>(tick);
        if (kind == kKindResume) {
            if (tag != kKindResume) return bad("unknown record");
            e.resume = true;
        } else {
            clock += static_cast<uint32_t>(r.zigzag());
            e.input.clock = clock;
            if (kind == kKindMouse) {
                e.input.kind = GameInput::kMouse;
                e.input.id = static_cast<int32_t>(tag >> 2);
                const bool moved = addChecked(x, r.zigzag()) && addChecked(y, r.zigzag());
                if (!moved || e.input.id < 1 || e.input.id > 4 || !fitsInt32(x) || !fitsInt32(y))
                    return bad("unknown record");
                e.input.x = static_cast<int32_t>(x);
                e.input.y = static_cast<int32_t>(y);
            } else if (kind == kKindKey) {
                if ((tag & ~(kKeyReleased | kKeyShifted)) != static_cast<uint32_t>(kind))
                    return bad("unknown record");
                e.input.kind = GameInput::kKey;
                e.input.id = (tag & kKeyReleased) != 0 ? Event::kKeyUp : Event::kKeyDown;
                e.input.y = (tag & kKeyShifted) != 0 ? Event::kShiftMask : 0;
                const uint64_t virtualKey = r.varint();
                const uint64_t key = r.varint();
                if (virtualKey > 0xFFFF || key > 0xFFFF) return bad("unknown key");
                e.input.x = static_cast<int32_t>(virtualKey);
                e.input.key = static_cast<int32_t>(key);
            } else if (version < kFirstPadFormat || ((tag >> 2) & 3) == kSubFocusLost) {
                if (tag != static_cast<uint32_t>(kind)) return bad("unknown record");
                e.input.kind = GameInput::kFocusLost;
            } else if (((tag >> 2) & 3) == kSubPad) {
                if ((tag & ~(kPadReleased | 0xF)) != 0) return bad("unknown record");
                const uint64_t button = r.varint();
                if (button > 0xFF) return bad("unknown button");
                e.input.kind = GameInput::kPad;
                e.input.id = (tag & kPadReleased) != 0 ? Event::kPadUp : Event::kPadDown;
                e.input.x = static_cast<int32_t>(button);
            } else if (((tag >> 2) & 3) == kSubStick) {
                if ((tag >> 4) != 0) return bad("unknown record");
                const int64_t sx = r.zigzag();
                const int64_t sy = r.zigzag();
                if (sx < -32768 || sx > 32768 || sy < -32768 || sy > 32768) return bad("unknown record");
                e.input.kind = GameInput::kStick;
                e.input.x = static_cast<int32_t>(sx);
                e.input.y = static_cast<int32_t>(sy);
            } else {
                e.input.kind = GameInput::kTouch;
                e.input.id = static_cast<int32_t>(tag >> 4);
                const bool moved = addChecked(x, r.zigzag()) && addChecked(y, r.zigzag());
                if (!moved || e.input.id < 1 || e.input.id > 4 || !fitsInt32(x) || !fitsInt32(y))
                    return bad("unknown record");
                e.input.x = static_cast<int32_t>(x);
                e.input.y = static_cast<int32_t>(y);
            }
        }
        out.events.push_back(e);
    }
    out.finalScore = static_cast<int32_t>(r.fixed(4));
    out.finalLevel = static_cast<int32_t>(r.fixed(4));
    if (!r.ok()) return bad("cut short");
    if (r.left() != 0) return bad("bytes after the end");
    return true;
}

uint64_t ReplayFile::gameHash() const {
    ReplayFile game = *this;
    game.name.clear();
    game.nonce = 0;
    std::string bytes = game.encode();
    bytes.resize(bytes.size() - 4);
    // 64-bit FNV-1a.
    uint64_t h = 0xcbf29ce484222325ull;
    for (const char c : bytes)
        h = (h ^ static_cast<uint8_t>(c)) * 0x100000001b3ull;
    return h;
}

bool ReplayFile::load(const std::string& path, ReplayFile& out, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::string bytes;
    char chunk[65536];
    while (in.read(chunk, sizeof(chunk)) || in.gcount() > 0) {
        bytes.append(chunk, static_cast<size_t>(in.gcount()));
        if (bytes.size() > kMaxBytes) break;
    }
    return decode(bytes, out, error);
}

bool ReplayFile::playableHere(std::string& error) const {
    if (gameVersion != kGameVersion) {
        error = "the recording was made by version " + gameVersion + " of the game; this is version " +
                kGameVersion;
        return false;
    }
    if (dataHash != currentDataHash()) {
        error = "the recording was made with other game data than this program's container";
        return false;
    }
    return true;
}

uint64_t ReplayFile::currentDataHash() {
    static std::mutex mutex;
    // The container hashed last stays referenced, so a later one cannot take its address.
    static auto* hashed = new lang::Ref<ResourceFile>();
    static uint64_t hash = 0;
    // The game's own container: a translation in front of it changes words, not the game.
    lang::Ref<ResourceFile> chain = baseResourceFile();
    std::lock_guard<std::mutex> guard(mutex);
    if (!chain || chain->getHeader() == nullptr) return 0;
    if (chain.get() == hashed->get()) return hash;
    // 64-bit FNV-1a over every item's name, length and bytes, in directory order.
    uint64_t h = 0xcbf29ce484222325ull;
    auto mix = [&h](const uint8_t* p, size_t n) {
        for (size_t i = 0; i < n; ++i)
            h = (h ^ p[i]) * 0x100000001b3ull;
    };
    ResourceFileHeader* header = chain->getHeader();
    for (const ResourceFileHeader::Entry& entry : header->entries()) {
        const std::string_view name = entry.name.view();
        mix(reinterpret_cast<const uint8_t*>(name.data()), name.size());
        lang::Ref<FileItem> item = header->getItem(entry.name);
        const uint32_t length = item ? static_cast<uint32_t>(item->getLength()) : 0;
        const uint8_t size[4] = {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                                 static_cast<uint8_t>(length >> 16), static_cast<uint8_t>(length >> 24)};
        mix(size, 4);
        if (item && item->getData() != nullptr) mix(item->getData(), length);
    }
    *hashed = chain;
    hash = h;
    return hash;
}

} // namespace mph
