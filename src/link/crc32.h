#pragma once
// CRC-32 of IEEE 802.3: reflected polynomial 0xEDB88320, register preset to
// 0xFFFFFFFF, result inverted; table-driven, one byte at a time. A length of
// 0 gives 0. Crc32("123456789") is 0xCBF43926.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavlink {

// The standard 256-entry table, held as constant data.
extern const std::array<uint32_t, 256> kCrc32Table;

uint32_t Crc32(const void* data, size_t length);

}  // namespace tavlink
