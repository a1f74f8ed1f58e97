#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::Bytes;
using testing::ScriptedReceiver;
using testing::SeenFrame;

// A receiver that sends `payloads` one per FC_ACK, then FC_BACKUP_END.
class BackupTest : public testing::SessionTest {
 protected:
  testing::MemoryFile file;
  std::vector<Bytes> payloads;
  int corruptFirst = 0;
  size_t next = 0;

  void SetUp() override {
    receiver.SetScript([this](const SeenFrame& f, ScriptedReceiver& rx) {
      if (f.code == FC_BACKUP) rx.ReplyCode(FC_ACK);
      if (f.code == FC_BACKUP || f.code == FC_NAK) return SendCurrent(rx);
      if (f.code == FC_ACK && next < payloads.size()) {
        ++next;
        SendCurrent(rx);
      }
    });
  }
  void SendCurrent(ScriptedReceiver& rx) {
    if (next == payloads.size()) return rx.ReplyCode(FC_BACKUP_END);
    if (corruptFirst > 0) {
      --corruptFirst;
      return rx.Reply(testing::FlipBit(testing::DataFrame(payloads[next]), 13));
    }
    rx.ReplyData(payloads[next]);
  }
};

TEST_F(BackupTest, FirstTwoBytesCarryTheBlockCountAndStayOutOfTheFile) {
  Bytes first = {0x00, 0xC8};
  const Bytes a = testing::Pattern(1000, 1), b = testing::Pattern(700, 2);
  first.insert(first.end(), a.begin(), a.end());
  payloads = {first, b};
  EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kSucceeded);
  EXPECT_EQ(view.ranges, std::vector<int>{200});
  EXPECT_EQ(file.content, testing::Concat(a, b));
  EXPECT_EQ(view.LastStatus(), "Downloading...   block 2/200   error 0");
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "User data backuped successfully.");
  EXPECT_EQ(view.boxes[0].caption, "Backup User Data");
  EXPECT_EQ(Codes(), (std::vector<int>{FC_BACKUP, FC_ACK, FC_ACK, FC_ACK}));
}

TEST_F(BackupTest, RetryBeforeTheFirstPayloadShowsATotalOfZero) {
  payloads = {{0x00, 0x01, 'x'}};
  corruptFirst = 1;
  EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kSucceeded);
  ASSERT_GE(view.statuses.size(), 3u);
  EXPECT_EQ(view.statuses[2], "Downloading...   block 0/0   err.count 1");
  EXPECT_EQ(file.content, Bytes{'x'});
}

TEST_F(BackupTest, FileThatCannotBeWrittenEndsInFailure) {
  payloads = {{0x00, 0x02, 1, 2, 3}, {4, 5}};
  file.failWrites = true;
  EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kFailed);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_BACKUP, FC_ABORT}));
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "User data backup error!");
}

// The first payload must carry the two-byte block count; one too short to
// hold it ends the backup before anything reaches the file.
TEST_F(BackupTest, FirstPayloadTooShortForTheBlockCountFailsWritingNothing) {
  for (const Bytes& first : {Bytes{}, Bytes{0x00}}) {
    SCOPED_TRACE("first payload of " + std::to_string(first.size()) + " bytes");
    payloads = {first, {1, 2, 3}};
    next = 0;
    view.boxes.clear();
    const size_t before = Codes().size();
    EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kFailed);
    EXPECT_TRUE(file.content.empty());
    const auto codes = Codes();
    ASSERT_EQ(codes.size(), before + 2);
    EXPECT_EQ(codes[before], FC_BACKUP);
    EXPECT_EQ(codes[before + 1], FC_ABORT);  // no FC_ACK for the short payload
    ASSERT_EQ(view.boxes.size(), 1u);
    EXPECT_EQ(view.boxes[0].text, "User data backup error!");
  }
}

TEST_F(BackupTest, UnexpectedCodeDuringTheTransferFails) {
  receiver.SetScript([](const SeenFrame& f, ScriptedReceiver& rx) {
    if (f.code == FC_BACKUP) {
      rx.ReplyCode(FC_ACK);
      rx.ReplyCode(FC_ABORT);
    }
  });
  EXPECT_EQ(Run(OP_BACKUP, &file), TransferOutcome::kFailed);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_BACKUP, FC_ABORT}));
}

}  // namespace
}  // namespace tavlink
