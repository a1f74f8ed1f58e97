// The block's byte layout: each field at its offset, little-endian, and
// FinishHeader touching exactly the header fields it owns.

#include "data/receiver_data_block.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>

namespace tavlink {
namespace {

TEST(ReceiverDataBlock, NeverFilledBlockIsNotValid) {
  ReceiverDataBlock block;
  EXPECT_FALSE(block.IsValid());
  EXPECT_FALSE(GetDataBlock().IsValid());
}

TEST(ReceiverDataBlock, FinishHeaderWritesOnlyItsFields) {
  ReceiverDataBlock block;
  std::memset(block.bytes(), 0xAB, ReceiverDataBlock::kSize);
  block.FinishHeader(2, 0x01020304, -1, 8);
  const std::array<uint8_t, 32> expected = {'e',  'v',  'i',  'l',  'e', 'y', 'e', 's',  // magic
                                            0,    0,    0,    0,                         // reserved
                                            2,    0,    0,    0,      // sat_count
                                            4,    3,    2,    1,      // tp_count
                                            0xFF, 0xFF, 0xFF, 0xFF,   // service_count
                                            8,    0,    0,    0,      // antenna_config
                                            0xAB, 0xAB, 0xAB, 0xAB};  // reserved, not written
  EXPECT_EQ(std::memcmp(block.bytes(), expected.data(), expected.size()), 0);
  EXPECT_EQ(block.bytes()[32], 0xAB);
  EXPECT_TRUE(block.IsValid());
  EXPECT_EQ(block.tp_count(), 0x01020304);
  EXPECT_EQ(block.service_count(), -1);
}

TEST(ReceiverDataBlock, SatelliteFieldsLieAtTheirOffsets) {
  ReceiverDataBlock block;
  SatelliteRecord sat = block.satellite(1);
  sat.set_lnb_low(0x1234);
  sat.set_lnb_high(0x5678);
  sat.set_position(0x8000 | 192);
  sat.set_sat_flags(0xA1B2C3D4);
  sat.set_name("ASTRA");
  const uint8_t* r = block.bytes() + 32 + 24;
  const std::array<uint8_t, 24> expected = {0x34, 0x12, 0x78, 0x56, 0xC0, 0x80, 0,   0,
                                            0xD4, 0xC3, 0xB2, 0xA1, 'A',  'S',  'T', 'R',
                                            'A',  0,    0,    0,    0,    0,    0,   0};
  EXPECT_EQ(std::memcmp(r, expected.data(), expected.size()), 0);
  EXPECT_EQ(sat.angle(), 192);
  EXPECT_TRUE(sat.west());
  EXPECT_EQ(sat.name(), "ASTRA");
}

TEST(ReceiverDataBlock, LastSatelliteEndsBeforeTheTransponderTable) {
  ReceiverDataBlock block;
  block.satellite(105).set_name("123456789");
  EXPECT_EQ(block.satellite(105).data() - block.bytes(), 2552);
  EXPECT_EQ(block.bytes()[2552 + 12 + 9], 0);
  EXPECT_EQ(block.satellite(105).data() + 24 - block.bytes(), 2576);
  EXPECT_EQ(block.transponder(0).data() - block.bytes(), 2592);
  EXPECT_EQ(block.service(0).data() - block.bytes(), 10784);
  EXPECT_EQ(block.service(1499).data() + 28 - block.bytes(), 10784 + 42000);
}

TEST(ReceiverDataBlock, TransponderAndServiceFieldsLieAtTheirOffsets) {
  ReceiverDataBlock block;
  TransponderRecord tp = block.transponder(1023);
  tp.set_frequency(12663);
  tp.set_symbolrate(22000);
  tp.set_tp_flags(0x0135);
  tp.set_owner_sat(7);
  const uint8_t* t = block.bytes() + 2592 + 8 * 1023;
  const std::array<uint8_t, 8> tpExpected = {0x77, 0x31, 0xF0, 0x55, 0x35, 0x01, 7, 0};
  EXPECT_EQ(std::memcmp(t, tpExpected.data(), tpExpected.size()), 0);

  ServiceRecord s = block.service(2);
  s.set_service_id(0x0102);
  s.set_video_pid(0x0304);
  s.set_audio_pid(0x0506);
  s.set_pcr_pid(0x0708);
  s.set_tp_word(0x8000 | 0x0A0B);
  s.set_txt_pid(0x0C0D);
  s.set_service_flags(0x0E0F);
  s.set_name("Das Erste HD");
  const uint8_t* r = block.bytes() + 10784 + 28 * 2;
  const std::array<uint8_t, 14> expected = {2, 1,    4,    3,    6,    5,    8,
                                            7, 0x0B, 0x8A, 0x0D, 0x0C, 0x0F, 0x0E};
  EXPECT_EQ(std::memcmp(r, expected.data(), expected.size()), 0);
  EXPECT_EQ(std::memcmp(r + 14, "Das Erste HD", 13), 0);
  EXPECT_EQ(s.tp_entry(), 0x0A0B);
  EXPECT_TRUE(s.radio());
}

TEST(ReceiverDataBlock, NameStoresOneZeroAndKeepsTheBytesAfterIt) {
  ReceiverDataBlock block;
  uint8_t* name = block.bytes() + 32 + 12;
  std::memset(name, 'Z', 12);
  block.satellite(0).set_name("AB");
  EXPECT_EQ(std::memcmp(name, "AB\0ZZZZZZZZZ", 12), 0);
}

// An index equal to a table's capacity is one record too far: it would
// reach into the next table, so the block refuses it outright.
TEST(ReceiverDataBlockDeathTest, IndexEqualToTheCapacityIsRefused) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto block = std::make_unique<ReceiverDataBlock>();
  EXPECT_DEATH(block->satellite(kMaxSatellites), "");
  EXPECT_DEATH(block->transponder(kMaxTransponders), "");
  EXPECT_DEATH(block->service(kMaxServices), "");
  EXPECT_DEATH(block->service(-1), "");
  // The last record of each table is still there.
  EXPECT_EQ(block->satellite(kMaxSatellites - 1).data(),
            block->bytes() + kSatelliteTableOffset + 24 * (kMaxSatellites - 1));
  EXPECT_EQ(block->service(kMaxServices - 1).data(),
            block->bytes() + kServiceTableOffset + 28 * (kMaxServices - 1));
}

}  // namespace
}  // namespace tavlink
