// The simulator's answers over a real pty, driven by a hand-written PC end.

#include <cstring>

#include "link/big_endian.h"
#include "sim_fixture.h"

namespace tavlink::sim::testing {
namespace {

using std::chrono::milliseconds;

// The block pattern of SimFixture at `offset`.
uint8_t PatternAt(size_t offset) {
  return offset < 8 ? static_cast<uint8_t>("evileyes"[offset]) : static_cast<uint8_t>(offset * 7);
}

using ConnectTest = SimFixture;

TEST_F(ConnectTest, AnswersAckIdentificationAndEnd) {
  StartSimulator();
  TestPc pc = OpenPc();
  ASSERT_TRUE(pc.ok());
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  const PcFrame data = pc.Receive();
  ASSERT_EQ(data.code, FC_DATA);
  ASSERT_TRUE(data.crcOk);
  ASSERT_EQ(data.payload.size(), 96u);
  EXPECT_NE(data.payload[0], 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(&data.payload[32]), "HW-TEST");
  EXPECT_STREQ(reinterpret_cast<const char*>(&data.payload[64]), "SW-TEST 9.9");
  pc.SendCode(FC_ACK);
  EXPECT_EQ(pc.Receive().code, FC_CONNECT_END);
  pc.SendCode(FC_ACK);
  // The receiver is idle again and serves the next request.
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
}

TEST_F(ConnectTest, CorruptFrameGoesOutBadOnceAndIsResentAfterNak) {
  options_.faults.corruptFrame = 1;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  PcFrame first = pc.Receive();
  ASSERT_EQ(first.code, FC_DATA);
  EXPECT_FALSE(first.crcOk);
  pc.SendCode(FC_NAK);
  PcFrame again = pc.Receive();
  ASSERT_EQ(again.code, FC_DATA);
  EXPECT_TRUE(again.crcOk);
  EXPECT_EQ(again.payload, first.payload);
  pc.SendCode(FC_ACK);
  EXPECT_EQ(pc.Receive().code, FC_CONNECT_END);
  pc.SendCode(FC_ACK);
}

TEST_F(ConnectTest, WrongLineSettingsAreReportedButAnswered) {
  StartSimulator();
  TestPc pc = OpenPc(B9600);
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  EXPECT_TRUE(LogHas("line settings wrong when FC_CONNECT arrived: speed 9600 (expected 115200)"))
      << LogText();
  pc.SendCode(FC_ABORT);
}

TEST_F(ConnectTest, BadMagicIsDrainedAndTheNextRequestServed) {
  StartSimulator();
  TestPc pc = OpenPc();
  const std::string junk("evileyes\x00\x10\x00\x00 and more junk", 26);
  pc.Write(std::span(reinterpret_cast<const uint8_t*>(junk.data()), junk.size()));
  EXPECT_EQ(pc.Receive(milliseconds(300)).code, -1);
  EXPECT_TRUE(LogHas("bad frame magic")) << LogText();
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
}

TEST_F(ConnectTest, AbortMidOperationReturnsToIdle) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  EXPECT_EQ(pc.Receive().code, FC_DATA);
  pc.SendCode(FC_ABORT);
  pc.SendCode(FC_BACKUP);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  EXPECT_TRUE(LogHas("aborted")) << LogText();
}

TEST_F(ConnectTest, DropAfterStopsAnswering) {
  options_.faults.dropAfter = 1;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  EXPECT_EQ(pc.Receive().code, FC_DATA);
  pc.SendCode(FC_ACK);
  EXPECT_EQ(pc.Receive(milliseconds(300)).code, -1);
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive(milliseconds(300)).code, -1);
}

using UserDataTest = SimFixture;

TEST_F(UserDataTest, SwitchesTo19200AndSendsTheWholeBlock) {
  options_.payloadSize = 4084;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.Reopen(B19200);
  std::vector<size_t> sizes;
  const std::vector<uint8_t> data = TakeUserData(pc, &sizes);
  pc.SendCode(FC_ACK);  // to FC_USERDATA_END
  ASSERT_EQ(data.size(), ReceiverDataBlock::kSize);
  for (size_t i = 0; i < data.size(); i += 997) ASSERT_EQ(data[i], PatternAt(i)) << i;
  ASSERT_EQ(sizes.size(), 17u);
  EXPECT_EQ(sizes.front(), 4084u);
  EXPECT_EQ(sizes.back(), 192u);

  // The next session runs at 115200 again without complaint.
  pc.Reopen(B115200);
  pc.SendCode(FC_CONNECT);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  EXPECT_FALSE(LogHas("line settings wrong")) << LogText();
  // Both switches are reported, as the PC's end of the line had them.
  EXPECT_TRUE(LogHas("the PC set the line to 19200 baud (was 115200)")) << LogText();
  EXPECT_TRUE(LogHas("the PC set the line to 115200 baud (was 19200)")) << LogText();
}

TEST_F(UserDataTest, ALineThatKeepsItsRateHasNoRateReport) {
  options_.readyDelaySeconds = 0;
  StartSimulator();
  TestPc pc = OpenPc();
  const std::vector<uint8_t> block(ReceiverDataBlock::kSize, 0x5A);
  ASSERT_TRUE(WriteFactoryData(pc, block));
  ASSERT_TRUE(WriteFactoryData(pc, block));
  EXPECT_FALSE(LogHas("the PC set the line")) << LogText();
}

TEST_F(UserDataTest, AckAtTheOldSpeedIsReported) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_USERDATA);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.Reopen(B19200);
  ASSERT_EQ(pc.Receive().code, FC_DATA);
  pc.Reopen(B38400);
  pc.SendCode(FC_ACK);
  ASSERT_EQ(pc.Receive().code, FC_DATA);
  EXPECT_TRUE(LogHas("speed 38400 (expected 19200)")) << LogText();
  pc.SendCode(FC_ABORT);
}

using UploadTest = SimFixture;

TEST_F(UploadTest, RestoreWithNakFrameRefusesOnceThenTakesTheBlock) {
  options_.faults.nakFrame = 1;
  StartSimulator();
  TestPc pc = OpenPc();
  std::vector<uint8_t> file(4 + ReceiverDataBlock::kSize, 0x5A);
  WriteBe32(file.data(), 65536);
  std::memcpy(file.data() + 4, "evileyes", 8);
  pc.SendCode(FC_RESTORE);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  const std::span<const uint8_t> all(file);
  pc.SendData(all.subspan(0, 4084));
  EXPECT_EQ(pc.Receive().code, FC_NAK);
  pc.SendData(all.subspan(0, 4084));
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  for (size_t at = 4084; at < all.size(); at += 4080) {
    pc.SendData(all.subspan(at, std::min<size_t>(4080, all.size() - at)));
    ASSERT_EQ(pc.Receive().code, FC_ACK);
  }
  pc.SendCode(FC_RESTORE_END);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  StopSimulator();
  EXPECT_TRUE(LogHas("restore accepted")) << LogText();
  EXPECT_EQ(state_.userData->bytes()[100], 0x5A);
}

TEST_F(UploadTest, RestoreAnswersBadCrcWithNakAndKeepsDataOnWrongLength) {
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_RESTORE);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  auto frame = EncodeDataFrame(std::vector<uint8_t>{0, 0, 0, 2, 'x', 'y'});
  frame[13] ^= 0x40;
  pc.Write(frame);
  EXPECT_EQ(pc.Receive().code, FC_NAK);
  pc.SendData(std::vector<uint8_t>{0, 0, 0, 2, 'x', 'y'});
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  pc.SendCode(FC_RESTORE_END);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  StopSimulator();
  EXPECT_TRUE(LogHas("restore rejected")) << LogText();
  EXPECT_EQ(state_.userData->bytes()[100], PatternAt(100));
}

TEST_F(UploadTest, FactoryWithoutDelayAnswersReadyAloneAndReplacesUserData) {
  options_.readyDelaySeconds = 0;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_FACTORY);
  ASSERT_EQ(pc.Receive().code, FC_READY);
  pc.SendCode(FC_FACTORY);  // sent once more, not answered
  std::vector<uint8_t> block(ReceiverDataBlock::kSize, 0x11);
  for (size_t at = 0; at < block.size(); at += 2048) {
    pc.SendData(std::span<const uint8_t>(block).subspan(at, 2048));
    ASSERT_EQ(pc.Receive().code, FC_ACK) << at;
  }
  pc.SendCode(FC_FACTORY_END);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  StopSimulator();
  EXPECT_TRUE(LogHas("does not start with")) << LogText();
  EXPECT_EQ(state_.userData->bytes()[0], 0x11);
}

// The fault a write's verification must catch: the receiver acknowledges
// every piece and then keeps one byte other than it was sent.
TEST_F(UploadTest, AlterStoredKeepsFactoryDataWithOneByteInverted) {
  options_.readyDelaySeconds = 0;
  options_.faults.alterStored = 0xF123;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_FACTORY);
  ASSERT_EQ(pc.Receive().code, FC_READY);
  pc.SendCode(FC_FACTORY);
  std::vector<uint8_t> block(ReceiverDataBlock::kSize, 0x11);
  for (size_t at = 0; at < block.size(); at += 2048) {
    pc.SendData(std::span<const uint8_t>(block).subspan(at, 2048));
    ASSERT_EQ(pc.Receive().code, FC_ACK) << at;
  }
  pc.SendCode(FC_FACTORY_END);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  StopSimulator();
  EXPECT_EQ(state_.userData->bytes()[0xF122], 0x11);
  EXPECT_EQ(state_.userData->bytes()[0xF123], 0xEE);
  EXPECT_TRUE(LogHas("byte 61731 inverted")) << LogText();
}

TEST_F(UploadTest, UpgradeAcksThenReadiesAndChecksTheImageLength) {
  options_.readyDelaySeconds = 0.1;
  StartSimulator();
  TestPc pc = OpenPc();
  pc.SendCode(FC_UPGRADE);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  ASSERT_EQ(pc.Receive().code, FC_READY);
  pc.SendCode(FC_UPGRADE);
  std::vector<uint8_t> first(4 + 4080, 0xEE);
  WriteBe32(first.data(), 4080 + 10);
  pc.SendData(first);
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.SendData(std::vector<uint8_t>(9, 0xEF));  // one byte short
  ASSERT_EQ(pc.Receive().code, FC_ACK);
  pc.SendCode(FC_UPGRADE_END);
  EXPECT_EQ(pc.Receive().code, FC_ACK);
  StopSimulator();
  EXPECT_TRUE(LogHas("upgrade image incomplete: 4089 bytes received, length field 4090"))
      << LogText();
  EXPECT_EQ(state_.romImage.size(), 4089u);
}

}  // namespace
}  // namespace tavlink::sim::testing
