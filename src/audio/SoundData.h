// Reading the bytes of a sound from a disk file or from an item of the resource container.
#pragma once

#include "runtime/String.h"

#include <cstdint>
#include <vector>

namespace mph {

// Sound files larger than this are refused rather than read into memory.
inline constexpr uint64_t kMaxSoundBytes = 256u << 20;

// Reads the sound named name into out: "+item" names an item of the resource container, any other name a
// disk file (either slash separates directories). False, with out empty, when there is nothing to read.
bool readSoundData(const lang::String& name, std::vector<uint8_t>& out);

} // namespace mph
