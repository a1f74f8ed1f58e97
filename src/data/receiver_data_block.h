#pragma once
// The receiver's channel data: one little-endian image of exactly 65,536
// bytes, the same in memory, on the wire and in a block file.
//
//   0      header (32)      magic "evileyes" | reserved i32 | sat_count i32 |
//                           tp_count i32 | service_count i32 |
//                           antenna_config i32 | reserved 4
//   0x20   106 satellites x 24   (last 16 bytes of the region unused)
//   0xA20  1,024 transponders x 8
//   0x2A20 1,500 services x 28   (rest of the region unused)
//   0xF000 4,096 bytes not interpreted, kept as found
//
// Records of a table are stored from index 0 upward; the header counts say
// how many are valid. Nothing in the block is checked except the magic.
// The block has no lock: one thread at a time may touch it.

#include <array>
#include <cstddef>
#include <cstdint>

#include "data/receiver_data_records.h"

namespace tavlink {

inline constexpr size_t kBlockHeaderSize = 32;
inline constexpr size_t kSatelliteTableOffset = 0x20;
inline constexpr size_t kTransponderTableOffset = 0xA20;
inline constexpr size_t kServiceTableOffset = 0x2A20;
inline constexpr size_t kUninterpretedOffset = 0xF000;
inline constexpr int kMaxSatellites = 106;
inline constexpr int kMaxTransponders = 1024;
inline constexpr int kMaxServices = 1500;
// owner_sat of a transponder that belongs to no satellite.
inline constexpr uint8_t kNoSatellite = 255;

class ReceiverDataBlock {
 public:
  static constexpr size_t kSize = 65536;

  uint8_t* bytes() { return bytes_.data(); }
  const uint8_t* bytes() const { return bytes_.data(); }

  // True when the first 8 bytes are "evileyes" (case matters).
  bool IsValid() const;

  // Header fields as stored; the counts may be anything in a received block.
  int32_t sat_count() const;
  int32_t tp_count() const;
  int32_t service_count() const;
  int32_t antenna_config() const;
  void set_antenna_config(int32_t value);

  // Writes, in this order, the magic, reserved = 0, the three counts and
  // antenna_config. Nothing else in the block changes.
  void FinishHeader(int32_t satCount, int32_t tpCount, int32_t serviceCount, int32_t antennaConfig);

  // The record at `index` of its table. REQUIRES: 0 <= index < its capacity
  // (the program stops otherwise; the header counts are not consulted).
  SatelliteRecord satellite(int index);
  ConstSatelliteRecord satellite(int index) const;
  TransponderRecord transponder(int index);
  ConstTransponderRecord transponder(int index) const;
  ServiceRecord service(int index);
  ConstServiceRecord service(int index) const;

 private:
  static size_t RecordOffset(size_t table, size_t size, int capacity, int index);

  std::array<uint8_t, kSize> bytes_{};
};

static_assert(kSatelliteTableOffset + kMaxSatellites * kSatelliteRecordSize <=
              kTransponderTableOffset);
static_assert(kTransponderTableOffset + kMaxTransponders * kTransponderRecordSize <=
              kServiceTableOffset);
static_assert(kServiceTableOffset + kMaxServices * kServiceRecordSize <= kUninterpretedOffset);
static_assert(kUninterpretedOffset + 4096 == ReceiverDataBlock::kSize);

// The process's one block, all zero at start and never cleared.
ReceiverDataBlock& GetDataBlock();

}  // namespace tavlink
