// The receiver's frame channel on its own: pacing and damaged frames.

#include "sim/frame_channel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "test_pc.h"

namespace tavlink::sim::testing {
namespace {

using std::chrono::milliseconds;

class FrameChannelTest : public ::testing::Test {
 protected:
  FrameChannel MakeChannel(LineFaults faults) { return FrameChannel(pty_, log_, faults, stop_); }

  Pty pty_;
  StopSignal stop_;
  std::string logText_;
  SimLog log_{[this](const std::string& line) { logText_ += line + "\n"; }, false};
};

TEST_F(FrameChannelTest, PaceHoldsTheLineRateOfThePc) {
  ASSERT_TRUE(pty_.ok());
  TestPc pc(pty_.DevicePath(), B9600);
  LineFaults faults;
  faults.pace = true;
  FrameChannel line = MakeChannel(faults);
  const std::vector<uint8_t> payload(944, 0x42);  // 960 bytes on the line: 1 s at 9600 baud
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(line.SendData(payload));
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, milliseconds(900));
  EXPECT_LT(took, milliseconds(2500));
  const PcFrame frame = pc.Receive(milliseconds(500));
  EXPECT_TRUE(frame.crcOk);
  EXPECT_EQ(frame.payload, payload);
}

TEST_F(FrameChannelTest, ImpossibleLengthIsDrainedAndReported) {
  ASSERT_TRUE(pty_.ok());
  TestPc pc(pty_.DevicePath(), B115200);
  FrameChannel line = MakeChannel({});
  auto frame = EncodeDataFrame(std::vector<uint8_t>(8, 1));
  frame[10] = 0x20;  // length field 0x200C: more than any payload and CRC
  pc.Write(frame);
  EXPECT_EQ(line.Receive(milliseconds(1000)).kind, RxFrame::Kind::kBadLength);
  EXPECT_NE(logText_.find("outside 4..4100"), std::string::npos) << logText_;
  pc.SendCode(FC_ACK);  // the line is usable again after the drain
  const RxFrame next = line.Receive(milliseconds(1000));
  EXPECT_EQ(next.kind, RxFrame::Kind::kCommand);
  EXPECT_EQ(next.code, FC_ACK);
}

}  // namespace
}  // namespace tavlink::sim::testing
