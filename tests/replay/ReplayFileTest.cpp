// ReplayFile's bytes: the exact layout of a small recording, damage anywhere refused by the checksum, and
// well-checksummed files that claim the impossible refused by the reader's limits.
#include "replay/ReplayFile.h"

#include "platform/Event.h"

#include <gtest/gtest.h>

#include <zlib.h>

using mph::GameInput;
using mph::ReplayEvent;
using mph::ReplayFile;

namespace {

ReplayEvent input(int32_t kind, int32_t tick, uint32_t clock, int32_t id, int32_t x, int32_t y,
                  int32_t key = 0) {
    ReplayEvent e;
    e.input = GameInput{tick, clock, kind, id, x, y, key};
    return e;
}

ReplayEvent resume(int32_t tick) {
    ReplayEvent e;
    e.resume = true;
    e.input.tick = tick;
    return e;
}

ReplayFile small() {
    ReplayFile f;
    f.dataHash = 0x0102030405060708ull;
    f.gameVersion = "1.00";
    f.start.randomSeed = 0xAABBCCDD;
    f.start.randomDraws = 300;
    f.start.tick = 1000;
    f.start.mode = 2;
    f.start.level = 3;
    f.name = "Ann";
    f.nonce = 7;
    f.events = {input(GameInput::kMouse, 1010, 5000, mph::Event::kMouseDown, 100, 200), resume(1012),
                input(GameInput::kKey, 1012, 4990, 0, 'P', 0, 'p'),
                input(GameInput::kFocusLost, 1013, 5100, 0, 0, 0)};
    f.finalScore = 1234;
    f.finalLevel = 4;
    return f;
}

std::string withChecksum(std::string body) {
    const uint32_t crc = static_cast<uint32_t>(crc32(
        crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    for (int i = 0; i < 4; ++i)
        body.push_back(static_cast<char>(crc >> (8 * i)));
    return body;
}

std::string refusal(const std::string& bytes) {
    ReplayFile out;
    std::string error;
    return ReplayFile::decode(bytes, out, error) ? std::string("accepted") : error;
}

} // namespace

TEST(ReplayFile, ASmallRecordingHasItsExactBytesAndReadsBack) {
    const std::string bytes = small().encode();
    const std::string body("MPHR\x03\x00"                     // magic, format 3
                           "\x08\x07\x06\x05\x04\x03\x02\x01" // data hash
                           "\x04"
                           "1.00"                             // game version
                           "\xDD\xCC\xBB\xAA"                 // seed
                           "\x2C\x01\x00\x00\x00\x00\x00\x00" // 300 words drawn
                           "\xE8\x03\x00\x00"                 // tick 1000
                           "\x00\x00\x00\x00"                 // typed keys
                           "\x02\x03"                         // mode 2, level 3
                           "\x03"
                           "Ann"                              // name
                           "\x07"                             // nonce 7
                           "\x00\x00\x00\x00\x00"             // stick, pointer, the stick not used last
                           "\x04"                             // four records
                           "\x04\x14\x90\x4E\xC8\x01\x90\x03" // press: +10 ticks, clock +5000, x +100, y +200
                           "\x03\x04"                         // resume: +2 ticks
                           "\x01\x00\x13\x50\x70" // key: +0 ticks, clock -10, virtual key 'P', 'p'
                           "\x02\x02\xDC\x01"     // focus lost: +1 tick, clock +110
                           "\xD2\x04\x00\x00\x04\x00\x00\x00", // score 1234, level 4
                           79);
    EXPECT_EQ(bytes, withChecksum(body));
    // Format 2 had no gamepad, format 1 no nonce either; their files still read.
    std::string second = body;
    second[4] = 2;
    second.erase(second.find("Ann") + 4, 5);
    std::string first = second;
    first[4] = 1;
    first.erase(first.find("Ann") + 3, 1);
    for (const std::string& older : {first, second}) {
        ReplayFile old;
        std::string oldError;
        ASSERT_TRUE(ReplayFile::decode(withChecksum(older), old, oldError)) << oldError;
        EXPECT_EQ(old.nonce, older[4] == 1 ? 0 : 7);
        EXPECT_EQ(old.events.size(), 4u);
        EXPECT_EQ(old.events[3].input.kind, mph::GameInput::kFocusLost);
    }

    ReplayFile back;
    std::string error;
    ASSERT_TRUE(ReplayFile::decode(bytes, back, error)) << error;
    EXPECT_EQ(back.encode(), bytes);
    EXPECT_EQ(back.name, "Ann");
    EXPECT_EQ(back.start.level, 3);
    EXPECT_EQ(back.events[2].input.clock, 4990u);
    EXPECT_EQ(back.events[2].input.key, 'p');
    EXPECT_EQ(back.tableMode(), "S");
    EXPECT_EQ(back.inputCount(), 3);
}

TEST(ReplayFile, AnyChangedBitOrMissingByteIsRefused) {
    const std::string bytes = small().encode();
    for (size_t i = 0; i < bytes.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ (1 << bit));
            EXPECT_NE(refusal(damaged), "accepted") << "byte " << i << " bit " << bit;
        }
        EXPECT_NE(refusal(bytes.substr(0, i)), "accepted") << "cut at " << i;
    }
    EXPECT_EQ(refusal(bytes + "x"), "the recording is damaged (its checksum does not match)");
    std::string format = bytes;
    format[4] = 4;
    EXPECT_EQ(refusal(format), "the recording's format 4 is not known here (this program reads 1 to 3)");
}

TEST(ReplayFile, ImpossibleContentsAreRefusedEvenWithAGoodChecksum) {
    ReplayFile late = small();
    late.events[1].input.tick = late.start.tick + ReplayFile::kMaxTicks + 1;
    EXPECT_EQ(refusal(late.encode()), "the recording is damaged (a record outside the game's time)");

    ReplayFile early = small();
    early.events[0].input.tick = early.start.tick - 1;
    EXPECT_EQ(refusal(early.encode()), "the recording is damaged (a record outside the game's time)");

    ReplayFile wrapping = small();
    wrapping.start.tick = INT32_MAX - 5;
    wrapping.events.clear();
    EXPECT_EQ(refusal(wrapping.encode()), "the recording is damaged (impossible start)");

    // The record count claims more than the bytes can hold.
    std::string body = small().encode();
    body.resize(body.size() - 4);
    const size_t count = body.find("Ann") + 9;
    body[count] = '\x7F';
    EXPECT_EQ(refusal(withChecksum(body)), "the recording is damaged (more records than bytes)");
    // A mouse record with an event id the window never makes.
    body[count] = '\x04';
    body[count + 1] = '\x1C';
    EXPECT_EQ(refusal(withChecksum(body)), "the recording is damaged (unknown record)");

    // A stick beyond its travel, a pointer off the picture; a gamepad's button with bits no record has.
    const size_t pad = body.find("Ann") + 4;
    std::string far = body;
    far[pad + 2] = '\x7F'; // the pointer 64 sub-pixels left of the picture
    EXPECT_EQ(refusal(withChecksum(far)), "the recording is damaged (impossible start)");
    ReplayFile button = small();
    button.events[3].input.kind = mph::GameInput::kPad;
    std::string bits = button.encode();
    bits.resize(bits.size() - 4);
    bits[bits.rfind('\x06', bits.size() - 9)] = '\x46';
    EXPECT_EQ(refusal(withChecksum(bits)), "the recording is damaged (unknown record)");

    EXPECT_EQ(refusal(std::string(ReplayFile::kMaxBytes + 1, 'M')),
              "the recording is larger than " + std::to_string(ReplayFile::kMaxBytes) + " bytes");
    EXPECT_EQ(refusal("MPHS"), "not a recorded game");
}

// Hostile numbers: deltas as large as the type (their sums must not overflow), a flood of records in one
// tick, and a record count beyond any game; none may cost more than the bytes really read.
TEST(ReplayFile, HostileNumbersAreRefusedWithoutOverflowOrAllocation) {
    std::string head = small().encode();
    head.resize(head.find("Ann") + 9); // up to the gamepad's start, before the record count
    const std::string huge("\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x01", 10); // zigzag: 2^63 - 1
    const std::string tail("\xD2\x04\x00\x00\x04\x00\x00\x00", 8);
    EXPECT_EQ(refusal(withChecksum(head + "\x02" + "\x03\x02" + "\x03" + huge + tail)),
              "the recording is damaged (a record outside the game's time)");
    // A press 2^63 - 1 pixels right of one at the far right.
    EXPECT_EQ(refusal(withChecksum(head + "\x02" + std::string("\x04\x02\x02\xFE\xFF\xFF\xFF\x0F\x00", 9) +
                                   "\x04\x02\x02" + huge + std::string(1, '\0') + tail)),
              "the recording is damaged (unknown record)");

    std::string flood;
    for (int i = 0; i <= ReplayFile::kMaxRecordsPerTick; ++i)
        flood += std::string("\x03\x00", 2);
    EXPECT_EQ(refusal(withChecksum(head + "\x21" + flood + tail)),
              "the recording is damaged (more records in one tick than a game makes)");

    // More records than any game holds, with the bytes to back the claim.
    std::string count;
    for (uint64_t v = ReplayFile::kMaxRecords + 1; v != 0; v >>= 7)
        count.push_back(static_cast<char>((v & 0x7F) | (v >= 0x80 ? 0x80 : 0)));
    const std::string padding(2 * (ReplayFile::kMaxRecords + 1), '\x03');
    EXPECT_EQ(refusal(withChecksum(head + count + padding + tail)),
              "the recording is damaged (more records than a game can hold)");
}

TEST(ReplayFile, TheGameHashIgnoresOnlyTheNameAndTheNonce) {
    const ReplayFile game = small();
    ReplayFile renamed = game;
    renamed.name = "Eve";
    renamed.nonce = 99;
    EXPECT_EQ(renamed.gameHash(), game.gameHash());
    ReplayFile moved = game;
    moved.events[0].input.x += 1;
    EXPECT_NE(moved.gameHash(), game.gameHash());
}
