#include <set>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::ScriptedReceiver;
using testing::SeenFrame;

// A receiver for the paced uploads: it may ignore the first requests, answers
// FC_ACK and FC_READY later or FC_READY at once, takes data frames (with
// FC_NAK for the ones listed), and acknowledges the closing code.
class UploadTest : public testing::SessionTest {
 protected:
  int request = FC_UPGRADE;
  int ignoreRequests = 0;
  long long readyDelayMs = 0;   // after FC_ACK; -1: FC_READY alone, at once
  std::set<int> nakDataFrames;  // 1-based among the data frames received
  int closingAnswer = FC_ACK;   // the answer to the closing code; -1: none
  int requestsSeen = 0;
  int dataSeen = 0;

  void SetUp() override {
    receiver.SetScript([this](const SeenFrame& f, ScriptedReceiver& rx) {
      if (f.code == request) {
        ++requestsSeen;
        if (requestsSeen <= ignoreRequests || requestsSeen > ignoreRequests + 1) return;
        if (readyDelayMs < 0) return rx.ReplyCode(FC_READY);
        rx.ReplyCode(FC_ACK);
        rx.ReplyCode(FC_READY, readyDelayMs);
      } else if (f.code == FC_DATA) {
        ++dataSeen;
        rx.ReplyCode(nakDataFrames.count(dataSeen) ? FC_NAK : FC_ACK);
      } else if (f.code == request + 1 && closingAnswer >= 0) {
        rx.ReplyCode(closingAnswer);
      }
    });
  }

  std::vector<SeenFrame> DataFrames() const {
    std::vector<SeenFrame> data;
    for (const auto& f : receiver.Frames())
      if (f.code == FC_DATA) data.push_back(f);
    return data;
  }
};

// A ROM image file of `imageLength` body bytes, positioned after its header.
testing::MemoryFile RomFile(size_t imageLength) {
  Bytes content(42, 'H');
  const Bytes body = testing::Pattern(imageLength, 9);
  content.insert(content.end(), body.begin(), body.end());
  return testing::MemoryFile(content, 42);
}

TEST_F(UploadTest, ImageOf100BytesIsOneFrameOf104ThenTheClosingCode) {
  auto file = RomFile(100);
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_UPGRADE, FC_UPGRADE, FC_DATA, FC_UPGRADE_END}));
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 1u);
  ASSERT_EQ(data[0].payload.size(), 104u);
  EXPECT_EQ(Bytes(data[0].payload.begin(), data[0].payload.begin() + 4), (Bytes{0, 0, 0, 100}));
  EXPECT_EQ(Bytes(data[0].payload.begin() + 4, data[0].payload.end()), testing::Pattern(100, 9));
  EXPECT_EQ(view.ranges, std::vector<int>{1});
  EXPECT_EQ(view.title, "Upgrade software");
  EXPECT_EQ(view.statuses,
            (std::vector<std::string>{"Connecting...", "Connection complete...", "Uploading...",
                                      "Uploading...   block 1/1   error 0", "Uploading complete...",
                                      "Transfer Complete..."}));
  EXPECT_TRUE(view.boxes.empty());  // a successful upgrade shows no box
  // Request pause, start pause, frame pause, completion display.
  EXPECT_GE(clock.ElapsedMs(), 100 + 2000 + 1000 + 3000);
}

TEST_F(UploadTest, ImageOf4080BytesIsOneFullFrameWithATotalOfTwo) {
  auto file = RomFile(4080);
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 1u);
  EXPECT_EQ(data[0].payload.size(), 4084u);
  EXPECT_EQ(view.ranges, std::vector<int>{2});
  EXPECT_TRUE(view.SawStatus("Uploading...   block 1/2   error 0"));
  EXPECT_EQ(Codes().back(), FC_UPGRADE_END);
}

TEST_F(UploadTest, ImageOf8160BytesIsTwoFramesWithATotalOfThree) {
  auto file = RomFile(8160);
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 2u);
  EXPECT_EQ(data[0].payload.size(), 4084u);
  EXPECT_EQ(data[1].payload.size(), 4080u);
  EXPECT_EQ(Bytes(data[0].payload.begin(), data[0].payload.begin() + 4),
            (Bytes{0x00, 0x00, 0x1F, 0xE0}));
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  EXPECT_TRUE(data[0].crcOk && data[1].crcOk);
}

TEST_F(UploadTest, LateReadyIsAwaitedThroughATimeout) {
  readyDelayMs = 30000;
  auto file = RomFile(100);
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  // Nothing is sent while waiting: one request, then the start.
  EXPECT_EQ(Codes(), (std::vector<int>{FC_UPGRADE, FC_UPGRADE, FC_DATA, FC_UPGRADE_END}));
  EXPECT_GE(clock.ElapsedMs(), 30000);
}

TEST_F(UploadTest, SilentReceiverGetsTheRequestAgainAfterEachTimeout) {
  ignoreRequests = 2;
  readyDelayMs = -1;
  auto file = RomFile(100);
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_UPGRADE, FC_UPGRADE, FC_UPGRADE, FC_UPGRADE, FC_DATA,
                                       FC_UPGRADE_END}));
}

TEST_F(UploadTest, UpgradeCancelAnsweredNoGoesOn) {
  auto file = RomFile(8160);
  view.cancelOnStatus = "Uploading...";
  view.answers = {BoxAnswer::kNo};
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kSucceeded);
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text,
            " It is very important time!  \n\n You want to stop the upgrade procedure?  ");
  EXPECT_EQ(view.boxes[0].buttons, BoxButtons::kYesNo);
  EXPECT_FALSE(view.SawStatus("Closing Connection..."));
}

TEST_F(UploadTest, UpgradeCancelAnsweredYesAbortsAtTheNextCheckPoint) {
  auto file = RomFile(8160);
  view.cancelOnStatus = "Uploading...   block 1/3   error 0";
  view.answers = {BoxAnswer::kYes};
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kStopped);
  EXPECT_EQ(Codes().back(), FC_ABORT);
  EXPECT_EQ(DataFrames().size(), 1u);
  ASSERT_EQ(view.boxes.size(), 1u);  // the question, and no result box
  EXPECT_EQ(view.LastStatus(), "Closing Connection...");
}

TEST_F(UploadTest, FactoryWriteSendsTheWholeBlockInThirtyTwoPieces) {
  request = FC_FACTORY;
  readyDelayMs = -1;  // FC_READY at once: no waiting phase
  ReceiverDataBlock block;
  const Bytes image = testing::Pattern(ReceiverDataBlock::kSize, 4);
  std::copy(image.begin(), image.end(), block.bytes());
  EXPECT_EQ(Run(OP_WRITE_FACTORY, nullptr, &block), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 32u);
  Bytes sent;
  for (const auto& f : data) {
    EXPECT_EQ(f.payload.size(), 2048u);
    sent.insert(sent.end(), f.payload.begin(), f.payload.end());
  }
  EXPECT_EQ(sent, image);
  ASSERT_GE(Codes().size(), 2u);
  EXPECT_EQ(Codes().front(), FC_FACTORY);
  EXPECT_EQ(Codes()[1], FC_FACTORY);
  EXPECT_EQ(Codes().back(), FC_FACTORY_END);
  EXPECT_EQ(view.ranges, std::vector<int>{32});
  EXPECT_EQ(view.title, "Write Factory Data");
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_GE(clock.ElapsedMs(), 34000);
}

TEST_F(UploadTest, FactoryNakSendsTheSamePieceAgainAndCountsIt) {
  request = FC_FACTORY;
  readyDelayMs = -1;
  nakDataFrames = {5, 6};
  ReceiverDataBlock block;
  const Bytes image = testing::Pattern(ReceiverDataBlock::kSize, 4);
  std::copy(image.begin(), image.end(), block.bytes());
  EXPECT_EQ(Run(OP_WRITE_FACTORY, nullptr, &block), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 34u);
  EXPECT_EQ(data[4].payload, data[5].payload);
  EXPECT_EQ(data[5].payload, data[6].payload);
  EXPECT_EQ(data[4].payload, Bytes(image.begin() + 4 * 2048, image.begin() + 5 * 2048));
  EXPECT_TRUE(view.SawStatus("Uploading...   block 4/32   err.count 2"));
  EXPECT_EQ(view.LastStatus(), "Transfer Complete...");
  EXPECT_TRUE(view.SawStatus("Uploading...   block 32/32   error 2"));
}

TEST_F(UploadTest, FailedFactoryWriteIsReported) {
  request = FC_FACTORY;
  readyDelayMs = -1;
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_FACTORY) rx.ReplyCode(FC_READY);
    if (f.code == FC_DATA) rx.ReplyCode(FC_ABORT);
  });
  ReceiverDataBlock block;
  EXPECT_EQ(Run(OP_WRITE_FACTORY, nullptr, &block), TransferOutcome::kFailed);
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "Factory data write error!");
  EXPECT_EQ(view.boxes[0].caption, "Write Factory Data");
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

// The closing code must be acknowledged: anything else, or silence, means
// the receiver did not take the data, whatever it said to each frame.
TEST_F(UploadTest, ClosingCodeNotAcknowledgedFailsTheUpgradeAndTheFactoryWrite) {
  for (const int answer : {int{FC_NAK}, int{FC_READY}, int{FC_ABORT}, -1}) {
    for (const int operation : {int{OP_UPGRADE}, int{OP_WRITE_FACTORY}}) {
      SCOPED_TRACE("operation " + std::to_string(operation) + ", answer " + std::to_string(answer));
      // One line and one receiver for all rounds; each round counts afresh.
      view.boxes.clear();
      view.statuses.clear();
      request = operation == OP_UPGRADE ? FC_UPGRADE : FC_FACTORY;
      readyDelayMs = -1;
      closingAnswer = answer;
      requestsSeen = dataSeen = 0;
      const size_t framesBefore = receiver.Frames().size();
      auto file = RomFile(100);
      ReceiverDataBlock block;
      EXPECT_EQ(Run(operation, &file, &block), TransferOutcome::kFailed);
      const auto codes = Codes();
      ASSERT_GE(codes.size(), framesBefore + 2);
      EXPECT_EQ(codes[codes.size() - 2], request + 1);  // the closing code, then
      EXPECT_EQ(codes.back(), FC_ABORT);                // the abort of the failure
      ASSERT_EQ(view.boxes.size(), 1u);
      EXPECT_EQ(view.boxes[0].text,
                operation == OP_UPGRADE ? "Software upgrade error!" : "Factory data write error!");
      EXPECT_FALSE(view.SawStatus("Transfer Complete..."));
    }
  }
}

// The image's own read error is the caller's to tell (its file error box
// names the file): the session aborts without the upgrade's failure box.
TEST_F(UploadTest, UnreadableImageAbortsWithoutTheUpgradeBox) {
  auto file = RomFile(5000);
  file.failReads = true;
  readyDelayMs = -1;
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kFileFailed);
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(Codes().back(), FC_ABORT);
  EXPECT_TRUE(DataFrames().empty());
}

TEST_F(UploadTest, ImageThatFailsAfterItsFirstPieceAbortsWithoutTheUpgradeBox) {
  auto file = RomFile(9000);
  file.readsLeft = 1;  // the first piece, then an error
  EXPECT_EQ(Run(OP_UPGRADE, &file), TransferOutcome::kFileFailed);
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(DataFrames().size(), 1u);
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

}  // namespace
}  // namespace tavlink
