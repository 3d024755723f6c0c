// ReplayFile: one recorded game as it is kept on disk: where the game started, every input the canvas
// handled and every frame wait it made, how it ended, and the bytes that hold all of it.
#pragma once

#include "game/GameObserver.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mph {

// One record of the game's input stream: an input the canvas handled, or the tick after which an input
// that waited for drawn frames went on.
struct ReplayEvent {
    bool resume = false;
    GameInput input; // for a resume only input.tick counts
};

// The bytes, all numbers little-endian, "varint" an unsigned LEB128 number and "zigzag" a signed one
// mapped onto it:
//   "MPHR", u16 format version, u64 hash of the game's data, u8 length + game version text,
//   u32 generator seed, u64 words drawn before the game, i32 tick, 4 typed keys, u8 mode, varint level,
//   u8 length + player's name (empty until the name prompt is answered), varint nonce of the world-table
//   submission the game was sent with (0 until then; format 2 on), the gamepad's stick axes and pointer
//   (zigzag x, y of each, the pointer in 1/256 pixels) and a u8 saying whether the stick was used last
//   (format 3 on), varint record count, the records, i32 final score, i32 final level, u32 CRC-32 of all
//   bytes before it.
// A record starts with a tag byte: the low two bits say mouse (the event id in bits 2-4), key, focus lost
// or resume; then the tick as a zigzag difference from the previous record's; inputs add their clock as
// a zigzag difference from the previous input's; mouse records their position as zigzag differences from
// the previous mouse record's, keys the virtual key and the character as varints. From format 3 the focus
// kind's bits 2-3 tell it from a gamepad's button (bit 4 set when released; the button as a varint), its
// stick (the axes as zigzag numbers) and a finger (its mouse event id in bits 4-6; the position as a mouse
// record's).
class ReplayFile {
public:
    static constexpr uint16_t kFormatVersion = 3;
    // The oldest format still read (it has no nonce).
    static constexpr uint16_t kOldestFormat = 1;
    // Limits a reader holds every file to; a real game stays far below them.
    static constexpr size_t kMaxBytes = 4u << 20;
    static constexpr size_t kMaxNameBytes = 15;
    // Three hours of ticks at 25 a second.
    static constexpr int32_t kMaxTicks = 3 * 3600 * 25;
    // What a game can hold: the window's moves are kept one per tick, so even a player who never rests
    // the mouse makes about one record a tick; a tick holds a few records at most (a click, a key, the
    // frame it waited for). A reader allocates records as they are read, never from the count it is told.
    static constexpr int64_t kMaxRecords = 2 * static_cast<int64_t>(kMaxTicks);
    static constexpr int32_t kMaxRecordsPerTick = 32;

    uint64_t dataHash = 0;
    std::string gameVersion;
    GameStart start;
    std::string name;
    // The submission this recording was sent with; it verifies that entry only.
    int32_t nonce = 0;
    std::vector<ReplayEvent> events;
    int32_t finalScore = 0;
    int32_t finalLevel = 0;

    // The file's bytes, closed by their checksum.
    std::string encode() const;
    // Reads bytes into out; false with a message saying what is wrong (damaged, too large, unknown format).
    static bool decode(std::string_view bytes, ReplayFile& out, std::string& error);
    // Reads a file from disk through decode.
    static bool load(const std::string& path, ReplayFile& out, std::string& error);

    // Whether this program can replay the file: the same game version and the same data. False with a
    // message naming what differs.
    bool playableHere(std::string& error) const;
    // The hash of the game's data as this program has it: every item of the registered container, by name
    // and bytes, so a change to any rule, picture or script changes it. 0 without a container.
    static uint64_t currentDataHash();

    // A hash of the game itself: every byte of the recording but the player's name and the nonce (and
    // the checksum over them), so the same game sent under another name or for another entry is known.
    uint64_t gameHash() const;

    // The table a game belongs to in the score lists: "S" for the rising-rows game, "N" otherwise.
    std::string tableMode() const { return start.mode == 2 ? "S" : "N"; }
    int32_t inputCount() const;
};

} // namespace mph
