#pragma once
// A small receiver data block written byte by byte: three satellites, four
// transponders (not grouped by satellite) and three services, with reserved
// bytes, kept bits and bytes after names' zero bytes set in the records, the
// header's reserved fields set, garbage in unused slots and a pattern in the
// last 4,096 bytes.

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "data/receiver_data_block.h"

namespace tavlink::channels::testing {

using SatelliteBytes = std::array<uint8_t, 24>;
using TransponderBytes = std::array<uint8_t, 8>;
using ServiceBytes = std::array<uint8_t, 28>;

// lnb_low lnb_high position rsv | sat_flags | name[10] | rsv
// "ASTRA" 9750 10600 19.2 east, universal, DiSEqC a; kept bits 0xABC00000;
// the name field still holds "234" of an older, longer name.
inline constexpr SatelliteBytes kAstra = {0x16, 0x26, 0x68, 0x29, 0xC0, 0x00, 0x5A, 0x5B,
                                          0x03, 0x00, 0xC0, 0xAB, 'A',  'S',  'T',  'R',
                                          'A',  0x00, '2',  '3',  '4',  0x00, 0x5C, 0x5D};
// "HOTBIRD" 9750 10600 13.0 east, normal, 22KHz 22; kept bit 10.
inline constexpr SatelliteBytes kHotbird = {0x16, 0x26, 0x68, 0x29, 0x82, 0x00, 0x00, 0x00,
                                            0x30, 0x04, 0x00, 0x00, 'H',  'O',  'T',  'B',
                                            'I',  'R',  'D',  0x00, 0x00, 0x00, 0x00, 0x00};
// "THOR" 10000 10750 0.8 west, normal, all none; kept bits 10-31 all set.
inline constexpr SatelliteBytes kThor = {0x10, 0x27, 0xFE, 0x29, 0x08, 0x80, 0x01, 0x02,
                                         0x00, 0xFC, 0xFF, 0xFF, 'T',  'H',  'O',  'R',
                                         0x00, 'X',  0x00, 0x00, 0x00, 0x00, 0x03, 0x04};

// frequency symbolrate tp_flags owner_sat rsv
// 11953 27500 hor 3/4 of ASTRA; kept bit 15.
inline constexpr TransponderBytes kTp11953 = {0xB1, 0x2E, 0x6C, 0x6B, 0x31, 0x80, 0x00, 0x70};
// 12111 27500 ver 22 KHz of HOTBIRD.
inline constexpr TransponderBytes kTp12111 = {0x4F, 0x2F, 0x6C, 0x6B, 0x02, 0x00, 0x01, 0x71};
// 12663 22000 hor 18 V 2/3 of ASTRA; kept bits 7 and 8.
inline constexpr TransponderBytes kTp12663 = {0x77, 0x31, 0xF0, 0x55, 0xA5, 0x01, 0x00, 0x72};
// 10872 25000 ver of THOR.
inline constexpr TransponderBytes kTp10872 = {0x78, 0x2A, 0xA8, 0x61, 0x00, 0x00, 0x02, 0x73};

// service_id video audio pcr | tp_word | txt | service_flags | name[14]
// "ZDF" 28006 on 11953 (entry 0), favorite; kept bit 8; "old" after the name.
inline constexpr ServiceBytes kZdf = {0x66, 0x6D, 0x6E, 0x00, 0x78, 0x00, 0x6E, 0x00, 0x00, 0x00,
                                      0x82, 0x00, 0x02, 0x01, 'Z',  'D',  'F',  0x00, 'o',  'l',
                                      'd',  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
// "ARD" radio 28106 on 12663 (entry 2), lock; kept bits 12-15.
inline constexpr ServiceBytes kArd = {0xCA, 0x6D, 0x00, 0x00, 0x06, 0x04, 0x00, 0x00, 0x02, 0x80,
                                      0x00, 0x00, 0x04, 0xF0, 'A',  'R',  'D',  0x00, 0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
// "NRK1" 1 on 10872 (entry 3), scramble; 0xFF in the name's last byte.
inline constexpr ServiceBytes kNrk = {0x01, 0x00, 0x00, 0x02, 0x01, 0x02, 0x00, 0x02, 0x03, 0x00,
                                      0x40, 0x02, 0x01, 0x00, 'N',  'R',  'K',  '1',  0x00, 0x00,
                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF};

template <size_t N>
void Put(ReceiverDataBlock& block, size_t offset, const std::array<uint8_t, N>& bytes) {
  std::memcpy(block.bytes() + offset, bytes.data(), N);
}
inline void Put32(ReceiverDataBlock& block, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) block.bytes()[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

inline constexpr size_t SatelliteAt(int i) {
  return 0x20 + 24 * static_cast<size_t>(i);
}
inline constexpr size_t TransponderAt(int i) {
  return 0xA20 + 8 * static_cast<size_t>(i);
}
inline constexpr size_t ServiceAt(int i) {
  return 0x2A20 + 28 * static_cast<size_t>(i);
}

inline std::unique_ptr<ReceiverDataBlock> GoldenBlock() {
  auto block = std::make_unique<ReceiverDataBlock>();
  ReceiverDataBlock& b = *block;
  std::memcpy(b.bytes(), "evileyes", 8);
  Put32(b, 8, 0xDEADBEEF);   // reserved
  Put32(b, 12, 3);           // sat_count
  Put32(b, 16, 4);           // tp_count
  Put32(b, 20, 3);           // service_count
  Put32(b, 24, 2);           // antenna_config
  Put32(b, 28, 0x44332211);  // reserved
  Put(b, SatelliteAt(0), kAstra);
  Put(b, SatelliteAt(1), kHotbird);
  Put(b, SatelliteAt(2), kThor);
  std::memset(b.bytes() + SatelliteAt(3), 0xC3, 24);  // an unused slot
  std::memset(b.bytes() + 0xA10, 0xEE, 16);           // the region's unused end
  Put(b, TransponderAt(0), kTp11953);
  Put(b, TransponderAt(1), kTp12111);
  Put(b, TransponderAt(2), kTp12663);
  Put(b, TransponderAt(3), kTp10872);
  std::memset(b.bytes() + TransponderAt(4), 0xD4, 8);
  Put(b, ServiceAt(0), kZdf);
  Put(b, ServiceAt(1), kArd);
  Put(b, ServiceAt(2), kNrk);
  std::memset(b.bytes() + ServiceAt(3), 0x99, 28);
  for (size_t i = 0xF000; i < ReceiverDataBlock::kSize; ++i)
    b.bytes()[i] = static_cast<uint8_t>(i * 7);
  return block;
}

}  // namespace tavlink::channels::testing
