// Identification, backup, restore and upgrade contents, and the line check.

#include "sim/receiver_content.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "link/big_endian.h"
#include "sim/line_state.h"

namespace tavlink::sim {
namespace {

std::string Field(const std::array<uint8_t, kIdAnswerSize>& answer, size_t index) {
  const char* start = reinterpret_cast<const char*>(answer.data() + index * kIdFieldSize);
  return std::string(start, strnlen(start, kIdFieldSize));
}

TEST(IdentificationTest, TextsSitAtTheirOffsetsZeroPadded) {
  const auto answer = IdentificationAnswer("Model", "HW 1", "SW 2");
  EXPECT_EQ(Field(answer, 0), "Model");
  EXPECT_EQ(Field(answer, 1), "HW 1");
  EXPECT_EQ(Field(answer, 2), "SW 2");
  EXPECT_EQ(answer[31], 0);
  EXPECT_EQ(answer[95], 0);
}

TEST(IdentificationTest, LongTextIsCutAtItsField) {
  const auto answer = IdentificationAnswer("M", std::string(40, 'h'), "S");
  EXPECT_EQ(Field(answer, 1), std::string(32, 'h'));
  EXPECT_EQ(Field(answer, 2), "S");
}

class BlockTest : public ::testing::Test {
 protected:
  BlockTest() {
    for (size_t i = 0; i < ReceiverDataBlock::kSize; ++i) block->bytes()[i] = uint8_t(i % 251);
    std::memcpy(block->bytes(), "evileyes", 8);
  }
  std::unique_ptr<ReceiverDataBlock> block = std::make_unique<ReceiverDataBlock>();
};

TEST_F(BlockTest, BackupIsCountThenARestoreFileIn4080BytePieces) {
  const auto payloads = BackupPayloads(*block);
  ASSERT_EQ(payloads.size(), 17u);  // 65540 bytes in pieces of 4080
  EXPECT_EQ(payloads[0].size(), 4082u);
  EXPECT_EQ(ReadBe16(payloads[0].data()), 17);
  EXPECT_EQ(payloads[16].size(), 260u);

  std::vector<uint8_t> file(payloads[0].begin() + 2, payloads[0].end());
  for (size_t i = 1; i < payloads.size(); ++i) {
    EXPECT_LE(payloads[i].size(), kBackupPieceSize);
    file.insert(file.end(), payloads[i].begin(), payloads[i].end());
  }
  ASSERT_EQ(file.size(), 65540u);
  EXPECT_EQ(ReadBe32(file.data()), 65536u);
  EXPECT_EQ(std::memcmp(file.data() + 4, block->bytes(), ReceiverDataBlock::kSize), 0);
}

TEST_F(BlockTest, BackupRoundTripsThroughRestore) {
  std::vector<uint8_t> file;
  for (const auto& p : BackupPayloads(*block)) file.insert(file.end(), p.begin(), p.end());
  file.erase(file.begin(), file.begin() + 2);
  auto target = std::make_unique<ReceiverDataBlock>();
  EXPECT_TRUE(ApplyRestoreData(file, target.get()).accepted);
  EXPECT_EQ(std::memcmp(target->bytes(), block->bytes(), ReceiverDataBlock::kSize), 0);
}

TEST_F(BlockTest, SplitGivesShorterLastPiece) {
  const std::span<const uint8_t> data(block->bytes(), ReceiverDataBlock::kSize);
  EXPECT_EQ(SplitPayloads(data, 2048).size(), 32u);
  EXPECT_EQ(SplitPayloads(data, 4096).size(), 16u);
  const auto pieces = SplitPayloads(data, 4084);
  ASSERT_EQ(pieces.size(), 17u);
  EXPECT_EQ(pieces.back().size(), 65536u - 16u * 4084u);
  EXPECT_EQ(pieces.back().data() + pieces.back().size(), data.data() + data.size());
  EXPECT_TRUE(SplitPayloads(data, 0).empty());
}

TEST_F(BlockTest, RestoreRejectsWrongDataAndKeepsTheBlock) {
  std::vector<uint8_t> good(4 + ReceiverDataBlock::kSize, 0);
  WriteBe32(good.data(), 65536);
  std::memcpy(good.data() + 4, "evileyes", 8);

  auto wrongLength = good;
  WriteBe32(wrongLength.data(), 65535);
  auto shortData = good;
  shortData.pop_back();
  auto badMagic = good;
  badMagic[4] = 'E';
  for (const auto& data : {wrongLength, shortData, badMagic, std::vector<uint8_t>{0, 1}}) {
    const RestoreVerdict verdict = ApplyRestoreData(data, block.get());
    EXPECT_FALSE(verdict.accepted);
    EXPECT_FALSE(verdict.reason.empty());
    EXPECT_EQ(block->bytes()[8], 8);  // untouched pattern
  }
  EXPECT_TRUE(ApplyRestoreData(good, block.get()).accepted);
  EXPECT_EQ(block->bytes()[8], 0);
}

TEST(UpgradeCheckTest, ComparesImageBytesWithLengthField) {
  std::vector<uint8_t> data(4 + 100, 0xAB);
  WriteBe32(data.data(), 100);
  UpgradeVerdict verdict = CheckUpgradeData(data);
  EXPECT_TRUE(verdict.complete);
  EXPECT_EQ(verdict.image.size(), 100u);

  data.pop_back();
  verdict = CheckUpgradeData(data);
  EXPECT_FALSE(verdict.complete);
  EXPECT_NE(verdict.summary.find("incomplete"), std::string::npos);
  EXPECT_FALSE(CheckUpgradeData(std::vector<uint8_t>{0, 0}).complete);
}

TEST(LineStateTest, NamesEveryDifference) {
  const LineState good{115200, true, false, false, false};
  EXPECT_EQ(DescribeMismatch(good, 115200), "");
  const LineState bad{9600, false, true, true, true};
  const std::string text = DescribeMismatch(bad, 19200);
  for (const char* item :
       {"speed 9600 (expected 19200)", "8 data bits", "parity", "2 stop", "XON/XOFF"}) {
    EXPECT_NE(text.find(item), std::string::npos) << item << " in " << text;
  }
}

TEST(LineStateTest, SecondSpeedIsAcceptedOnlyWhenGiven) {
  const LineState fast{115200, true, false, false, false};
  EXPECT_NE(DescribeMismatch(fast, 19200), "");
  EXPECT_EQ(DescribeMismatch(fast, 19200, 115200), "");
}

}  // namespace
}  // namespace tavlink::sim
