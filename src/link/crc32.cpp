#include "link/crc32.h"

namespace tavlink {
namespace {

constexpr std::array<uint32_t, 256> MakeCrc32Table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

}  // namespace

// Computed by the compiler: constant data, no start-up work.
constexpr std::array<uint32_t, 256> kCrc32TableData = MakeCrc32Table();
const std::array<uint32_t, 256> kCrc32Table = kCrc32TableData;

static_assert(kCrc32TableData[1] == 0x77073096u);
static_assert(kCrc32TableData[255] == 0x2D02EF8Du);

uint32_t Crc32(const void* data, size_t length) {
  if (length == 0) return 0;
  const auto* p = static_cast<const uint8_t*>(data);
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) crc = (crc >> 8) ^ kCrc32TableData[(crc ^ p[i]) & 0xFF];
  return crc ^ 0xFFFFFFFFu;
}

}  // namespace tavlink
