#include <cstring>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::ScriptedReceiver;
using testing::SeenFrame;

// A receiver that answers the request, waits for the PC to reopen its line
// at 19200 baud, then sends `image` in payloads of `payloadSize` bytes.
class ReadUserDataTest : public testing::SessionTest {
 protected:
  ReceiverDataBlock block;
  Bytes image = testing::Pattern(ReceiverDataBlock::kSize, 3);
  size_t payloadSize = 2048;
  int corruptBeforeFirst = 0;  // bad frames sent before the first good one
  int silentAfterBlocks = -1;  // stop answering after this many blocks
  size_t sent = 0;
  int blocksSent = 0;

  void SetUp() override {
    line->OnConfigure([this](uint32_t baud) {
      if (baud == 19200) SendNext();
    });
    receiver.SetScript([this](const SeenFrame& f, ScriptedReceiver& rx) {
      if (f.code == FC_USERDATA) rx.ReplyCode(FC_ACK);
      if (f.code == FC_ACK || f.code == FC_NAK) SendNext();
    });
  }

  void SendNext() {
    if (blocksSent == silentAfterBlocks) return;
    if (sent >= image.size()) {
      if (sent != SIZE_MAX) receiver.ReplyCode(FC_USERDATA_END);
      sent = SIZE_MAX;
      return;
    }
    const size_t n = std::min(payloadSize, image.size() - sent);
    Bytes payload(image.begin() + static_cast<long>(sent),
                  image.begin() + static_cast<long>(sent + n));
    if (corruptBeforeFirst > 0) {
      --corruptBeforeFirst;
      receiver.Reply(testing::FlipBit(testing::DataFrame(payload), 20));
      return;
    }
    receiver.ReplyData(payload);
    sent += n;
    ++blocksSent;
  }
};

TEST_F(ReadUserDataTest, TwoKilobytePayloadsGiveThirtyTwoBlocksAt19200) {
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kSucceeded);
  EXPECT_EQ(std::memcmp(block.bytes(), image.data(), image.size()), 0);
  EXPECT_EQ(line->BaudRates(), (std::vector<uint32_t>{115200, 19200}));
  EXPECT_EQ(view.ranges, std::vector<int>{32});
  EXPECT_EQ(view.LastStatus(), "Downloading...   block 32/32   error 0");
  ASSERT_GE(view.statuses.size(), 2u);
  EXPECT_EQ(view.statuses[0], "Connecting...");
  EXPECT_EQ(view.statuses[1], "Downloading...");
  std::vector<int> expected{FC_USERDATA};
  expected.insert(expected.end(), 33, FC_ACK);
  EXPECT_EQ(Codes(), expected);
  EXPECT_GE(clock.ElapsedMs(), 32 * 100);  // the pause before each FC_ACK
  EXPECT_TRUE(view.boxes.empty());         // no result box for this operation
}

TEST_F(ReadUserDataTest, PayloadsOf4084BytesGiveATotalOfSixteen) {
  payloadSize = 4084;
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kSucceeded);
  EXPECT_EQ(view.ranges, std::vector<int>{16});
  EXPECT_EQ(view.LastStatus(), "Downloading...   block 17/16   error 0");
  EXPECT_EQ(std::memcmp(block.bytes(), image.data(), image.size()), 0);
}

TEST_F(ReadUserDataTest, BadCrcBeforeTheFirstBlockShowsBlockZeroOfSixteen) {
  corruptBeforeFirst = 1;
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kSucceeded);
  EXPECT_TRUE(view.SawStatus("Downloading...   block 0/16   err.count 1"));
  ASSERT_GE(Codes().size(), 2u);
  EXPECT_EQ(Codes()[1], FC_NAK);
  EXPECT_EQ(view.LastStatus(), "Downloading...   block 32/32   error 1");
}

TEST_F(ReadUserDataTest, RequestNotAcknowledgedEndsSilentlyWithoutAbortOrSwitch) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_USERDATA) rx.ReplyCode(FC_NAK);
  });
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kFailed);
  EXPECT_EQ(Codes(), std::vector<int>{FC_USERDATA});
  EXPECT_EQ(line->BaudRates(), std::vector<uint32_t>{115200});
  EXPECT_TRUE(view.boxes.empty());
}

// A receiver that is starting leaves the request unanswered: that is told
// apart from a refusal, so that a caller may ask again.
TEST_F(ReadUserDataTest, UnansweredRequestEndsSilentlyAsNoAnswer) {
  receiver.SetScript([](const SeenFrame&, ScriptedReceiver&) {});
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kNoAnswer);
  EXPECT_EQ(Codes(), std::vector<int>{FC_USERDATA});
  EXPECT_EQ(line->BaudRates(), std::vector<uint32_t>{115200});
  EXPECT_TRUE(view.boxes.empty());
}

TEST_F(ReadUserDataTest, TimeoutMidTransferShowsErrorMinusFourThenAborts) {
  silentAfterBlocks = 5;
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kFailed);
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "\n Communication Eror !!!! \n Err.# = -4");
  EXPECT_EQ(view.boxes[0].caption, "");  // an application box
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

TEST_F(ReadUserDataTest, MoreThanTheBlockHoldsFailsWithoutWritingPastIt) {
  image = testing::Pattern(ReceiverDataBlock::kSize + 4096, 5);
  payloadSize = 4096;
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kFailed);
  EXPECT_EQ(std::memcmp(block.bytes(), image.data(), ReceiverDataBlock::kSize), 0);
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

TEST_F(ReadUserDataTest, EmptyFirstPayloadFailsInsteadOfDividingByZero) {
  image.clear();
  line->OnConfigure([this](uint32_t baud) {
    if (baud == 19200) receiver.ReplyData({});
  });
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kFailed);
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

TEST_F(ReadUserDataTest, CancelDuringTheDownloadAbortsWithoutAResultBox) {
  view.cancelOnStatus = "Downloading...   block 3/32   error 0";
  EXPECT_EQ(Run(OP_READ_USER_DATA, nullptr, &block), TransferOutcome::kStopped);
  EXPECT_EQ(Codes().back(), FC_ABORT);
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(view.LastStatus(), "Closing Connection...");
}

}  // namespace
}  // namespace tavlink
