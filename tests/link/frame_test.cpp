#include "link/frame.h"

#include <gtest/gtest.h>

#include "support/frame_bytes.h"
#include "support/port_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;

class FrameTest : public ::testing::Test {
 protected:
  testing::PortOnMemoryLine p;
  uint8_t dest[kMaxPayload];
  uint32_t length = 0xDEAD;

  int Receive(const Bytes& bytes) {
    p.line->Deliver(bytes);
    std::fill(std::begin(dest), std::end(dest), 0xAA);
    length = 0xDEAD;
    return ReceiveFrame(p.port, dest, &length);
  }
  bool DestinationUntouched() const {
    return std::all_of(std::begin(dest), std::end(dest), [](uint8_t b) { return b == 0xAA; });
  }
};

TEST_F(FrameTest, SendCodePutsTwelveSingleByteWritesOnTheLine) {
  EXPECT_EQ(SendCode(p.port, FC_CONNECT), 0);
  const Bytes expected = {'E', 'v', 'i', 'l', 'E', 'y', 'E', 's', 0x00, 0x10, 0x00, 0x00};
  EXPECT_EQ(p.line->Written(), expected);
  EXPECT_EQ(p.line->WriteSizes(), std::vector<size_t>(12, 1));
}

TEST_F(FrameTest, SendCodeSendsTheLow16BitsBigEndian) {
  SendCode(p.port, 0x12345);
  const Bytes w = p.line->Written();
  EXPECT_EQ(w[8], 0x23);
  EXPECT_EQ(w[9], 0x45);
}

TEST_F(FrameTest, EmptyDataFrameIsSixteenBytesWithZeroCrc) {
  SendData(p.port, nullptr, 0);
  const Bytes expected = {'E',  'v',  'i',  'l',  'E', 'y', 'E', 's',
                          0x00, 0x30, 0x00, 0x04, 0,   0,   0,   0};
  EXPECT_EQ(p.line->Written(), expected);
  EXPECT_EQ(p.line->WriteSizes(), std::vector<size_t>{16});
}

TEST_F(FrameTest, DataFrameOf4080BytesHasLength0FF4AndGoesInOneWrite) {
  const Bytes payload = testing::Pattern(4080);
  SendData(p.port, payload.data(), payload.size());
  const Bytes w = p.line->Written();
  ASSERT_EQ(w.size(), 4096u);
  EXPECT_EQ(w[10], 0x0F);
  EXPECT_EQ(w[11], 0xF4);
  EXPECT_EQ(p.line->WriteSizes(), std::vector<size_t>{4096});
}

TEST_F(FrameTest, DataFrameCarriesPayloadCrcBigEndian) {
  const Bytes payload = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  SendData(p.port, payload.data(), payload.size());
  const Bytes w = p.line->Written();
  const Bytes tail(w.end() - 4, w.end());
  EXPECT_EQ(tail, (Bytes{0xCB, 0xF4, 0x39, 0x26}));
}

TEST_F(FrameTest, AckIsCodeZeroNotAFailure) {
  EXPECT_EQ(Receive(testing::CommandFrame(FC_ACK)), FC_ACK);
  EXPECT_EQ(length, 0xDEADu);
}

TEST_F(FrameTest, CommandFrameWithLengthFieldLeavesFollowingBytesQueued) {
  const Bytes frame = testing::WithLengthField(testing::CommandFrame(FC_READY), 8);
  const Bytes next = testing::CommandFrame(FC_ACK);
  EXPECT_EQ(Receive(testing::Concat(frame, next)), FC_READY);
  EXPECT_EQ(p.line->Pending(), 12u);
  EXPECT_EQ(ReceiveFrame(p.port, nullptr, nullptr), FC_ACK);
}

TEST_F(FrameTest, MagicInOtherCaseIsBadMagicAndConsumesTwelveBytes) {
  Bytes frame = testing::CommandFrame(FC_ACK);
  std::copy_n("evileyes", 8, frame.begin());
  EXPECT_EQ(Receive(testing::Concat(frame, testing::CommandFrame(FC_NAK))), RX_BAD_MAGIC);
  EXPECT_EQ(p.line->Pending(), 12u);
}

TEST_F(FrameTest, GoodDataFrameDeliversPayloadAndLength) {
  const Bytes payload = testing::Pattern(100);
  EXPECT_EQ(Receive(testing::DataFrame(payload)), FC_DATA);
  EXPECT_EQ(length, 100u);
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), dest));
  EXPECT_EQ(dest[100], 0xAA);
}

TEST_F(FrameTest, FlippedPayloadBitIsBadCrcAndWritesNothing) {
  EXPECT_EQ(Receive(testing::FlipBit(testing::DataFrame(testing::Pattern(64)), 12 + 10, 3)),
            RX_BAD_CRC);
  EXPECT_TRUE(DestinationUntouched());
  EXPECT_EQ(length, 0xDEADu);
}

TEST_F(FrameTest, LengthFieldOfFourIsAnEmptyPayloadWhateverTheCrcBytes) {
  Bytes frame = testing::DataFrame({});
  frame[12] = 0x12;
  frame[15] = 0x34;
  EXPECT_EQ(Receive(frame), FC_DATA);
  EXPECT_EQ(length, 0u);
  EXPECT_TRUE(DestinationUntouched());
}

TEST_F(FrameTest, LargestPayloadOf4096BytesFits) {
  const Bytes payload = testing::Pattern(4096);
  EXPECT_EQ(Receive(testing::DataFrame(payload)), FC_DATA);
  EXPECT_EQ(length, 4096u);
  EXPECT_TRUE(std::equal(payload.begin(), payload.end(), dest));
}

TEST_F(FrameTest, SilenceIsTimeoutAfterTheFullTimeout) {
  EXPECT_EQ(ReceiveFrame(p.port, dest, &length), RX_TIMEOUT);
  EXPECT_EQ(p.clock.ElapsedMs(), 20000);
  EXPECT_EQ(length, 0xDEADu);
  EXPECT_TRUE(p.reporter.Boxes().empty());
}

TEST_F(FrameTest, FrameCutShortIsTimeout) {
  EXPECT_EQ(Receive(testing::Cut(testing::DataFrame(testing::Pattern(50)), 40)), RX_TIMEOUT);
  EXPECT_EQ(length, 0xDEADu);
  EXPECT_EQ(Receive(testing::Cut(testing::CommandFrame(FC_ACK), 7)), RX_TIMEOUT);
}

// Length fields that leave no room for a CRC, or that announce more than the
// body buffer holds, are drained and refused; the next frame reads clean.
TEST_F(FrameTest, UndersizedAndOversizedLengthFieldsAreDrainedAsBadCrc) {
  for (uint16_t field : {0, 1, 3, 4101, 5000, 65535}) {
    Bytes frame = testing::WithLengthField(testing::DataFrame({}), field);
    frame.resize(12);
    frame.resize(12 + field, 0x5A);
    EXPECT_EQ(Receive(testing::Concat(frame, testing::CommandFrame(FC_NAK))), RX_BAD_CRC) << field;
    EXPECT_TRUE(DestinationUntouched());
    EXPECT_EQ(length, 0xDEADu);
    EXPECT_EQ(ReceiveFrame(p.port, nullptr, nullptr), FC_NAK) << field;
  }
}

TEST_F(FrameTest, OversizedFrameThatNeverCompletesIsTimeout) {
  Bytes frame = testing::WithLengthField(testing::DataFrame({}), 9000);
  frame.resize(12 + 100);
  EXPECT_EQ(Receive(frame), RX_TIMEOUT);
}

TEST_F(FrameTest, CheckDataFrameComparesOnlyAboveFourBytes) {
  const Bytes good = testing::DataFrame(testing::Pattern(10));
  EXPECT_EQ(CheckDataFrame(good.data(), good.size()), 0);
  const Bytes bad = testing::FlipBit(good, good.size() - 1);
  EXPECT_EQ(CheckDataFrame(bad.data(), bad.size()), -1);
  const Bytes empty = testing::FlipBit(testing::DataFrame({}), 15);
  EXPECT_EQ(CheckDataFrame(empty.data(), empty.size()), 0);
}

// What --trace prints for each frame: the direction, the code or failure,
// the payload length of data frames, and why a receive failed.
class RecordingTrace final : public FrameTrace {
 public:
  struct Entry {
    Direction direction;
    int code;
    long payloadLength;
    std::string verdict;
  };
  void OnFrame(Direction d, int code, long payloadLength, std::string_view verdict) override {
    entries.push_back({d, code, payloadLength, std::string(verdict)});
  }
  std::vector<Entry> entries;
};

TEST_F(FrameTest, TraceNamesEveryFrameAndWhyAReceiveFailed) {
  RecordingTrace trace;
  p.port.SetFrameTrace(&trace);
  SendCode(p.port, FC_CONNECT);
  EXPECT_EQ(ReceiveFrame(p.port, dest, &length), RX_TIMEOUT);  // silence
  EXPECT_EQ(Receive(testing::Cut(testing::CommandFrame(FC_ACK), 7)), RX_TIMEOUT);
  EXPECT_EQ(Receive(testing::Cut(testing::DataFrame(testing::Pattern(50)), 40)), RX_TIMEOUT);
  EXPECT_EQ(Receive(testing::FlipBit(testing::DataFrame(testing::Pattern(9)), 14)), RX_BAD_CRC);
  EXPECT_EQ(Receive(testing::DataFrame(testing::Pattern(9))), FC_DATA);
  p.port.SetFrameTrace(nullptr);

  using D = FrameTrace::Direction;
  ASSERT_EQ(trace.entries.size(), 6u);
  EXPECT_EQ(trace.entries[0].direction, D::kSent);
  EXPECT_EQ(trace.entries[0].code, FC_CONNECT);
  EXPECT_EQ(trace.entries[0].payloadLength, -1);
  const std::vector<std::pair<int, std::string>> received = {{RX_TIMEOUT, "no answer"},
                                                             {RX_TIMEOUT, "header incomplete"},
                                                             {RX_TIMEOUT, "body incomplete"},
                                                             {RX_BAD_CRC, "crc bad"},
                                                             {FC_DATA, "crc ok"}};
  for (size_t i = 0; i < received.size(); ++i) {
    const auto& e = trace.entries[i + 1];
    EXPECT_EQ(e.direction, D::kReceived) << i;
    EXPECT_EQ(e.code, received[i].first) << i;
    EXPECT_EQ(e.verdict, received[i].second) << i;
  }
  EXPECT_EQ(trace.entries[5].payloadLength, 9);
}

TEST(FrameCodeNames, NamesCodesAndResults) {
  EXPECT_EQ(FrameCodeName(FC_USERDATA_END), "FC_USERDATA_END");
  EXPECT_EQ(FrameCodeName(RX_TIMEOUT), "RX_TIMEOUT");
  EXPECT_EQ(FrameCodeName(0x1234), "code 0x1234");
}

}  // namespace
}  // namespace tavlink
