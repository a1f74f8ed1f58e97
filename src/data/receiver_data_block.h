#pragma once
// The receiver's channel data: one little-endian image of exactly 65,536
// bytes, the same in memory, on the wire and in a block file.
//
//   0      header (32)      magic "evileyes", reserved, sat_count, tp_count,
//                           service_count, antenna_config, reserved
//   0x20   106 satellites x 24   (last 16 bytes of the region unused)
//   0xA20  1,024 transponders x 8
//   0x2A20 1,500 services x 28   (rest of the region unused)
//   0xF000 4,096 bytes not interpreted, kept as found

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavlink {

class ReceiverDataBlock {
 public:
  static constexpr size_t kSize = 65536;

  uint8_t* bytes() { return bytes_.data(); }
  const uint8_t* bytes() const { return bytes_.data(); }

  // True when the first 8 bytes are "evileyes" (case matters).
  bool IsValid() const;

 private:
  std::array<uint8_t, kSize> bytes_{};
};

// The process's one block, all zero at start and never cleared.
ReceiverDataBlock& GetDataBlock();

}  // namespace tavlink
