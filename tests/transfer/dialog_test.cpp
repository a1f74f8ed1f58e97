// The session's own behaviour: port set-up, titles, endings and result boxes.

#include <cerrno>
#include <utility>

#include "session_fixture.h"

namespace tavlink {
namespace {

using testing::SessionTest;

TEST_F(SessionTest, PortThatCannotOpenShowsDeviceBoxThenOpenErrorAndEnds) {
  line->failOpenWith = ENOENT;
  EXPECT_EQ(Run(OP_CONNECT), TransferOutcome::kPortFailed);
  ASSERT_EQ(reporter.Boxes().size(), 1u);
  EXPECT_EQ(reporter.Boxes()[0].caption, "Serial Communication Device Error");
  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text, "Open error");
  EXPECT_EQ(view.boxes[0].caption, "ERROR");
  EXPECT_TRUE(view.title.empty());  // no worker, no title
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SessionTest, OpensTheLineAt115200AndClosesItWithTheDialog) {
  receiver.SetScript([](const testing::SeenFrame& f, testing::ScriptedReceiver& rx) {
    if (f.code == FC_BACKUP) rx.ReplyCode(FC_ABORT);
  });
  Run(OP_BACKUP);
  EXPECT_EQ(line->BaudRates(), std::vector<uint32_t>{115200});
  EXPECT_EQ(line->opens, 1);
  EXPECT_EQ(line->closes, 1);
  EXPECT_EQ(view.title, "Backup User Data");
}

TEST_F(SessionTest, TitlesOfEveryOperation) {
  const std::vector<std::pair<int, std::string>> titles = {
      {16, "Connect to the receiver"}, {18, "Upgrade software"},   {20, "Backup User Data"},
      {22, "Restore User Data"},       {30, "Write Factory Data"}, {32, "Read User Data"}};
  ASSERT_EQ(Operations().size(), titles.size());
  for (const auto& [code, title] : titles) {
    ASSERT_NE(FindOperation(code), nullptr) << code;
    EXPECT_EQ(FindOperation(code)->title, title);
  }
  EXPECT_EQ(FindOperation(17), nullptr);
}

TEST_F(SessionTest, UnknownOperationEndsInsteadOfWaitingForever) {
  EXPECT_EQ(Run(99), TransferOutcome::kFailed);
  EXPECT_TRUE(Codes().empty());
}

TEST_F(SessionTest, CancelBeforeTheRequestSendsOnlyAbort) {
  view.cancelOnStatus = "Connecting...";
  EXPECT_EQ(Run(OP_CONNECT), TransferOutcome::kStopped);
  EXPECT_EQ(Codes(), std::vector<int>{FC_ABORT});
  EXPECT_TRUE(view.boxes.empty());
  EXPECT_EQ(view.LastStatus(), "Closing Connection...");
}

TEST_F(SessionTest, FailureWhileCancelRequestedSendsAbortTwiceAndNoReport) {
  // The user asks to stop while the request's answer is awaited; the answer
  // is then wrong, so the failure ending meets the request.
  receiver.SetScript([this](const testing::SeenFrame& f, testing::ScriptedReceiver& rx) {
    if (f.code != FC_CONNECT) return;
    Current().OnCancel();
    rx.ReplyCode(FC_NAK);
  });
  EXPECT_EQ(Run(OP_CONNECT), TransferOutcome::kStopped);
  EXPECT_EQ(Codes(), (std::vector<int>{FC_CONNECT, FC_ABORT, FC_ABORT}));
  EXPECT_TRUE(view.boxes.empty());
}

// The user presses Cancel during an upgrade and answers the stop question
// Yes only after the worker has finished: the finished session must stay
// finished, so that its close still ends the dialog and no FC_ABORT follows.
TEST_F(SessionTest, StopAnsweredAfterTheWorkerFinishedEndsTheDialogCleanly) {
  view.holdQuestionsUntilFinished = true;
  bool ready = false;  // the second FC_UPGRADE is not answered
  receiver.SetScript([this, &ready](const testing::SeenFrame& f, testing::ScriptedReceiver& rx) {
    if (f.code == FC_UPGRADE) {
      if (!std::exchange(ready, true)) rx.ReplyCode(FC_READY);
    } else if (f.code == FC_DATA) {
      rx.ReplyCode(FC_ACK);
    } else if (f.code == FC_UPGRADE_END) {
      view.PostCancel();  // the question opens while the upgrade ends
      rx.ReplyCode(FC_ACK);
    }
  });
  for (int round = 0; round < 50; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    testing::MemoryFile rom(testing::Pattern(42 + 100, 3), 42);
    view.boxes.clear();
    view.statuses.clear();
    ready = false;
    const size_t before = Codes().size();
    EXPECT_EQ(Run(OP_UPGRADE, &rom), TransferOutcome::kSucceeded);
    const auto codes = Codes();
    ASSERT_GT(codes.size(), before);
    EXPECT_EQ(codes.back(), FC_UPGRADE_END);
    ASSERT_EQ(view.boxes.size(), 1u);  // the question, asked once
    EXPECT_EQ(view.boxes[0].buttons, BoxButtons::kYesNo);
    EXPECT_FALSE(view.SawStatus("Closing Connection..."));
  }
}

}  // namespace
}  // namespace tavlink
