#include <set>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::ScriptedReceiver;
using testing::SeenFrame;

class RestoreTest : public testing::SessionTest {
 protected:
  std::set<int> nakDataFrames;
  int dataSeen = 0;

  void SetUp() override {
    receiver.SetScript([this](const SeenFrame& f, ScriptedReceiver& rx) {
      if (f.code == FC_RESTORE || f.code == FC_RESTORE_END) rx.ReplyCode(FC_ACK);
      if (f.code == FC_DATA) rx.ReplyCode(nakDataFrames.count(++dataSeen) ? FC_NAK : FC_ACK);
    });
  }

  std::vector<SeenFrame> DataFrames() const {
    std::vector<SeenFrame> data;
    for (const auto& f : receiver.Frames())
      if (f.code == FC_DATA) data.push_back(f);
    return data;
  }
};

// A restore file: N big-endian, then N data bytes (or `actual` bytes).
testing::MemoryFile RestoreFile(uint32_t n, size_t actual) {
  Bytes content = {static_cast<uint8_t>(n >> 24), static_cast<uint8_t>(n >> 16),
                   static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
  const Bytes data = testing::Pattern(actual, 6);
  content.insert(content.end(), data.begin(), data.end());
  return testing::MemoryFile(content);
}

TEST_F(RestoreTest, SendsTheFileInPiecesOf4084Then4080) {
  auto file = RestoreFile(10000, 10000);
  EXPECT_EQ(Run(OP_RESTORE, &file), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 3u);
  EXPECT_EQ(data[0].payload.size(), 4084u);
  EXPECT_EQ(data[1].payload.size(), 4080u);
  EXPECT_EQ(data[2].payload.size(), 10004u - 4084 - 4080);
  Bytes sent;
  for (const auto& f : data) sent.insert(sent.end(), f.payload.begin(), f.payload.end());
  EXPECT_EQ(sent, file.content);
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  EXPECT_EQ(Codes().front(), FC_RESTORE);
  EXPECT_EQ(Codes().back(), FC_RESTORE_END);
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "User data restored successfully.   ");
  EXPECT_EQ(view.boxes[0].caption, "Restore user data");
}

TEST_F(RestoreTest, NakSendsTheSamePieceAgain) {
  nakDataFrames = {2};
  auto file = RestoreFile(5000, 5000);
  EXPECT_EQ(Run(OP_RESTORE, &file), TransferOutcome::kSucceeded);
  const auto data = DataFrames();
  ASSERT_EQ(data.size(), 3u);
  EXPECT_EQ(data[1].payload, data[2].payload);
  EXPECT_TRUE(view.SawStatus("Uploading...   block 1/2   err.count 1"));
}

TEST_F(RestoreTest, WrongLengthFieldsAreRefusedWithoutAbort) {
  struct Case {
    const char* what;
    testing::MemoryFile file;
  };
  std::vector<Case> cases;
  cases.push_back({"one less than the data", RestoreFile(9999, 10000)});
  cases.push_back({"one more than the data", RestoreFile(10001, 10000)});
  cases.push_back({"zero", RestoreFile(0, 0)});
  cases.push_back({"shorter than its length field", testing::MemoryFile(Bytes{0, 0, 1})});
  cases.push_back({"empty", testing::MemoryFile(Bytes{})});
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    view.boxes.clear();
    const size_t framesBefore = receiver.Frames().size();
    EXPECT_EQ(Run(OP_RESTORE, &c.file), TransferOutcome::kFailed);
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "User data file has errors!");
    const auto codes = Codes();
    EXPECT_EQ(std::vector<int>(codes.begin() + static_cast<long>(framesBefore), codes.end()),
              std::vector<int>{FC_RESTORE});
  }
}

TEST_F(RestoreTest, UnreadableFileEndsInFailure) {
  auto file = RestoreFile(100, 100);
  file.failReads = true;
  EXPECT_EQ(Run(OP_RESTORE, &file), TransferOutcome::kFailed);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_RESTORE, FC_ABORT}));
}

TEST_F(RestoreTest, ClosingCodeNotAcknowledgedFails) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_RESTORE || f.code == FC_DATA) rx.ReplyCode(FC_ACK);
    if (f.code == FC_RESTORE_END) rx.ReplyCode(FC_NAK);
  });
  auto file = RestoreFile(100, 100);
  EXPECT_EQ(Run(OP_RESTORE, &file), TransferOutcome::kFailed);
  EXPECT_EQ(Codes().back(), FC_ABORT);
}

}  // namespace
}  // namespace tavlink
