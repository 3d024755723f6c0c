// Crc32: the CRC-32 of zlib and PNG (polynomial 0xEDB88320), which seals a container's items.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mph {

// The CRC of n bytes at data, continued from crc (0 for a fresh start).
uint32_t crc32(const uint8_t* data, size_t n, uint32_t crc = 0);

} // namespace mph
