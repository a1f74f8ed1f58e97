#include "transfer/transfer_dialog.h"

#include <utility>

#include "link/frame.h"
#include "transfer/thread_priority.h"

namespace tavlink {
namespace {

constexpr std::string_view kStopUpgradeQuestion =
    " It is very important time!  \n\n You want to stop the upgrade procedure?  ";

}  // namespace

TransferDialog::TransferDialog(TransferView& view, const TransferEnvironment& environment)
    : view_(view),
      clock_(environment.clock),
      port_(environment.makeDevice ? environment.makeDevice() : nullptr, environment.clock,
            environment.errors) {
  port_.SetFrameTrace(environment.trace);
}

TransferDialog::~TransferDialog() {
  if (worker_.joinable()) {
    // Normally the worker has already finished. If the window went away
    // early, ask the worker to stop at its next check point before waiting.
    int32_t running = TS_RUNNING;
    state_.compare_exchange_strong(running, TS_CANCEL_REQUESTED);
    worker_.join();
  }
}

void TransferDialog::Setup(int portNumber, int operationCode, std::span<uint8_t> answerBuffer) {
  portNumber_ = portNumber;
  operation_ = FindOperation(operationCode);
  answer_ = answerBuffer;
}

int TransferDialog::DoModal() {
  view_.RunModal(*this);
  return 2;  // the Cancel result, whatever happened
}

bool TransferDialog::OnInitDialog() {
  state_ = TS_RUNNING;
  port_.Initialize(portNumber_, kQueueSize, kQueueSize);
  std::string_view errorText;
  if (!port_.SetMode(kModeString)) errorText = "Setup error";
  port_.SetTimeout(kTimeoutMs);
  port_.SetDriverTimeouts(0xFFFFFFFF, 0, 0, 0, 0);
  if (!port_.Open()) errorText = "Open error";

  if (!errorText.empty()) {
    view_.ShowMessage(errorText, "ERROR", BoxButtons::kOk);
    outcome_ = TransferOutcome::kPortFailed;
    state_ = TS_FINISHED;
    view_.PostClose();
    return true;
  }

  state_ = TS_RUNNING;
  if (operation_ != nullptr) view_.SetTitle(operation_->title);
  StartWorker();
  if (operation_ != nullptr && operation_->code == OP_CONNECT) view_.SetProgressPos(50);
  return true;
}

void TransferDialog::StartWorker() {
  if (operation_ == nullptr) {
    // No procedure for this code: end at once rather than wait for a
    // worker that will never post its close.
    outcome_ = TransferOutcome::kFailed;
    state_ = TS_FINISHED;
    view_.PostClose();
    return;
  }
  worker_ = std::thread([this, procedure = operation_->worker] {
    LowerCurrentThreadPriority();
    procedure(*this);
  });
}

void TransferDialog::OnCancel() {
  if (state_.load() == TS_FINISHED) {
    view_.EndDialog();
    return;
  }
  if (operation_ != nullptr && operation_->code == OP_UPGRADE &&
      view_.ShowMessage(kStopUpgradeQuestion, "", BoxButtons::kYesNo) != BoxAnswer::kYes) {
    return;  // the upgrade goes on
  }
  RequestStop();
}

void TransferDialog::RequestStop() {
  // The worker may have finished while the question was open; a finished
  // session must stay finished so that its close still ends the dialog.
  int32_t expected = state_.load();
  while (expected != TS_FINISHED && !state_.compare_exchange_weak(expected, TS_CANCEL_REQUESTED)) {
  }
  if (expected != TS_FINISHED) view_.SetStatusText(kClosingStatus);
}

void TransferDialog::OnTransferDone(int lParam) {
  if (operation_ == nullptr) return;
  const bool success = lParam == kDoneSuccess;
  if (operation_->code == OP_CONNECT) {
    if (success) {
      view_.SetProgressPos(100);
      clock_.SleepFor(Clock::Duration(500));
    } else if (!answer_.empty()) {
      answer_[0] = 0;  // whatever part of an answer came, there is no connection
    }
  }
  const std::string_view text = success ? operation_->successText : operation_->failureText;
  if (!text.empty()) view_.ShowMessage(text, operation_->caption, BoxButtons::kOk);
}

void TransferDialog::Finish() {
  if (outcome_.load() == TransferOutcome::kNotRun) outcome_ = TransferOutcome::kSucceeded;
  state_ = TS_FINISHED;
  view_.PostClose();
}

void TransferDialog::StopEnding() {
  SendCode(port_, FC_ABORT);
  Stopped();
}

void TransferDialog::FailureEnding() {
  SendCode(port_, FC_ABORT);
  if (state_.load() == TS_CANCEL_REQUESTED) {
    SendCode(port_, FC_ABORT);
    Stopped();
    return;
  }
  ReportAndFinish(kDoneFailure, TransferOutcome::kFailed);
}

void TransferDialog::FileFailureEnding() {
  SendCode(port_, FC_ABORT);
  if (state_.load() == TS_CANCEL_REQUESTED) {
    SendCode(port_, FC_ABORT);
    Stopped();
    return;
  }
  SilentFinish(TransferOutcome::kFileFailed);
}

void TransferDialog::Stopped() {
  // A stopped connect is no connection, even when part of the answer had
  // arrived: no failure report will clear its first byte, so do it here
  // (the worker still owns the answer).
  if (operation_ != nullptr && operation_->code == OP_CONNECT && !answer_.empty()) answer_[0] = 0;
  outcome_ = TransferOutcome::kStopped;
  Finish();
}

void TransferDialog::SuccessEnding() {
  ReportAndFinish(kDoneSuccess, TransferOutcome::kSucceeded);
}

void TransferDialog::ReportAndFinish(int lParam, TransferOutcome outcome) {
  outcome_ = outcome;
  view_.PostTransferDone(lParam);
  Finish();
}

void TransferDialog::SilentFinish(TransferOutcome outcome) {
  outcome_ = outcome;
  Finish();
}

}  // namespace tavlink
