// The receiver's frame bytes against hand-written golden frames.

#include "sim/sim_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tavlink::sim {
namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

TEST(SimFrameTest, CommandFrameIsMagicCodeAndZeroLength) {
  const auto frame = EncodeCommandFrame(FC_CONNECT);
  const std::vector<uint8_t> golden = {'E', 'v', 'i', 'l', 'E', 'y', 'E', 's', 0x00, 0x10, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(frame.begin(), frame.end()), golden);
  EXPECT_EQ(EncodeCommandFrame(FC_USERDATA_END)[9], 0x21);
  EXPECT_EQ(EncodeCommandFrame(0x1234)[8], 0x12);
}

TEST(SimFrameTest, DataFrameCarriesLengthAndBigEndianCrc) {
  const auto frame = EncodeDataFrame(Bytes("123456789"));
  ASSERT_EQ(frame.size(), 12u + 9u + 4u);
  EXPECT_EQ(frame[8], 0x00);
  EXPECT_EQ(frame[9], 0x30);
  EXPECT_EQ(frame[10], 0x00);
  EXPECT_EQ(frame[11], 0x0D);  // 9 payload bytes + 4 CRC bytes
  EXPECT_EQ(std::vector<uint8_t>(frame.begin() + 12, frame.begin() + 21), Bytes("123456789"));
  const std::vector<uint8_t> crc(frame.end() - 4, frame.end());
  EXPECT_EQ(crc, (std::vector<uint8_t>{0xCB, 0xF4, 0x39, 0x26}));
}

TEST(SimFrameTest, EmptyAndLargestPayloads) {
  const auto empty = EncodeDataFrame({});
  ASSERT_EQ(empty.size(), 16u);
  EXPECT_EQ(empty[11], 4);
  EXPECT_EQ(std::vector<uint8_t>(empty.begin() + 12, empty.end()), std::vector<uint8_t>(4, 0));

  const auto big = EncodeDataFrame(std::vector<uint8_t>(4080, 0x55));
  EXPECT_EQ(big.size(), 4096u);
  EXPECT_EQ(big[10], 0x0F);
  EXPECT_EQ(big[11], 0xF4);
}

TEST(SimFrameTest, CorruptedFrameFailsItsCheckOnlyInTheCrc) {
  const auto good = EncodeDataFrame(Bytes("abc"));
  const auto bad = EncodeDataFrame(Bytes("abc"), true);
  EXPECT_TRUE(std::equal(good.begin(), good.end() - 4, bad.begin()));
  EXPECT_TRUE(BodyCrcMatches(std::span(good).subspan(12)));
  EXPECT_FALSE(BodyCrcMatches(std::span(bad).subspan(12)));
}

TEST(SimFrameTest, BodyCheckRejectsFlippedBitAndShortBody) {
  auto frame = EncodeDataFrame(Bytes("payload"));
  frame[14] ^= 0x01;
  EXPECT_FALSE(BodyCrcMatches(std::span(frame).subspan(12)));
  EXPECT_FALSE(BodyCrcMatches(std::vector<uint8_t>{0, 0, 0}));
}

TEST(SimFrameTest, HeaderDecodeIsCaseSensitiveAndBigEndian) {
  const auto data = EncodeDataFrame(std::vector<uint8_t>(2048));
  const FrameHeader h = DecodeHeader(data.data());
  EXPECT_TRUE(h.magicOk);
  EXPECT_EQ(h.code, FC_DATA);
  EXPECT_EQ(h.length, 2052u);

  auto lower = EncodeCommandFrame(FC_ACK);
  std::copy_n("evileyes", 8, lower.begin());
  EXPECT_FALSE(DecodeHeader(lower.data()).magicOk);
}

}  // namespace
}  // namespace tavlink::sim
