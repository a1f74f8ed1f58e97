// Read from and Write to Receiver through a scripted transfer: the check
// before a write, the preview against what the receiver holds, the write,
// the read back and its verdict, the remembered verify choice.
#include <gtest/gtest.h>

#include <cstring>

#include "channels/data_text_load.h"
#include "editor/editor_logic.h"
#include "editor/scripted_editor_shell.h"
#include "operations/factory_verification.h"
#include "support/file_bytes.h"
#include "support/paths.h"
#include "support/temp_folder.h"
#include "transfer/transfer_dialog.h"

namespace tavlink::editor {
namespace {

using testing::ScriptedEditorShell;

constexpr int kWrite = 30;
constexpr int kRead = 32;

// A receiver in memory: a read gives what it holds, a write replaces it;
// the first `silentReads` reads go unanswered.
struct FakeReceiver {
  ReceiverDataBlock held;
  int silentReads = 0;
  bool keepsOldList = false;  // a write that does not take

  TransferOutcome operator()(const TransferRequest& request) {
    if (request.operation == kRead) {
      if (silentReads > 0) {
        --silentReads;
        return TransferOutcome::kNoAnswer;
      }
      *request.block = held;
      return TransferOutcome::kSucceeded;
    }
    if (request.operation == kWrite) {
      if (!keepsOldList) held = *request.block;
      return TransferOutcome::kSucceeded;
    }
    return TransferOutcome::kFailed;
  }
};

class ReceiverFlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    channels::DataTextLoad load =
        channels::LoadDataText(testing::ReadBytes(testing::SampleDataText().string()));
    ASSERT_TRUE(load.list);
    load.list->ToBlock(receiver_->held);
    shell_.transfer = [this](const TransferRequest& request) { return (*receiver_)(request); };
    path_ = folder_.File("sample.txt");
    testing::WriteBytes(path_, testing::ReadBytes(testing::SampleDataText().string()));
  }

  testing::TempFolder folder_;
  std::string path_;
  std::shared_ptr<FakeReceiver> receiver_ = std::make_shared<FakeReceiver>();
  ScriptedEditorShell shell_;
};

TEST_F(ReceiverFlowTest, WriteShowsThePreviewAgainstAFreshReadThenWritesAndVerifies) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  const channels::ServiceId zdf = logic.list()->services()[1].id();
  logic.MoveServices({&zdf, 1}, channels::MoveTo::Top());
  logic.SetFlag({&zdf, 1}, channels::ServiceFlag::kLock, true);
  // Read now: yes; turn the receiver off: OK; restart it: OK.
  shell_.answers = {true, true, true};
  shell_.previewAnswers = {{true, true}};
  logic.WriteToReceiver();
  EXPECT_EQ(shell_.operations, (std::vector<int>{kRead, kWrite, kRead}));
  EXPECT_EQ(shell_.ports, (std::vector<int>{1, 1, 1}));
  ASSERT_EQ(shell_.previews.size(), 1u);
  EXPECT_EQ(shell_.previews[0].receiver, "The receiver's list, read from COM1, against this list");
  EXPECT_EQ(shell_.previews[0].summary, "1 service moved, 1 changed");
  EXPECT_EQ(shell_.previews[0].listing,
            // Of two services that changed places, the one that moved down counts.
            "service 2 \"Das Erste\" (service_id 28106 on 11836 H of \"ASTRA 19E\" 19.2 east): "
            "moved from 1 to 2\n"
            "service 1 \"ZDF\" (service_id 28006 on 11953 H of \"ASTRA 19E\" 19.2 east): lock 0 "
            "-> 1\n");
  ASSERT_EQ(shell_.questions.size(), 3u);
  EXPECT_EQ(shell_.questions[2], kRestartReceiverText);
  EXPECT_EQ(shell_.messages.back(), "Verified: the receiver holds what was written.");
  // The receiver holds the list's block, every byte.
  EXPECT_EQ(std::memcmp(receiver_->held.bytes(), logic.list()->ToBlock()->bytes(),
                        ReceiverDataBlock::kSize),
            0);
  // The next write compares with what was read back: nothing to read first.
  shell_.previewAnswers = {{false, true}};
  logic.WriteToReceiver();
  EXPECT_EQ(shell_.previews.back().summary, "no differences");
  EXPECT_EQ(shell_.previews.back().receiver,
            "The receiver's list, read back from COM1, against this list");
  EXPECT_EQ(shell_.operations.size(), 3u);
}

TEST_F(ReceiverFlowTest, AListThatBreaksALimitIsNotSentAndItsProblemsAreListed) {
  auto block = channels::ChannelList().ToBlock();
  block->bytes()[16] = 1;  // one transponder, of no satellite
  block->bytes()[kTransponderTableOffset + 6] = kNoSatellite;
  testing::WriteBytes(
      path_, std::string(reinterpret_cast<const char*>(block->bytes()), ReceiverDataBlock::kSize));
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  logic.WriteToReceiver();
  EXPECT_TRUE(shell_.operations.empty());
  EXPECT_TRUE(shell_.previews.empty());
  ASSERT_EQ(shell_.reports.size(), 1u);
  EXPECT_EQ(shell_.reports[0].title, "The list is not written");
  EXPECT_NE(shell_.reports[0].summary.find("1 problem."), std::string::npos)
      << shell_.reports[0].summary;
  EXPECT_NE(shell_.reports[0].listing.find("transponder"), std::string::npos);
}

TEST_F(ReceiverFlowTest, CancelInThePreviewWritesNothingAndVerifyOffIsRemembered) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  shell_.answers = {false};  // no read: the preview says so
  shell_.previewAnswers = {{false, false}};
  logic.WriteToReceiver();
  EXPECT_TRUE(shell_.operations.empty());
  EXPECT_EQ(shell_.previews[0].receiver, "The receiver's list was not read");
  EXPECT_EQ(shell_.previews[0].summary,
            "The whole list is written: 16 of 1,500 services, 9 of 1,024 transponders, 3 of "
            "106 satellites");
  EXPECT_TRUE(shell_.previews[0].verify);  // never chosen: on
  EXPECT_EQ(shell_.store.verify, false);
  // Off: written, then told to restart the receiver, with no read back.
  shell_.answers = {false};
  shell_.previewAnswers = {{true, false}};
  logic.WriteToReceiver();
  EXPECT_FALSE(shell_.previews[1].verify);
  EXPECT_EQ(shell_.operations, (std::vector<int>{kWrite}));
  EXPECT_NE(shell_.messages.back().find("Turn the receiver off and on again"), std::string::npos);
}

TEST_F(ReceiverFlowTest, AReceiverThatKeepsItsOldListIsReportedWithTheDifferences) {
  receiver_->keepsOldList = true;
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  logic.SetAntennaConfig(4);
  shell_.answers = {false, true};
  shell_.previewAnswers = {{true, true}};
  logic.WriteToReceiver();
  ASSERT_EQ(shell_.reports.size(), 1u);
  EXPECT_EQ(shell_.reports[0].title, "The list read back");
  EXPECT_EQ(shell_.reports[0].summary,
            "Not verified: the receiver holds something else: antenna_config changed.");
  EXPECT_EQ(shell_.reports[0].listing, "antenna_config: 4 -> 1\n");
  // The next preview compares with what the receiver was found to hold.
  shell_.previewAnswers = {{false, true}};
  logic.WriteToReceiver();
  EXPECT_EQ(shell_.previews.back().summary, "antenna_config changed");
}

// The read back goes on while the receiver is silent, asked once; bytes
// that differ where no record is are reported as such.
TEST_F(ReceiverFlowTest, ReadBackWaitsForASilentReceiverAndNamesBytesOutsideTheList) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  receiver_->silentReads = 0;
  shell_.answers = {true, true};  // read now, turn off
  shell_.previewAnswers = {{true, true}};
  // The receiver keeps its own last byte whatever is written.
  shell_.transfer = [this](const TransferRequest& request) {
    const TransferOutcome outcome = (*receiver_)(request);
    if (request.operation == kWrite) {
      receiver_->held.bytes()[ReceiverDataBlock::kSize - 1] = 0x5A;
      receiver_->silentReads = 2;
    }
    return outcome;
  };
  shell_.answers.push_back(true);  // restarted
  logic.WriteToReceiver();
  EXPECT_EQ(shell_.operations, (std::vector<int>{kRead, kWrite, kRead, kRead, kRead}));
  EXPECT_EQ(shell_.questions.size(), 3u);
  ASSERT_EQ(shell_.reports.size(), 1u);
  EXPECT_EQ(shell_.reports[0].summary,
            "Not verified: the receiver holds something else: 1 byte differs outside the "
            "records, the first at 0xFFFF.");
}

TEST_F(ReceiverFlowTest, DecliningTheRestartLeavesTheWriteUnverifiedWithoutAWord) {
  EditorLogic logic(shell_);
  ASSERT_TRUE(logic.OpenPath(path_));
  shell_.answers = {false, false};  // no read first; no restart
  shell_.previewAnswers = {{true, true}};
  logic.WriteToReceiver();
  EXPECT_EQ(shell_.operations, (std::vector<int>{kWrite}));
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_TRUE(shell_.reports.empty());
}

TEST_F(ReceiverFlowTest, ReadFromReceiverOpensANewWindowWhenTheListHasUnsavedChanges) {
  EditorLogic logic(shell_);
  shell_.answers = {true};
  logic.ReadFromReceiver();
  EXPECT_EQ(logic.document().kind(), DocumentKind::kReceiver);
  EXPECT_EQ(logic.Title(), "Receiver (COM1) * - ZOR Link Channel Editor");
  EXPECT_EQ(logic.list()->services().size(), 16u);
  EXPECT_TRUE(shell_.windows.empty());
  // A receiver's list is unsaved: the next read goes to a window of its own.
  shell_.answers = {true};
  logic.ReadFromReceiver();
  ASSERT_EQ(shell_.windows.size(), 1u);
  EXPECT_EQ(shell_.windows[0]->kind(), DocumentKind::kReceiver);
  // Cancelled at the turn-off question: nothing is read.
  shell_.answers = {false};
  logic.ReadFromReceiver();
  EXPECT_EQ(shell_.operations.size(), 2u);
}

TEST_F(ReceiverFlowTest, NoPortChosenAsksForOneWithThePortDialog) {
  shell_.store.port = std::nullopt;
  EditorLogic logic(shell_);
  shell_.portAnswers = {testing::OkOn(2)};
  shell_.answers = {true};
  logic.ReadFromReceiver();
  EXPECT_EQ(shell_.portDialogs, 1);
  EXPECT_EQ(shell_.store.port, 2);
  EXPECT_EQ(shell_.ports, (std::vector<int>{2}));
}

}  // namespace
}  // namespace tavlink::editor
